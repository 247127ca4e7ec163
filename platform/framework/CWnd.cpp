#include "platform/framework/CWnd.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <cstring>
#include <vector>

#include "platform/framework/CDC.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/DialogBuilder.h"
#include "platform/framework/DialogWindow.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Resources.h"
#include "platform/framework/WindowRegistry.h"

using ordvane::framework::detail::DialogWindow;
using ordvane::framework::detail::WindowRegistry;

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

struct CurrentMessage {
    CWnd* window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The messages being handled on this thread, innermost last, for Default().
thread_local std::vector<CurrentMessage> t_currentMessages;

QString ToQString(LPCSTR text) {
    return QString::fromUtf8(text != nullptr ? text : "");
}

// A control's client area: the widget's contents inside its frame.
QPoint ClientOrigin(const QWidget* widget) {
    if (widget->isWindow()) {
        return QPoint(0, 0);
    }
    return widget->contentsRect().topLeft();
}

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd != nullptr && WindowRegistry::PermanentOf(m_hWnd) == this) {
        Detach();
    }
}

CWnd* CWnd::FromHandle(HWND window) {
    return WindowRegistry::WrapperOf(window);
}
CWnd* CWnd::FromHandlePermanent(HWND window) {
    return WindowRegistry::PermanentOf(window);
}

BOOL CWnd::Attach(HWND window) {
    if (window == nullptr || WindowRegistry::WidgetOf(window) == nullptr ||
        WindowRegistry::PermanentOf(window) != nullptr) {
        return FALSE;
    }
    m_hWnd = window;
    WindowRegistry::SetPermanent(window, this);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    if (window != nullptr && WindowRegistry::PermanentOf(window) == this) {
        WindowRegistry::SetPermanent(window, nullptr);
    }
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!Attach(window)) {
        return FALSE;
    }
    PreSubclassWindow();
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

QWidget* CWnd::GetWidget() const {
    return WindowRegistry::WidgetOf(m_hWnd);
}

CWnd* CWnd::FromWidget(QWidget* widget) {
    return widget != nullptr ? FromHandle(WindowRegistry::HandleOf(widget)) : nullptr;
}

HWND CWnd::HandleFromWidget(QWidget* widget) {
    return WindowRegistry::HandleOf(widget);
}

int CWnd::GetDlgCtrlID() const {
    return ordvane::framework::detail::ControlIdOf(GetWidget());
}

CWnd* CWnd::GetDlgItem(int id) const {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return nullptr;
    }
    for (QObject* child : widget->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (control != nullptr &&
            control->property(ordvane::framework::detail::kControlIdProperty).isValid() &&
            ordvane::framework::detail::ControlIdOf(control) == id) {
            return FromWidget(control);
        }
    }
    return nullptr;
}

CWnd* CWnd::GetParent() const {
    QWidget* widget = GetWidget();
    return widget != nullptr && !widget->isWindow() ? FromWidget(widget->parentWidget()) : nullptr;
}

CWnd* CWnd::GetWindow(UINT relation) const {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return nullptr;
    }
    auto controlsOf = [](QWidget* parent) {
        return ordvane::framework::detail::ControlsInTemplateOrder(parent);
    };
    if (relation == GW_CHILD) {
        const auto controls = controlsOf(widget);
        return controls.empty() ? nullptr : FromWidget(controls.front());
    }
    if (relation == GW_OWNER) {
        return widget->isWindow() ? FromWidget(widget->parentWidget()) : nullptr;
    }
    QWidget* parent = widget->isWindow() ? nullptr : widget->parentWidget();
    if (parent == nullptr) {
        return nullptr;
    }
    const auto siblings = controlsOf(parent);
    if (siblings.empty()) {
        return nullptr;
    }
    std::size_t position = 0;
    while (position < siblings.size() && siblings[position] != widget) {
        ++position;
    }
    switch (relation) {
        case GW_HWNDFIRST:
            return FromWidget(siblings.front());
        case GW_HWNDLAST:
            return FromWidget(siblings.back());
        case GW_HWNDNEXT:
            return position + 1 < siblings.size() ? FromWidget(siblings[position + 1]) : nullptr;
        case GW_HWNDPREV:
            return position > 0 && position < siblings.size() ? FromWidget(siblings[position - 1])
                                                              : nullptr;
        default:
            return nullptr;
    }
}

