#include "platform/framework/DialogWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QWindowStateChangeEvent>

#include "platform/framework/CWnd.h"
#include "platform/framework/Resources.h"
#include "platform/framework/Translate.h"
#include "platform/framework/WindowRegistry.h"

namespace ordvane::framework::detail {
namespace {

thread_local QWidget* t_widgetBeingPainted = nullptr;

Qt::WindowFlags WindowFlagsFor(bool hasOwner, DWORD style, DWORD exStyle) {
    Qt::WindowFlags flags =
        (hasOwner && (exStyle & WS_EX_APPWINDOW) == 0) ? Qt::Dialog : Qt::Window;
    flags |= Qt::CustomizeWindowHint;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
    }
    if ((style & WS_SYSMENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if ((style & WS_MINIMIZEBOX) != 0) {
            flags |= Qt::WindowMinimizeButtonHint;
        }
        if ((style & WS_MAXIMIZEBOX) != 0) {
            flags |= Qt::WindowMaximizeButtonHint;
        }
    }
    return flags;
}

RECT ToRect(const QRect& rect) {
    return RECT{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The edge being dragged, judged from which sides of the frame moved.
UINT SizingEdge(const QRect& before, const QRect& after) {
    const bool left = after.left() != before.left();
    const bool top = after.top() != before.top();
    if (left && top) {
        return WMSZ_TOPLEFT;
    }
    if (left) {
        return after.bottom() != before.bottom() ? WMSZ_BOTTOMLEFT : WMSZ_LEFT;
    }
    if (top) {
        return after.right() != before.right() ? WMSZ_TOPRIGHT : WMSZ_TOP;
    }
    if (after.width() != before.width() && after.height() != before.height()) {
        return WMSZ_BOTTOMRIGHT;
    }
    return after.width() != before.width() ? WMSZ_RIGHT : WMSZ_BOTTOM;
}

}  // namespace

bool RefuseStateWithoutBox(QWidget* window, bool minimiseBox, bool maximiseBox) {
    const bool refused =
        (window->isMinimized() && !minimiseBox) || (window->isMaximized() && !maximiseBox);
    if (refused) {
        window->setWindowState(window->windowState() &
                               ~(Qt::WindowMinimized | Qt::WindowMaximized));
    }
    return refused;
}

DialogWindow::DialogWindow(QWidget* owner, DWORD style, DWORD exStyle)
    : QWidget(owner, WindowFlagsFor(owner != nullptr, style, exStyle)),
      m_hasSystemMenu((style & WS_SYSMENU) != 0) {
    setProperty(kStyleProperty, static_cast<uint>(style));
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (m_hasSystemMenu) {
        if ((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) != 0) {
            m_systemMenu.AppendMenu(MF_STRING, SC_RESTORE, translate("SystemMenu", "&Restore"));
        }
        if ((style & WS_MINIMIZEBOX) != 0) {
            m_systemMenu.AppendMenu(MF_STRING, SC_MINIMIZE, translate("SystemMenu", "Mi&nimize"));
        }
        if ((style & WS_MAXIMIZEBOX) != 0) {
            m_systemMenu.AppendMenu(MF_STRING, SC_MAXIMIZE, translate("SystemMenu", "Ma&ximize"));
        }
        if (m_systemMenu.GetMenuItemCount() > 0) {
            m_systemMenu.AppendMenu(MF_SEPARATOR);
        }
        m_systemMenu.AppendMenu(MF_STRING, SC_CLOSE, translate("SystemMenu", "&Close\tAlt+F4"));
        // Alt+Space opens the menu wherever the focus is in the window.
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, this,
                         [this]() { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
    }
}

DialogWindow::~DialogWindow() = default;

CWnd* DialogWindow::Owner() {
    return CWnd::FromWidget(this);
}

QWidget* DialogWindow::WidgetBeingPainted() {
    return t_widgetBeingPainted;
}

HICON DialogWindow::SetIcon(HICON icon, bool big) {
    HICON& slot = big ? m_bigIcon : m_smallIcon;
    HICON previous = slot;
    slot = icon;
    QIcon combined;
    for (HICON each : {m_smallIcon, m_bigIcon}) {
        if (each != nullptr) {
            const int size = IconSizeFromHandle(each);
            combined.addPixmap(IconFromHandle(each).pixmap(size, size));
        }
    }
    setWindowIcon(combined);
    return previous;
}

QMenu* DialogWindow::ShowSystemMenu(const QPoint& globalPosition) {
    if (!m_hasSystemMenu) {
        return nullptr;
    }
    m_shownMenu.reset(m_systemMenu.BuildQMenu(
        [](void* context, UINT id) {
            auto* window = static_cast<DialogWindow*>(context);
            if (CWnd* owner = window->Owner()) {
                owner->SendMessage(WM_SYSCOMMAND, id, 0);
            }
        },
        this));
    m_shownMenu->popup(globalPosition);
    return m_shownMenu.get();
}

QMenu* DialogWindow::ShowPopupMenu(QMenu* menu, const QPoint& globalPosition) {
    m_shownMenu.reset(menu);
    m_shownMenu->popup(globalPosition);
    return m_shownMenu.get();
}

bool DialogWindow::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::AltModifier) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    CWnd* owner = Owner();
    if (owner == nullptr) {
        QWidget::paintEvent(event);
        return;
    }
    QWidget* outer = t_widgetBeingPainted;
    t_widgetBeingPainted = this;
    owner->SendMessage(WM_PAINT);
    t_widgetBeingPainted = outer;
}

void DialogWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QRect oldFrame = m_lastFrame;
    m_lastFrame = frameGeometry();
    if (!m_adjustingSize && oldFrame.isValid() && isVisible() && !isMinimized() && !isMaximized()) {
        ApplySizingRules(oldFrame);
    }
    if (CWnd* owner = Owner()) {
        const UINT kind = isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
        owner->SendMessage(WM_SIZE, kind,
                           MAKELPARAM(static_cast<WORD>(width()), static_cast<WORD>(height())));
    }
}

// X11 window managers own the sizing loop, so WM_SIZING is asked after the fact: when the window
// changes its mind about the proposed rectangle, the window is put where it wants to be.
void DialogWindow::ApplySizingRules(const QRect& oldFrame) {
    CWnd* owner = Owner();
    if (owner == nullptr || m_lastFrame.size() == oldFrame.size()) {
        return;
    }
    RECT proposed = ToRect(m_lastFrame);
    const RECT asked = proposed;
    owner->SendMessage(WM_SIZING, SizingEdge(oldFrame, m_lastFrame),
                       reinterpret_cast<LPARAM>(&proposed));
    if (proposed.left == asked.left && proposed.top == asked.top && proposed.right == asked.right &&
        proposed.bottom == asked.bottom) {
        return;
    }
    m_adjustingSize = true;
    owner->MoveWindow(&proposed, TRUE);
    m_adjustingSize = false;
}

void DialogWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    const DWORD style = StyleOf(this);
    if (RefuseStateWithoutBox(this, (style & WS_MINIMIZEBOX) != 0, (style & WS_MAXIMIZEBOX) != 0)) {
        return;
    }
    CWnd* owner = Owner();
    if (owner == nullptr) {
        return;
    }
    if (isMinimized()) {
        owner->SendMessage(WM_SIZE, SIZE_MINIMIZED, 0);
    } else {
        const UINT kind = isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
        owner->SendMessage(WM_SIZE, kind,
                           MAKELPARAM(static_cast<WORD>(width()), static_cast<WORD>(height())));
    }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The close box and Alt+F4 are the system command SC_CLOSE; the window itself decides.
    event->ignore();
    if (CWnd* owner = Owner()) {
        owner->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    CWnd* owner = Owner();
    if (owner == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::AltModifier) {
        ShowSystemMenu(mapToGlobal(QPoint(0, 0)));
        return;
    }
    // Shift+F10, the keyboard's context-menu key that window managers leave to the program (many
    // take Alt+Space): a context menu event for the focused control, which its parents, up to
    // the window, may answer. The Menu key gives the same event from the platform itself.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QWidget* target = focusWidget() != nullptr ? focusWidget() : this;
        const QPoint position = target->rect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, position,
                                  target->mapToGlobal(position));
        QCoreApplication::sendEvent(target, &request);
        return;
    }
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        owner->SendMessage(WM_HELP, 0, 0);
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CWnd* cancel = owner->GetDlgItem(IDCANCEL);
        owner->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                           reinterpret_cast<LPARAM>(cancel != nullptr ? cancel->m_hWnd : nullptr));
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
            focused != nullptr && focused->isEnabled()) {
            focused->click();
            return;
        }
        const int id = m_defaultId;
        CWnd* button = owner->GetDlgItem(id);
        if (button != nullptr && !button->IsWindowEnabled()) {
            return;
        }
        owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                           reinterpret_cast<LPARAM>(button != nullptr ? button->m_hWnd : nullptr));
        return;
    }
    QWidget::keyPressEvent(event);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    // WM_CONTEXTMENU names the control under the pointer (or the window itself); whoever does
    // not handle it passes it up, and the window's default is its system menu.
    CWnd* owner = Owner();
    if (owner == nullptr) {
        QWidget::contextMenuEvent(event);
        return;
    }
    QWidget* control = childAt(event->pos());
    while (control != nullptr && control->parentWidget() != this) {
        control = control->parentWidget();
    }
    const HWND target = CWnd::HandleFromWidget(control != nullptr ? control : this);
    const QPoint global = event->globalPos();
    const LPARAM point =
        event->reason() == QContextMenuEvent::Keyboard
            ? static_cast<LPARAM>(-1)
            : MAKELPARAM(static_cast<WORD>(global.x()), static_cast<WORD>(global.y()));
    owner->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), point);
    event->accept();
}

void DialogWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    CWnd* owner = Owner();
    if (owner == nullptr || event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint position = event->position().toPoint();
    DefaultProcessingScope scope(WM_LBUTTONDBLCLK);
    owner->SendMessage(
        WM_LBUTTONDBLCLK, MK_LBUTTON,
        MAKELPARAM(static_cast<WORD>(position.x()), static_cast<WORD>(position.y())));
    if (scope.Requested()) {
        QWidget::mouseDoubleClickEvent(event);
    }
}

}  // namespace ordvane::framework::detail
