// ordvane-cli: the headless companion of Ordvane. The first argument names a command of the
// table in CliCommands.cpp; the rest belongs to that command. --help and --version are answered
// here for the program and for every command alike, before the command sees its arguments.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/ExitStatus.h"

namespace {

const ordvane::cli::CliCommand* FindCommand(const std::string& name) {
    for (const ordvane::cli::CliCommand& command : ordvane::cli::Commands()) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace ordvane::cli;
    if (argc < 2) {
        PrintProgramUsage(stderr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintProgramUsage(stdout);
        return kExitSuccess;
    }
    if (name == "--version") {
        PrintVersion();
        return kExitSuccess;
    }
    const CliCommand* command = FindCommand(name);
    if (command == nullptr) {
        std::fprintf(stderr, "ordvane-cli: unknown command \"%s\"\n", name.c_str());
        PrintProgramUsage(stderr);
        return kExitUsage;
    }
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    if (WantsHelp(arguments)) {
        PrintCommandHelp(*command, stdout);
        return kExitSuccess;
    }
    if (AsksForVersion(arguments)) {
        PrintVersion();
        return kExitSuccess;
    }
    return command->run(arguments);
}
