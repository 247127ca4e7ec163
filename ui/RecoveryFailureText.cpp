#include "ui/RecoveryFailureText.h"

#include "platform/framework/Translate.h"
#include "ui/AdvancedOptionsCommand.h"

std::string RecoveryFailureText(ordvane::RecoveryFlow::Failure failure, const std::string& detail,
                                const std::string& englishReason) {
    using Failure = ordvane::RecoveryFlow::Failure;
    switch (failure) {
        case Failure::kRefusedValue:
            // The configuration dialog's own refusals, translated where the dialog shows them.
            return ordvane::translate("SharedText", detail.c_str()).Str();
        case Failure::kNoStaticAddress:
            return ordvane::translate("RecoveryFailure", "no static address to configure").Str();
        case Failure::kServerNotStarted:
            return ordvane::FillIn(
                       ordvane::translate("RecoveryFailure", "DHCP server init failed: %1"),
                       {DhcpServerReasonText(detail)})
                .Str();
        case Failure::kNoRandomSalt:
            return ordvane::translate("RecoveryFailure", "no random salt for the password").Str();
        case Failure::kNotDelivered:
            // The window reports only this about its own configure request.
            return ordvane::translate("RecoveryFailure",
                                      "the module did not answer the configure request")
                .Str();
        case Failure::kMacClaimedTwice:
            return ordvane::translate("RecoveryFailure",
                                      "two devices claim the MAC address; nothing was sent")
                .Str();
        case Failure::kNone:
            break;
    }
    return englishReason;
}
