#pragma once
// The item data of one table row: owned copies of the row's column texts, which the sort reads
// without asking the list view, and the sort key of one column's text, made when the table is
// sorted by that column. The key sits inside the entry so that a comparison during a sort of
// tens of thousands of rows reaches it without further indirection.

#include <string>
#include <vector>

#include "modlist/ColumnTextOrder.h"

namespace ordvane {

struct ModuleEntry {
    std::vector<std::string> columnTexts;
    int moduleIndex = -1;    // the row's module in the table's fleet; -1 for a bare row
    int sortKeyColumn = -1;  // the column whose text sortKey was made from; -1 for none
    ColumnSortKey sortKey;

    // The column's text; the empty text for a column the row does not have.
    const char* TextAt(int column) const;
    // The column's key if it is the one made, nullptr otherwise.
    const ColumnSortKey* SortKeyAt(int column) const {
        return column == sortKeyColumn ? &sortKey : nullptr;
    }
    // Makes the column's key in the calling thread's collation unless it is the one made.
    void MakeSortKey(int column);
    void DropSortKey() { sortKeyColumn = -1; }
};

}  // namespace ordvane
