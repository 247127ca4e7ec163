#pragma once
// The column header of a list view. Its items (text, width, format) belong to the list view that
// owns the header. Items whose format carries HDF_OWNERDRAW are drawn by calling DrawItem with a
// device context on the header's painter; all other items are drawn by Qt's style. A subclass
// takes the header over with SubclassWindow(listCtrl.GetHeaderCtrl()->GetSafeHwnd()).

#include "platform/framework/CWnd.h"

class CHeaderCtrl : public CWnd {
    DECLARE_DYNAMIC(CHeaderCtrl)
public:
    int GetItemCount() const;
    // Reads the members named by item->mask (HDI_TEXT copies at most cchTextMax - 1 characters
    // and a terminator into pszText; HDI_FORMAT; HDI_WIDTH). FALSE outside the items.
    BOOL GetItem(int index, HDITEM* item) const;
    BOOL SetItem(int index, HDITEM* item);
    BOOL GetItemRect(int index, LPRECT rect) const;

    // Draws one owner-drawn item. The base class draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItemStruct);

protected:
    // The list view hands WM_DRAWITEM from its header back to the header: DrawItem.
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
