#pragma once
// Internal: the Qt side of the list view. ListModel holds the rows (ListRowStore) and the
// columns and publishes changes to the view in batches; ListHeaderView draws owner-drawn header
// items through the header's CHeaderCtrl; ListViewWidget is the report view itself, turning
// double clicks and header clicks into the list view's messages. The report view is a table
// without grid, so that a screen reader reads it as a table with named column headings; its row
// headings are a narrow gutter that marks the rows carrying a warning (RowMarkHeaderView).

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPalette>
#include <QTableView>
#include <functional>
#include <string>
#include <vector>

#include "platform/framework/ListRowStore.h"

namespace ordvane::framework::detail {

// Header data role that carries an item's HDF_ format.
inline constexpr int kHeaderFormatRole = Qt::UserRole + 1;

class ListModel : public QAbstractTableModel {
public:
    struct Column {
        std::string heading;
        int format = 0;  // HDF_ flags
        int width = 0;
        std::string description;  // what a screen reader says of the heading
    };

    explicit ListModel(QObject* parent);
    ~ListModel() override;

    // QAbstractTableModel: what the view sees (the published rows).
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role) override;

    // The control's side: the rows and columns as they are now.
    ListRowStore& Rows() { return m_rows; }
    const ListRowStore& Rows() const { return m_rows; }
    std::vector<Column>& Columns() { return m_columns; }
    int InsertColumn(int index, Column column);

    // Row changes wait until control returns to the event loop (or Flush) and are then shown in
    // one step: appended rows as one insertion, anything else as one reset.
    void NoteRowsAppended();
    void NoteRowsRearranged();
    void NoteRowChanged(int row);
    void NoteSelectionChanged();
    void Flush();
    bool HasPendingChanges() const { return m_pendingRearrange || m_pendingAppend; }
    // Flushes every list whose flush is scheduled (for tests that pump events).
    static void FlushAllScheduled();

    static constexpr qint64 kMinimumFlushIntervalMilliseconds = 100;

    // Set by the view: the tooltip of a cell, asked for only when one is about to be shown, so
    // that the text is made from what is true at that moment.
    void SetToolTipSource(std::function<QString(int row, int column)> source) {
        m_toolTipSource = std::move(source);
    }
    // The background of a row marked as a warning: a light amber blended into the palette's
    // base colour, so that it stays gentle and the text stays readable on light and dark themes.
    static QColor WarningBackground(const QPalette& palette);
    // The sign a warning row's heading shows.
    static QString WarningSign();

    // Set by the view: called around a flush so that it can keep its scroll position and show
    // the selection kept in the rows.
    void SetFlushHooks(std::function<void(bool rearranging)> beforeFlush,
                       std::function<void(bool rearranged)> afterFlush) {
        m_beforeFlush = std::move(beforeFlush);
        m_afterFlush = std::move(afterFlush);
    }

protected:
    bool event(QEvent* event) override;

private:
    void ScheduleFlush();
    void EndSchedule();
    void DeliverScheduledFlush();

    ListRowStore m_rows;
    std::vector<Column> m_columns;
    int m_publishedRows = 0;
    bool m_pendingAppend = false;
    bool m_pendingRearrange = false;
    bool m_pendingSelection = false;
    bool m_flushScheduled = false;
    QElapsedTimer m_lastFlush;
    std::function<void(bool rearranging)> m_beforeFlush;
    std::function<void(bool rearranged)> m_afterFlush;
    std::function<QString(int row, int column)> m_toolTipSource;
};

class ListHeaderView : public QHeaderView {
public:
    explicit ListHeaderView(QWidget* parent);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

// The rows' headings: a narrow gutter that shows a warning sign beside each row marked as a
// warning, on the row's own background, so that a warning is told by more than colour and
// weight without taking width from any column.
class RowMarkHeaderView : public QHeaderView {
public:
    explicit RowMarkHeaderView(QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

class ListViewWidget : public QTableView {
public:
    ListViewWidget(QWidget* parent, DWORD style);

    // The column headings.
    QHeaderView* header() const { return horizontalHeader(); }
    ListModel* Model() const { return m_model; }
    DWORD ExtendedStyle() const { return m_extendedStyle; }
    void SetExtendedStyle(DWORD style) { m_extendedStyle = style; }
    // Client coordinates (inside the frame, header included) to viewport coordinates and back.
    QPoint ClientToViewport(const QPoint& client) const;
    QPoint ViewportToClient(const QPoint& viewportPoint) const;
    // Shows the selection that the rows carry.
    void ShowRowSelection();
    // Type-to-find: selects the next row whose first column starts with what was typed within
    // the platform's keyboard input interval, whichever cell was clicked last; the same
    // character typed again steps to the next row starting with it.
    void keyboardSearch(const QString& search) override;
    // The width the column's texts in view need.
    int ColumnContentWidth(int column) const { return sizeHintForColumn(column); }

protected:
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A list view moves between rows: Home and End go to the first and last row, Left and Right
    // scroll sideways, and the current cell stays in the first column, where the focus is drawn.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // Enter sends NM_RETURN to the parent (reflected to the control first); Shift+F10 asks for
    // the context menu as the Menu key does.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Rows are as high as one line of text in a cell, as the item delegate measures it.
    void FitRowHeight();
    void OnSectionClicked(int section);
    // Sends WM_LBUTTONDBLCLK at this client point; true when the handler asked for the view's
    // own handling as well.
    bool SendDoubleClick(const QPoint& client);
    // Sends a bare WM_NOTIFY with this code to the parent; returns the handler's result.
    LRESULT NotifyParent(UINT code);
    // Asks the control's parent (LVN_GETINFOTIP) for the tooltip of a cell.
    QString AskInfoTip(int row, int column);
    void OnViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    ListModel* m_model;
    DWORD m_extendedStyle = 0;
    bool m_showingRowSelection = false;
    int m_savedScrollValue = 0;
    QString m_typed;
    QElapsedTimer m_lastTyped;
};

}  // namespace ordvane::framework::detail
