#pragma once
// The plan of ordvane-cli apply set against a scan: which module each row names, what would
// change, what stops a row before anything is sent, and, after sending and rescanning, what
// became of each module. No network here; CliApplyCommand.cpp does the sending.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cli/ModuleTableFormat.h"
#include "cli/PlanFile.h"
#include "journal/SettingValues.h"
#include "modsvc/ModuleRecord.h"

namespace ordvane::cli {

// The settings a plan row wants, in ModuleSetting order (the plan's and the report's columns):
// nothing where the plan keeps the module's value.
SettingValues PlannedSettingValues(const PlanRow& row);

enum class ApplyResult {
    kUnchanged,        // already at its plan: nothing sent
    kToChange,         // dry run: would be configured
    kNotSent,          // a problem found before sending
    kVerified,         // configured, and the rescan shows the plan
    kRefusedPassword,  // the module refused the password
    kNoAnswer,         // no answer to the configure or to the rescan
    kNotAsPlanned,     // the rescan shows other values than planned
};

// "unchanged", "to-change", "not-sent", "verified", "refused-password", "no-answer",
// "not-as-planned": the JSON and CSV names, fixed since scripts read them.
const char* ApplyResultName(ApplyResult result);

struct ApplyItem {
    PlanRow plan;
    std::optional<ModuleRecord> before;  // from the first scan
    std::optional<ModuleRecord> after;   // from the rescan
    std::vector<ModuleSetting> changes;  // the settings that change
    bool passwordChanges = false;        // every password is to change
    std::vector<std::string> problems;   // found before sending; any stops the row
    ApplyResult result = ApplyResult::kUnchanged;
};

// Sets every plan row against the scan's answers (arrival order). A row changes when a
// setting it names differs from what the module reports, or always when every password is to
// change. Problems: a module not found, a MAC that two plan rows name or two devices claim,
// two rows with one IP, an IP another module has now (even one the plan moves away: requests
// are in flight together, so a swap would meet a duplicate address on the way), and what the
// configuration dialog's checks refuse. Results are kUnchanged, kToChange or kNotSent.
std::vector<ApplyItem> PrepareApply(const std::vector<PlanRow>& plan,
                                    const std::vector<ModuleRecord>& scanned, bool changePassword);

// The planned settings the module does not show. With DHCP planned On the DHCP server decides
// IP, SN and GW, so they are not compared.
std::vector<ModuleSetting> SettingsOffPlan(const PlanRow& plan, const ModuleRecord& module);

// The result of a row that was sent, from the rescan's answer (nothing: no answer) and whether
// the module refused the password. A module still showing its old values in every setting
// meant to change never took the request: no answer.
void SettleApplyResult(ApplyItem& item, const std::optional<ModuleRecord>& after,
                       bool refusedPassword);

// 0 when every row ends at its plan, 3 when any module refused the password, else 4 when any
// did not answer, else 1.
[[nodiscard]] int ApplyExitStatus(const std::vector<ApplyItem>& items);

// The plan as a table: MAC, the plan's line, each setting as "current" or
// "current -> planned", and the result with its problems; CSV with the same cells; JSON as
// docs/cli.md describes.
std::string FormatApplyReport(const std::vector<ApplyItem>& items, TableFormat format);

}  // namespace ordvane::cli
