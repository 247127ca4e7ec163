#pragma once
// The application object. Exactly one exists, as a global; AfxWinMain (called by main) creates
// the QApplication and calls its InitInstance. When InitInstance returns FALSE the application
// runs no loop of its own and the process ends.

#include "platform/framework/CCmdTarget.h"

class CWnd;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    CWnd* m_pMainWnd = nullptr;
    // The application's name: the executable's file name without its extension.
    LPCSTR m_pszAppName = nullptr;

protected:
    // Three-dimensional control styling: Qt's style already draws controls that way.
    BOOL Enable3dControls() { return TRUE; }
    void OnHelp() {}

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCSTR AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// Hosting of controls in dialogs needs no set-up on Qt.
void AfxEnableControlContainer();
// The framework's entry point: creates the QApplication, runs InitInstance of the one
// application object, returns the process's exit code.
int AfxWinMain(int argc, char** argv);
