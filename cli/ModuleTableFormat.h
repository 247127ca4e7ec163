#pragma once
// The scan command's output: the window's seven columns, texts and order, and each module's
// warnings, as an aligned text table, CSV or JSON. docs/cli.md describes the formats; their
// headings, field names and field order are fixed, since scripts read them.

#include <string>
#include <string_view>
#include <vector>

#include "modlist/ModuleColumns.h"
#include "modlist/ModuleWarnings.h"

namespace ordvane::cli {

enum class TableFormat { kTable, kCsv, kJson };

// One module: the window's seven texts and what ModuleWarnings says about it.
struct ModuleTableRow {
    ModuleColumnTexts columns;
    std::vector<ModuleWarning> warnings;
};

// The heading of the column after the window's seven.
inline constexpr const char* kWarningsHeading = "Warnings";

struct TableSort {
    int column = kColumnIp;
    bool ascending = true;
};

// "table", "csv" or "json"; false for anything else.
[[nodiscard]] bool ParseTableFormat(std::string_view text, TableFormat* format);

// "COLUMN" or "COLUMN:desc" (also ":asc"), COLUMN a heading of the table ("IP", "SN", "GW",
// "DHCP", "Version", "Type", "MAC"; any case) or its index 0 to 6. False with a message in
// error for anything else.
[[nodiscard]] bool ParseTableSort(std::string_view text, TableSort* sort, std::string* error);

// The rows as given (sort them first), headings first. The table and CSV end each row with the
// Warnings column: the machine names of its warnings ("duplicate-ip", ...) separated by blanks;
// the table then lists every warning's sentence under its module's MAC address. The table
// shows control characters as \xNN so that a module's texts cannot steer the terminal. CSV
// quotes every field that holds a comma, quote or line break (RFC 4180). JSON is the document
// {"format": 1, "modules": [...]} (cli/JsonOutput.h), each module an object keyed by the
// lowercase headings (null for N/A, DHCP true or false), then "warnings": an array of
// {"kind", "message"}; bytes that are not UTF-8 become U+FFFD there.
std::string FormatModuleTable(const std::vector<ModuleTableRow>& rows, TableFormat format);

// The machine names of the warnings, separated by blanks; empty without warnings.
std::string WarningKindsText(const std::vector<ModuleWarning>& warnings);

// The pieces of the formats for other commands' tables. Lines of cells, headings first, as an
// aligned text table with control characters shown as \xNN; one CSV record ending in CR LF;
// one JSON string in quotes, non-UTF-8 bytes as U+FFFD (the form in which texts compare).
std::string FormatAlignedCells(const std::vector<std::vector<std::string>>& lines);
std::string FormatCsvRecord(const std::vector<std::string>& cells);
std::string FormatJsonString(std::string_view text);
// Lines of cells, headings first, as the aligned table or as CSV (format kTable or kCsv).
std::string FormatCellLines(const std::vector<std::vector<std::string>>& lines, TableFormat format);

}  // namespace ordvane::cli
