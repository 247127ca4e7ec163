#include "platform/framework/CListCtrl.h"

#include <QHeaderView>
#include <algorithm>
#include <cstring>

#include "platform/framework/DialogBuilder.h"
#include "platform/framework/ListViewWidget.h"

using ordvane::framework::ListRow;
using ordvane::framework::detail::DesktopFontScale;
using ordvane::framework::detail::ListModel;
using ordvane::framework::detail::ListViewWidget;

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

namespace {

ListViewWidget* ViewOf(const CWnd& window) {
    return dynamic_cast<ListViewWidget*>(window.GetWidget());
}

ListModel* ModelOf(const CWnd& window) {
    ListViewWidget* view = ViewOf(window);
    return view != nullptr ? view->Model() : nullptr;
}

// POSITION values are the item index plus one, so that the first item is not a null position.
POSITION PositionOfItem(int item) {
    return reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(item) + 1);
}

}  // namespace

int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width, int /*subItem*/) {
    ListViewWidget* view = ViewOf(*this);
    if (view == nullptr || column < 0) {
        return -1;
    }
    int headerFormat = HDF_STRING;
    if ((format & LVCFMT_RIGHT) != 0) {
        headerFormat |= HDF_RIGHT;
    } else if ((format & LVCFMT_CENTER) != 0) {
        headerFormat |= HDF_CENTER;
    }
    ListModel::Column entry{
        heading != nullptr ? heading : "", headerFormat, std::max(0, width), {}};
    const int index = view->Model()->InsertColumn(column, std::move(entry));
    // Widths are given for the templates' font at 96 DPI; they grow with the font as the
    // dialog units do.
    const double scale = DesktopFontScale() * view->logicalDpiY() / kDialogBaseDpi;
    view->header()->resizeSection(
        index, width >= 0 ? qRound(width * scale) : view->header()->defaultSectionSize());
    return index;
}

BOOL CListCtrl::SetColumnWidth(int column, int width) {
    ListViewWidget* view = ViewOf(*this);
    if (view == nullptr || column < 0 || column >= view->Model()->columnCount()) {
        return FALSE;
    }
    if (width >= 0) {
        view->header()->resizeSection(column, width);
        return TRUE;
    }
    view->Model()->Flush();
    // The rows in view decide, as a list view measures them (a whole table could be long).
    int fitted = view->ColumnContentWidth(column);
    if (width == LVSCW_AUTOSIZE_USEHEADER) {
        fitted = std::max(fitted, view->header()->sectionSizeHint(column));
    }
    view->header()->resizeSection(column, std::max(fitted, 0));
    return TRUE;
}

int CListCtrl::GetColumnWidth(int column) const {
    ListViewWidget* view = ViewOf(*this);
    return view != nullptr ? view->header()->sectionSize(column) : 0;
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
    ListViewWidget* view = ViewOf(*this);
    if (view == nullptr) {
        return nullptr;
    }
    return dynamic_cast<CHeaderCtrl*>(CWnd::FromWidget(view->header()));
}

int CListCtrl::InsertItem(int index, LPCSTR text) {
    ListModel* model = ModelOf(*this);
    if (model == nullptr || index < 0) {
        return -1;
    }
    const int count = model->Rows().Count();
    index = std::min(index, count);
    ListRow& row = model->Rows().Insert(index);
    row.texts.emplace_back(text != nullptr ? text : "");
    if (index == count) {
        model->NoteRowsAppended();
    } else {
        model->NoteRowsRearranged();
    }
    return index;
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text) {
    ListModel* model = ModelOf(*this);
    ListRow* row = model != nullptr ? model->Rows().At(item) : nullptr;
    if (row == nullptr || subItem < 0 || subItem >= std::max(1, model->columnCount())) {
        return FALSE;
    }
    const auto column = static_cast<std::size_t>(subItem);
    if (row->texts.size() <= column) {
        row->texts.resize(column + 1);
    }
    row->texts[column] = text != nullptr ? text : "";
    model->NoteRowChanged(item);
    return TRUE;
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    ListModel* model = ModelOf(*this);
    const ListRow* row = model != nullptr ? model->Rows().At(item) : nullptr;
    if (row == nullptr || subItem < 0 || static_cast<std::size_t>(subItem) >= row->texts.size()) {
        return CString();
    }
    return CString(row->texts[static_cast<std::size_t>(subItem)]);
}

