#include "ui/WinkCommand.h"

#include "config/ConfigureRequestBuilder.h"
#include "journal/ChangeJournal.h"
#include "modlist/CModuleListCtrl.h"
#include "modsvc/ModuleService.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Translate.h"

namespace ordvane {

void RunWinkCommand(CModuleListCtrl& moduleList) {
    const ModuleRecord* module = moduleList.GetRowModule(moduleList.GetSelectedRow());
    if (module == nullptr) {
        return;
    }
    if (!IsWinkSupported(module->serviceVersionMajor, module->serviceVersionMinor)) {
        AfxMessageBox(translate("SharedText", kWinkNotSupportedMessage), MB_OK, 0);
        return;
    }
    const MacAddress mac = module->AddressingMac();
    ZEVA_ConfigureRequestType request;
    BuildWinkRequest(mac, request);
    moduleList.NoteCommandSent(mac, SentCommand::kWink);
    ZEVA_SendWink(&request);
    ChangeJournal().Record(JournalCommand::kWink, request.macId, "sent");
}

}  // namespace ordvane
