#include "platform/framework/CHeaderCtrl.h"

#include <QHeaderView>
#include <cstring>

#include "platform/framework/ListViewWidget.h"

using ordvane::framework::detail::kHeaderFormatRole;

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)

namespace {
QHeaderView* HeaderOf(const CWnd& window) {
    return qobject_cast<QHeaderView*>(window.GetWidget());
}

// The header when it has a model with an item at index; nullptr otherwise.
QHeaderView* HeaderWithItem(const CWnd& window, int index) {
    QHeaderView* header = HeaderOf(window);
    if (header == nullptr || header->model() == nullptr || index < 0 || index >= header->count()) {
        return nullptr;
    }
    return header;
}
}  // namespace

int CHeaderCtrl::GetItemCount() const {
    QHeaderView* header = HeaderOf(*this);
    return header != nullptr ? header->count() : -1;
}

BOOL CHeaderCtrl::GetItem(int index, HDITEM* item) const {
    QHeaderView* header = HeaderWithItem(*this, index);
    if (header == nullptr || item == nullptr) {
        return FALSE;
    }
    QAbstractItemModel* model = header->model();
    if ((item->mask & HDI_FORMAT) != 0) {
        item->fmt = model->headerData(index, Qt::Horizontal, kHeaderFormatRole).toInt();
    }
    if ((item->mask & HDI_WIDTH) != 0) {
        item->cxy = header->sectionSize(index);
    }
    if ((item->mask & HDI_TEXT) != 0 && item->pszText != nullptr && item->cchTextMax > 0) {
        const QByteArray text =
            model->headerData(index, Qt::Horizontal, Qt::DisplayRole).toString().toUtf8();
        const auto copied = std::min<qsizetype>(text.size(), item->cchTextMax - 1);
        std::memcpy(item->pszText, text.constData(), static_cast<std::size_t>(copied));
        item->pszText[copied] = '\0';
    }
    return TRUE;
}

BOOL CHeaderCtrl::SetItem(int index, HDITEM* item) {
    QHeaderView* header = HeaderWithItem(*this, index);
    if (header == nullptr || item == nullptr) {
        return FALSE;
    }
    QAbstractItemModel* model = header->model();
    if ((item->mask & HDI_FORMAT) != 0) {
        model->setHeaderData(index, Qt::Horizontal, item->fmt, kHeaderFormatRole);
    }
    if ((item->mask & HDI_TEXT) != 0 && item->pszText != nullptr) {
        model->setHeaderData(index, Qt::Horizontal, QString::fromUtf8(item->pszText),
                             Qt::DisplayRole);
    }
    if ((item->mask & HDI_WIDTH) != 0) {
        header->resizeSection(index, std::max(0, item->cxy));
    }
    header->viewport()->update();
    return TRUE;
}

BOOL CHeaderCtrl::GetItemRect(int index, LPRECT rect) const {
    QHeaderView* header = HeaderWithItem(*this, index);
    if (header == nullptr || rect == nullptr) {
        return FALSE;
    }
    const int left = header->sectionViewportPosition(index);
    *rect = RECT{left, 0, left + header->sectionSize(index), header->height()};
    return TRUE;
}

void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (result != nullptr) {
            *result = TRUE;
        }
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}
