#include "platform/framework/ListViewWidget.h"

#include <QApplication>
#include <QBrush>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFont>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyleOptionViewItem>
#include <QTimer>
#include <unordered_set>

#include "platform/framework/CWnd.h"
#include "platform/framework/DeviceContext.h"
#include "platform/framework/WindowRegistry.h"

namespace ordvane::framework::detail {
namespace {

QEvent::Type FlushEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

std::unordered_set<ListModel*>& ModelsWithScheduledFlush() {
    static std::unordered_set<ListModel*> models;
    return models;
}

Qt::Alignment AlignmentOfFormat(int format) {
    switch (format & HDF_JUSTIFYMASK) {
        case HDF_RIGHT:
            return Qt::AlignRight | Qt::AlignVCenter;
        case HDF_CENTER:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

ListModel::~ListModel() {
    EndSchedule();
}

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_publishedRows;
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole) {
        const ListRow* row = m_rows.At(index.row());
        if (row == nullptr || column >= row->texts.size()) {
            return {};
        }
        return QString::fromUtf8(row->texts[column].c_str());
    }
    if (role == Qt::TextAlignmentRole && column < m_columns.size()) {
        return static_cast<int>(AlignmentOfFormat(m_columns[column].format));
    }
    if (role == Qt::BackgroundRole) {
        const ListRow* row = m_rows.At(index.row());
        const auto* view = qobject_cast<const QWidget*>(QObject::parent());
        if (row == nullptr || !row->warning) {
            return {};
        }
        return QBrush(WarningBackground(view != nullptr ? view->palette() : QPalette()));
    }
    if (role == Qt::FontRole) {
        // A warning is not told by colour alone: the row's text is bold as well.
        const ListRow* row = m_rows.At(index.row());
        if (row == nullptr || !row->warning) {
            return {};
        }
        const auto* view = qobject_cast<const QWidget*>(QObject::parent());
        QFont font = view != nullptr ? view->font() : QFont();
        font.setBold(true);
        return font;
    }
    // A screen reader reads a cell's tooltip (the row's warnings) as its description.
    if ((role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) && m_toolTipSource) {
        const QString tip = m_toolTipSource(index.row(), index.column());
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    return {};
}

QColor ListModel::WarningBackground(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    // One part amber (255, 191, 0) to three parts base: #FFEFBF on white, a dim amber under
    // light text on a dark base.
    const auto mix = [](int amber, int baseLevel) { return (amber + 3 * baseLevel + 2) / 4; };
    return QColor(mix(255, base.red()), mix(191, base.green()), mix(0, base.blue()));
}

QString ListModel::WarningSign() {
    return QStringLiteral("\u26A0");
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        const ListRow* row = role == Qt::DisplayRole ? m_rows.At(section) : nullptr;
        return row != nullptr && row->warning ? QVariant(WarningSign()) : QVariant();
    }
    if (section < 0 || section >= static_cast<int>(m_columns.size())) {
        return {};
    }
    const Column& column = m_columns[static_cast<std::size_t>(section)];
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromUtf8(column.heading.c_str());
        case Qt::TextAlignmentRole:
            return static_cast<int>(AlignmentOfFormat(column.format));
        case kHeaderFormatRole:
            return column.format;
        case Qt::AccessibleDescriptionRole:
            return QString::fromUtf8(column.description.c_str());
        default:
            return {};
    }
}

bool ListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                              int role) {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(m_columns.size())) {
        return false;
    }
    Column& column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        column.heading = value.toString().toUtf8().toStdString();
    } else if (role == kHeaderFormatRole) {
        column.format = value.toInt();
    } else if (role == Qt::AccessibleDescriptionRole) {
        column.description = value.toString().toUtf8().toStdString();
    } else {
        return false;
    }
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

int ListModel::InsertColumn(int index, Column column) {
    index = std::clamp(index, 0, static_cast<int>(m_columns.size()));
    beginInsertColumns(QModelIndex(), index, index);
    m_columns.insert(m_columns.begin() + index, std::move(column));
    // Existing rows keep their texts in the columns they were set in.
    m_rows.ForEach([index](int, const ListRow& row) {
        auto& texts = const_cast<ListRow&>(row).texts;
        if (static_cast<int>(texts.size()) > index) {
            texts.insert(texts.begin() + index, std::string());
        }
    });
    endInsertColumns();
    return index;
}

