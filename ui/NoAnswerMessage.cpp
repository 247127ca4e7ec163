#include "ui/NoAnswerMessage.h"

#include "config/ModuleLookup.h"
#include "modlist/CModuleListCtrl.h"
#include "platform/AddressText.h"

namespace ordvane {

std::string NoAnswerMessage(const CModuleListCtrl& moduleList) {
    const std::optional<CModuleListCtrl::LastCommand>& last = moduleList.GetLastCommand();
    if (!last) {
        return "A module did not answer in time.";
    }
    std::string text = "Module " + FormatMacAddress(last->mac.data());
    ZEVA_ModuleScanResponseType module;
    if (FindFirstModuleWithMac(moduleList, last->mac, module) && module.ipAddressValid != 0) {
        text += " (" + FormatIpv4(module.ipAddress) + ")";
    }
    text += last->command == CModuleListCtrl::SentCommand::Wink
                ? " did not answer the wink request."
                : " did not answer the configuration request.";
    return text + "\nCheck that it is powered and connected, then press Scan.";
}

}  // namespace ordvane
