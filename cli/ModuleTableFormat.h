#pragma once
// The scan command's output: the window's seven columns, texts and order, as an aligned text
// table, CSV or JSON.

#include <string>
#include <string_view>
#include <vector>

#include "modlist/ModuleColumns.h"

namespace ordvane::cli {

enum class TableFormat { kTable, kCsv, kJson };

struct TableSort {
    int column = kColumnIp;
    bool ascending = true;
};

// "table", "csv" or "json"; false for anything else.
bool ParseTableFormat(std::string_view text, TableFormat* format);

// "COLUMN" or "COLUMN:desc" (also ":asc"), COLUMN a heading of the table ("IP", "SN", "GW",
// "DHCP", "Version", "Type", "MAC"; any case) or its index 0 to 6. False with a message in
// error for anything else.
bool ParseTableSort(std::string_view text, TableSort* sort, std::string* error);

// The rows as given (sort them first), headings first. The table shows control characters as
// \xNN so that a module's texts cannot steer the terminal. CSV quotes every field that holds a
// comma, quote or line break (RFC 4180). JSON is an array of objects keyed by heading; bytes
// that are not UTF-8 become U+FFFD there, since JSON text must be UTF-8.
std::string FormatModuleTable(const std::vector<ModuleColumnTexts>& rows, TableFormat format);

}  // namespace ordvane::cli
