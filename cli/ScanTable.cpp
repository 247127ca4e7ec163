#include "cli/ScanTable.h"

#include <algorithm>
#include <map>

#include "modlist/ModuleRowSort.h"

namespace ordvane::cli {

ScanTable::ScanTable(std::optional<std::vector<HostInterface>> hostInterfaces)
    : m_fleet(std::move(hostInterfaces)) {}

bool ScanTable::Add(const ModuleRecord& record) {
    if (!m_fleet.Add(record)) {
        if (HasModuleRow(record)) {
            const ModuleColumnTexts texts = FormatModuleColumns(record);
            m_otherClaimants[texts[kColumnMac]].push_back(texts[kColumnIp]);
        }
        return false;
    }
    return true;
}

std::size_t ScanTable::RowCount() const {
    const std::vector<ModuleRecord>& records = m_fleet.Records();
    return static_cast<std::size_t>(
        std::count_if(records.begin(), records.end(),
                      [](const ModuleRecord& record) { return HasModuleRow(record); }));
}

std::vector<ModuleTableRow> ScanTable::Rows(const TableSort& sort) const {
    std::vector<ModuleColumnTexts> columns;
    // Rows have distinct MAC texts, so the MAC finds a row's warnings again after sorting.
    std::map<std::string, std::vector<ModuleWarning>> warningsByMac;
    for (std::size_t index = 0; index < m_fleet.Count(); ++index) {
        if (HasModuleRow(*m_fleet.At(index))) {
            columns.push_back(FormatModuleColumns(*m_fleet.At(index)));
            warningsByMac[columns.back()[kColumnMac]] = m_fleet.Warnings().WarningsOf(index);
        }
    }
    SortModuleRows(columns, sort.column, sort.ascending);
    std::vector<ModuleTableRow> rows;
    rows.reserve(columns.size());
    for (ModuleColumnTexts& texts : columns) {
        std::vector<ModuleWarning> rowWarnings = warningsByMac.at(texts[kColumnMac]);
        const auto claimants = m_otherClaimants.find(texts[kColumnMac]);
        if (claimants != m_otherClaimants.end()) {
            for (const std::string& address : claimants->second) {
                rowWarnings.push_back({ModuleWarningKind::kMacClaimedTwice,
                                       "another device answers for this MAC too, as " + address +
                                           "; configure and wink are refused"});
            }
        }
        rows.push_back({std::move(texts), std::move(rowWarnings)});
    }
    return rows;
}

std::string ScanTable::Render(const ScanTableOptions& options) const {
    return FormatModuleTable(Rows(options.sort), options.format);
}

}  // namespace ordvane::cli