BOOL CWnd::IsWindow() const {
    return GetWidget() != nullptr;
}

void CWnd::SetWindowText(LPCSTR text) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return;
    }
    const QString value = ToQString(text);
    widget->setProperty(ordvane::framework::detail::kRawTextProperty, value);
    if (widget->isWindow()) {
        widget->setWindowTitle(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        const bool noPrefix = (ordvane::framework::detail::StyleOf(widget) & SS_NOPREFIX) != 0;
        label->setText(noPrefix || label->buddy() != nullptr
                           ? value
                           : ordvane::framework::detail::WithoutPrefixMarks(value));
        ordvane::framework::detail::FitStaticToText(label);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
    }
}

void CWnd::GetWindowText(CString& text) const {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        text.Empty();
        return;
    }
    QString value;
    if (widget->isWindow()) {
        value = widget->windowTitle();
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        value = edit->text();
    } else {
        value = widget->property(ordvane::framework::detail::kRawTextProperty).toString();
    }
    text = CString(value.toUtf8().toStdString());
}

int CWnd::GetWindowText(LPSTR buffer, int maxCount) const {
    if (buffer == nullptr || maxCount <= 0) {
        return 0;
    }
    CString text;
    GetWindowText(text);
    const int length = std::min(text.GetLength(), maxCount - 1);
    std::memcpy(buffer, static_cast<LPCSTR>(text), static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}

BOOL CWnd::ShowWindow(int command) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return FALSE;
    }
    const BOOL wasVisible = widget->isVisible() ? TRUE : FALSE;
    switch (command) {
        case SW_HIDE:
            widget->setVisible(false);
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
            widget->showMinimized();
            break;
        case SW_SHOWMAXIMIZED:
            widget->showMaximized();
            break;
        case SW_RESTORE:
            widget->showNormal();
            break;
        default:
            widget->setVisible(true);
            break;
    }
    return wasVisible;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = widget->isEnabled() ? FALSE : TRUE;
    widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    QWidget* widget = GetWidget();
    return widget != nullptr && widget->isEnabled() ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    QWidget* widget = GetWidget();
    return widget != nullptr && widget->isVisible() ? TRUE : FALSE;
}

BOOL CWnd::IsIconic() const {
    QWidget* widget = GetWidget();
    return widget != nullptr && widget->isMinimized() ? TRUE : FALSE;
}

CWnd* CWnd::SetFocus() {
    CWnd* previous = GetFocus();
    if (QWidget* widget = GetWidget()) {
        widget->setFocus(Qt::OtherFocusReason);
    }
    return previous;
}

CWnd* CWnd::GetFocus() {
    QWidget* focused = QApplication::focusWidget();
    return focused != nullptr ? FromWidget(focused) : nullptr;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL /*repaint*/) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return;
    }
    if (widget->isWindow()) {
        // A window rectangle includes the frame; Qt sizes the client area.
        const QSize frameExtra = widget->frameGeometry().size() - widget->geometry().size();
        widget->move(x, y);
        widget->resize(std::max(0, width - frameExtra.width()),
                       std::max(0, height - frameExtra.height()));
    } else {
        widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
    }
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
    if (rect != nullptr) {
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                   repaint);
    }
}

void CWnd::GetClientRect(LPRECT rect) const {
    QWidget* widget = GetWidget();
    if (rect == nullptr) {
        return;
    }
    if (widget == nullptr) {
        *rect = RECT{0, 0, 0, 0};
        return;
    }
    const QSize size = widget->isWindow() ? widget->size() : widget->contentsRect().size();
    *rect = RECT{0, 0, size.width(), size.height()};
}

void CWnd::GetWindowRect(LPRECT rect) const {
    QWidget* widget = GetWidget();
    if (rect == nullptr) {
        return;
    }
    if (widget == nullptr) {
        *rect = RECT{0, 0, 0, 0};
        return;
    }
    QRect screenRect;
    if (widget->isWindow()) {
        screenRect = widget->frameGeometry();
    } else {
        screenRect = QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    }
    *rect = RECT{screenRect.left(), screenRect.top(), screenRect.left() + screenRect.width(),
                 screenRect.top() + screenRect.height()};
}

