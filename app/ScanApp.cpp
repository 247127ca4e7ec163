#include "app/ScanApp.h"

#include <QLocale>

#include "i18n/Translations.h"
#include "ui/ScanDlg.h"

namespace ordvane {

BEGIN_MESSAGE_MAP(CScanApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CScanApp::CScanApp() = default;

CScanApp::~CScanApp() = default;

CScanApp theApp;

BOOL CScanApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    // The window in the user's language (LANG, LC_MESSAGES), Qt's own texts included.
    InstallTranslations(QLocale());

    CScanDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // The window is a local: the application must not keep pointing at it.
    m_pMainWnd = nullptr;
    return FALSE;
}

}  // namespace ordvane
