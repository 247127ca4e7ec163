#pragma once
// The module table of the main window: it displays the scanned fleet (modlist/Fleet.h), one
// row per module that reported a MAC, in the order of the sort column; each row's item data is
// its entry, which names the row's module in the fleet.

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "modlist/CSortHeaderCtrl.h"
#include "modlist/Fleet.h"
#include "modlist/ModuleEntry.h"
#include "modlist/ModuleRowCache.h"
#include "modlist/ModuleWarnings.h"
#include "modsvc/ModuleRecord.h"
#include "platform/framework/CListCtrl.h"

namespace ordvane {

class CModuleListCtrl : public CListCtrl {
public:
    CModuleListCtrl();
    ~CModuleListCtrl() override;

    // Takes one module's record. The first record per MAC address wins until ClearModules; a
    // record with a MAC address becomes a row at its sorted place. Every accepted record
    // refreshes the header's indicator, and joins the fleet's warnings: a row with a warning
    // (same IP address as another module, same recovery address, on none of this host's
    // networks) is drawn on the warning background and explains itself in its tooltip.
    void AddModule(const ModuleRecord& record);
    // Appends a row with exactly m_columnCount texts in column order (missing texts are
    // empty); returns its index. The row stays where it is until the next sort.
    int AddRow(std::span<const std::string> texts);
    // Empties the table and the fleet, and reads this host's networks again for the next scan.
    // The sort state and the last command stay.
    void ClearModules();

    int GetModuleCount() const { return static_cast<int>(m_fleet.Count()); }
    // The fleet's record at a 0-based index in arrival order; nullptr outside the fleet.
    const ModuleRecord* GetModuleAt(int index) const;
    // The record of a row's module, reached through the row's entry; nullptr for a row
    // without one.
    const ModuleRecord* GetRowModule(int row) const;
    const Fleet& GetFleet() const { return m_fleet; }

    // What a double click on the table runs, with the point in the list's client coordinates.
    // The window sets its Configure command here; without one a double click does nothing.
    using DoubleClickCommand = std::function<void(CModuleListCtrl&, CPoint)>;
    void SetDoubleClickCommand(DoubleClickCommand command) {
        m_doubleClickCommand = std::move(command);
    }

    // Runs the double-click command for a row (Enter on the selected row, the rows' menu), as a
    // double click on it would; false without a command or such a row.
    bool RunDoubleClickCommandOnRow(int row);
    // The selected row; -1 when none is.
    int GetSelectedRow() const;

    // The last configure or wink request sent, written by the command just before it sends,
    // so that the window can name the module that did not answer it.
    void NoteCommandSent(const MacAddress& mac, SentCommand command) {
        m_fleet.NoteCommandSent(mac, command);
    }
    const std::optional<LastCommand>& GetLastCommand() const { return m_fleet.GetLastCommand(); }

    // Appends the columns of a column list "heading,width;..."; TRUE when the whole text was
    // used, FALSE when the list view refused a column (which stays counted).
    BOOL CreateColumns(LPCSTR columnList);
    // Makes the column and direction the sort state, moves the header's indicator and sorts.
    void SortColumn(int column, BOOL ascending);
    // Sorts again with the current state without touching the header.
    void Resort();
    // The comparison handed to SortItems: the two rows' ModuleEntry records and the control.
    static int CompareRows(LPARAM firstEntry, LPARAM secondEntry, LPARAM control);

    static bool IsDottedQuad(LPCSTR text);
    static int CompareDottedQuads(LPCSTR first, LPCSTR second);

    int GetSortColumn() const { return m_sortColumn; }
    BOOL IsSortAscending() const { return m_sortAscending; }
    int GetColumnCount() const { return m_columnCount; }
    CSortHeaderCtrl& GetSortHeader() { return m_header; }
    // The warnings of the fleet's modules, numbered like GetModuleAt.
    const ModuleWarnings& GetWarnings() const { return m_fleet.Warnings(); }
    // The tooltip of a row: its warnings, one sentence a line; empty without warnings.
    std::string GetRowWarningText(int item) const;

protected:
    void PreSubclassWindow() override;
    void OnColumnClick(NMHDR* notify, LRESULT* result);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnReturn(NMHDR* notify, LRESULT* result);
    void OnGetInfoTip(NMHDR* notify, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    int CompareEntries(const ModuleEntry& first, const ModuleEntry& second) const;
    ModuleEntry& MakeEntry(std::span<const std::string> texts);
    int InsertRow(int index, ModuleEntry& entry);
    int FindSortedPosition(const ModuleEntry& entry) const;
    void SortAllRows();
    void MarkWarningRows(const std::vector<std::size_t>& modules, int newModuleRow);
    int FindRowOfEntry(const ModuleEntry& entry) const;

    Fleet m_fleet;
    // The rows' entries, the entry of each module of the fleet, and what is known of their
    // order.
    ModuleRowCache m_rows;
    DoubleClickCommand m_doubleClickCommand;
    int m_columnCount = 0;
    int m_sortColumn = 0;
    CSortHeaderCtrl m_header;
    BOOL m_sortAscending = TRUE;
};

}  // namespace ordvane
