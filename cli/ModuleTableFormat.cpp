#include "cli/ModuleTableFormat.h"

#include <algorithm>
#include <cctype>

#include "cli/JsonOutput.h"
#include "cli/TerminalText.h"
#include "modlist/ColumnList.h"
#include "platform/SpreadsheetCell.h"
#include "platform/Utf8Text.h"

namespace ordvane::cli {

namespace {

std::vector<std::string> Headings() {
    std::vector<std::string> headings;
    for (const ColumnDefinition& column : ParseColumnList(kModuleColumnList)) {
        headings.push_back(column.heading);
    }
    return headings;
}

bool EqualIgnoringCase(std::string_view first, std::string_view second) {
    return first.size() == second.size() &&
           std::equal(first.begin(), first.end(), second.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

int ColumnFromName(std::string_view name) {
    const std::vector<std::string> headings = Headings();
    for (std::size_t index = 0; index < headings.size(); ++index) {
        if (EqualIgnoringCase(name, headings[index])) {
            return static_cast<int>(index);
        }
    }
    if (name.size() == 1 && name[0] >= '0' &&
        name[0] < static_cast<char>('0' + kModuleColumnCount)) {
        return name[0] - '0';
    }
    return -1;
}

// The cells of one output line: the seven column texts, then the warnings' machine names.
using OutputCells = std::vector<std::string>;

std::vector<std::string> OutputHeadings() {
    std::vector<std::string> headings = Headings();
    headings.push_back(kWarningsHeading);
    return headings;
}

OutputCells CellsOf(const ModuleTableRow& row) {
    OutputCells cells(row.columns.begin(), row.columns.end());
    cells.push_back(WarningKindsText(row.warnings));
    return cells;
}

std::string AlignedLine(const OutputCells& cells, const std::vector<std::size_t>& widths) {
    std::string line;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        line += cells[column];
        if (column + 1 < cells.size()) {
            line.append(widths[column] - cells[column].size() + 2, ' ');
        }
    }
    // An empty last cell would leave blanks at the line's end.
    line.erase(line.find_last_not_of(' ') + 1);
    return line + "\n";
}

// Each warning's sentence under the MAC address of its module, after the table.
std::string WarningSentences(const std::vector<ModuleTableRow>& rows) {
    std::string output;
    for (const ModuleTableRow& row : rows) {
        for (const ModuleWarning& warning : row.warnings) {
            output += TerminalSafe(row.columns[kColumnMac]) + ": " +
                      TerminalSafe(warning.sentence) + "\n";
        }
    }
    return output.empty() ? output : "\n" + output;
}

// Every cell made terminal-safe, then the columns padded to their widest cell.
std::string AlignCells(std::vector<OutputCells> lines) {
    for (OutputCells& cells : lines) {
        for (std::string& text : cells) {
            text = TerminalSafe(text);
        }
    }
    std::vector<std::size_t> widths(lines.front().size(), 0);
    for (const OutputCells& cells : lines) {
        for (std::size_t column = 0; column < cells.size(); ++column) {
            widths[column] = std::max(widths[column], cells[column].size());
        }
    }
    std::string output;
    for (const OutputCells& cells : lines) {
        output += AlignedLine(cells, widths);
    }
    return output;
}

std::string FormatAlignedTable(const std::vector<ModuleTableRow>& rows) {
    std::vector<OutputCells> lines = {OutputHeadings()};
    for (const ModuleTableRow& row : rows) {
        lines.push_back(CellsOf(row));
    }
    return AlignCells(std::move(lines)) + WarningSentences(rows);
}

// A cell as RFC 4180 wants it, after control characters are shown as \xNN (as in the table)
// and a cell that a spreadsheet would take for a formula got a single quote in front; such a
// cell is quoted as well.
std::string CsvField(const std::string& cell) {
    const bool formula = StartsLikeFormula(cell);
    const std::string text = (formula ? "'" : "") + TerminalSafe(cell);
    if (!formula && text.find_first_of(",\"") == std::string::npos) {
        return text;
    }
    std::string field = "\"";
    for (const char character : text) {
        field += character;
        if (character == '"') {
            field += '"';
        }
    }
    return field + "\"";
}

std::string CsvRecord(const OutputCells& cells) {
    std::string record;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        record += CsvField(cells[column]);
        record += column + 1 < cells.size() ? "," : "\r\n";
    }
    return record;
}

std::string FormatCsv(const std::vector<ModuleTableRow>& rows) {
    std::string output = CsvRecord(OutputHeadings());
    for (const ModuleTableRow& row : rows) {
        output += CsvRecord(CellsOf(row));
    }
    return output;
}

// One module: the seven columns under their lowercase headings, then its warnings.
Json JsonModule(const ModuleTableRow& row, const std::vector<std::string>& headings) {
    Json module = Json::object();
    for (std::size_t column = 0; column < kModuleColumnCount; ++column) {
        module[JsonKey(headings[column])] =
            JsonText(row.columns[column], static_cast<int>(column) == kColumnDhcp);
    }
    Json warnings = Json::array();
    for (const ModuleWarning& warning : row.warnings) {
        warnings.push_back({{"kind", MachineName(warning.kind)}, {"message", warning.sentence}});
    }
    module["warnings"] = std::move(warnings);
    return module;
}

std::string FormatJson(const std::vector<ModuleTableRow>& rows) {
    const std::vector<std::string> headings = Headings();
    JsonDocumentWriter document("modules");
    for (const ModuleTableRow& row : rows) {
        document.Add(JsonModule(row, headings));
    }
    return document.Finish();
}

}  // namespace

bool ParseTableFormat(std::string_view text, TableFormat* format) {
    if (text == "table") {
        *format = TableFormat::kTable;
    } else if (text == "csv") {
        *format = TableFormat::kCsv;
    } else if (text == "json") {
        *format = TableFormat::kJson;
    } else {
        return false;
    }
    return true;
}

bool ParseTableSort(std::string_view text, TableSort* sort, std::string* error) {
    std::string_view name = text;
    bool ascending = true;
    const std::size_t colon = text.rfind(':');
    if (colon != std::string_view::npos) {
        name = text.substr(0, colon);
        const std::string_view direction = text.substr(colon + 1);
        if (EqualIgnoringCase(direction, "desc")) {
            ascending = false;
        } else if (!EqualIgnoringCase(direction, "asc")) {
            *error = "unknown sort direction '" + std::string(direction) + "' (use asc or desc)";
            return false;
        }
    }
    const int column = ColumnFromName(name);
    if (column < 0) {
        *error = "unknown column '" + std::string(name) +
                 "' (use IP, SN, GW, DHCP, Version, Type, MAC or 0 to 6)";
        return false;
    }
    sort->column = column;
    sort->ascending = ascending;
    return true;
}

std::string WarningKindsText(const std::vector<ModuleWarning>& warnings) {
    std::string text;
    for (const ModuleWarning& warning : warnings) {
        text += text.empty() ? "" : " ";
        text += MachineName(warning.kind);
    }
    return text;
}

std::string FormatModuleTable(const std::vector<ModuleTableRow>& rows, TableFormat format) {
    switch (format) {
        case TableFormat::kCsv:
            return FormatCsv(rows);
        case TableFormat::kJson:
            return FormatJson(rows);
        case TableFormat::kTable:
            break;
    }
    return FormatAlignedTable(rows);
}

std::string FormatAlignedCells(const std::vector<std::vector<std::string>>& lines) {
    return AlignCells(lines);
}

std::string FormatCsvRecord(const std::vector<std::string>& cells) {
    return CsvRecord(cells);
}

std::string FormatJsonString(std::string_view text) {
    return DumpJson(std::string(text));
}

std::string FormatCellLines(const std::vector<std::vector<std::string>>& lines,
                            TableFormat format) {
    if (format == TableFormat::kTable) {
        return FormatAlignedCells(lines);
    }
    std::string output;
    for (const std::vector<std::string>& cells : lines) {
        output += FormatCsvRecord(cells);
    }
    return output;
}

}  // namespace ordvane::cli
