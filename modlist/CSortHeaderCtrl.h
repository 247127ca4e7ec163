#pragma once
// The module table's column header. It draws the sort column's item itself, with a small
// three-dimensional triangle at the item's right end: apex up for ascending order, down for
// descending. The list control tells it the sort state; it never decides the order itself.

#include "platform/framework/CHeaderCtrl.h"

namespace ordvane {

// The pens of the triangle's edges. The light edges take the highlight colour where it stands
// out from the header's face; on a face nearly as light as the highlight (light desktop themes)
// they would vanish and an ascending triangle would read as a "/", so there the light edges take
// the shadow colour and the dark edges the dark shadow: three visible sides, light still
// lighter than dark.
struct SortTriangleColors {
    COLORREF light;
    COLORREF dark;
};
SortTriangleColors SortTriangleColorsFor(COLORREF face, COLORREF highlight, COLORREF shadow,
                                         COLORREF darkShadow);

class CSortHeaderCtrl : public CHeaderCtrl {
public:
    CSortHeaderCtrl();
    ~CSortHeaderCtrl() override;

    // Moves the triangle to the column and direction (nonzero = ascending). The column's item
    // becomes owner-drawn and stays so: a column once sorted keeps being drawn here, with its
    // text inset, after the triangle has moved on.
    void SetSortIndicator(int column, BOOL ascending);

    int GetSortColumn() const { return m_sortColumn; }
    BOOL IsSortAscending() const { return m_sortAscending; }

    void DrawItem(LPDRAWITEMSTRUCT drawItemStruct) override;

protected:
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_sortAscending = TRUE;
    int m_sortColumn = 0;
};

}  // namespace ordvane
