#include "modlist/CSortHeaderCtrl.h"

#include <cstdlib>

#include "platform/framework/CDC.h"
#include "platform/framework/CGdiObject.h"
#include "platform/framework/WinGeometry.h"

namespace ordvane {

namespace {

// The header item's text buffer: 256 characters, of which 255 are offered to the header.
constexpr int kItemTextBufferSize = 256;

UINT TextFlagsForFormat(int format) {
    UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_VCENTER | DT_END_ELLIPSIS;
    if ((format & HDF_CENTER) != 0) {
        flags |= DT_CENTER;
    } else if ((format & HDF_RIGHT) != 0) {
        flags |= DT_RIGHT;
    }
    return flags;
}

// Grey level 0 to 255 of a colour, weighted as the eye sees brightness.
int GreyLevel(COLORREF color) {
    return (GetRValue(color) * 299 + GetGValue(color) * 587 + GetBValue(color) * 114) / 1000;
}

// Below this difference in grey level an edge does not stand out from the face.
constexpr int kVisibleEdgeContrast = 40;

// The triangle is placed from the item's right and bottom edges, not from the label, so that
// pressing the item moves the text but not the triangle. Its top lies at o (and o - 1) from
// the header's top, where the items start. Lines leave out their end points.
void DrawSortTriangle(CDC& dc, const RECT& item, int inset, BOOL ascending) {
    const int right = item.right;
    const int bottom = item.bottom;
    const SortTriangleColors colors =
        SortTriangleColorsFor(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT),
                              GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_3DDKSHADOW));
    CPen lightPen(PS_SOLID, 1, colors.light);
    CPen darkPen(PS_SOLID, 1, colors.dark);
    CPen* previousPen = dc.SelectObject(&lightPen);
    if (ascending) {
        dc.MoveTo(right - 2 * inset, inset);
        dc.LineTo(right - inset, bottom - inset - 1);
        dc.LineTo(right - 3 * inset - 2, bottom - inset - 1);
        dc.SelectObject(&darkPen);
        dc.MoveTo(right - 3 * inset - 1, bottom - inset - 1);
        dc.LineTo(right - 2 * inset, inset - 1);
    } else {
        dc.MoveTo(right - inset - 1, inset);
        dc.LineTo(right - 2 * inset - 1, bottom - inset);
        dc.SelectObject(&darkPen);
        dc.MoveTo(right - 2 * inset - 2, bottom - inset);
        dc.LineTo(right - 3 * inset - 1, inset);
        dc.LineTo(right - inset - 1, inset);
    }
    dc.SelectObject(previousPen);
}

}  // namespace

SortTriangleColors SortTriangleColorsFor(COLORREF face, COLORREF highlight, COLORREF shadow,
                                         COLORREF darkShadow) {
    if (std::abs(GreyLevel(highlight) - GreyLevel(face)) >= kVisibleEdgeContrast) {
        return {highlight, shadow};
    }
    return {shadow, darkShadow};
}

BEGIN_MESSAGE_MAP(CSortHeaderCtrl, CHeaderCtrl)
END_MESSAGE_MAP()

CSortHeaderCtrl::CSortHeaderCtrl() = default;

CSortHeaderCtrl::~CSortHeaderCtrl() = default;

void CSortHeaderCtrl::SetSortIndicator(int column, BOOL ascending) {
    m_sortColumn = column;
    m_sortAscending = ascending;
    HDITEM item{};
    item.mask = HDI_FORMAT;
    if (GetItem(column, &item)) {
        item.fmt |= HDF_OWNERDRAW;
        SetItem(column, &item);
    }
    Invalidate(TRUE);
}

void CSortHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT drawItemStruct) {
    CDC dc;
    dc.Attach(drawItemStruct->hDC);
    const int savedState = dc.SaveDC();

    const RECT itemRect = drawItemStruct->rcItem;
    CRgn clipRegion;
    clipRegion.CreateRectRgnIndirect(&itemRect);
    dc.SelectClipRgn(&clipRegion);
    clipRegion.DeleteObject();

    CBrush faceBrush(GetSysColor(COLOR_BTNFACE));
    dc.FillRect(&itemRect, &faceBrush);

    char text[kItemTextBufferSize] = {};
    HDITEM item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = kItemTextBufferSize - 1;
    const int itemIndex = static_cast<int>(drawItemStruct->itemID);
    GetItem(itemIndex, &item);

    const int inset = (itemRect.bottom - itemRect.top) / 4;
    const bool isSortColumn = itemIndex == m_sortColumn;
    RECT label = itemRect;
    if (drawItemStruct->itemState == ODS_SELECTED) {
        label.left += 1;
        label.top += 2;
        label.right += 1;
    }
    if (isSortColumn) {
        label.right -= 3 * inset;
    }
    label.left += inset;
    label.right -= inset;
    if (label.left < label.right) {
        dc.DrawText(text, -1, &label, TextFlagsForFormat(item.fmt));
    }
    if (isSortColumn) {
        DrawSortTriangle(dc, itemRect, inset, m_sortAscending);
    }

    dc.RestoreDC(savedState);
    dc.Detach();
}

}  // namespace ordvane
