#pragma once
// The item data of one table row: owned copies of the row's column texts, which the sort reads
// without asking the list view, and the texts' sort keys, made per column the first time the
// table is sorted by it.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "modlist/ColumnTextOrder.h"

struct ModuleEntry {
    std::vector<std::string> columnTexts;
    std::vector<std::unique_ptr<ordvane::ColumnSortKey>> sortKeys;

    // The column's text; the empty text for a column the row does not have.
    const char* TextAt(int column) const;
    // The column's key if it has been made, nullptr otherwise.
    const ordvane::ColumnSortKey* SortKeyAt(int column) const;
    // Makes the column's key in the calling thread's collation unless it exists.
    void MakeSortKey(int column);
    void DropSortKeys();
};
