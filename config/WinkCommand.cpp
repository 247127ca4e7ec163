#include "config/WinkCommand.h"

#include "config/ConfigureRequestBuilder.h"
#include "config/ModuleLookup.h"
#include "config/RowMacAddress.h"
#include "journal/ChangeJournal.h"
#include "modlist/CModuleListCtrl.h"
#include "modsvc/ModuleService.h"
#include "platform/framework/MessageBox.h"

void RunWinkCommand(CModuleListCtrl& moduleList) {
    POSITION position = moduleList.GetFirstSelectedItemPosition();
    if (position == nullptr) {
        return;
    }
    const int row = moduleList.GetNextSelectedItem(position);

    ordvane::MacAddress mac{};
    if (!ordvane::ReadRowMacAddress(moduleList, row, mac)) {
        return;
    }
    ZEVA_ConfigureRequestType request;
    ordvane::BuildWinkRequest(mac, request);

    ZEVA_ModuleScanResponseType module;
    if (!ordvane::FindFirstModuleWithMac(moduleList, mac, module)) {
        return;
    }
    if (!ordvane::IsWinkSupported(module.serviceVersionMajor, module.serviceVersionMinor)) {
        AfxMessageBox(ordvane::kWinkNotSupportedMessage, MB_OK, 0);
        return;
    }
    moduleList.NoteCommandSent(request.macId, CModuleListCtrl::SentCommand::Wink);
    ZEVA_SendWink(&request);
    ordvane::ChangeJournal().Record(ordvane::JournalCommand::kWink, request.macId, "sent");
}
