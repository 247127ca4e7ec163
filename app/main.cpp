// The program's entry: the framework creates the application and runs CScanApp::InitInstance.
// The window takes no arguments; --version and --help answer on standard output for packaging
// and scripts without opening it.

#include <cstdio>
#include <cstring>

#include "platform/framework/CWinApp.h"
#include "version/ProgramVersion.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", static_cast<LPCSTR>(ProgramVersionLine("ordvane")));
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf(
            "usage: ordvane [--help | --version]\n"
            "Finds the Quillmor gateway modules on the local network, lists them and configures\n"
            "one. ZEVA_TARGETS adds scan targets (comma-separated IPv4 addresses);\n"
            "ZEVA_INTERFACES names the network cards to scan on (comma-separated), or none.\n");
        return 0;
    }
    return AfxWinMain(argc, argv);
}
