#include "cli/ModuleLocator.h"

#include <cstdio>
#include <string>

#include "cli/LibraryEventQueue.h"
#include "cli/TerminalText.h"
#include "config/FixedText.h"
#include "config/ModuleLookup.h"
#include "modlist/ModuleColumns.h"

namespace ordvane::cli {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

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

bool ParseMacArgument(const std::string& text, MacAddress& mac) {
    constexpr std::size_t kLength = 17;  // six pairs and five separators
    if (text.size() != kLength) {
        return false;
    }
    for (std::size_t i = 0; i < kLength; ++i) {
        const bool separator = i % 3 == 2;
        if (separator ? (text[i] != '-' && text[i] != ':') : !IsHexDigit(text[i])) {
            return false;
        }
    }
    std::string dashed = text;
    for (std::size_t i = 2; i < kLength; i += 3) {
        dashed[i] = '-';
    }
    return ParseMacAddressText(dashed, mac);
}

bool WantsHelp(std::span<const std::string> arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            return true;
        }
    }
    return false;
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
