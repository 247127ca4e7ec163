#include "ui/RecoveryFailureText.h"

#include "platform/framework/Translate.h"
#include "ui/AdvancedOptionsCommand.h"

namespace ordvane {

std::string RecoveryFailureText(RecoveryFlow::Failure failure, const std::string& detail,
                                const std::string& englishReason) {
    using FlowFailure = RecoveryFlow::Failure;
    switch (failure) {
        case FlowFailure::kRefusedValue:
            // The configuration dialog's own refusals, translated where the dialog shows them.
            return translate("SharedText", detail.c_str()).Str();
        case FlowFailure::kNoStaticAddress:
            return translate("RecoveryFailure", "no static address to configure").Str();
        case FlowFailure::kServerNotStarted:
            return FillIn(translate("RecoveryFailure", "DHCP server init failed: %1"),
                          {DhcpServerReasonText(detail)})
                .Str();
        case FlowFailure::kNoRandomSalt:
            return translate("RecoveryFailure", "no random salt for the password").Str();
        case FlowFailure::kNotDelivered:
            // The window reports only this about its own configure request.
            return translate("RecoveryFailure", "the module did not answer the configure request")
                .Str();
        case FlowFailure::kMacClaimedTwice:
            return translate("RecoveryFailure",
                             "two devices claim the MAC address; nothing was sent")
                .Str();
        case FlowFailure::kNone:
            break;
    }
    return englishReason;
}

}  // namespace ordvane
