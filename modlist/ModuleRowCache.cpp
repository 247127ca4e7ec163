#include "modlist/ModuleRowCache.h"

#include "platform/ThreadLocale.h"

namespace ordvane {

ModuleRowCache::ModuleRowCache()
    : m_rowOrderLocale(GetThreadLocale()), m_sortKeyLocale(GetThreadLocale()) {}

ModuleEntry& ModuleRowCache::MakeEntry(std::span<const std::string> texts, std::size_t columnCount,
                                       int sortColumn) {
    auto entry = std::make_unique<ModuleEntry>();
    entry->columnTexts.resize(columnCount);
    for (std::size_t column = 0; column < columnCount && column < texts.size(); ++column) {
        entry->columnTexts[column] = texts[column];
    }
    if (SortKeysAreCurrent()) {
        entry->MakeSortKey(sortColumn);
    }
    m_entries.push_back(std::move(entry));
    return *m_entries.back();
}

void ModuleRowCache::AddModule(ModuleEntry* entry) {
    m_entryOfModule.push_back(entry);
}

const ModuleEntry* ModuleRowCache::EntryOfModule(std::size_t module) const {
    return module < m_entryOfModule.size() ? m_entryOfModule[module] : nullptr;
}

void ModuleRowCache::NoteRowsSorted() {
    m_rowsInOrder = true;
    m_rowOrderLocale = GetThreadLocale();
}

bool ModuleRowCache::RowsAreInOrder() const {
    return m_rowsInOrder && m_rowOrderLocale == GetThreadLocale();
}

// Each row's text in the sort column is transformed once per collation, so that the sort's
// many comparisons compare prepared keys instead of collating texts again and again.
void ModuleRowCache::PrepareSortKeys(int column) {
    const LCID locale = GetThreadLocale();
    if (m_sortKeyLocale != locale) {
        for (const std::unique_ptr<ModuleEntry>& entry : m_entries) {
            entry->DropSortKey();
        }
        m_sortKeyLocale = locale;
    }
    for (const std::unique_ptr<ModuleEntry>& entry : m_entries) {
        entry->MakeSortKey(column);
    }
}

bool ModuleRowCache::SortKeysAreCurrent() const {
    return m_sortKeyLocale == GetThreadLocale();
}

void ModuleRowCache::Clear() {
    m_entryOfModule.clear();
    m_entries.clear();
    m_rowsInOrder = true;
    m_rowOrderLocale = GetThreadLocale();
    m_sortKeyLocale = GetThreadLocale();
}

}  // namespace ordvane
