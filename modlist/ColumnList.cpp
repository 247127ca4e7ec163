#include "modlist/ColumnList.h"

#include "platform/SaturatingAtoi.h"

namespace ordvane {

std::vector<ColumnDefinition> ParseColumnList(std::string_view columnList) {
    std::vector<ColumnDefinition> columns;
    std::size_t position = 0;
    while (position <= columnList.size()) {
        const std::size_t comma = columnList.find(',', position);
        if (comma == std::string_view::npos) {
            break;
        }
        ColumnDefinition column;
        column.heading = std::string(columnList.substr(position, comma - position));
        position = comma + 1;
        std::size_t separator = columnList.find(';', position);
        if (separator == std::string_view::npos) {
            separator = columnList.size();
        }
        column.width = SaturatingAtoi(columnList.substr(position, separator - position));
        position = separator + 1;
        columns.push_back(std::move(column));
    }
    return columns;
}

}  // namespace ordvane
