#include "cli/ApplyPlan.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "cli/ExitStatus.h"
#include "cli/JsonOutput.h"
#include "config/ConfigureDialogValues.h"
#include "config/ConfigureOverrides.h"
#include "config/ConfigureValidation.h"
#include "modlist/ModuleColumns.h"
#include "platform/AddressText.h"

namespace ordvane::cli {

namespace {

constexpr std::array kSettings = {
    ModuleSetting::kIp,   ModuleSetting::kSubnetMask, ModuleSetting::kGateway, ModuleSetting::kDhcp,
    ModuleSetting::kDns1, ModuleSetting::kDns2,       ModuleSetting::kHostname};

bool IsAddressSetting(ModuleSetting setting) {
    return setting == ModuleSetting::kIp || setting == ModuleSetting::kSubnetMask ||
           setting == ModuleSetting::kGateway;
}

std::size_t At(ModuleSetting setting) {
    return static_cast<std::size_t>(setting);
}

// The IP address a row leaves its module with, when the plan decides it.
std::optional<std::uint32_t> PlannedAddress(const PlanRow& row) {
    return row.dhcpOn.value_or(false) ? std::nullopt : row.ipAddress;
}

std::string LineText(std::size_t line) {
    return "line " + std::to_string(line);
}

class ApplyPreparation {
public:
    ApplyPreparation(const std::vector<PlanRow>& plan, const std::vector<ModuleRecord>& scanned,
                     bool changePassword)
        : m_plan(plan), m_changePassword(changePassword) {
        for (const ModuleRecord& module : scanned) {
            if (!module.mac) {
                continue;
            }
            if (!m_modules.try_emplace(*module.mac, module).second) {
                m_claimedTwice.push_back(*module.mac);
            }
            if (module.ipAddress) {
                m_addressOwners.emplace(module.ipAddress->Value(), *module.mac);
            }
        }
        for (const PlanRow& row : plan) {
            m_rowsByMac.emplace(row.mac, row.line);
            if (const std::optional<std::uint32_t> address = PlannedAddress(row)) {
                m_rowsByAddress.emplace(*address, row.line);
            }
        }
    }

    std::vector<ApplyItem> Prepare() const {
        std::vector<ApplyItem> items;
        items.reserve(m_plan.size());
        for (const PlanRow& row : m_plan) {
            items.push_back(PrepareRow(row));
        }
        return items;
    }

private:
    ApplyItem PrepareRow(const PlanRow& row) const {
        ApplyItem item;
        item.plan = row;
        if (const auto found = m_modules.find(row.mac); found != m_modules.end()) {
            item.before = found->second;
        }
        AddPlanConflicts(row, item.problems);
        if (!item.before) {
            item.problems.push_back("module not found in the scan");
        } else {
            AddModuleProblems(row, *item.before, item.problems);
            item.changes = SettingsOffPlan(row, *item.before);
            item.passwordChanges = m_changePassword;
        }
        if (!item.problems.empty()) {
            item.result = ApplyResult::kNotSent;
        } else {
            item.result = item.changes.empty() && !item.passwordChanges ? ApplyResult::kUnchanged
                                                                        : ApplyResult::kToChange;
        }
        return item;
    }

    void AddPlanConflicts(const PlanRow& row, std::vector<std::string>& problems) const {
        const auto [firstMac, lastMac] = m_rowsByMac.equal_range(row.mac);
        for (auto other = firstMac; other != lastMac; ++other) {
            if (other->second != row.line) {
                problems.push_back("MAC also on " + LineText(other->second));
            }
        }
        if (std::find(m_claimedTwice.begin(), m_claimedTwice.end(), row.mac) !=
            m_claimedTwice.end()) {
            problems.push_back("MAC claimed by two devices");
        }
        const std::optional<std::uint32_t> address = PlannedAddress(row);
        if (!address) {
            return;
        }
        const auto [firstRow, lastRow] = m_rowsByAddress.equal_range(*address);
        for (auto other = firstRow; other != lastRow; ++other) {
            if (other->second != row.line) {
                problems.push_back("IP " + FormatIpv4(*address) + " also planned on " +
                                   LineText(other->second));
            }
        }
        const auto [firstOwner, lastOwner] = m_addressOwners.equal_range(*address);
        for (auto owner = firstOwner; owner != lastOwner; ++owner) {
            if (owner->second != row.mac) {
                problems.push_back("IP " + FormatIpv4(*address) + " is in use by " +
                                   owner->second.Text());
            }
        }
    }

