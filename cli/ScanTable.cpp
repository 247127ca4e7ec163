#include "cli/ScanTable.h"

#include "modlist/ModuleRowSort.h"

namespace ordvane::cli {

bool TakeScanTableOptions(std::vector<std::string>& arguments, ScanTableOptions& options,
                          std::string& error) {
    std::vector<std::string> rest;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& name = arguments[index];
        if (name != "--format" && name != "--sort") {
            rest.push_back(name);
            continue;
        }
        if (index + 1 >= arguments.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = arguments[++index];
        if (name == "--format" && !ParseTableFormat(value, &options.format)) {
            error = "unknown format '" + value + "' (use table, csv or json)";
            return false;
        }
        if (name == "--sort" && !ParseTableSort(value, &options.sort, &error)) {
            return false;
        }
        options.requested = true;
    }
    arguments = std::move(rest);
    return true;
}

void ScanTable::Add(const ZEVA_ModuleScanResponseType& response) {
    if (m_modules.Add(response) && HasModuleRow(response)) {
        m_rows.push_back(FormatModuleColumns(response));
    }
}

std::string ScanTable::Render(const ScanTableOptions& options) const {
    std::vector<ModuleColumnTexts> rows = m_rows;
    SortModuleRows(rows, options.sort.column, options.sort.ascending);
    return FormatModuleTable(rows, options.format);
}

}  // namespace ordvane::cli
