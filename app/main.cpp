// The program's entry: the framework creates the application and runs CScanApp::InitInstance.

#include "platform/framework/CWinApp.h"

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
