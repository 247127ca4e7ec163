#include "cli/ModuleLocator.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/LibraryEventQueue.h"
#include "cli/TerminalText.h"
#include "platform/AddressText.h"
#include "platform/SaturatingAtoi.h"

namespace ordvane::cli {

bool StartModuleService() {
    LibraryEventQueue::Install();
    if (ZEVA_Start() == 0) {
        std::fprintf(stderr, "ordvane-cli: the module service did not start\n");
        return false;
    }
    return true;
}

std::optional<ModuleRecord> NextModuleRecord() {
    ZEVA_ModuleScanResponseType response{};
    if (ZEVA_GetResponse(&response) == 0) {
        return std::nullopt;
    }
    return ToModuleRecord(response);
}

std::optional<ModuleRecord> ScanForModule(const MacAddress& mac,
                                          std::chrono::milliseconds timeout) {
    const auto deadline = LibraryEventQueue::Clock::now() + timeout;
    ZEVA_SendModuleScan();
    for (;;) {
        while (std::optional<ModuleRecord> answer = NextModuleRecord()) {
            if (answer->mac == mac) {
                return answer;
            }
        }
        if (!LibraryEventQueue::WaitForEvent(deadline)) {
            return std::nullopt;
        }
    }
}

std::vector<ModuleRecord> ScanForModuleAnswers(const MacAddress& mac,
                                               std::chrono::milliseconds timeout) {
    // As long as the library waits before it trusts a MAC that two senders claimed once.
    constexpr std::chrono::milliseconds kSecondClaimantWindow(2000);
    const auto started = LibraryEventQueue::Clock::now();
    const auto deadline = started + timeout;
    std::vector<ModuleRecord> answers;
    ZEVA_SendModuleScan();
    for (;;) {
        while (std::optional<ModuleRecord> answer = NextModuleRecord()) {
            if (answer->mac == mac) {
                answers.push_back(std::move(*answer));
            }
        }
        const auto waitUntil =
            answers.empty() ? deadline : std::min(deadline, started + kSecondClaimantWindow);
        if (!LibraryEventQueue::WaitForEvent(waitUntil)) {
            return answers;
        }
    }
}

bool RefuseMacClaimedTwice(const char* command, const MacAddress& mac,
                           const std::vector<ModuleRecord>& answers) {
    if (answers.size() < 2) {
        return false;
    }
    std::string addresses;
    for (const ModuleRecord& answer : answers) {
        addresses += addresses.empty() ? "" : " and ";
        addresses += answer.ipAddress ? answer.ipAddress->Text() : "no address";
    }
    std::fprintf(stderr, "%s: two devices claim %s (%s); nothing was sent\n", command,
                 FormatMacAddress(mac.data()).c_str(), addresses.c_str());
    return true;
}

bool TakeOwnInvalidPassword(const MacAddress& mac) {
    std::uint8_t queued[6] = {};
    if (ZEVA_GetInvPswdMacId(queued) != 1 || MacAddress::FromBytes(queued) != mac) {
        return false;
    }
    ZEVA_RemoveFirstInvPswdMacId();
    return true;
}

void PrintModuleLine(const ModuleRecord& module) {
    const std::string type = module.moduleType.value_or("N/A");
    const std::string address = module.ipAddress ? module.ipAddress->Text() : std::string("N/A");
    std::printf("%s %s %s\n", module.AddressingMac().Text().c_str(), address.c_str(),
                TerminalSafe(type).c_str());
    std::fflush(stdout);
}

}  // namespace ordvane::cli