void ListModel::ScheduleFlush() {
    if (m_flushScheduled) {
        return;
    }
    m_flushScheduled = true;
    WindowRegistry::NoteDeferredPosted();
    ModelsWithScheduledFlush().insert(this);
    const qint64 sinceLastFlush =
        m_lastFlush.isValid() ? m_lastFlush.elapsed() : kMinimumFlushIntervalMilliseconds;
    if (sinceLastFlush >= kMinimumFlushIntervalMilliseconds) {
        // Low priority: every message already queued (a burst of scan answers, for instance)
        // is handled before the view hears of the change.
        QCoreApplication::postEvent(this, new QEvent(FlushEventType()), Qt::LowEventPriority);
        return;
    }
    // Showing a change costs the view a pass over all rows; while changes keep coming, it is
    // shown at most once per interval instead of once per event-loop turn.
    QTimer::singleShot(static_cast<int>(kMinimumFlushIntervalMilliseconds - sinceLastFlush), this,
                       [this]() { DeliverScheduledFlush(); });
}

void ListModel::EndSchedule() {
    if (!m_flushScheduled) {
        return;
    }
    m_flushScheduled = false;
    WindowRegistry::NoteDeferredDelivered();
    ModelsWithScheduledFlush().erase(this);
}

void ListModel::DeliverScheduledFlush() {
    if (m_flushScheduled) {
        Flush();
    }
}

void ListModel::FlushAllScheduled() {
    const std::unordered_set<ListModel*> models = ModelsWithScheduledFlush();
    for (ListModel* model : models) {
        model->Flush();
    }
}

void ListModel::NoteRowsAppended() {
    m_pendingAppend = true;
    ScheduleFlush();
}

void ListModel::NoteRowsRearranged() {
    m_pendingRearrange = true;
    ScheduleFlush();
}

void ListModel::NoteSelectionChanged() {
    m_pendingSelection = true;
    ScheduleFlush();
}