void CWnd::ScreenToClient(LPPOINT point) const {
    QWidget* widget = GetWidget();
    if (widget == nullptr || point == nullptr) {
        return;
    }
    const QPoint local = widget->mapFromGlobal(QPoint(point->x, point->y)) - ClientOrigin(widget);
    *point = POINT{local.x(), local.y()};
}

void CWnd::ClientToScreen(LPPOINT point) const {
    QWidget* widget = GetWidget();
    if (widget == nullptr || point == nullptr) {
        return;
    }
    const QPoint global = widget->mapToGlobal(QPoint(point->x, point->y) + ClientOrigin(widget));
    *point = POINT{global.x(), global.y()};
}

void CWnd::ScreenToClient(LPRECT rect) const {
    if (rect == nullptr) {
        return;
    }
    POINT topLeft{rect->left, rect->top};
    POINT bottomRight{rect->right, rect->bottom};
    ScreenToClient(&topLeft);
    ScreenToClient(&bottomRight);
    *rect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

namespace {
// A scroll area (list view, header) draws its contents in its viewport.
void UpdateWidget(QWidget* widget) {
    widget->update();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
        area->viewport()->update();
    }
}
void RepaintWidget(QWidget* widget) {
    if (!widget->isVisible()) {
        return;
    }
    widget->repaint();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
        area->viewport()->repaint();
    }
}
}  // namespace

void CWnd::Invalidate(BOOL /*erase*/) {
    if (QWidget* widget = GetWidget()) {
        UpdateWidget(widget);
    }
}

void CWnd::UpdateWindow() {
    if (QWidget* widget = GetWidget()) {
        RepaintWidget(widget);
    }
}

BOOL CWnd::RedrawWindow(LPCRECT updateRect, void* /*updateRegion*/, UINT flags) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return FALSE;
    }
    if ((flags & RDW_INVALIDATE) != 0) {
        if (updateRect != nullptr) {
            widget->update(QRect(QPoint(updateRect->left, updateRect->top),
                                 QPoint(updateRect->right - 1, updateRect->bottom - 1)));
        } else {
            UpdateWidget(widget);
        }
    }
    if ((flags & RDW_UPDATENOW) != 0) {
        RepaintWidget(widget);
    }
    return TRUE;
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    auto* window = dynamic_cast<DialogWindow*>(GetWidget());
    return window != nullptr ? window->SetIcon(icon, bigIcon != FALSE) : nullptr;
}

HICON CWnd::GetIcon(BOOL bigIcon) const {
    auto* window = dynamic_cast<DialogWindow*>(GetWidget());
    return window != nullptr ? window->Icon(bigIcon != FALSE) : nullptr;
}

CMenu* CWnd::GetSystemMenu(BOOL /*revert*/) const {
    auto* window = dynamic_cast<DialogWindow*>(GetWidget());
    return window != nullptr ? window->SystemMenu() : nullptr;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr) {
        return 0;
    }
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return WindowRegistry::Post(m_hWnd, message, wParam, lParam) ? TRUE : FALSE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return;
    }
    std::vector<HWND> handles;
    for (QWidget* child : ordvane::framework::detail::ControlsInTemplateOrder(widget)) {
        handles.push_back(HandleFromWidget(child));
    }
    for (HWND handle : handles) {
        if (CWnd* child = FromHandlePermanent(handle)) {
            child->SendMessage(message, wParam, lParam);
        }
    }
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
    return ::MessageBox(m_hWnd, text, caption, type);
}

BOOL CWnd::DestroyWindow() {
    QWidget* widget = GetWidget();
    if (widget == nullptr) {
        return FALSE;
    }
    SendMessage(WM_DESTROY);
    SendMessageToDescendants(WM_DESTROY);
    delete widget;  // the registry detaches every wrapper of the widget and its children
    m_hWnd = nullptr;
    PostNcDestroy();
    return TRUE;
}

