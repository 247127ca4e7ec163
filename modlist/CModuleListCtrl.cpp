#include "modlist/CModuleListCtrl.h"

#include <algorithm>
#include <cstring>

#include "modlist/ColumnList.h"
#include "modlist/DottedQuad.h"
#include "modlist/ModuleColumns.h"
#include "modlist/ModuleWarningText.h"

namespace ordvane {

BEGIN_MESSAGE_MAP(CModuleListCtrl, CListCtrl)
ON_WM_LBUTTONDBLCLK()
ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
ON_NOTIFY_REFLECT(LVN_GETINFOTIP, OnGetInfoTip)
ON_NOTIFY_REFLECT(NM_RETURN, OnReturn)
END_MESSAGE_MAP()

CModuleListCtrl::CModuleListCtrl() : m_fleet(ReadHostInterfaces()) {}

CModuleListCtrl::~CModuleListCtrl() = default;

void CModuleListCtrl::PreSubclassWindow() {
    CListCtrl::PreSubclassWindow();
    CHeaderCtrl* header = GetHeaderCtrl();
    if (header != nullptr) {
        m_header.SubclassWindow(header->GetSafeHwnd());
    }
}

void CModuleListCtrl::AddModule(const ModuleRecord& record) {
    const std::optional<std::vector<std::size_t>> warningRows = m_fleet.Add(record);
    if (!warningRows) {
        return;
    }
    ModuleEntry* entry = nullptr;
    int row = -1;
    if (HasModuleRow(record)) {
        const ModuleColumnTexts texts = FormatModuleColumns(record);
        const bool inOrder = m_rows.RowsAreInOrder();
        entry = &MakeEntry(texts);
        if (!inOrder) {
            m_rows.NoteRowOutOfOrder();
        }
        row = InsertRow(inOrder ? FindSortedPosition(*entry) : GetItemCount(), *entry);
        entry->moduleIndex = GetModuleCount() - 1;
    }
    // Every module of the fleet counts for the warnings, with a row or without.
    m_rows.AddModule(entry);
    MarkWarningRows(*warningRows, row);
    m_header.SetSortIndicator(m_sortColumn, m_sortAscending);
    if (!m_rows.RowsAreInOrder()) {
        Resort();
    }
}

// The first module is the one just added, at newModuleRow; the others are older modules that
// gained a kind of warning, whose rows are looked up.
void CModuleListCtrl::MarkWarningRows(const std::vector<std::size_t>& modules, int newModuleRow) {
    for (std::size_t position = 0; position < modules.size(); ++position) {
        const std::size_t module = modules[position];
        const ModuleEntry* entry = m_rows.EntryOfModule(module);
        if (entry == nullptr) {
            continue;
        }
        const int row = position == 0 ? newModuleRow : FindRowOfEntry(*entry);
        if (row >= 0) {
            SetItemWarning(row, GetWarnings().KindsOf(module) != 0 ? TRUE : FALSE);
        }
    }
}

// In sorted rows the entry sits among the rows that compare equal to it, just before its
// sorted position: a short walk back instead of a pass over the whole table.
int CModuleListCtrl::FindRowOfEntry(const ModuleEntry& entry) const {
    if (m_rows.RowsAreInOrder()) {
        for (int row = FindSortedPosition(entry) - 1; row >= 0; --row) {
            const auto* rowEntry = reinterpret_cast<const ModuleEntry*>(GetItemData(row));
            if (rowEntry == &entry) {
                return row;
            }
            if (rowEntry == nullptr || CompareEntries(*rowEntry, entry) != 0) {
                break;
            }
        }
    }
    const int count = GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (reinterpret_cast<const ModuleEntry*>(GetItemData(row)) == &entry) {
            return row;
        }
    }
    return -1;
}

std::string CModuleListCtrl::GetRowWarningText(int item) const {
    const auto* entry = reinterpret_cast<const ModuleEntry*>(GetItemData(item));
    if (entry == nullptr || entry->moduleIndex < 0) {
        return {};
    }
    std::string text;
    for (const ModuleWarning& warning :
         GetWarnings().WarningsOf(static_cast<std::size_t>(entry->moduleIndex))) {
        text += (text.empty() ? "" : "\n") + WindowWarningSentence(warning);
    }
    return text;
}

void CModuleListCtrl::OnGetInfoTip(NMHDR* notify, LRESULT* result) {
    auto* tip = reinterpret_cast<NMLVGETINFOTIP*>(notify);
    *result = 0;
    if (tip->pszText == nullptr || tip->cchTextMax <= 0) {
        return;
    }
    const std::string text = GetRowWarningText(tip->iItem);
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(tip->cchTextMax - 1));
    std::memcpy(tip->pszText, text.data(), length);
    tip->pszText[length] = '\0';
}

int CModuleListCtrl::AddRow(std::span<const std::string> texts) {
    m_rows.NoteRowOutOfOrder();
    return InsertRow(GetItemCount(), MakeEntry(texts));
}

ModuleEntry& CModuleListCtrl::MakeEntry(std::span<const std::string> texts) {
    return m_rows.MakeEntry(texts, static_cast<std::size_t>(std::max(m_columnCount, 0)),
                            m_sortColumn);
}

int CModuleListCtrl::InsertRow(int index, ModuleEntry& entry) {
    const int item = InsertItem(index, entry.TextAt(0));
    if (item < 0) {
        return item;
    }
    for (int column = 1; column < m_columnCount; ++column) {
        SetItemText(item, column, entry.TextAt(column));
    }
    SetItemData(item, reinterpret_cast<DWORD_PTR>(&entry));
    return item;
}