void ListModel::NoteRowChanged(int row) {
    if (HasPendingChanges() || row >= m_publishedRows || m_columns.empty()) {
        return;  // the next flush shows it
    }
    emit dataChanged(index(row, 0), index(row, static_cast<int>(m_columns.size()) - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void ListModel::Flush() {
    EndSchedule();
    m_lastFlush.start();
    const bool rearranging = m_pendingRearrange;
    const bool anything = m_pendingRearrange || m_pendingAppend || m_pendingSelection;
    if (!anything) {
        return;
    }
    if (m_beforeFlush) {
        m_beforeFlush(rearranging);
    }
    if (m_pendingRearrange) {
        beginResetModel();
        m_publishedRows = m_rows.Count();
        endResetModel();
    } else if (m_pendingAppend && m_rows.Count() > m_publishedRows) {
        beginInsertRows(QModelIndex(), m_publishedRows, m_rows.Count() - 1);
        m_publishedRows = m_rows.Count();
        endInsertRows();
    }
    m_pendingRearrange = false;
    m_pendingAppend = false;
    m_pendingSelection = false;
    if (m_afterFlush) {
        m_afterFlush(rearranging);
    }
}

bool ListModel::event(QEvent* event) {
    if (event->type() == FlushEventType()) {
        DeliverScheduledFlush();
        return true;
    }
    return QAbstractTableModel::event(event);
}

ListHeaderView::ListHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

void ListHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const int format =
        model() != nullptr
            ? model()->headerData(logicalIndex, Qt::Horizontal, kHeaderFormatRole).toInt()
            : 0;
    auto* self = const_cast<ListHeaderView*>(this);
    HWND header = CWnd::HandleFromWidget(self);
    QWidget* list = parentWidget();
    if ((format & HDF_OWNERDRAW) == 0 || CWnd::FromHandlePermanent(header) == nullptr ||
        list == nullptr) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    QStyleOptionHeader option;
    initStyleOptionForIndex(&option, logicalIndex);
    // The header puts its font and text colour into the context; the owner draws the rest.
    painter->save();
    painter->setFont(font());
    std::unique_ptr<HDC__> context = MakeDeviceContext(painter);
    context->state.textColor = ToColorRef(palette().color(QPalette::ButtonText));
    context->state.backgroundMode = TRANSPARENT;
    DRAWITEMSTRUCT drawItem{};
    drawItem.CtlType = ODT_HEADER;
    drawItem.CtlID = static_cast<UINT>(ControlIdOf(self));
    drawItem.itemID = static_cast<UINT>(logicalIndex);
    drawItem.itemAction = ODA_DRAWENTIRE;
    drawItem.itemState = (option.state & QStyle::State_Sunken) != 0 ? ODS_SELECTED : 0;
    drawItem.hwndItem = header;
    drawItem.hDC = context.get();
    drawItem.rcItem =
        RECT{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    // The request goes to the list view, which hands it back to its header.
    ::SendMessage(CWnd::HandleFromWidget(list), WM_DRAWITEM, drawItem.CtlID,
                  reinterpret_cast<LPARAM>(&drawItem));
    context.reset();
    painter->restore();
}

RowMarkHeaderView::RowMarkHeaderView(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

void RowMarkHeaderView::paintEvent(QPaintEvent* event) {
    QHeaderView::paintEvent(event);
    // Below the last row the gutter is the list's background, not an empty heading.
    const int end = length() - offset();
    if (end < viewport()->height()) {
        QPainter painter(viewport());
        painter.fillRect(0, end, viewport()->width(), viewport()->height() - end,
                         palette().brush(QPalette::Base));
    }
}

QSize RowMarkHeaderView::sizeHint() const {
    // One width whether or not a row warns, so that the columns never move.
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    // Only the width counts; measuring the rows' headings would cost a pass over many rows.
    return {fontMetrics().horizontalAdvance(ListModel::WarningSign()) + 2 * margin, length()};
}

void RowMarkHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const QAbstractItemModel* rows = model();
    const QVariant background =
        rows != nullptr ? rows->data(rows->index(logicalIndex, 0), Qt::BackgroundRole) : QVariant();
    painter->fillRect(rect, background.canConvert<QBrush>() ? background.value<QBrush>()
                                                            : palette().brush(QPalette::Base));
    const QString sign =
        rows != nullptr ? rows->headerData(logicalIndex, Qt::Vertical, Qt::DisplayRole).toString()
                        : QString();
    if (!sign.isEmpty()) {
        painter->setPen(palette().color(QPalette::Text));
        painter->drawText(rect, Qt::AlignCenter, sign);
    }
}

ListViewWidget::ListViewWidget(QWidget* parent, DWORD style)
    : QTableView(parent), m_model(new ListModel(this)) {
    auto* header = new ListHeaderView(this);
    setHorizontalHeader(header);
    setModel(m_model);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(0);
    // Rows have one height, which also keeps a reset of 65,536 rows cheap.
    setVerticalHeader(new RowMarkHeaderView(this));
    verticalHeader()->setSectionsClickable(true);
    verticalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    FitRowHeight();
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab leaves the list for the next control, as in any dialog.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode((style & LVS_SINGLESEL) != 0 ? QAbstractItemView::SingleSelection
                                                  : QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape((style & WS_BORDER) != 0 ? QFrame::StyledPanel : QFrame::NoFrame);

    QObject::connect(header, &QHeaderView::sectionClicked, this,
                     [this](int section) { OnSectionClicked(section); });
    QObject::connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                     [this](const QItemSelection& selected, const QItemSelection& deselected) {
                         OnViewSelectionChanged(selected, deselected);
                     });
    m_model->SetFlushHooks(
        [this](bool rearranging) {
            if (rearranging) {
                m_savedScrollValue = verticalScrollBar()->value();
            }
        },
        [this](bool rearranged) {
            ShowRowSelection();
            if (rearranged) {
                doItemsLayout();
                verticalScrollBar()->setValue(m_savedScrollValue);
            }
        });
    m_model->SetToolTipSource([this](int row, int column) { return AskInfoTip(row, column); });
}

QString ListViewWidget::AskInfoTip(int row, int column) {
    QWidget* parent = parentWidget();
    if ((m_extendedStyle & LVS_EX_INFOTIP) == 0 || parent == nullptr) {
        return {};
    }
    char text[INFOTIPSIZE] = "";
    NMLVGETINFOTIP notify{};
    notify.hdr.hwndFrom = CWnd::HandleFromWidget(this);
    notify.hdr.idFrom = static_cast<UINT_PTR>(ControlIdOf(this));
    notify.hdr.code = LVN_GETINFOTIP;
    notify.pszText = text;
    notify.cchTextMax = INFOTIPSIZE;
    notify.iItem = row;
    notify.iSubItem = column;
    ::SendMessage(CWnd::HandleFromWidget(parent), WM_NOTIFY, notify.hdr.idFrom,
                  reinterpret_cast<LPARAM>(&notify));
    // Whatever the handler did, the text ends inside the buffer.
    text[INFOTIPSIZE - 1] = '\0';
    return QString::fromUtf8(text);
}

QPoint ListViewWidget::ClientToViewport(const QPoint& client) const {
    return client + contentsRect().topLeft() - viewport()->geometry().topLeft();
}

QPoint ListViewWidget::ViewportToClient(const QPoint& viewportPoint) const {
    return viewportPoint + viewport()->geometry().topLeft() - contentsRect().topLeft();
}

void ListViewWidget::ShowRowSelection() {
    QItemSelectionModel* selection = selectionModel();
    if (selection == nullptr) {
        return;
    }
    m_showingRowSelection = true;
    QItemSelection rows;
    int current = -1;
    const int lastColumn = std::max(0, m_model->columnCount() - 1);
    m_model->Rows().ForEach([&](int index, const ListRow& row) {
        if ((row.state & LVIS_SELECTED) != 0) {
            rows.select(m_model->index(index, 0), m_model->index(index, lastColumn));
        }
        if ((row.state & LVIS_FOCUSED) != 0) {
            current = index;
        }
    });
    selection->select(rows, QItemSelectionModel::ClearAndSelect);
    if (current >= 0) {
        selection->setCurrentIndex(m_model->index(current, 0), QItemSelectionModel::NoUpdate);
    }
    m_showingRowSelection = false;
}

void ListViewWidget::OnViewSelectionChanged(const QItemSelection& selected,
                                            const QItemSelection& deselected) {
    if (m_showingRowSelection) {
        return;
    }
    auto mark = [this](const QItemSelection& ranges, bool on) {
        for (const QItemSelectionRange& range : ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                if (ListRow* each = m_model->Rows().At(row)) {
                    each->state =
                        on ? (each->state | LVIS_SELECTED) : (each->state & ~LVIS_SELECTED);
                }
            }
        }
    };
    mark(deselected, false);
    mark(selected, true);
    const QModelIndex current = selectionModel()->currentIndex();
    if (current.isValid()) {
        m_model->Rows().ForEach([&current](int index, const ListRow& row) {
            auto& state = const_cast<ListRow&>(row).state;
            state = index == current.row() ? (state | LVIS_FOCUSED) : (state & ~LVIS_FOCUSED);
        });
    }
}

void ListViewWidget::OnSectionClicked(int section) {
    QWidget* parent = parentWidget();
    if (parent == nullptr) {
        return;
    }
    NMLISTVIEW notify{};
    notify.hdr.hwndFrom = CWnd::HandleFromWidget(this);
    notify.hdr.idFrom = static_cast<UINT_PTR>(ControlIdOf(this));
    notify.hdr.code = LVN_COLUMNCLICK;
    notify.iItem = -1;
    notify.iSubItem = section;
    ::SendMessage(CWnd::HandleFromWidget(parent), WM_NOTIFY, notify.hdr.idFrom,
                  reinterpret_cast<LPARAM>(&notify));
}

bool ListViewWidget::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            // What the user points at must be what the rows say.
            m_model->Flush();
            break;
        case QEvent::MouseButtonDblClick: {
            m_model->Flush();
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                !SendDoubleClick(ViewportToClient(mouse->position().toPoint()))) {
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QTableView::viewportEvent(event);
}

bool ListViewWidget::eventFilter(QObject* watched, QEvent* event) {
    // The row's sign is part of its row: a click selects it, a double click is the row's.
    QWidget* gutter = verticalHeader()->viewport();
    if (watched == gutter && (event->type() == QEvent::MouseButtonPress ||
                              event->type() == QEvent::MouseButtonDblClick)) {
        m_model->Flush();
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
            const QPoint inList = gutter->mapTo(this, mouse->position().toPoint());
            return !SendDoubleClick(inList - contentsRect().topLeft());
        }
    }
    return QTableView::eventFilter(watched, event);
}

bool ListViewWidget::SendDoubleClick(const QPoint& client) {
    DefaultProcessingScope scope(WM_LBUTTONDBLCLK);
    ::SendMessage(CWnd::HandleFromWidget(this), WM_LBUTTONDBLCLK, MK_LBUTTON,
                  MAKELPARAM(static_cast<WORD>(client.x()), static_cast<WORD>(client.y())));
    return scope.Requested();
}

void ListViewWidget::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitRowHeight();
    }
}

