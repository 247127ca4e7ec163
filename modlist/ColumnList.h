#pragma once
// A column list: entries "heading,width" separated by ';'.

#include <string>
#include <string_view>
#include <vector>

namespace ordvane {

struct ColumnDefinition {
    std::string heading;
    int width = 0;
};

// The columns of a column list in order. Each heading runs from the current position up to
// the next ',' (so "IP;SN,90" is one heading "IP;SN"); the width is the atoi value of what
// follows up to the next ';' or the end, saturating instead of overflowing. A trailing piece
// without ',' is ignored.
std::vector<ColumnDefinition> ParseColumnList(std::string_view columnList);

}  // namespace ordvane
