// ordvane-cli: the headless companion of Ordvane. The first argument names a command of the
// table in CliCommands.cpp; the rest belongs to that command.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace {

void PrintUsage(std::FILE* stream) {
    std::fprintf(stream, "usage: ordvane-cli <command> [arguments]\n");
    for (const ordvane::cli::CliCommand& command : ordvane::cli::Commands()) {
        std::fprintf(stream, "  %s %s\n      %s\n", command.name, command.usage, command.summary);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    for (const ordvane::cli::CliCommand& command : ordvane::cli::Commands()) {
        if (name == command.name) {
            return command.run(arguments);
        }
    }
    std::fprintf(stderr, "ordvane-cli: unknown command \"%s\"\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