void ListViewWidget::FitRowHeight() {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("Xg");
    const QSize size = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    verticalHeader()->setDefaultSectionSize(std::max(size.height(), 1));
}

QModelIndex ListViewWidget::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    m_model->Flush();
    const int rows = m_model->rowCount();
    switch (cursorAction) {
        case MoveLeft:
        case MoveRight: {
            QScrollBar* bar = horizontalScrollBar();
            bar->setValue(bar->value() + (cursorAction == MoveLeft ? -1 : 1) * bar->singleStep());
            return currentIndex();
        }
        case MoveHome:
            return rows > 0 ? m_model->index(0, 0) : QModelIndex();
        case MoveEnd:
            return rows > 0 ? m_model->index(rows - 1, 0) : QModelIndex();
        default: {
            const QModelIndex moved = QTableView::moveCursor(cursorAction, modifiers);
            return moved.isValid() ? moved.siblingAtColumn(0) : moved;
        }
    }
}

void ListViewWidget::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (current.isValid() && current.column() != 0) {
        // A click on any cell makes its row current; the row's first cell carries the focus.
        selectionModel()->setCurrentIndex(current.siblingAtColumn(0),
                                          QItemSelectionModel::NoUpdate);
        return;
    }
    QTableView::currentChanged(current, previous);
}

