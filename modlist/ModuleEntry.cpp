#include "modlist/ModuleEntry.h"

#include <cstddef>

namespace ordvane {

namespace {

bool IsIndexOf(int column, std::size_t count) {
    return column >= 0 && static_cast<std::size_t>(column) < count;
}

}  // namespace

const char* ModuleEntry::TextAt(int column) const {
    return IsIndexOf(column, columnTexts.size())
               ? columnTexts[static_cast<std::size_t>(column)].c_str()
               : "";
}

void ModuleEntry::MakeSortKey(int column) {
    if (column == sortKeyColumn || !IsIndexOf(column, columnTexts.size())) {
        return;
    }
    sortKey = ColumnSortKey::FromText(TextAt(column));
    sortKeyColumn = column;
}

}  // namespace ordvane
