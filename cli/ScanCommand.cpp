// ordvane-cli scan: one scan through libzeva.so, one line per module that answers:
// "<MAC> <IP> <type>", with "N/A" for a value the module did not report. With --format or
// --sort the answers are shown at the end instead, as the window's table (ScanTable.h).

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/ScanTable.h"
#include "modsvc/ModuleService.h"
#include "platform/SaturatingAtoi.h"

namespace ordvane::cli {

namespace {

std::mutex g_eventMutex;
std::condition_variable g_eventArrived;
bool g_eventPending = false;

// Runs on the library's thread: only wakes the main thread, never calls the library.
void OnModuleEvent(int eventCode) {
    if (eventCode != ZEVA_EVENT_RESPONSE) {
        return;
    }
    {
        std::lock_guard lock(g_eventMutex);
        g_eventPending = true;
    }
    g_eventArrived.notify_one();
}

bool ParseSeconds(std::span<const std::string> arguments, int& seconds) {
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] != "--seconds" || index + 1 >= arguments.size()) {
            return false;
        }
        const std::string& value = arguments[++index];
        std::size_t consumed = 0;
        seconds = SaturatingAtoi(value, &consumed);
        if (value.empty() || value[0] < '0' || value[0] > '9' || consumed != value.size() ||
            seconds < 1 || seconds > 3600) {
            return false;
        }
    }
    return true;
}

std::string MacText(const ZEVA_ModuleScanResponseType& response) {
    if (response.macIdValid == 0) {
        return "N/A";
    }
    char text[18];
    const std::uint8_t* mac = response.macId;
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::string AddressText(std::uint32_t address, std::uint8_t valid) {
    if (valid == 0) {
        return "N/A";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFF, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

// Prints every queued response; the first answer per MAC wins, as in the window's list. With a
// table the responses go into it instead, to be shown at the end.
std::size_t PrintQueuedResponses(std::set<std::string>& seen, ScanTable* table) {
    std::size_t printed = 0;
    ZEVA_ModuleScanResponseType response{};
    while (ZEVA_GetResponse(&response) != 0) {
        if (table != nullptr) {
            table->Add(response);
            continue;
        }
        const std::string mac = MacText(response);
        if (response.macIdValid != 0 && !seen.insert(mac).second) {
            continue;
        }
        response.moduleType[sizeof response.moduleType - 1] = '\0';
        std::printf("%s %s %s\n", mac.c_str(),
                    AddressText(response.ipAddress, response.ipAddressValid).c_str(),
                    response.moduleTypeValid != 0 ? response.moduleType : "N/A");
        ++printed;
    }
    std::fflush(stdout);
    return printed;
}

}  // namespace

int RunScan(std::span<const std::string> arguments) {
    std::vector<std::string> otherArguments(arguments.begin(), arguments.end());
    ScanTableOptions tableOptions;
    std::string tableError;
    if (!TakeScanTableOptions(otherArguments, tableOptions, tableError)) {
        std::fprintf(stderr, "ordvane-cli scan: %s\n", tableError.c_str());
        return 2;
    }
    int seconds = 3;
    if (!ParseSeconds(otherArguments, seconds)) {
        std::fprintf(stderr,
                     "usage: ordvane-cli scan [--seconds S] [--format table|csv|json] "
                     "[--sort COLUMN[:desc]]  (S from 1 to 3600)\n");
        return 2;
    }
    ScanTable table;
    ScanTable* tableOrNone = tableOptions.requested ? &table : nullptr;
    ZEVA_RegisterCallBack(OnModuleEvent);
    if (ZEVA_Start() == 0) {
        std::fprintf(stderr, "ordvane-cli: the module service did not start\n");
        return 1;
    }
    ZEVA_SendModuleScan();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::set<std::string> seen;
    std::size_t modules = 0;
    for (;;) {
        modules += PrintQueuedResponses(seen, tableOrNone);
        std::unique_lock lock(g_eventMutex);
        if (!g_eventArrived.wait_until(lock, end, [] { return g_eventPending; })) {
            break;
        }
        g_eventPending = false;
    }
    modules += PrintQueuedResponses(seen, tableOrNone);
    if (tableOrNone != nullptr) {
        std::fputs(table.Render(tableOptions).c_str(), stdout);
        std::fflush(stdout);
        modules = table.RowCount();
    }
    std::fprintf(stderr, "%zu modules\n", modules);
    return 0;
}

}  // namespace ordvane::cli
