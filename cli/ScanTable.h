#pragma once
// The answers of one scan with the window's rules (first answer per MAC address wins, no row
// without a MAC address) and the warnings about the fleet they make up, including a MAC that a
// second device claimed in the same scan (the library passes on one answer per sender); shown at
// the end in the
// window's seven columns and a warnings column, sorted by one of them, as a text table, CSV or
// JSON.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/ModuleTableFormat.h"
#include "modlist/Fleet.h"
#include "modlist/ModuleColumns.h"

namespace ordvane::cli {

struct ScanTableOptions {
    bool requested = false;  // --format or --sort was given
    TableFormat format = TableFormat::kTable;
    TableSort sort;
};

class ScanTable {
public:
    // hostInterfaces: this host's networks, for the off-subnet warning; nullopt gives none.
    explicit ScanTable(std::optional<std::vector<HostInterface>> hostInterfaces = std::nullopt);

    // True when the answer is the first of its MAC address (a new module), which is kept; a
    // later one is remembered as a second device claiming that MAC.
    bool Add(const ModuleRecord& record);
    // Modules with a row: those that reported a MAC address.
    std::size_t RowCount() const;
    // Every row with its warnings, sorted (rows that compare equal stay in arrival order).
    std::vector<ModuleTableRow> Rows(const TableSort& sort) const;
    std::string Render(const ScanTableOptions& options) const;

private:
    // The accepted answers in arrival order, rows or not: a module without a MAC address still
    // shares its IP address with others.
    Fleet m_fleet;
    // Per MAC text, the IP texts of the further answers for a MAC that already has a row.
    std::map<std::string, std::vector<std::string>> m_otherClaimants;
};

}  // namespace ordvane::cli