// The first row that sorts after the entry: the entry goes after the rows it equals.
int CModuleListCtrl::FindSortedPosition(const ModuleEntry& entry) const {
    int low = 0;
    int high = GetItemCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const auto* rowEntry = reinterpret_cast<const ModuleEntry*>(GetItemData(middle));
        if (rowEntry != nullptr && CompareEntries(entry, *rowEntry) < 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

void CModuleListCtrl::ClearModules() {
    for (int item = 0; item < GetItemCount(); ++item) {
        SetItemData(item, 0);
    }
    m_rows.Clear();
    m_fleet.Clear(ReadHostInterfaces());
    DeleteAllItems();
}

const ModuleRecord* CModuleListCtrl::GetModuleAt(int index) const {
    return index < 0 ? nullptr : m_fleet.At(static_cast<std::size_t>(index));
}

const ModuleRecord* CModuleListCtrl::GetRowModule(int row) const {
    if (row < 0 || row >= GetItemCount()) {
        return nullptr;
    }
    const auto* entry = reinterpret_cast<const ModuleEntry*>(GetItemData(row));
    return entry != nullptr ? GetModuleAt(entry->moduleIndex) : nullptr;
}

BOOL CModuleListCtrl::CreateColumns(LPCSTR columnList) {
    for (const ColumnDefinition& column :
         ParseColumnList(columnList != nullptr ? columnList : "")) {
        const int index = m_columnCount;
        ++m_columnCount;
        if (InsertColumn(index, column.heading.c_str(), LVCFMT_LEFT, column.width) < 0) {
            return FALSE;
        }
    }
    return TRUE;
}

void CModuleListCtrl::OnColumnClick(NMHDR* notify, LRESULT* result) {
    const int column = reinterpret_cast<NMLISTVIEW*>(notify)->iSubItem;
    // A new column starts ascending; each further click on the same column reverses.
    const BOOL ascending = column != m_sortColumn || m_sortAscending == 0 ? TRUE : FALSE;
    SortColumn(column, ascending);
    *result = 0;
}

void CModuleListCtrl::OnLButtonDblClk(UINT /*flags*/, CPoint point) {
    if (m_doubleClickCommand) {
        m_doubleClickCommand(*this, point);
    }
}

void CModuleListCtrl::OnReturn(NMHDR* /*notify*/, LRESULT* result) {
    // Nonzero: the key is used up; without a selected row it goes to the default button.
    *result = RunDoubleClickCommandOnRow(GetSelectedRow()) ? 1 : 0;
}

int CModuleListCtrl::GetSelectedRow() const {
    POSITION position = GetFirstSelectedItemPosition();
    return position != nullptr ? GetNextSelectedItem(position) : -1;
}

bool CModuleListCtrl::RunDoubleClickCommandOnRow(int row) {
    if (!m_doubleClickCommand || row < 0 || row >= GetItemCount()) {
        return false;
    }
    EnsureVisible(row, FALSE);
    RECT rect{};
    if (!GetItemRect(row, &rect, 0)) {
        return false;
    }
    m_doubleClickCommand(*this, CPoint(rect.left, (rect.top + rect.bottom) / 2));
    return true;
}

void CModuleListCtrl::SortColumn(int column, BOOL ascending) {
    m_sortColumn = column;
    m_sortAscending = ascending;
    m_header.SetSortIndicator(column, ascending);
    SortAllRows();
}

void CModuleListCtrl::Resort() {
    SortAllRows();
}

void CModuleListCtrl::SortAllRows() {
    m_rows.PrepareSortKeys(m_sortColumn);
    SortItems(&CModuleListCtrl::CompareRows, reinterpret_cast<DWORD_PTR>(this));
    m_rows.NoteRowsSorted();
}

int CModuleListCtrl::CompareEntries(const ModuleEntry& first, const ModuleEntry& second) const {
    const bool ascending = m_sortAscending != 0;
    if (m_rows.SortKeysAreCurrent()) {
        const ColumnSortKey* firstKey = first.SortKeyAt(m_sortColumn);
        const ColumnSortKey* secondKey = second.SortKeyAt(m_sortColumn);
        if (firstKey != nullptr && secondKey != nullptr) {
            return CompareSortKeys(*firstKey, *secondKey, ascending);
        }
    }
    return CompareColumnTexts(first.TextAt(m_sortColumn), second.TextAt(m_sortColumn), ascending);
}

int CModuleListCtrl::CompareRows(LPARAM firstEntry, LPARAM secondEntry, LPARAM control) {
    const auto* first = reinterpret_cast<const ModuleEntry*>(firstEntry);
    const auto* second = reinterpret_cast<const ModuleEntry*>(secondEntry);
    const auto* self = reinterpret_cast<const CModuleListCtrl*>(control);
    if (first == nullptr || second == nullptr || self == nullptr) {
        return 0;
    }
    return self->CompareEntries(*first, *second);
}

bool CModuleListCtrl::IsDottedQuad(LPCSTR text) {
    return text != nullptr && ordvane::IsDottedQuad(text);
}

int CModuleListCtrl::CompareDottedQuads(LPCSTR first, LPCSTR second) {
    return ordvane::CompareDottedQuads(first != nullptr ? first : "",
                                       second != nullptr ? second : "");
}

}  // namespace ordvane