    // The configuration dialog's own checks on the values the request would carry.
    static void AddModuleProblems(const PlanRow& row, const ModuleRecord& module,
                                  std::vector<std::string>& problems) {
        if (row.hostname && row.hostname->size() > kDialogTextLimit) {
            problems.push_back("the hostname has more than 29 characters");
            return;
        }
        AddUnreportedProblems(row, module, problems);
        const ConfigureDialogInput prefill = PrefillFromModule(module);
        const ConfigureDialogOutput values = ApplyConfigureOverrides(prefill, PlanOverrides(row));
        if (const char* refusal = FirstConfigureRefusal(values.hostname, values.ipAddress,
                                                        ReportedHostname(prefill))) {
            problems.emplace_back(refusal);
        }
    }

    // A module takes only the values it reports (the dialog offers no other field, and the
    // module ignores the rest of a request), so planning another one could never be verified.
    static void AddUnreportedProblems(const PlanRow& row, const ModuleRecord& module,
                                      std::vector<std::string>& problems) {
        // With DHCP planned on, the server decides the address fields: they are not compared.
        const bool addressesPlanned = !row.dhcpOn.value_or(false);
        // A module in DHCP mode without a lease reports no address and no mask, but takes both
        // when it is switched to a static address.
        const bool waitsForLease =
            module.dhcp.value_or(false) && !module.ipAddress && row.dhcpOn == false;
        const struct {
            bool planned;
            bool reported;
            const char* name;
        } fields[] = {
            {addressesPlanned && row.ipAddress.has_value(),
             module.ipAddress.has_value() || waitsForLease, "IP"},
            {addressesPlanned && row.subnetMask.has_value(),
             module.subnetMask.has_value() || waitsForLease, "SN"},
            {addressesPlanned && row.gateway.has_value(), module.gateway.has_value(), "GW"},
            {row.dhcpOn.has_value(), module.dhcp.has_value(), "DHCP"},
            {row.primaryDns.has_value(), module.primaryDns.has_value(), "DNS1"},
            {row.secondaryDns.has_value(), module.secondaryDns.has_value(), "DNS2"},
            {row.hostname.has_value(), module.hostname.has_value(), "Hostname"},
        };
        for (const auto& field : fields) {
            if (field.planned && !field.reported) {
                problems.push_back(std::string("the module does not report ") + field.name +
                                   ", so it cannot be set");
            }
        }
    }

