#include "modlist/ColumnSpecification.h"

#include "platform/SaturatingAtoi.h"

namespace ordvane {

std::vector<ColumnDefinition> ParseColumnSpecification(std::string_view specification) {
    std::vector<ColumnDefinition> columns;
    std::size_t position = 0;
    while (position <= specification.size()) {
        const std::size_t comma = specification.find(',', position);
        if (comma == std::string_view::npos) {
            break;
        }
        ColumnDefinition column;
        column.heading = std::string(specification.substr(position, comma - position));
        position = comma + 1;
        std::size_t separator = specification.find(';', position);
        if (separator == std::string_view::npos) {
            separator = specification.size();
        }
        column.width = SaturatingAtoi(specification.substr(position, separator - position));
        position = separator + 1;
        columns.push_back(std::move(column));
    }
    return columns;
}

}  // namespace ordvane
