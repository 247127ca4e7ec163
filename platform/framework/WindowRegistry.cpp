#include "platform/framework/WindowRegistry.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/framework/CButton.h"
#include "platform/framework/CEdit.h"
#include "platform/framework/CHeaderCtrl.h"
#include "platform/framework/CIPAddressCtrl.h"
#include "platform/framework/CListCtrl.h"
#include "platform/framework/CStatic.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/IpAddressWidget.h"
#include "platform/framework/ListViewWidget.h"

namespace ordvane::framework::detail {
namespace {

constexpr const char* kHandleProperty = "ordvaneHandle";

struct WindowRecord {
    QWidget* widget = nullptr;
    CWnd* permanent = nullptr;
    std::unique_ptr<CWnd> temporary;
};

std::unordered_map<std::uintptr_t, WindowRecord>& Records() {
    static std::unordered_map<std::uintptr_t, WindowRecord> records;
    return records;
}

std::uintptr_t g_nextHandle = 0x10000;
std::atomic<int> g_pendingDeliveries{0};

class PostedMessageEvent : public QEvent {
public:
    static QEvent::Type EventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    PostedMessageEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(EventType()),
          m_window(window),
          m_message(message),
          m_wParam(wParam),
          m_lParam(lParam) {}

    HWND m_window;
    UINT m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

// Lives on the user-interface thread for the whole process and delivers posted messages to
// whichever window still has the handle. It is never deleted, so that a thread may post to it
// at any moment.
class PostedMessageDispatcher : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != PostedMessageEvent::EventType()) {
            return QObject::event(event);
        }
        auto* posted = static_cast<PostedMessageEvent*>(event);
        g_pendingDeliveries.fetch_sub(1);
        if (CWnd* target = WindowRegistry::WrapperOf(posted->m_window)) {
            target->SendMessage(posted->m_message, posted->m_wParam, posted->m_lParam);
        }
        return true;
    }
};

std::atomic<PostedMessageDispatcher*> g_dispatcher{nullptr};

void EnsureDispatcher() {
    if (g_dispatcher.load() == nullptr) {
        g_dispatcher.store(new PostedMessageDispatcher);  // never deleted, see above
    }
}

std::unique_ptr<CWnd> MakeTemporaryWrapper(QWidget* widget) {
    if (qobject_cast<QAbstractButton*>(widget) != nullptr) {
        return std::make_unique<CButton>();
    }
    if (qobject_cast<QLineEdit*>(widget) != nullptr) {
        return std::make_unique<CEdit>();
    }
    if (qobject_cast<QLabel*>(widget) != nullptr) {
        return std::make_unique<CStatic>();
    }
    if (dynamic_cast<IpAddressWidget*>(widget) != nullptr) {
        return std::make_unique<CIPAddressCtrl>();
    }
    if (dynamic_cast<ListViewWidget*>(widget) != nullptr) {
        return std::make_unique<CListCtrl>();
    }
    if (qobject_cast<QHeaderView*>(widget) != nullptr) {
        return std::make_unique<CHeaderCtrl>();
    }
    return std::make_unique<CWnd>();
}

void ForgetWidget(std::uintptr_t key) {
    auto& records = Records();
    auto found = records.find(key);
    if (found == records.end()) {
        return;
    }
    WindowRecord record = std::move(found->second);
    records.erase(found);
    if (record.permanent != nullptr) {
        record.permanent->m_hWnd = nullptr;
    }
    if (record.temporary) {
        record.temporary->m_hWnd = nullptr;
    }
}

}  // namespace

HWND WindowRegistry::HandleOf(QWidget* widget) {
    if (widget == nullptr) {
        return nullptr;
    }
    const QVariant existing = widget->property(kHandleProperty);
    if (existing.isValid()) {
        return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(existing.toULongLong()));
    }
    EnsureDispatcher();
    const std::uintptr_t key = g_nextHandle;
    g_nextHandle += 4;
    widget->setProperty(kHandleProperty, QVariant::fromValue<qulonglong>(key));
    Records()[key].widget = widget;
    QObject::connect(widget, &QObject::destroyed, g_dispatcher.load(),
                     [key]() { ForgetWidget(key); });
    return reinterpret_cast<HWND>(key);
}

