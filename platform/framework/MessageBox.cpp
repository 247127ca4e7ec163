#include "platform/framework/MessageBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "platform/framework/CWinApp.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/DialogWindow.h"
#include "platform/framework/ModalHooks.h"

using ordvane::framework::detail::RefuseStateWithoutBox;

namespace {

std::vector<std::pair<int, QString>> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{IDOK, QCoreApplication::translate("MessageBox", "OK")},
                    {IDCANCEL, QCoreApplication::translate("MessageBox", "Cancel")}};
        case MB_ABORTRETRYIGNORE:
            return {{IDABORT, QCoreApplication::translate("MessageBox", "&Abort")},
                    {IDRETRY, QCoreApplication::translate("MessageBox", "&Retry")},
                    {IDIGNORE, QCoreApplication::translate("MessageBox", "&Ignore")}};
        case MB_YESNOCANCEL:
            return {{IDYES, QCoreApplication::translate("MessageBox", "&Yes")},
                    {IDNO, QCoreApplication::translate("MessageBox", "&No")},
                    {IDCANCEL, QCoreApplication::translate("MessageBox", "Cancel")}};
        case MB_YESNO:
            return {{IDYES, QCoreApplication::translate("MessageBox", "&Yes")},
                    {IDNO, QCoreApplication::translate("MessageBox", "&No")}};
        case MB_RETRYCANCEL:
            return {{IDRETRY, QCoreApplication::translate("MessageBox", "&Retry")},
                    {IDCANCEL, QCoreApplication::translate("MessageBox", "Cancel")}};
        default:
            return {{IDOK, QCoreApplication::translate("MessageBox", "OK")}};
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The answer of a box closed without a button: Cancel where there is one, else the only button.
int AnswerWhenClosed(UINT type) {
    for (const auto& [id, text] : ButtonsOf(type)) {
        if (id == IDCANCEL) {
            return IDCANCEL;
        }
    }
    return ButtonsOf(type).front().first;
}

// A message box has neither a minimise nor a maximise box (see RefuseStateWithoutBox).
class NormalStateKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            if (auto* window = qobject_cast<QWidget*>(watched)) {
                RefuseStateWithoutBox(window, false, false);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const char* shownCaption = caption != nullptr ? caption : AfxGetAppName();
    if (ordvane::framework::ModalHooks* hooks = ordvane::framework::ActiveModalHooks()) {
        return hooks->AnswerMessageBox(text != nullptr ? text : "", shownCaption, type);
    }
    if (QApplication::instance() == nullptr) {
        return 0;
    }
    CWnd* ownerWindow = CWnd::FromHandle(owner);
    QWidget* parent = ownerWindow != nullptr ? ownerWindow->GetWidget() : nullptr;
    if (parent == nullptr && AfxGetMainWnd() != nullptr) {
        parent = AfxGetMainWnd()->GetWidget();
    }
    QMessageBox box(IconOf(type), QString::fromUtf8(shownCaption),
                    QString::fromUtf8(text != nullptr ? text : ""), QMessageBox::NoButton, parent);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (const auto& [id, label] : ButtonsOf(type)) {
        QPushButton* button = box.addButton(label, QMessageBox::AcceptRole);
        buttons.emplace_back(button, id);
        if (buttons.size() == 1) {
            box.setDefaultButton(button);
        }
    }
    NormalStateKeeper keeper;
    box.installEventFilter(&keeper);
    box.exec();
    for (const auto& [button, id] : buttons) {
        if (box.clickedButton() == button) {
            return id;
        }
    }
    return AnswerWhenClosed(type);
}

int AfxMessageBox(LPCSTR text, UINT type, UINT /*helpId*/) {
    CWnd* main = AfxGetMainWnd();
    return MessageBox(main != nullptr ? main->GetSafeHwnd() : nullptr, text, nullptr, type);
}
