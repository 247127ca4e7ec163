#include "cli/ApplyPlan.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "cli/ExitStatus.h"
#include "cli/JsonOutput.h"
#include "config/ConfigureDialogValues.h"
#include "config/ConfigureOverrides.h"
#include "config/ConfigureValidation.h"
#include "config/FixedText.h"
#include "modlist/ModuleColumns.h"
#include "platform/AddressText.h"

namespace ordvane::cli {

namespace {

enum PlanField : std::size_t { kIp, kSn, kGw, kDhcp, kDns1, kDns2, kHostname };

std::optional<std::string> AddressText(std::uint8_t valid, std::uint32_t address) {
    return valid != 0 ? std::optional(FormatIpv4(address)) : std::nullopt;
}

std::optional<std::string> AddressText(const std::optional<std::uint32_t>& address) {
    return address ? std::optional(FormatIpv4(*address)) : std::nullopt;
}

std::uint64_t MacKey(const MacAddress& mac) {
    return MacKeyOf(mac.data());
}

MacAddress MacOf(const ZEVA_ModuleScanResponseType& module) {
    MacAddress mac{};
    std::copy(std::begin(module.macId), std::end(module.macId), mac.begin());
    return mac;
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
    ApplyPreparation(const std::vector<PlanRow>& plan,
                     const std::vector<ZEVA_ModuleScanResponseType>& scanned, bool changePassword)
        : m_plan(plan), m_changePassword(changePassword) {
        for (const ZEVA_ModuleScanResponseType& module : scanned) {
            if (module.macIdValid == 0) {
                continue;
            }
            const std::uint64_t key = MacKey(MacOf(module));
            if (!m_modules.try_emplace(key, module).second) {
                m_claimedTwice.push_back(key);
            }
            if (module.ipAddressValid != 0) {
                m_addressOwners.emplace(module.ipAddress, key);
            }
        }
        for (const PlanRow& row : plan) {
            m_rowsByMac.emplace(MacKey(row.mac), row.line);
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
        const std::uint64_t key = MacKey(row.mac);
        if (const auto found = m_modules.find(key); found != m_modules.end()) {
            item.before = found->second;
        }
        AddPlanConflicts(row, item.problems);
        if (!item.before) {
            item.problems.push_back("module not found in the scan");
        } else {
            AddModuleProblems(row, *item.before, item.problems);
            item.changes = SettingsOffPlan(row, *item.before);
            if (m_changePassword) {
                item.changes.push_back("Password");
            }
        }
        if (!item.problems.empty()) {
            item.result = ApplyResult::kNotSent;
        } else {
            item.result = item.changes.empty() ? ApplyResult::kUnchanged : ApplyResult::kToChange;
        }
        return item;
    }

    void AddPlanConflicts(const PlanRow& row, std::vector<std::string>& problems) const {
        const auto [firstMac, lastMac] = m_rowsByMac.equal_range(MacKey(row.mac));
        for (auto other = firstMac; other != lastMac; ++other) {
            if (other->second != row.line) {
                problems.push_back("MAC also on " + LineText(other->second));
            }
        }
        if (std::find(m_claimedTwice.begin(), m_claimedTwice.end(), MacKey(row.mac)) !=
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
            if (owner->second != MacKey(row.mac)) {
                problems.push_back("IP " + FormatIpv4(*address) + " is in use by " +
                                   FormatMacAddress(m_modules.at(owner->second).macId));
            }
        }
    }

    // The configuration dialog's own checks on the values the request would carry.
    static void AddModuleProblems(const PlanRow& row, const ZEVA_ModuleScanResponseType& module,
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
    static void AddUnreportedProblems(const PlanRow& row, const ZEVA_ModuleScanResponseType& module,
                                      std::vector<std::string>& problems) {
        // With DHCP planned on, the server decides the address fields: they are not compared.
        const bool addressesPlanned = !row.dhcpOn.value_or(false);
        // A module in DHCP mode without a lease reports no address and no mask, but takes both
        // when it is switched to a static address.
        const bool waitsForLease = module.dhcpValid != 0 && module.dhcp != 0 &&
                                   module.ipAddressValid == 0 && row.dhcpOn == false;
        const struct {
            bool planned;
            std::uint8_t reported;
            const char* name;
        } fields[] = {
            {addressesPlanned && row.ipAddress.has_value(),
             static_cast<std::uint8_t>(module.ipAddressValid | waitsForLease), "IP"},
            {addressesPlanned && row.subnetMask.has_value(),
             static_cast<std::uint8_t>(module.subnetMaskValid | waitsForLease), "SN"},
            {addressesPlanned && row.gateway.has_value(), module.gatewayValid, "GW"},
            {row.dhcpOn.has_value(), module.dhcpValid, "DHCP"},
            {row.primaryDns.has_value(), module.dns1Valid, "DNS1"},
            {row.secondaryDns.has_value(), module.dns2Valid, "DNS2"},
            {row.hostname.has_value(), module.hostnameValid, "Hostname"},
        };
        for (const auto& field : fields) {
            if (field.planned && field.reported == 0) {
                problems.push_back(std::string("the module does not report ") + field.name +
                                   ", so it cannot be set");
            }
        }
    }

    const std::vector<PlanRow>& m_plan;
    bool m_changePassword;
    std::unordered_map<std::uint64_t, ZEVA_ModuleScanResponseType> m_modules;
    std::vector<std::uint64_t> m_claimedTwice;
    std::multimap<std::uint32_t, std::uint64_t> m_addressOwners;
    std::multimap<std::uint64_t, std::size_t> m_rowsByMac;
    std::multimap<std::uint32_t, std::size_t> m_rowsByAddress;
};

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

bool Changes(const ApplyItem& item, std::size_t field) {
    return std::find(item.changes.begin(), item.changes.end(), kPlanFieldHeadings[field]) !=
           item.changes.end();
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
    const PlanFieldTexts current = item.before ? ModuleFieldTexts(*item.before) : PlanFieldTexts{};
    const PlanFieldTexts planned = PlanRowFieldTexts(item.plan);
    for (std::size_t field = 0; field < kPlanFieldCount; ++field) {
        std::string cell = current[field].value_or(kNotAvailableText);
        if (Changes(item, field)) {
            cell += " -> " + planned[field].value_or("");
        }
        cells.push_back(cell);
    }
    cells.push_back(ResultText(item));
    return cells;
}

std::vector<std::string> ReportHeadings() {
    std::vector<std::string> headings = {"MAC", "Line"};
    headings.insert(headings.end(), kPlanFieldHeadings.begin(), kPlanFieldHeadings.end());
    headings.emplace_back("Result");
    return headings;
}

// The settings under their lowercase headings: null where a module reports nothing or the plan
// keeps the value, DHCP true or false.
Json JsonFields(const PlanFieldTexts& texts) {
    Json fields = Json::object();
    for (std::size_t field = 0; field < kPlanFieldCount; ++field) {
        const std::string_view heading = kPlanFieldHeadings[field];
        fields[JsonKey(heading)] =
            texts[field] ? JsonText(*texts[field], heading == "DHCP") : Json(nullptr);
    }
    return fields;
}

Json JsonItem(const ApplyItem& item) {
    Json changes = Json::array();
    for (const std::string& change : item.changes) {
        changes.push_back(JsonKey(change));
    }
    return {{"mac", FormatMacAddress(item.plan.mac.data())},
            {"line", item.plan.line},
            {"result", ApplyResultName(item.result)},
            {"changes", std::move(changes)},
            {"problems", item.problems},
            {"planned", JsonFields(PlanRowFieldTexts(item.plan))},
            {"before", item.before ? JsonFields(ModuleFieldTexts(*item.before)) : Json(nullptr)},
            {"after", item.after ? JsonFields(ModuleFieldTexts(*item.after)) : Json(nullptr)}};
}

}  // namespace

std::uint64_t MacKeyOf(const std::uint8_t* mac) {
    std::uint64_t key = 0;
    for (std::size_t index = 0; index < 6; ++index) {
        key = key << 8 | mac[index];
    }
    return key;
}

PlanFieldTexts ModuleFieldTexts(const ZEVA_ModuleScanResponseType& module) {
    PlanFieldTexts texts;
    texts[kIp] = AddressText(module.ipAddressValid, module.ipAddress);
    texts[kSn] = AddressText(module.subnetMaskValid, module.subnetMask);
    texts[kGw] = AddressText(module.gatewayValid, module.gateway);
    if (module.dhcpValid != 0) {
        texts[kDhcp] = module.dhcp != 0 ? "On" : "Off";
    }
    texts[kDns1] = AddressText(module.dns1Valid, module.dns1);
    texts[kDns2] = AddressText(module.dns2Valid, module.dns2);
    if (module.hostnameValid != 0) {
        texts[kHostname] = std::string(FixedTextView(module.hostname));
    }
    return texts;
}

PlanFieldTexts PlanRowFieldTexts(const PlanRow& row) {
    PlanFieldTexts texts;
    texts[kIp] = AddressText(row.ipAddress);
    texts[kSn] = AddressText(row.subnetMask);
    texts[kGw] = AddressText(row.gateway);
    if (row.dhcpOn) {
        texts[kDhcp] = *row.dhcpOn ? "On" : "Off";
    }
    texts[kDns1] = AddressText(row.primaryDns);
    texts[kDns2] = AddressText(row.secondaryDns);
    texts[kHostname] = row.hostname;
    return texts;
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
                                    const std::vector<ZEVA_ModuleScanResponseType>& scanned,
                                    bool changePassword) {
    return ApplyPreparation(plan, scanned, changePassword).Prepare();
}

std::vector<std::string> SettingsOffPlan(const PlanRow& plan,
                                         const ZEVA_ModuleScanResponseType& module) {
    const PlanFieldTexts wanted = PlanRowFieldTexts(plan);
    const PlanFieldTexts shown = ModuleFieldTexts(module);
    const bool serverDecidesAddress = plan.dhcpOn.value_or(false);
    std::vector<std::string> off;
    for (std::size_t field = 0; field < kPlanFieldCount; ++field) {
        const bool addressSetting = field == kIp || field == kSn || field == kGw;
        if (wanted[field] && !(serverDecidesAddress && addressSetting) &&
            wanted[field] != shown[field]) {
            off.emplace_back(kPlanFieldHeadings[field]);
        }
    }
    return off;
}

void SettleApplyResult(ApplyItem& item, const std::optional<ZEVA_ModuleScanResponseType>& after,
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
    const PlanFieldTexts before = ModuleFieldTexts(*item.before);
    const PlanFieldTexts now = ModuleFieldTexts(*after);
    bool anyMoved = false;
    for (std::size_t field = 0; field < kPlanFieldCount; ++field) {
        anyMoved = anyMoved || (Changes(item, field) && before[field] != now[field]);
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
