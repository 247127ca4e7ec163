#include "app/ScanApp.h"

#include "ui/ScanDlg.h"

BEGIN_MESSAGE_MAP(CScanApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CScanApp::CScanApp() = default;

CScanApp::~CScanApp() = default;

CScanApp theApp;

BOOL CScanApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();

    CScanDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // The window is a local: the application must not keep pointing at it.
    m_pMainWnd = nullptr;
    return FALSE;
}
