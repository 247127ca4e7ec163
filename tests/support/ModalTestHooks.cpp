#include "tests/support/ModalTestHooks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <chrono>
#include <thread>

#include "platform/framework/CDialog.h"
#include "platform/framework/DialogWindow.h"
#include "platform/framework/ListViewWidget.h"
#include "platform/framework/WindowRegistry.h"

namespace ordvane::framework {
namespace {

int FirstButtonOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_YESNOCANCEL:
        case MB_YESNO:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        default:
            return IDOK;
    }
}

QWidget* KeyTarget(CWnd& window) {
    QWidget* widget = window.GetWidget();
    if (widget == nullptr) {
        return nullptr;
    }
    QWidget* focused = widget->window()->focusWidget();
    return focused != nullptr && widget->isAncestorOf(focused) ? focused : widget;
}

}  // namespace

ModalScript::ModalScript() : m_outer(InstallModalHooks(this)) {}

ModalScript::~ModalScript() {
    InstallModalHooks(m_outer);
}

void ModalScript::ClearRecords() {
    m_messageBoxes.clear();
    m_dialogs.clear();
}

int ModalScript::AnswerMessageBox(const char* text, const char* caption, UINT type) {
    MessageBoxRecord box{text, caption, type, 0};
    box.answer = m_messageBoxHandler ? m_messageBoxHandler(box) : 0;
    if (box.answer == 0) {
        box.answer = FirstButtonOf(box.type);
    }
    m_messageBoxes.push_back(box);
    return box.answer;
}

void ModalScript::RunDialog(CDialog& dialog) {
    // A copy: a handler may set the next one while it runs, which would destroy it mid-call.
    const DialogHandler handler = m_dialogHandler;
    if (handler) {
        handler(dialog);
    }
}

void ModalScript::RecordDialogEnd(const CDialog& dialog, INT_PTR result) {
    CString caption;
    dialog.GetWindowText(caption);
    m_dialogs.push_back(ModalDialogRecord{dialog.GetTemplateId(), caption.Str(), result});
}

void PumpEvents() {
    // Each round delivers what is queued; messages and list updates queued while delivering are
    // delivered in the next round.
    constexpr int kMaxRounds = 10000;
    for (int round = 0; round < kMaxRounds; ++round) {
        QCoreApplication::sendPostedEvents();
        detail::ListModel::FlushAllScheduled();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (detail::WindowRegistry::PendingDeliveries() <= 0) {
            break;
        }
    }
    QCoreApplication::sendPostedEvents();
}

bool PumpEventsUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (true) {
        PumpEvents();
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

BOOL PressButton(CWnd& window, int id) {
    CWnd* control = window.GetDlgItem(id);
    auto* button =
        control != nullptr ? qobject_cast<QAbstractButton*>(control->GetWidget()) : nullptr;
    if (button == nullptr || !button->isEnabled() || !button->isVisible()) {
        return FALSE;
    }
    button->click();
    return TRUE;
}

void PressKey(CWnd& window, int qtKey, unsigned qtModifiers) {
    QWidget* target = KeyTarget(window);
    if (target == nullptr) {
        return;
    }
    const auto modifiers = Qt::KeyboardModifiers(static_cast<int>(qtModifiers));
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers);
    QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

QMenu* OpenSystemMenu(CWnd& window) {
    auto* dialogWindow = dynamic_cast<detail::DialogWindow*>(window.GetWidget());
    return dialogWindow != nullptr
               ? dialogWindow->ShowSystemMenu(dialogWindow->mapToGlobal(QPoint()))
               : nullptr;
}

void TypeText(CWnd& edit, const char* text) {
    QWidget* widget = edit.GetWidget();
    if (widget == nullptr || text == nullptr) {
        return;
    }
    widget->setFocus();
    // One key a character: a character outside the 16-bit range arrives as its surrogate pair,
    // as a keyboard or input method delivers it.
    const QString characters = QString::fromUtf8(text);
    for (int index = 0; index < characters.size(); ++index) {
        const bool pair = characters.at(index).isHighSurrogate() && index + 1 < characters.size() &&
                          characters.at(index + 1).isLowSurrogate();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, characters.mid(index, pair ? 2 : 1));
        QApplication::sendEvent(widget, &press);
        index += pair ? 1 : 0;
    }
}

}  // namespace ordvane::framework