int CListCtrl::GetItemText(int item, int subItem, LPSTR buffer, int length) const {
    if (buffer == nullptr || length <= 0) {
        return 0;
    }
    const CString text = GetItemText(item, subItem);
    const int copied = std::min(text.GetLength(), length - 1);
    std::memcpy(buffer, static_cast<LPCSTR>(text), static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
    return copied;
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
    ListModel* model = ModelOf(*this);
    ListRow* row = model != nullptr ? model->Rows().At(item) : nullptr;
    if (row == nullptr) {
        return FALSE;
    }
    row->data = data;
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    ListModel* model = ModelOf(*this);
    const ListRow* row = model != nullptr ? model->Rows().At(item) : nullptr;
    return row != nullptr ? row->data : 0;
}

BOOL CListCtrl::SetItemWarning(int item, BOOL warning) {
    ListModel* model = ModelOf(*this);
    ListRow* row = model != nullptr ? model->Rows().At(item) : nullptr;
    if (row == nullptr) {
        return FALSE;
    }
    if (row->warning != (warning != FALSE)) {
        row->warning = warning != FALSE;
        model->NoteRowChanged(item);
    }
    return TRUE;
}

BOOL CListCtrl::GetItemWarning(int item) const {
    ListModel* model = ModelOf(*this);
    const ListRow* row = model != nullptr ? model->Rows().At(item) : nullptr;
    return row != nullptr && row->warning ? TRUE : FALSE;
}

BOOL CListCtrl::DeleteItem(int item) {
    ListModel* model = ModelOf(*this);
    if (model == nullptr || !model->Rows().Erase(item)) {
        return FALSE;
    }
    model->NoteRowsRearranged();
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    ListModel* model = ModelOf(*this);
    if (model == nullptr) {
        return FALSE;
    }
    model->Rows().Clear();
    model->NoteRowsRearranged();
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    ListModel* model = ModelOf(*this);
    return model != nullptr ? model->Rows().Count() : 0;
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE compare, DWORD_PTR sortData) {
    ListModel* model = ModelOf(*this);
    if (model == nullptr || compare == nullptr) {
        return FALSE;
    }
    model->Rows().StableSort([compare, sortData](const ListRow& first, const ListRow& second) {
        return compare(static_cast<LPARAM>(first.data), static_cast<LPARAM>(second.data),
                       static_cast<LPARAM>(sortData)) < 0;
    });
    model->NoteRowsRearranged();
    return TRUE;
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
    ListModel* model = ModelOf(*this);
    if (model == nullptr) {
        return nullptr;
    }
    const int count = model->Rows().Count();
    for (int item = 0; item < count; ++item) {
        if ((model->Rows().At(item)->state & LVIS_SELECTED) != 0) {
            return PositionOfItem(item);
        }
    }
    return nullptr;
}

int CListCtrl::GetNextSelectedItem(POSITION& position) const {
    const int item = static_cast<int>(reinterpret_cast<std::uintptr_t>(position)) - 1;
    position = nullptr;
    ListModel* model = ModelOf(*this);
    if (model == nullptr) {
        return item;
    }
    const int count = model->Rows().Count();
    for (int next = item + 1; next < count; ++next) {
        if ((model->Rows().At(next)->state & LVIS_SELECTED) != 0) {
            position = PositionOfItem(next);
            break;
        }
    }
    return item;
}

UINT CListCtrl::GetSelectedCount() const {
    ListModel* model = ModelOf(*this);
    UINT selected = 0;
    if (model != nullptr) {
        model->Rows().ForEach([&selected](int, const ListRow& row) {
            selected += (row.state & LVIS_SELECTED) != 0 ? 1 : 0;
        });
    }
    return selected;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    ListViewWidget* view = ViewOf(*this);
    ListModel* model = view != nullptr ? view->Model() : nullptr;
    ListRow* row = model != nullptr ? model->Rows().At(item) : nullptr;
    if (row == nullptr) {
        return FALSE;
    }
    const bool singleSelection = view->selectionMode() == QAbstractItemView::SingleSelection;
    if ((mask & state & (LVIS_SELECTED | LVIS_FOCUSED)) != 0) {
        // One selected and one focused item at most where the style says so.
        const UINT exclusive = (singleSelection ? LVIS_SELECTED : 0) | LVIS_FOCUSED;
        const UINT clear = mask & state & exclusive;
        if (clear != 0) {
            model->Rows().ForEach(
                [clear](int, const ListRow& each) { const_cast<ListRow&>(each).state &= ~clear; });
        }
    }
    row->state = (row->state & ~mask) | (state & mask);
    if (model->HasPendingChanges()) {
        model->NoteSelectionChanged();
    } else {
        view->ShowRowSelection();
    }
    return TRUE;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    ListModel* model = ModelOf(*this);
    const ListRow* row = model != nullptr ? model->Rows().At(item) : nullptr;
    return row != nullptr ? (row->state & mask) : 0;
}

BOOL CListCtrl::EnsureVisible(int item, BOOL /*partialOK*/) {
    ListViewWidget* view = ViewOf(*this);
    if (view == nullptr || item < 0 || item >= GetItemCount()) {
        return FALSE;
    }
    view->Model()->Flush();
    view->scrollTo(view->Model()->index(item, 0));
    return TRUE;
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const {
    LVHITTESTINFO info{};
    info.pt = point;
    const int item = HitTest(&info);
    if (flags != nullptr) {
        *flags = info.flags;
    }
    return item;
}

int CListCtrl::HitTest(LVHITTESTINFO* info) const {
    ListViewWidget* view = ViewOf(*this);
    if (info == nullptr) {
        return -1;
    }
    info->iItem = -1;
    info->iSubItem = 0;
    info->flags = LVHT_NOWHERE;
    if (view == nullptr) {
        return -1;
    }
    view->Model()->Flush();
    const QPoint inViewport = view->ClientToViewport(QPoint(info->pt.x, info->pt.y));
    // The row's mark beside its first column belongs to the row, as a state icon does.
    const QWidget* marks = view->verticalHeader();
    if (marks->isVisible() && inViewport.x() < 0 && inViewport.x() >= -marks->width() &&
        view->viewport()->rect().contains(QPoint(0, inViewport.y()))) {
        const int row = view->rowAt(inViewport.y());
        if (row < 0) {
            return -1;
        }
        info->iItem = row;
        info->flags = LVHT_ONITEMSTATEICON;
        return row;
    }
    if (!view->viewport()->rect().contains(inViewport)) {
        return -1;
    }
    const QModelIndex index = view->indexAt(inViewport);
    if (!index.isValid()) {
        return -1;
    }
    // Without full-row selection only the item's first column is the item.
    if ((view->ExtendedStyle() & LVS_EX_FULLROWSELECT) == 0 && index.column() != 0) {
        return -1;
    }
    info->iItem = index.row();
    info->iSubItem = index.column();
    info->flags = LVHT_ONITEMLABEL;
    return index.row();
}

BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT /*code*/) const {
    ListViewWidget* view = ViewOf(*this);
    if (view == nullptr || rect == nullptr || item < 0 || item >= GetItemCount()) {
        return FALSE;
    }
    view->Model()->Flush();
    const QModelIndex first = view->Model()->index(item, 0);
    QRect row = view->visualRect(first);
    const int columns = view->Model()->columnCount();
    if (columns > 1) {
        row = row.united(view->visualRect(view->Model()->index(item, columns - 1)));
    }
    const QPoint topLeft = view->ViewportToClient(row.topLeft());
    *rect = RECT{topLeft.x(), topLeft.y(), topLeft.x() + row.width(), topLeft.y() + row.height()};
    return TRUE;
}

DWORD CListCtrl::SetExtendedStyle(DWORD extendedStyle) {
    ListViewWidget* view = ViewOf(*this);
    if (view == nullptr) {
        return 0;
    }
    const DWORD previous = view->ExtendedStyle();
    view->SetExtendedStyle(extendedStyle);
    return previous;
}

DWORD CListCtrl::GetExtendedStyle() const {
    ListViewWidget* view = ViewOf(*this);
    return view != nullptr ? view->ExtendedStyle() : 0;
}

void CListCtrl::FlushPendingChanges() {
    if (ListModel* model = ModelOf(*this)) {
        model->Flush();
    }
}
