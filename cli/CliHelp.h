#pragma once
// The texts of --help and --version, for the program as a whole and for each command.

#include <cstdio>
#include <span>
#include <string>

#include "cli/CliCommand.h"

namespace ordvane::cli {

// "usage: ordvane-cli <command> [arguments]" with every command of the table.
void PrintProgramUsage(std::FILE* stream);

// One command's usage line, what it does and the exit statuses.
void PrintCommandHelp(const CliCommand& command, std::FILE* stream);

// "ordvane-cli 1.4.0.0", from the program's own version resource.
void PrintVersion();

// True when an argument asks for the command's help text (--help or -h).
[[nodiscard]] bool WantsHelp(std::span<const std::string> arguments);

// True when an argument asks for the version (--version).
[[nodiscard]] bool AsksForVersion(std::span<const std::string> arguments);

}  // namespace ordvane::cli
