#pragma once
// Sorting whole rows of module texts by one column, in the table's order.

#include <vector>

#include "modlist/ModuleColumns.h"

namespace ordvane {

// Sorts the rows by the text of the column (0 to 6) in the direction given, with the order of
// CompareColumnTexts in the calling thread's collation. Rows whose texts compare equal keep
// their relative order.
void SortModuleRows(std::vector<ModuleColumnTexts>& rows, int column, bool ascending);

}  // namespace ordvane
