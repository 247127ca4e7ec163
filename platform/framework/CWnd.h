#pragma once
// A window: the framework's CWnd over a QWidget. A CWnd object is either permanent (attached to
// its widget with Attach or SubclassWindow, as dialogs and bound controls are) or a temporary
// wrapper that FromHandle and GetDlgItem hand out and the framework deletes with the widget.
// Messages sent to a window go through WindowProc: the class's message map first, then
// DefWindowProc, which performs the platform's default action.

#include "platform/CString.h"
#include "platform/framework/CCmdTarget.h"

class QWidget;
class CMenu;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    // Handle and wrappers.
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }  // NOLINT: implicit, as the framework's
    static CWnd* FromHandle(HWND window);
    static CWnd* FromHandlePermanent(HWND window);
    BOOL Attach(HWND window);
    HWND Detach();
    // Attaches this object as the window's permanent wrapper and calls PreSubclassWindow first.
    BOOL SubclassWindow(HWND window);
    // Qt access for the framework's own classes and for tests.
    QWidget* GetWidget() const;
    static CWnd* FromWidget(QWidget* widget);
    static HWND HandleFromWidget(QWidget* widget);

    // Relations.
    int GetDlgCtrlID() const;
    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    CWnd* GetWindow(UINT relation) const;
    BOOL IsWindow() const;

    // Text, visibility and state.
    void SetWindowText(LPCSTR text);
    void GetWindowText(CString& text) const;
    int GetWindowText(LPSTR buffer, int maxCount) const;
    BOOL ShowWindow(int command);
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();

    // Geometry: a window rectangle is in screen pixels and includes the frame; a client
    // rectangle starts at (0, 0).
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ClientToScreen(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;

    // Painting.
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT updateRect = nullptr, void* updateRegion = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    // Icons and the window's own (system) menu.
    HICON SetIcon(HICON icon, BOOL bigIcon);
    HICON GetIcon(BOOL bigIcon) const;
    // The window's menu of system commands (Alt+Space, right click on the background);
    // nullptr for a window without WS_SYSMENU.
    CMenu* GetSystemMenu(BOOL revert) const;

    // Messages. SendMessage runs the window procedure at once; PostMessage queues the message
    // for the user-interface thread and may be called from any thread.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Sends a message to every child window (used for WM_DESTROY).
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // A modal message box owned by this window; caption nullptr is the application's name.
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

    virtual BOOL DestroyWindow();
    DWORD GetStyle() const;

    // The window procedure: message map, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The platform's default processing of the message being handled.
    LRESULT Default();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A parent hands a child's notification back to the child first (reflection).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void PreSubclassWindow();
    // Called after the window is gone: the wrapper is detached.
    virtual void PostNcDestroy();

    // Default handlers that message maps name; each runs the default processing.
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnDestroy();
    void OnClose();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnSize(UINT type, int cx, int cy);
    void OnSizing(UINT side, LPRECT rect);
    void OnLButtonDblClk(UINT flags, CPoint point);
    // A control passes the menu on to its parent; a dialog opens its system menu.
    void OnContextMenu(CWnd* window, CPoint point);

    DECLARE_MESSAGE_MAP()

    friend class CWndAccess;
};

// Posts a message to a window by handle; safe from any thread. A message to a window that no
// longer exists is dropped on delivery. FALSE when the handle is null.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL IsWindow(HWND window);
int GetSystemMetrics(int index);
