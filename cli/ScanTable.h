#pragma once
// The scan command's table output: the answers of one scan with the window's rules (first
// answer per MAC address wins, no row without a MAC address), in the window's seven columns,
// sorted by one of them, as a text table, CSV or JSON.

#include <cstddef>
#include <string>
#include <vector>

#include "cli/ModuleTableFormat.h"
#include "modlist/ModuleColumns.h"
#include "modlist/ModuleResponseStore.h"

namespace ordvane::cli {

struct ScanTableOptions {
    bool requested = false;  // --format or --sort was given
    TableFormat format = TableFormat::kTable;
    TableSort sort;
};

// Takes "--format F" and "--sort COLUMN[:desc]" out of the arguments and leaves the rest for
// the command's other options. False, with a message in error, for a bad or missing value.
bool TakeScanTableOptions(std::vector<std::string>& arguments, ScanTableOptions& options,
                          std::string& error);

class ScanTable {
public:
    void Add(const ZEVA_ModuleScanResponseType& response);
    std::size_t RowCount() const { return m_rows.size(); }
    // The rows sorted as the options say (rows that compare equal stay in arrival order).
    std::string Render(const ScanTableOptions& options) const;

private:
    ModuleResponseStore m_modules;
    std::vector<ModuleColumnTexts> m_rows;
};

}  // namespace ordvane::cli
