#pragma once
// The module table of the main window: one row per module that answered a scan, in the order
// of the sort column, with the scan responses kept for the commands that act on a row.

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "modlist/CSortHeaderCtrl.h"
#include "modlist/ModuleEntry.h"
#include "modlist/ModuleResponseStore.h"
#include "modlist/ModuleRowCache.h"
#include "modlist/ModuleWarnings.h"
#include "modsvc/ModuleService.h"
#include "platform/framework/CListCtrl.h"

class CModuleListCtrl : public CListCtrl {
public:
    CModuleListCtrl();
    ~CModuleListCtrl() override;

    // Takes one scan response. The first response per MAC address wins until ClearModules; a
    // response with a valid MAC address becomes a row at its sorted place. Every accepted
    // response refreshes the header's indicator, and joins the fleet's warnings: a row with a
    // warning (same IP address as another module, same recovery address, on none of this
    // host's networks) is drawn on the warning background and explains itself in its tooltip.
    void AddModule(const ZEVA_ModuleScanResponseType& response);
    // Appends a row with exactly m_columnCount texts in column order (missing texts are
    // empty); returns its index. The row stays where it is until the next sort.
    int AddRow(std::span<const std::string> texts);
    // Empties the table, the store of responses and the warnings, and reads this host's
    // networks again for the next scan. The sort state stays.
    void ClearModules();

    int GetModuleCount() const;
    // The stored response at a 0-based index in arrival order; nullptr outside the store.
    const ZEVA_ModuleScanResponseType* GetModuleAt(int index) const;

    // Copies the MAC address of the last configure target into macId (six bytes) and returns
    // macId; returns nullptr, with macId zeroed, before the first configure request.
    BYTE* GetConfiguredMac(BYTE* macId) const;
    // True when a configure request has been sent and its target has these six bytes; before
    // the first request no address matches.
    bool MatchesConfiguredMac(const BYTE* macId) const;
    // Written by the Configure command just before it sends a request; it is then also the
    // last command sent.
    void SetConfiguredMac(const BYTE* macId);

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

    // The last configure or wink request sent, so that the window can name the module that did
    // not answer it.
    enum class SentCommand { Configure, Wink };
    struct LastCommand {
        std::array<BYTE, 6> mac;
        SentCommand command;
    };
    void NoteCommandSent(const BYTE* macId, SentCommand command);
    const std::optional<LastCommand>& GetLastCommand() const { return m_lastCommand; }

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
    // The warnings of the stored responses, numbered like GetModuleAt.
    const ordvane::ModuleWarnings& GetWarnings() const { return m_warnings; }
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

    ordvane::ModuleResponseStore m_modules;
    ordvane::ModuleWarnings m_warnings;
    // The rows' entries, the entry of each stored response, and what is known of their order.
    ModuleRowCache m_rows;
    std::optional<std::array<BYTE, 6>> m_configuredMac;
    DoubleClickCommand m_doubleClickCommand;
    std::optional<LastCommand> m_lastCommand;
    int m_columnCount = 0;
    int m_sortColumn = 0;
    CSortHeaderCtrl m_header;
    BOOL m_sortAscending = TRUE;
};
