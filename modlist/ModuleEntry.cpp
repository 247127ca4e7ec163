#include "modlist/ModuleEntry.h"

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

const ordvane::ColumnSortKey* ModuleEntry::SortKeyAt(int column) const {
    return IsIndexOf(column, sortKeys.size()) ? sortKeys[static_cast<std::size_t>(column)].get()
                                              : nullptr;
}

void ModuleEntry::MakeSortKey(int column) {
    if (!IsIndexOf(column, columnTexts.size())) {
        return;
    }
    if (sortKeys.size() != columnTexts.size()) {
        sortKeys.resize(columnTexts.size());
    }
    std::unique_ptr<ordvane::ColumnSortKey>& key = sortKeys[static_cast<std::size_t>(column)];
    if (key == nullptr) {
        key = std::make_unique<ordvane::ColumnSortKey>(
            ordvane::ColumnSortKey::FromText(TextAt(column)));
    }
}

void ModuleEntry::DropSortKeys() {
    sortKeys.clear();
}