DWORD CWnd::GetStyle() const {
    return ordvane::framework::detail::StyleOf(GetWidget());
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    t_currentMessages.push_back(CurrentMessage{this, message, wParam, lParam});
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    t_currentMessages.pop_back();
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *result = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        return OnNotify(wParam, lParam, result);
    }
    if (message == WM_DRAWITEM) {
        // Owner-draw requests go back to the control that asked for them.
        auto* drawItem = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        CWnd* control = drawItem != nullptr ? FromHandlePermanent(drawItem->hwndItem) : nullptr;
        if (control != nullptr && control->OnChildNotify(message, wParam, lParam, result)) {
            return TRUE;
        }
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (entry == nullptr) {
        return FALSE;
    }
    *result = entry->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    auto control = reinterpret_cast<HWND>(lParam);
    if (control != nullptr && control != m_hWnd) {
        CWnd* child = FromHandlePermanent(control);
        if (child != nullptr && child->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr)) {
            return TRUE;
        }
    }
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), lParam);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr) {
        return FALSE;
    }
    CWnd* child = FromHandlePermanent(header->hwndFrom);
    if (child != nullptr && child != this &&
        child->OnChildNotify(WM_NOTIFY, wParam, lParam, result)) {
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry =
        FindMessageEntry(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom));
    if (entry == nullptr) {
        return FALSE;
    }
    LRESULT ignored = 0;
    AFX_NOTIFY notify{header, result != nullptr ? result : &ignored};
    entry->pfn(this, wParam, reinterpret_cast<LPARAM>(&notify));
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    LRESULT ignored = 0;
    LRESULT* slot = result != nullptr ? result : &ignored;
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        const AFX_MSGMAP_ENTRY* entry =
            FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, header->code, 0);
        if (entry == nullptr) {
            return FALSE;
        }
        AFX_NOTIFY notify{header, slot};
        entry->pfn(this, wParam, reinterpret_cast<LPARAM>(&notify));
        return TRUE;
    }
    if (message == WM_COMMAND) {
        const AFX_MSGMAP_ENTRY* entry =
            FindMessageEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
        if (entry == nullptr) {
            return FALSE;
        }
        *slot = entry->pfn(this, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

LRESULT CWnd::Default() {
    if (t_currentMessages.empty()) {
        return 0;
    }
    const CurrentMessage current = t_currentMessages.back();
    return current.window->DefWindowProc(current.message, current.wParam, current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = GetWidget();
    switch (message) {
        case WM_CONTEXTMENU:
            if (widget == nullptr) {
                return 0;
            }
            if (!widget->isWindow()) {
                if (CWnd* parent = GetParent()) {
                    parent->SendMessage(WM_CONTEXTMENU, wParam, lParam);
                }
            } else if (auto* dialog =
                           dynamic_cast<ordvane::framework::detail::DialogWindow*>(widget)) {
                const QPoint at = lParam == static_cast<LPARAM>(-1)
                                      ? widget->mapToGlobal(QPoint(0, 0))
                                      : QPoint(CPoint(lParam).x, CPoint(lParam).y);
                dialog->ShowSystemMenu(at);
            }
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(WM_CLOSE);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindow(SW_SHOWMAXIMIZED);
                    break;
                case SC_RESTORE:
                    ShowWindow(SW_RESTORE);
                    break;
                default:
                    break;
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        case WM_ICONERASEBKGND:
            if (widget != nullptr) {
                if (CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(wParam))) {
                    RECT client{};
                    GetClientRect(&client);
                    dc->FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
                }
            }
            return 1;
        case WM_SIZING:
            return TRUE;
        default:
            ordvane::framework::detail::NoteDefaultProcessing(message);
            return 0;
    }
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnSizing(UINT, LPRECT) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint) {
    Default();
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowRegistry::Post(window, message, wParam, lParam) ? TRUE : FALSE;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* target = CWnd::FromHandle(window);
    return target != nullptr ? target->SendMessage(message, wParam, lParam) : 0;
}

BOOL IsWindow(HWND window) {
    return WindowRegistry::WidgetOf(window) != nullptr ? TRUE : FALSE;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            QScreen* screen = QGuiApplication::primaryScreen();
            if (screen == nullptr) {
                return 0;
            }
            return index == SM_CXSCREEN ? screen->geometry().width() : screen->geometry().height();
        }
        default:
            return 0;
    }
}
