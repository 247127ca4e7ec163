#include "ui/WinkCommand.h"

#include "config/ConfigureRequestBuilder.h"
#include "journal/ChangeJournal.h"
#include "modlist/CModuleListCtrl.h"
#include "modsvc/ModuleService.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Translate.h"

void RunWinkCommand(CModuleListCtrl& moduleList) {
    const ordvane::ModuleRecord* module = moduleList.GetRowModule(moduleList.GetSelectedRow());
    if (module == nullptr) {
        return;
    }
    if (!ordvane::IsWinkSupported(module->serviceVersionMajor, module->serviceVersionMinor)) {
        AfxMessageBox(ordvane::translate("SharedText", ordvane::kWinkNotSupportedMessage), MB_OK,
                      0);
        return;
    }
    const ordvane::MacAddress mac = module->AddressingMac();
    ZEVA_ConfigureRequestType request;
    ordvane::BuildWinkRequest(mac, request);
    moduleList.NoteCommandSent(mac, ordvane::SentCommand::kWink);
    ZEVA_SendWink(&request);
    ordvane::ChangeJournal().Record(ordvane::JournalCommand::kWink, request.macId, "sent");
}
