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
#include "cli/CommandOptions.h"
#include "cli/ExitStatus.h"
#include "cli/KnownModulesFile.h"
#include "cli/LibraryEventQueue.h"
#include "cli/ModuleLocator.h"
#include "cli/ScanBaseline.h"
#include "cli/ScanTable.h"
#include "cli/TerminalText.h"
#include "modsvc/ModuleService.h"
#include "zeva/ScanDestinations.h"

namespace ordvane::cli {

namespace {

// Takes every queued answer into the table; prints the new modules' lines unless the table is
// shown at the end, and notes how each asks for passwords. Returns the number of new modules.
std::size_t TakeQueuedResponses(ScanTable& table, bool printLines, KnownModules& known,
                                bool& knownChanged) {
    std::size_t added = 0;
    while (const std::optional<ModuleRecord> answer = NextModuleRecord()) {
        knownChanged = known.Remember(*answer) || knownChanged;
        if (!table.Add(*answer)) {
            continue;
        }
        ++added;
        if (printLines) {
            PrintModuleLine(*answer);
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
        std::fprintf(stderr, "warning: ZEVA_INTERFACES names %s, which %s\n",
                     TerminalSafe(skipped.name).c_str(), SkipReasonText(skipped.reason));
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
    ScanArguments parsed;
    std::string tableError;
    if (!ParseScanArguments(arguments, parsed, tableError)) {
        std::fprintf(stderr,
                     "ordvane-cli scan: %s\nusage: ordvane-cli scan [--seconds S] "
                     "[--format table|csv|json] [--sort COLUMN[:desc]] [--baseline FILE]\n",
                     tableError.c_str());
        return kExitUsage;
    }
    const ScanTableOptions& tableOptions = parsed.table;
    const std::string& baselinePath = parsed.baselinePath;
    const int seconds = parsed.seconds;
    std::vector<ModuleColumnTexts> baseline;
    if (!baselinePath.empty() && !LoadScanBaseline(baselinePath, baseline, tableError)) {
        std::fprintf(stderr, "ordvane-cli scan: %s\n", TerminalSafe(tableError).c_str());
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
    KnownModules known = LoadKnownModulesFile("ordvane-cli scan");
    bool knownChanged = false;
    do {
        modules += TakeQueuedResponses(table, printLines, known, knownChanged);
    } while (LibraryEventQueue::WaitForEvent(deadline));
    modules += TakeQueuedResponses(table, printLines, known, knownChanged);
    if (knownChanged) {
        SaveKnownModulesFile("ordvane-cli scan", known);
    }
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