void ListViewWidget::keyboardSearch(const QString& search) {
    m_model->Flush();
    const int rows = m_model->rowCount();
    if (rows == 0 || m_model->columnCount() == 0) {
        return;
    }
    const bool newSearch = search.isEmpty() || !m_lastTyped.isValid() ||
                           m_lastTyped.elapsed() > QApplication::keyboardInputInterval();
    m_lastTyped.start();
    m_typed = newSearch ? search : m_typed + search;
    // Typing one character again and again steps through the rows that start with it.
    const bool sameKey = m_typed.size() > 1 && m_typed.count(m_typed.back()) == m_typed.size();
    const QString wanted = sameKey ? QString(m_typed.front()) : m_typed;
    // A new search starts below the current row, so that it finds the next match.
    const QModelIndex current = currentIndex();
    int start = current.isValid() ? current.row() : 0;
    if (current.isValid() && (newSearch || sameKey)) {
        start = (start + 1) % rows;
    }
    for (int step = 0; step < rows; ++step) {
        const int row = (start + step) % rows;
        const ListRow* each = m_model->Rows().At(row);
        if (each != nullptr && !each->texts.empty() &&
            QString::fromUtf8(each->texts.front().c_str())
                .startsWith(wanted, Qt::CaseInsensitive)) {
            setCurrentIndex(m_model->index(row, 0));
            return;
        }
    }
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
    // Moving the selection by keyboard must move it over the rows as they are now.
    m_model->Flush();
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
        // The row's own action first (NM_RETURN); the dialog's default button otherwise.
        if (NotifyParent(NM_RETURN) == 0) {
            event->ignore();
        }
        return;
    }
    if (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(0, 0),
                               mapToGlobal(QPoint(0, 0)));
        contextMenuEvent(&menu);
        return;
    }
    QTableView::keyPressEvent(event);
}

void ListViewWidget::contextMenuEvent(QContextMenuEvent* event) {
    m_model->Flush();
    const QPoint global = event->globalPos();
    const LPARAM point =
        event->reason() == QContextMenuEvent::Keyboard
            ? static_cast<LPARAM>(-1)
            : MAKELPARAM(static_cast<WORD>(global.x()), static_cast<WORD>(global.y()));
    const HWND self = CWnd::HandleFromWidget(this);
    ::SendMessage(self, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(self), point);
    event->accept();
}

LRESULT ListViewWidget::NotifyParent(UINT code) {
    QWidget* parent = parentWidget();
    if (parent == nullptr) {
        return 0;
    }
    NMHDR notify{};
    notify.hwndFrom = CWnd::HandleFromWidget(this);
    notify.idFrom = static_cast<UINT_PTR>(ControlIdOf(this));
    notify.code = code;
    return ::SendMessage(CWnd::HandleFromWidget(parent), WM_NOTIFY, notify.idFrom,
                         reinterpret_cast<LPARAM>(&notify));
}

}  // namespace ordvane::framework::detail
