#pragma once
// What the module table knows about its rows beside the list view: it owns every row's
// ModuleEntry (the list view's item data points at them), maps each module of the fleet to its
// entry, and remembers whether the rows are in the order of the sort state and in which
// collation the entries' sort keys were made. Keeping these together keeps them consistent:
// the module map never holds an entry that is gone, and neither the order nor a sort key
// made under one collation is trusted after the thread switched to another.

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "modlist/ModuleEntry.h"
#include "platform/WinTypes.h"

namespace ordvane {

class ModuleRowCache {
public:
    ModuleRowCache();

    // A new entry with columnCount texts (missing ones empty), owned here until Clear. Its key
    // for sortColumn is made now if the keys are in the current collation.
    ModuleEntry& MakeEntry(std::span<const std::string> texts, std::size_t columnCount,
                           int sortColumn);
    // Records the entry of the fleet's next module (nullptr for a module without a row).
    void AddModule(ModuleEntry* entry);
    // The entry of a module of the fleet; nullptr without a row or outside the fleet.
    const ModuleEntry* EntryOfModule(std::size_t module) const;

    // A row went in without regard to the order (AddRow).
    void NoteRowOutOfOrder() { m_rowsInOrder = false; }
    // The rows have just been sorted, in the current collation.
    void NoteRowsSorted();
    // The rows follow the sort state under the calling thread's current collation, so that a
    // new row can go straight to its place instead of re-sorting the whole table.
    bool RowsAreInOrder() const;

    // Makes every entry's key for the column in the current collation, first dropping keys
    // made in another one.
    void PrepareSortKeys(int column);
    // The entries' keys may be compared: they were made in the current collation.
    bool SortKeysAreCurrent() const;

    // Forgets every entry and module; no rows are in order in the current collation.
    void Clear();

private:
    std::vector<std::unique_ptr<ModuleEntry>> m_entries;
    std::vector<ModuleEntry*> m_entryOfModule;
    bool m_rowsInOrder = true;
    LCID m_rowOrderLocale;
    LCID m_sortKeyLocale;
};

}  // namespace ordvane
