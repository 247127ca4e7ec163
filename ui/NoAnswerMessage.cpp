#include "ui/NoAnswerMessage.h"

#include "modlist/CModuleListCtrl.h"
#include "platform/AddressText.h"
#include "platform/framework/Translate.h"

namespace ordvane {

std::string NoAnswerMessage(const CModuleListCtrl& moduleList) {
    const std::optional<LastCommand>& last = moduleList.GetLastCommand();
    if (!last) {
        return translate("NoAnswerMessage", "A module did not answer in time.").Str();
    }
    std::string module = last->mac.Text();
    const ModuleRecord* record = moduleList.GetFleet().Find(last->mac);
    if (record != nullptr && record->ipAddress) {
        module += " (" + record->ipAddress->Text() + ")";
    }
    const CString sentence =
        last->command == SentCommand::kWink
            ? translate("NoAnswerMessage", "Module %1 did not answer the wink request.")
            : translate("NoAnswerMessage", "Module %1 did not answer the configuration request.");
    return FillIn(sentence, {module}).Str() + "\n" +
           translate("NoAnswerMessage", "Check that it is powered and connected, then press Scan.")
               .Str();
}

}  // namespace ordvane
