// ordvane-cli wink MAC: asks the module to signal its presence, with the window's rule that
// its service must be version 1.10 or later.
//
// Exit status: 0 when the request was sent, 2 for bad arguments, 1 for every other failure: the
// module is too old ("Device does not support wink."), did not answer the scan, or the library
// did not start.

#include <cstdio>
#include <optional>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CommandOptions.h"
#include "cli/ExitStatus.h"
#include "cli/LibraryEventQueue.h"
#include "cli/ModuleLocator.h"
#include "config/ConfigureRequestBuilder.h"
#include "journal/ChangeJournal.h"
#include "platform/AddressText.h"
#include "platform/LongOptions.h"

namespace ordvane::cli {

int RunWink(std::span<const std::string> arguments) {
    constexpr const char* kUsage = "usage: ordvane-cli wink MAC  (e.g. 0A-51-4D-00-00-2A)";
    MacAddress mac{};
    std::vector<std::string> operands;
    std::string error;
    if (!ParseLongOptions<MacAddress>(arguments, {}, mac, operands, error)) {
        std::fprintf(stderr, "ordvane-cli wink: %s\n%s\n", error.c_str(), kUsage);
        return kExitUsage;
    }
    if (operands.size() != 1 || !ParseMacArgument(operands[0], mac)) {
        std::fprintf(stderr, "%s\n", kUsage);
        return kExitUsage;
    }
    if (!StartModuleService()) {
        return kExitFailure;
    }
    const std::vector<ModuleRecord> answers = ScanForModuleAnswers(mac, std::chrono::seconds(5));
    if (answers.empty()) {
        std::fprintf(stderr, "ordvane-cli wink: %s did not answer the scan\n",
                     FormatMacAddress(mac.data()).c_str());
        return kExitFailure;
    }
    if (RefuseMacClaimedTwice("ordvane-cli wink", mac, answers)) {
        return kExitFailure;
    }
    const ModuleRecord& module = answers.front();
    if (!IsWinkSupported(module.serviceVersionMajor, module.serviceVersionMinor)) {
        std::fprintf(stderr, "%s\n", kWinkNotSupportedMessage);
        return kExitFailure;
    }
    ZEVA_ConfigureRequestType request;
    BuildWinkRequest(mac, request);
    ZEVA_SendWink(&request);
    // The library sends again until the module answers; stay long enough for two more tries
    // in case the first datagram was lost, and hear a refusal for a MAC two devices claim.
    const auto deadline = LibraryEventQueue::Clock::now() + std::chrono::milliseconds(600);
    while (const std::optional<int> eventCode = LibraryEventQueue::WaitForEvent(deadline)) {
        if (*eventCode == ZEVA_EVENT_MAC_CONFLICT) {
            std::fprintf(stderr, "ordvane-cli wink: two devices claim %s; nothing was sent\n",
                         FormatMacAddress(mac.data()).c_str());
            ChangeJournal().Record(JournalCommand::kWink, mac.data(), "not-sent");
            return kExitFailure;
        }
    }
    std::printf("wink sent to %s\n", FormatMacAddress(mac.data()).c_str());
    ChangeJournal().Record(JournalCommand::kWink, mac.data(), "sent");
    return kExitSuccess;
}

}  // namespace ordvane::cli
