// ordvane-cli scan: one scan through libzeva.so. Without --format or --sort each new module is
// printed as its answer arrives: "<MAC> <IP> <type>", with "N/A" for a value the module did not
// report; the fleet's warnings follow on standard error once the scan is over, since a warning
// may depend on a module that answers later. With --format or --sort the answers are shown at
// the end instead, as the window's table with a warnings column (ScanTable.h).

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/ExitStatus.h"
#include "cli/LibraryEventQueue.h"
#include "cli/ModuleLocator.h"
#include "cli/ScanTable.h"
#include "cli/TerminalText.h"
#include "modsvc/ModuleService.h"
#include "platform/SaturatingAtoi.h"

namespace ordvane::cli {

namespace {

constexpr int kDefaultSeconds = 3;
constexpr int kMaximumSeconds = 3600;

bool ParseSeconds(std::span<const std::string> arguments, int& seconds) {
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] != "--seconds" || index + 1 >= arguments.size()) {
            return false;
        }
        const std::string& value = arguments[++index];
        std::size_t consumed = 0;
        seconds = SaturatingAtoi(value, &consumed);
        if (value.empty() || value[0] < '0' || value[0] > '9' || consumed != value.size() ||
            seconds < 1 || seconds > kMaximumSeconds) {
            return false;
        }
    }
    return true;
}

// Takes every queued answer into the table; prints the new modules' lines unless the table is
// shown at the end. Returns the number of new modules.
std::size_t TakeQueuedResponses(ScanTable& table, bool printLines) {
    std::size_t added = 0;
    ZEVA_ModuleScanResponseType response{};
    while (ZEVA_GetResponse(&response) != 0) {
        if (!table.Add(response)) {
            continue;
        }
        ++added;
        if (printLines) {
            PrintModuleLine(response);
        }
    }
    return added;
}

// The warnings of the line output, after the scan, one per line under the module's MAC.
void PrintWarningLines(const ScanTable& table) {
    for (const ModuleTableRow& row : table.Rows(TableSort{kColumnMac, true})) {
        for (const ModuleWarning& warning : row.warnings) {
            std::fprintf(stderr, "warning: %s: %s\n", row.columns[kColumnMac].c_str(),
                         TerminalSafe(warning.sentence).c_str());
        }
    }
}

}  // namespace

int RunScan(std::span<const std::string> arguments) {
    std::vector<std::string> otherArguments(arguments.begin(), arguments.end());
    ScanTableOptions tableOptions;
    std::string tableError;
    if (!TakeScanTableOptions(otherArguments, tableOptions, tableError)) {
        std::fprintf(stderr, "ordvane-cli scan: %s\n", tableError.c_str());
        return kExitUsage;
    }
    int seconds = kDefaultSeconds;
    if (!ParseSeconds(otherArguments, seconds)) {
        std::fprintf(stderr,
                     "usage: ordvane-cli scan [--seconds S] [--format table|csv|json] "
                     "[--sort COLUMN[:desc]]  (S from 1 to 3600)\n");
        return kExitUsage;
    }
    if (!StartModuleService()) {
        return kExitFailure;
    }
    ScanTable table(ReadHostInterfaces());
    const bool printLines = !tableOptions.requested;
    ZEVA_SendModuleScan();
    const auto deadline = LibraryEventQueue::Clock::now() + std::chrono::seconds(seconds);
    std::size_t modules = 0;
    do {
        modules += TakeQueuedResponses(table, printLines);
    } while (LibraryEventQueue::WaitForEvent(deadline));
    modules += TakeQueuedResponses(table, printLines);
    if (printLines) {
        PrintWarningLines(table);
    } else {
        std::fputs(table.Render(tableOptions).c_str(), stdout);
        std::fflush(stdout);
        modules = table.RowCount();
    }
    std::fprintf(stderr, "%zu modules\n", modules);
    return kExitSuccess;
}

}  // namespace ordvane::cli
