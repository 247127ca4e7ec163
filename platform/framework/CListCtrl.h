#pragma once
// The list view in report view. The control keeps its rows (texts per column, item data,
// selection state) itself; the Qt view underneath only displays them through a model. Changes
// are published to the view in one batch when control returns to the event loop, so that tens
// of thousands of rows can be inserted or sorted without a signal per row or per cell.
//
// Notifications: a click on a column heading sends WM_NOTIFY LVN_COLUMNCLICK (NMLISTVIEW with
// iItem -1 and iSubItem the column) to the parent, which reflects it back to the control first;
// a double click anywhere in the control sends WM_LBUTTONDBLCLK to the control with the point in
// client coordinates (the client area starts at the top of the header). With LVS_EX_INFOTIP,
// the view asks for a row's tooltip when it is about to show one: WM_NOTIFY LVN_GETINFOTIP
// (NMLVGETINFOTIP with the item and column under the pointer and an empty text buffer) goes to
// the parent and is reflected to the control first; an empty text shows no tooltip.

#include "platform/framework/CHeaderCtrl.h"
#include "platform/framework/CWnd.h"

class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    // Columns.
    int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    int GetColumnWidth(int column) const;
    // A width in pixels, or LVSCW_AUTOSIZE (the widest text of the rows in view) or
    // LVSCW_AUTOSIZE_USEHEADER (that or the heading, whichever is wider).
    BOOL SetColumnWidth(int column, int width);
    CHeaderCtrl* GetHeaderCtrl() const;

    // Items. InsertItem puts the new item at index (clamped to 0..count) and moves the items
    // from there down by one; it returns the new item's index, -1 on failure.
    int InsertItem(int index, LPCSTR text);
    BOOL SetItemText(int item, int subItem, LPCSTR text);
    CString GetItemText(int item, int subItem) const;
    int GetItemText(int item, int subItem, LPSTR buffer, int length) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    // Marks a row to be drawn on the warning background: one gentle colour that fits the
    // palette, whatever the row's position after sorting (the mark moves with the row).
    BOOL SetItemWarning(int item, BOOL warning);
    BOOL GetItemWarning(int item) const;
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int GetItemCount() const;

    // Sorts the items with compare(first item's data, second item's data, sortData): negative
    // puts the first before the second. Items that compare equal keep their order.
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR sortData);

    // Selection and state (LVIS_SELECTED, LVIS_FOCUSED).
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& position) const;
    UINT GetSelectedCount() const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    BOOL EnsureVisible(int item, BOOL partialOK);

    // Hit testing and geometry, in client coordinates. HitTest returns the item under the
    // point, -1 when there is none.
    int HitTest(CPoint point, UINT* flags = nullptr) const;
    int HitTest(LVHITTESTINFO* info) const;
    // The whole row of the item (code is ignored: every code gives the row's rectangle).
    BOOL GetItemRect(int item, LPRECT rect, UINT code) const;

    // Extended styles; the new set replaces the old one. Returns the old set.
    DWORD SetExtendedStyle(DWORD extendedStyle);
    DWORD GetExtendedStyle() const;

    // Publishes pending changes to the view now instead of at the next return to the event loop.
    void FlushPendingChanges();
};
