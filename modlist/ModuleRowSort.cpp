#include "modlist/ModuleRowSort.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

#include "modlist/ColumnTextOrder.h"

namespace ordvane {

void SortModuleRows(std::vector<ModuleColumnTexts>& rows, int column, bool ascending) {
    if (column < 0 || static_cast<std::size_t>(column) >= kModuleColumnCount) {
        return;
    }
    // Each text is prepared once; the sort then compares prepared keys.
    std::vector<ColumnSortKey> keys;
    keys.reserve(rows.size());
    for (const ModuleColumnTexts& row : rows) {
        keys.push_back(ColumnSortKey::FromText(row[static_cast<std::size_t>(column)].c_str()));
    }
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t first, std::size_t second) {
        return CompareSortKeys(keys[first], keys[second], ascending) < 0;
    });
    std::vector<ModuleColumnTexts> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t index : order) {
        sorted.push_back(std::move(rows[index]));
    }
    rows = std::move(sorted);
}

}  // namespace ordvane
