// The program's entry: the framework creates the application and runs CScanApp::InitInstance.
// The window takes no arguments of its own; --help and --version answer on standard output for
// packaging and scripts without opening it, and anything else is refused before the window
// opens. Qt's own options (-platform, -style, ...) pass on to the application object.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

#include "platform/framework/CWinApp.h"
#include "version/ProgramVersion.h"

namespace {

// The options that QApplication takes out of argv itself, each with whether it takes a value.
constexpr struct {
    const char* name;
    bool takesValue;
} kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"reverse", false},
    {"session", true},         {"display", true},
    {"style", true},           {"stylesheet", true},
    {"widgetcount", false},    {"nograb", false},
    {"dograb", false},         {"sync", false},
};

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments << QString::fromLocal8Bit(argv[index]);
    }
    QCommandLineParser parser;
    // "-platform" is one option, as Qt spells its own; "-h" and "-v" still work.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Finds the Quillmor gateway modules on the local network, lists them and configures\n"
        "one. ZEVA_TARGETS adds scan targets (comma-separated IPv4 addresses);\n"
        "ZEVA_INTERFACES names the network cards to scan on (comma-separated), or none.");
    const QCommandLineOption help({"h", "help"}, "Print this text and exit.");
    const QCommandLineOption version({"v", "version"}, "Print the program's version and exit.");
    parser.addOption(help);
    parser.addOption(version);
    for (const auto& qtOption : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qtOption.name));
        if (qtOption.takesValue) {
            option.setValueName(QStringLiteral("value"));
        }
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "ordvane: %s\nTry 'ordvane --help'.\n",
                     parser.errorText().toLocal8Bit().constData());
        return 2;
    }
    if (parser.isSet(help)) {
        // Without an application object Qt cannot know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("ordvane"));
        std::printf("%s", text.toLocal8Bit().constData());
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s\n", static_cast<LPCSTR>(ordvane::ProgramVersionLine("ordvane")));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "ordvane: unexpected argument \"%s\"\nTry 'ordvane --help'.\n",
                     parser.positionalArguments().front().toLocal8Bit().constData());
        return 2;
    }
    return AfxWinMain(argc, argv);
}
