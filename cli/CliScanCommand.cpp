// ordvane-cli scan: one scan through libzeva.so. Without --format or --sort each new module is
// printed as its answer arrives: "<MAC> <IP> <type>", with "N/A" for a value the module did not
// report; the fleet's warnings follow on standard error once the scan is over, since a warning
// may depend on a module that answers later. With --format or --sort the answers are shown at
// the end instead, as the window's table with a warnings column (ScanTable.h).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/ExitStatus.h"
#include "cli/LibraryEventQueue.h"
#include "cli/ModuleLocator.h"
#include "cli/ScanBaseline.h"
#include "cli/ScanTable.h"
#include "cli/TerminalText.h"
#include "modsvc/ModuleService.h"
#include "platform/SaturatingAtoi.h"
#include "zeva/ScanDestinations.h"

namespace ordvane::cli {

namespace {

constexpr int kDefaultSeconds = 3;

bool ParseSeconds(std::span<const std::string> arguments, int& seconds) {
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] != "--seconds" || index + 1 >= arguments.size()) {
            return false;
        }
        if (!ParseSecondsValue(arguments[++index], seconds)) {
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

// Takes "--baseline FILE" out of the arguments; false when FILE is missing.
bool TakeBaselineOption(std::vector<std::string>& arguments, std::string& path) {
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] != "--baseline") {
            continue;
        }
        if (index + 1 >= arguments.size()) {
            return false;
        }
        path = arguments[index + 1];
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(index),
                        arguments.begin() + static_cast<std::ptrdiff_t>(index) + 2);
        return true;
    }
    return true;
}

// The scan set against the baseline: 0 when nothing changed, 5 when something did.
int ReportBaselineChanges(const ScanTable& table, const std::vector<ModuleColumnTexts>& baseline,
                          TableFormat format) {
    std::vector<ModuleColumnTexts> current;
    for (const ModuleTableRow& row : table.Rows(TableSort{kColumnMac, true})) {
        current.push_back(row.columns);
    }
    const std::vector<BaselineChange> changes = CompareWithBaseline(baseline, current);
    std::fputs(FormatBaselineChanges(changes, format).c_str(), stdout);
    std::fflush(stdout);
    std::fprintf(stderr, "%zu modules, %zu changed since the baseline\n", current.size(),
                 changes.size());
    return changes.empty() ? kExitSuccess : kExitChanged;
}

const char* SkipReasonText(zeva::SkippedInterfaceReason reason) {
    switch (reason) {
        case zeva::SkippedInterfaceReason::kMissing:
            return "does not exist";
        case zeva::SkippedInterfaceReason::kDown:
            return "is down";
        case zeva::SkippedInterfaceReason::kNotBroadcast:
            return "cannot broadcast";
        case zeva::SkippedInterfaceReason::kLoopback:
            return "is loopback";
    }
    return "is not scanned";
}

// Reads the interfaces as the library does for the scan about to start.
void ReportScannedInterfaces() {
    const zeva::ScanInterfaces interfaces = zeva::CollectScanInterfaces();
    for (const zeva::SkippedInterface& skipped : interfaces.skipped) {
        std::fprintf(stderr, "warning: ZEVA_INTERFACES names %s, which %s\n", skipped.name.c_str(),
                     SkipReasonText(skipped.reason));
    }
    for (const auto& scanned : interfaces.scanned) {
        std::fprintf(stderr, "scanning %s\n", scanned.name.c_str());
    }
    const char* targets = std::getenv("ZEVA_TARGETS");
    if (interfaces.scanned.empty() && (targets == nullptr || *targets == '\0')) {
        std::fprintf(stderr, "warning: no interface to scan and no ZEVA_TARGETS\n");
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
    std::string baselinePath;
    int seconds = kDefaultSeconds;
    if (!TakeBaselineOption(otherArguments, baselinePath) ||
        !ParseSeconds(otherArguments, seconds)) {
        std::fprintf(stderr,
                     "usage: ordvane-cli scan [--seconds S] [--format table|csv|json] "
                     "[--sort COLUMN[:desc]] [--baseline FILE]  (S from 1 to 3600)\n");
        return kExitUsage;
    }
    std::vector<ModuleColumnTexts> baseline;
    if (!baselinePath.empty() && !LoadScanBaseline(baselinePath, baseline, tableError)) {
        std::fprintf(stderr, "ordvane-cli scan: %s\n", tableError.c_str());
        return kExitUsage;
    }
    if (!StartModuleService()) {
        return kExitFailure;
    }
    ScanTable table(ReadHostInterfaces());
    const bool printLines = !tableOptions.requested && baselinePath.empty();
    ReportScannedInterfaces();
    ZEVA_SendModuleScan();
    const auto deadline = LibraryEventQueue::Clock::now() + std::chrono::seconds(seconds);
    std::size_t modules = 0;
    do {
        modules += TakeQueuedResponses(table, printLines);
    } while (LibraryEventQueue::WaitForEvent(deadline));
    modules += TakeQueuedResponses(table, printLines);
    if (!baselinePath.empty()) {
        return ReportBaselineChanges(table, baseline, tableOptions.format);
    }
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
