#pragma once
// Internal: the table between window handles, widgets and their CWnd wrappers, and the queue of
// posted messages. Handles are serial numbers that are never reused. Everything except Post runs
// on the user-interface thread.

#include <QEvent>
#include <QObject>
#include <atomic>
#include <vector>

#include "platform/framework/WinConstants.h"

class CWnd;
class QWidget;

namespace ordvane::framework::detail {

class WindowRegistry {
public:
    // The widget's handle, assigned on first use.
    static HWND HandleOf(QWidget* widget);
    // The widget behind a handle; nullptr once the widget is gone.
    static QWidget* WidgetOf(HWND window);
    static CWnd* PermanentOf(HWND window);
    static void SetPermanent(HWND window, CWnd* wrapper);
    // The permanent wrapper, or a temporary one of the class that fits the widget.
    static CWnd* WrapperOf(HWND window);

    // Queues a message for the window; safe from any thread. FALSE when the handle is null or no
    // window was ever registered.
    static bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Posted messages and deferred updates not yet delivered.
    static int PendingDeliveries();
    // Counts a deferred delivery (a list's batched update) for PendingDeliveries.
    static void NoteDeferredPosted();
    static void NoteDeferredDelivered();
};

// Widget properties that carry the window framework's data on a widget.
inline constexpr const char* kControlIdProperty = "ordvaneControlId";
inline constexpr const char* kStyleProperty = "ordvaneStyle";
inline constexpr const char* kRawTextProperty = "ordvaneRawText";
// The rectangle a static was given by its template, in pixels.
inline constexpr const char* kTemplateRectProperty = "ordvaneTemplateRect";

inline constexpr const char* kTemplateOrderProperty = "ordvaneTemplateOrder";

int ControlIdOf(const QWidget* widget);
// The dialog controls among a window's children, in template order (Qt reorders its children
// when their stacking changes, so the order is kept in a property of each control).
std::vector<QWidget*> ControlsInTemplateOrder(const QWidget* parent);
DWORD StyleOf(const QWidget* widget);

// While a Qt event is being turned into a message, this scope records whether the message
// reached DefWindowProc; if it did, Qt processes the event as usual.
class DefaultProcessingScope {
public:
    explicit DefaultProcessingScope(UINT message);
    ~DefaultProcessingScope();
    DefaultProcessingScope(const DefaultProcessingScope&) = delete;
    DefaultProcessingScope& operator=(const DefaultProcessingScope&) = delete;
    bool Requested() const { return m_requested; }
    void Request(UINT message) { m_requested = m_requested || message == m_message; }

private:
    UINT m_message;
    bool m_requested = false;
    DefaultProcessingScope* m_outer;
};
void NoteDefaultProcessing(UINT message);

}  // namespace ordvane::framework::detail
