#include "cli/ScanTable.h"

#include <algorithm>
#include <map>

#include "modlist/ModuleRowSort.h"

namespace ordvane::cli {

ScanTable::ScanTable(std::optional<std::vector<HostInterface>> hostInterfaces)
    : m_hostInterfaces(std::move(hostInterfaces)) {}

bool ScanTable::Add(const ZEVA_ModuleScanResponseType& response) {
    if (!m_modules.Add(response)) {
        if (HasModuleRow(response)) {
            const ModuleColumnTexts texts = FormatModuleColumns(response);
            m_otherClaimants[texts[kColumnMac]].push_back(texts[kColumnIp]);
        }
        return false;
    }
    m_accepted.push_back(response);
    return true;
}

std::size_t ScanTable::RowCount() const {
    return static_cast<std::size_t>(
        std::count_if(m_accepted.begin(), m_accepted.end(), HasModuleRow));
}

std::vector<ModuleTableRow> ScanTable::Rows(const TableSort& sort) const {
    const std::vector<std::vector<ModuleWarning>> warnings =
        ComputeModuleWarnings(m_accepted, m_hostInterfaces);
    std::vector<ModuleColumnTexts> columns;
    // Rows have distinct MAC texts, so the MAC finds a row's warnings again after sorting.
    std::map<std::string, const std::vector<ModuleWarning>*> warningsByMac;
    for (std::size_t index = 0; index < m_accepted.size(); ++index) {
        if (HasModuleRow(m_accepted[index])) {
            columns.push_back(FormatModuleColumns(m_accepted[index]));
            warningsByMac[columns.back()[kColumnMac]] = &warnings[index];
        }
    }
    SortModuleRows(columns, sort.column, sort.ascending);
    std::vector<ModuleTableRow> rows;
    rows.reserve(columns.size());
    for (ModuleColumnTexts& texts : columns) {
        std::vector<ModuleWarning> rowWarnings = *warningsByMac.at(texts[kColumnMac]);
        const auto claimants = m_otherClaimants.find(texts[kColumnMac]);
        if (claimants != m_otherClaimants.end()) {
            for (const std::string& address : claimants->second) {
                rowWarnings.push_back({ModuleWarningKind::MacClaimedTwice,
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
