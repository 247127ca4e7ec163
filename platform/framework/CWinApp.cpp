#include "platform/framework/CWinApp.h"

#include <QApplication>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/framework/CWnd.h"
#include "platform/framework/Resources.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

namespace {

CWinApp* g_application = nullptr;

// The executable's file name without its extension, read once.
const std::string& ApplicationName() {
    static const std::string name = [] {
        std::error_code error;
        const std::filesystem::path executable =
            std::filesystem::read_symlink("/proc/self/exe", error);
        if (error || executable.empty()) {
            return std::string("ordvane");
        }
        return executable.stem().string();
    }();
    return name;
}

}  // namespace

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName) {
    g_application = this;
}

CWinApp::~CWinApp() {
    if (g_application == this) {
        g_application = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

CWinApp* AfxGetApp() {
    return g_application;
}

CWnd* AfxGetMainWnd() {
    return g_application != nullptr ? g_application->m_pMainWnd : nullptr;
}

LPCSTR AfxGetAppName() {
    if (g_application != nullptr && g_application->m_pszAppName != nullptr) {
        return g_application->m_pszAppName;
    }
    return ApplicationName().c_str();
}

HINSTANCE AfxGetInstanceHandle() {
    return reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});
}
HINSTANCE AfxGetResourceHandle() {
    return AfxGetInstanceHandle();
}

void AfxEnableControlContainer() {}

int AfxWinMain(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(AfxGetAppName()));
    // The application ends when InitInstance returns, not when Qt sees no window: a message box
    // closing before the main window shows must not end the main window's modal loop.
    QApplication::setQuitOnLastWindowClosed(false);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (!app->InitInstance()) {
        app->m_pMainWnd = nullptr;
        return app->ExitInstance();
    }
    // An application whose InitInstance returns TRUE runs the event loop until the last window
    // closes.
    const int code = QApplication::exec();
    app->ExitInstance();
    return code;
}