QWidget* WindowRegistry::WidgetOf(HWND window) {
    auto& records = Records();
    auto found = records.find(reinterpret_cast<std::uintptr_t>(window));
    return found != records.end() ? found->second.widget : nullptr;
}

CWnd* WindowRegistry::PermanentOf(HWND window) {
    auto& records = Records();
    auto found = records.find(reinterpret_cast<std::uintptr_t>(window));
    return found != records.end() ? found->second.permanent : nullptr;
}

void WindowRegistry::SetPermanent(HWND window, CWnd* wrapper) {
    auto& records = Records();
    auto found = records.find(reinterpret_cast<std::uintptr_t>(window));
    if (found != records.end()) {
        found->second.permanent = wrapper;
    }
}

CWnd* WindowRegistry::WrapperOf(HWND window) {
    auto& records = Records();
    auto found = records.find(reinterpret_cast<std::uintptr_t>(window));
    if (found == records.end()) {
        return nullptr;
    }
    WindowRecord& record = found->second;
    if (record.permanent != nullptr) {
        return record.permanent;
    }
    if (!record.temporary) {
        record.temporary = MakeTemporaryWrapper(record.widget);
        record.temporary->m_hWnd = window;
    }
    return record.temporary.get();
}

bool WindowRegistry::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostedMessageDispatcher* dispatcher = g_dispatcher.load();
    if (window == nullptr || dispatcher == nullptr) {
        return false;
    }
    g_pendingDeliveries.fetch_add(1);
    QCoreApplication::postEvent(dispatcher,
                                new PostedMessageEvent(window, message, wParam, lParam));
    return true;
}

int WindowRegistry::PendingDeliveries() {
    return g_pendingDeliveries.load();
}
void WindowRegistry::NoteDeferredPosted() {
    g_pendingDeliveries.fetch_add(1);
}
void WindowRegistry::NoteDeferredDelivered() {
    g_pendingDeliveries.fetch_sub(1);
}

namespace {
thread_local DefaultProcessingScope* t_defaultProcessingScope = nullptr;
}

DefaultProcessingScope::DefaultProcessingScope(UINT message)
    : m_message(message), m_outer(t_defaultProcessingScope) {
    t_defaultProcessingScope = this;
}

DefaultProcessingScope::~DefaultProcessingScope() {
    t_defaultProcessingScope = m_outer;
}

void NoteDefaultProcessing(UINT message) {
    if (t_defaultProcessingScope != nullptr) {
        t_defaultProcessingScope->Request(message);
    }
}

int ControlIdOf(const QWidget* widget) {
    const QVariant id = widget != nullptr ? widget->property(kControlIdProperty) : QVariant();
    return id.isValid() ? id.toInt() : 0;
}

std::vector<QWidget*> ControlsInTemplateOrder(const QWidget* parent) {
    std::vector<QWidget*> controls;
    if (parent == nullptr) {
        return controls;
    }
    for (QObject* child : parent->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (control != nullptr && control->property(kControlIdProperty).isValid()) {
            controls.push_back(control);
        }
    }
    std::stable_sort(controls.begin(), controls.end(), [](QWidget* a, QWidget* b) {
        return a->property(kTemplateOrderProperty).toInt() <
               b->property(kTemplateOrderProperty).toInt();
    });
    return controls;
}

DWORD StyleOf(const QWidget* widget) {
    const QVariant style = widget != nullptr ? widget->property(kStyleProperty) : QVariant();
    return style.isValid() ? static_cast<DWORD>(style.toUInt()) : 0;
}

}  // namespace ordvane::framework::detail
