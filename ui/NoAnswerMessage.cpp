#include "ui/NoAnswerMessage.h"

#include "config/ModuleLookup.h"
#include "modlist/CModuleListCtrl.h"
#include "platform/AddressText.h"
#include "platform/framework/Translate.h"

namespace ordvane {

std::string NoAnswerMessage(const CModuleListCtrl& moduleList) {
    const std::optional<CModuleListCtrl::LastCommand>& last = moduleList.GetLastCommand();
    if (!last) {
        return translate("NoAnswerMessage", "A module did not answer in time.").Str();
    }
    std::string module = FormatMacAddress(last->mac.data());
    ZEVA_ModuleScanResponseType record;
    if (FindFirstModuleWithMac(moduleList, last->mac, record) && record.ipAddressValid != 0) {
        module += " (" + FormatIpv4(record.ipAddress) + ")";
    }
    const CString sentence =
        last->command == CModuleListCtrl::SentCommand::Wink
            ? translate("NoAnswerMessage", "Module %1 did not answer the wink request.")
            : translate("NoAnswerMessage", "Module %1 did not answer the configuration request.");
    return FillIn(sentence, {module}).Str() + "\n" +
           translate("NoAnswerMessage", "Check that it is powered and connected, then press Scan.")
               .Str();
}

}  // namespace ordvane