    const std::vector<PlanRow>& m_plan;
    bool m_changePassword;
    std::unordered_map<MacAddress, ModuleRecord> m_modules;
    std::vector<MacAddress> m_claimedTwice;
    std::multimap<std::uint32_t, MacAddress> m_addressOwners;
    std::multimap<MacAddress, std::size_t> m_rowsByMac;
    std::multimap<std::uint32_t, std::size_t> m_rowsByAddress;
};

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

bool Changes(const ApplyItem& item, ModuleSetting setting) {
    return std::find(item.changes.begin(), item.changes.end(), setting) != item.changes.end();
}

std::string ResultText(const ApplyItem& item) {
    std::string text = ApplyResultName(item.result);
    if (!item.problems.empty()) {
        text += ": " + Joined(item.problems, "; ");
    }
    return text;
}

std::vector<std::string> ReportCells(const ApplyItem& item) {
    std::vector<std::string> cells = {FormatMacAddress(item.plan.mac.data()),
                                      std::to_string(item.plan.line)};
    const SettingValues current =
        item.before ? ReportedSettingValues(*item.before) : SettingValues{};
    const SettingValues planned = PlannedSettingValues(item.plan);
    for (const ModuleSetting setting : kSettings) {
        std::string cell = SettingValueText(current[At(setting)]).value_or(kNotAvailableText);
        if (Changes(item, setting)) {
            cell += " -> " + SettingValueText(planned[At(setting)]).value_or("");
        }
        cells.push_back(cell);
    }
    cells.push_back(ResultText(item));
    return cells;
}

std::vector<std::string> ReportHeadings() {
    std::vector<std::string> headings = {"MAC", "Line"};
    for (const ModuleSetting setting : kSettings) {
        headings.emplace_back(ModuleSettingName(setting));
    }
    headings.emplace_back("Result");
    return headings;
}

// The settings under their lowercase headings: null where a module reports nothing or the plan
// keeps the value, DHCP true or false.
Json JsonFields(const SettingValues& values) {
    Json fields = Json::object();
    for (const ModuleSetting setting : kSettings) {
        const std::optional<SettingValue>& value = values[At(setting)];
        Json field(nullptr);
        if (value && std::holds_alternative<bool>(*value)) {
            field = std::get<bool>(*value);
        } else if (value) {
            field = JsonText(SettingValueText(*value), false);
        }
        fields[JsonKey(ModuleSettingName(setting))] = std::move(field);
    }
    return fields;
}

Json JsonItem(const ApplyItem& item) {
    Json changes = Json::array();
    for (const ModuleSetting change : item.changes) {
        changes.push_back(JsonKey(ModuleSettingName(change)));
    }
    if (item.passwordChanges) {
        changes.push_back(JsonKey("Password"));
    }
    return {
        {"mac", FormatMacAddress(item.plan.mac.data())},
        {"line", item.plan.line},
        {"result", ApplyResultName(item.result)},
        {"changes", std::move(changes)},
        {"problems", item.problems},
        {"planned", JsonFields(PlannedSettingValues(item.plan))},
        {"before", item.before ? JsonFields(ReportedSettingValues(*item.before)) : Json(nullptr)},
        {"after", item.after ? JsonFields(ReportedSettingValues(*item.after)) : Json(nullptr)}};
}

}  // namespace

SettingValues PlannedSettingValues(const PlanRow& row) {
    const auto address = [](const std::optional<std::uint32_t>& value) {
        return value ? std::optional(Ipv4Address(*value)) : std::nullopt;
    };
    ModuleRecord wanted;  // the module as the plan wants it, the rest unreported
    wanted.ipAddress = address(row.ipAddress);
    wanted.subnetMask = address(row.subnetMask);
    wanted.gateway = address(row.gateway);
    wanted.dhcp = row.dhcpOn;
    wanted.primaryDns = address(row.primaryDns);
    wanted.secondaryDns = address(row.secondaryDns);
    wanted.hostname = row.hostname;
    return ReportedSettingValues(wanted);
}

const char* ApplyResultName(ApplyResult result) {
    switch (result) {
        case ApplyResult::kUnchanged:
            return "unchanged";
        case ApplyResult::kToChange:
            return "to-change";
        case ApplyResult::kNotSent:
            return "not-sent";
        case ApplyResult::kVerified:
            return "verified";
        case ApplyResult::kRefusedPassword:
            return "refused-password";
        case ApplyResult::kNoAnswer:
            return "no-answer";
        case ApplyResult::kNotAsPlanned:
            return "not-as-planned";
    }
    return "unknown";
}

std::vector<ApplyItem> PrepareApply(const std::vector<PlanRow>& plan,
                                    const std::vector<ModuleRecord>& scanned, bool changePassword) {
    return ApplyPreparation(plan, scanned, changePassword).Prepare();
}

std::vector<ModuleSetting> SettingsOffPlan(const PlanRow& plan, const ModuleRecord& module) {
    const SettingValues wanted = PlannedSettingValues(plan);
    const SettingValues shown = ReportedSettingValues(module);
    const bool serverDecidesAddress = plan.dhcpOn.value_or(false);
    std::vector<ModuleSetting> off;
    for (const ModuleSetting setting : kSettings) {
        const std::size_t index = At(setting);
        if (wanted[index] && !(serverDecidesAddress && IsAddressSetting(setting)) &&
            wanted[index] != shown[index]) {
            off.push_back(setting);
        }
    }
    return off;
}

void SettleApplyResult(ApplyItem& item, const std::optional<ModuleRecord>& after,
                       bool refusedPassword) {
    item.after = after;
    if (refusedPassword) {
        item.result = ApplyResult::kRefusedPassword;
        return;
    }
    if (!after) {
        item.result = ApplyResult::kNoAnswer;
        return;
    }
    if (SettingsOffPlan(item.plan, *after).empty()) {
        item.result = ApplyResult::kVerified;
        return;
    }
    const SettingValues before =
        item.before ? ReportedSettingValues(*item.before) : SettingValues{};
    const SettingValues now = ReportedSettingValues(*after);
    bool anyMoved = false;
    for (const ModuleSetting setting : item.changes) {
        anyMoved = anyMoved || before[At(setting)] != now[At(setting)];
    }
    item.result = anyMoved ? ApplyResult::kNotAsPlanned : ApplyResult::kNoAnswer;
}

int ApplyExitStatus(const std::vector<ApplyItem>& items) {
    const auto any = [&](ApplyResult result) {
        return std::any_of(items.begin(), items.end(),
                           [&](const ApplyItem& item) { return item.result == result; });
    };
    if (any(ApplyResult::kRefusedPassword)) {
        return kExitInvalidPassword;
    }
    if (any(ApplyResult::kNoAnswer)) {
        return kExitTimeout;
    }
    const bool allAtPlan = std::all_of(items.begin(), items.end(), [](const ApplyItem& item) {
        return item.result == ApplyResult::kUnchanged || item.result == ApplyResult::kVerified;
    });
    return allAtPlan ? kExitSuccess : kExitFailure;
}

std::string FormatApplyReport(const std::vector<ApplyItem>& items, TableFormat format) {
    if (format == TableFormat::kJson) {
        JsonDocumentWriter document("rows");
        for (const ApplyItem& item : items) {
            document.Add(JsonItem(item));
        }
        return document.Finish();
    }
    std::vector<std::vector<std::string>> lines = {ReportHeadings()};
    for (const ApplyItem& item : items) {
        lines.push_back(ReportCells(item));
    }
    return FormatCellLines(lines, format);
}

}  // namespace ordvane::cli
