#pragma once
// The application object: its whole life is one modal main window.

#include "platform/framework/Afx.h"

namespace ordvane {

class CScanApp : public CWinApp {
public:
    CScanApp();
    ~CScanApp() override;

    // Runs the main window modally and returns FALSE, so that the process ends with it.
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CScanApp theApp;

}  // namespace ordvane
