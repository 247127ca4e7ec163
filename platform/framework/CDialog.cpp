#include "platform/framework/CDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/framework/Accessibility.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/DialogBuilder.h"
#include "platform/framework/DialogWindow.h"
#include "platform/framework/ModalHooks.h"
#include "platform/framework/Translate.h"
#include "platform/framework/WindowRegistry.h"

using ordvane::framework::detail::DialogWindow;

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr) {
        DestroyDialogWindow();
    }
}

namespace {

// The window that owns a modal dialog: its parent, else the application's main window when that
// is another window that exists.
QWidget* OwnerWidget(const CDialog& dialog, CWnd* parent) {
    CWnd* owner = parent;
    if (owner == nullptr) {
        CWinApp* app = AfxGetApp();
        owner = app != nullptr ? app->m_pMainWnd : nullptr;
        if (owner == &dialog) {
            owner = nullptr;
        }
    }
    return owner != nullptr ? owner->GetWidget() : nullptr;
}

void CentreOn(QWidget* window, QWidget* owner) {
    QRect area;
    if (owner != nullptr && owner->isVisible()) {
        area = owner->frameGeometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) {
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
}

}  // namespace

bool CDialog::CreateFromTemplate() {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(m_templateId);
    if (dialogTemplate == nullptr || QApplication::instance() == nullptr) {
        return false;
    }
    ordvane::framework::InstallAccessibility();
    QWidget* owner = OwnerWidget(*this, m_pParentWnd);
    auto* window = new DialogWindow(owner, dialogTemplate->style, dialogTemplate->exStyle);
    window->setWindowModality(Qt::ApplicationModal);
    window->setWindowTitle(
        QString::fromUtf8(ordvane::translate("Dialog", dialogTemplate->caption).Str().c_str()));
    ordvane::framework::detail::ApplyDialogFont(window, *dialogTemplate);
    Attach(HandleFromWidget(window));

    CREATESTRUCT create{};
    create.style = static_cast<LONG>(dialogTemplate->style);
    create.dwExStyle = dialogTemplate->exStyle;
    create.lpszName = dialogTemplate->caption;
    SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));

    window->SetDefaultId(ordvane::framework::detail::BuildControls(window, *dialogTemplate));
    if ((dialogTemplate->style & WS_THICKFRAME) == 0) {
        window->setFixedSize(window->size());
    }
    CentreOn(window, owner);
    return true;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr || !CreateFromTemplate()) {
        return -1;
    }
    m_ended = false;
    m_modalResult = -1;
    auto* window = static_cast<DialogWindow*>(GetWidget());
    if (SendMessage(WM_INITDIALOG) != FALSE && !m_ended) {
        // The first control that takes the focus by Tab gets it, as the dialog manager does.
        for (QWidget* control : ordvane::framework::detail::ControlsInTemplateOrder(window)) {
            if (control->focusPolicy() == Qt::StrongFocus && control->isEnabled() &&
                !control->isHidden()) {
                control->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    if (!m_ended && GetWidget() != nullptr) {
        window->show();
        RunModalLoop();
    }
    const INT_PTR result = m_modalResult;
    if (ordvane::framework::ModalHooks* hooks = ordvane::framework::ActiveModalHooks()) {
        hooks->RecordDialogEnd(*this, result);
    }
    DestroyDialogWindow();
    return result;
}

void CDialog::RunModalLoop() {
    if (ordvane::framework::ModalHooks* hooks = ordvane::framework::ActiveModalHooks()) {
        hooks->RunDialog(*this);
        if (!m_ended) {
            EndDialog(IDCANCEL);
        }
        return;
    }
    QEventLoop loop;
    m_eventLoop = &loop;
    while (!m_ended && GetWidget() != nullptr) {
        loop.exec(QEventLoop::DialogExec);
    }
    m_eventLoop = nullptr;
}

void CDialog::DestroyDialogWindow() {
    if (QWidget* window = GetWidget()) {
        window->hide();
    }
    DestroyWindow();
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_ended = true;
    if (m_eventLoop != nullptr) {
        static_cast<QEventLoop*>(m_eventLoop)->quit();
    }
}

BOOL CDialog::IsModalRunning() const {
    return m_hWnd != nullptr && !m_ended ? TRUE : FALSE;
}

int CDialog::GetDefaultId() const {
    auto* window = dynamic_cast<DialogWindow*>(GetWidget());
    return window != nullptr ? window->DefaultId() : IDOK;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return exchange.HasFailed() ? FALSE : TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_CLOSE: {
            // The dialog manager turns closing into the Cancel command.
            CWnd* cancel = GetDlgItem(IDCANCEL);
            SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                        reinterpret_cast<LPARAM>(cancel != nullptr ? cancel->m_hWnd : nullptr));
            return 0;
        }
        default:
            return CWnd::DefWindowProc(message, wParam, lParam);
    }
}
