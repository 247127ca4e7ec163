#include "cli/ModuleLocator.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/LibraryEventQueue.h"
#include "cli/TerminalText.h"
#include "config/FixedText.h"
#include "config/ModuleLookup.h"
#include "modlist/ModuleColumns.h"
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

bool ScanForModule(const MacAddress& mac, std::chrono::milliseconds timeout,
                   ZEVA_ModuleScanResponseType& found) {
    const auto deadline = LibraryEventQueue::Clock::now() + timeout;
    ZEVA_SendModuleScan();
    for (;;) {
        ZEVA_ModuleScanResponseType response{};
        while (ZEVA_GetResponse(&response) != 0) {
            if (response.macIdValid != 0 && HasMacAddress(response, mac)) {
                found = response;
                return true;
            }
        }
        if (!LibraryEventQueue::WaitForEvent(deadline)) {
            return false;
        }
    }
}

std::vector<ZEVA_ModuleScanResponseType> ScanForModuleAnswers(const MacAddress& mac,
                                                              std::chrono::milliseconds timeout) {
    // As long as the library waits before it trusts a MAC that two senders claimed once.
    constexpr std::chrono::milliseconds kSecondClaimantWindow(2000);
    const auto started = LibraryEventQueue::Clock::now();
    const auto deadline = started + timeout;
    std::vector<ZEVA_ModuleScanResponseType> answers;
    ZEVA_SendModuleScan();
    for (;;) {
        ZEVA_ModuleScanResponseType response{};
        while (ZEVA_GetResponse(&response) != 0) {
            if (response.macIdValid != 0 && HasMacAddress(response, mac)) {
                answers.push_back(response);
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
                           const std::vector<ZEVA_ModuleScanResponseType>& answers) {
    if (answers.size() < 2) {
        return false;
    }
    std::string addresses;
    for (const ZEVA_ModuleScanResponseType& answer : answers) {
        addresses += addresses.empty() ? "" : " and ";
        addresses += answer.ipAddressValid != 0 ? FormatIpv4(answer.ipAddress) : "no address";
    }
    std::fprintf(stderr, "%s: two devices claim %s (%s); nothing was sent\n", command,
                 FormatMacAddress(mac.data()).c_str(), addresses.c_str());
    return true;
}

bool TakeOwnInvalidPassword(const MacAddress& mac) {
    std::uint8_t queued[6] = {};
    if (ZEVA_GetInvPswdMacId(queued) != 1 || !std::equal(mac.begin(), mac.end(), queued)) {
        return false;
    }
    ZEVA_RemoveFirstInvPswdMacId();
    return true;
}

void PrintModuleLine(const ZEVA_ModuleScanResponseType& module) {
    const std::string type =
        module.moduleTypeValid != 0 ? std::string(FixedTextView(module.moduleType)) : "N/A";
    const std::string address =
        module.ipAddressValid != 0 ? FormatIpv4(module.ipAddress) : std::string("N/A");
    std::printf("%s %s %s\n", FormatMacAddress(module.macId).c_str(), address.c_str(),
                TerminalSafe(type).c_str());
    std::fflush(stdout);
}

}  // namespace ordvane::cli
