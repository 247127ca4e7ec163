#pragma once
// Internal: the top-level widget of a dialog. It turns Qt's events into the window messages of
// its CWnd: paint, size, minimize, close box and Alt+F4, Escape and Enter, the system menu on
// Alt+Space, Shift+F10, the Menu key and a right click on the background, and double clicks on
// the background.

#include <QWidget>
#include <memory>

#include "platform/framework/CMenu.h"
#include "platform/framework/WinConstants.h"

class CWnd;
class QMenu;

namespace ordvane::framework::detail {

// Puts a window that was minimised or maximised without having the box for it back in its
// normal state; true when it did. The window asks the window manager for no such box (its
// flags), but some window managers offer both on every window, and a minimised modal window
// leaves its owner blocked with nothing on the screen to answer.
bool RefuseStateWithoutBox(QWidget* window, bool minimiseBox, bool maximiseBox);

class DialogWindow : public QWidget {
public:
    DialogWindow(QWidget* owner, DWORD style, DWORD exStyle);
    ~DialogWindow() override;

    CMenu* SystemMenu() { return m_hasSystemMenu ? &m_systemMenu : nullptr; }
    // Pops the system menu up; nullptr for a window without one.
    QMenu* ShowSystemMenu(const QPoint& globalPosition);
    // Pops a menu up and keeps it until the next one; returns it.
    QMenu* ShowPopupMenu(QMenu* menu, const QPoint& globalPosition);
    QMenu* ShownMenu() const { return m_shownMenu.get(); }
    HICON Icon(bool big) const { return big ? m_bigIcon : m_smallIcon; }
    HICON SetIcon(HICON icon, bool big);
    // The id that Enter sends when no push button has the focus.
    void SetDefaultId(int id) { m_defaultId = id; }
    int DefaultId() const { return m_defaultId; }

    // The widget whose paint event is being delivered on this thread, for CPaintDC.
    static QWidget* WidgetBeingPainted();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CWnd* Owner();
    void ApplySizingRules(const QRect& oldFrame);

    CMenu m_systemMenu;
    bool m_hasSystemMenu;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    int m_defaultId = IDOK;
    QRect m_lastFrame;
    bool m_adjustingSize = false;
    std::unique_ptr<QMenu> m_shownMenu;
};

}  // namespace ordvane::framework::detail
