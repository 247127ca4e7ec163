#pragma once
// The module table's column header. It draws the sort column's item itself, with a small
// three-dimensional triangle at the item's right end: apex up for ascending order, down for
// descending. The list control tells it the sort state; it never decides the order itself.

#include "platform/framework/CHeaderCtrl.h"

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
