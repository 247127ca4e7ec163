#pragma once
// One sub-command of ordvane-cli. main() looks the first argument up in the command table and
// hands the rest to the command, so a new command is one function and one table row.

#include <span>
#include <string>

namespace ordvane::cli {

struct CliCommand {
    const char* name;
    const char* usage;  // arguments after the name
    const char* summary;
    int (*run)(std::span<const std::string> arguments);
};

// The table, in the order the usage text lists it.
std::span<const CliCommand> Commands();

// Each command's run function, defined in Cli<Name>Command.cpp. It gets the arguments after
// the command's name (never --help or --version: main answers those) and returns an exit
// status of ExitStatus.h.
int RunScan(std::span<const std::string> arguments);
int RunConfigure(std::span<const std::string> arguments);
int RunApply(std::span<const std::string> arguments);
int RunWink(std::span<const std::string> arguments);
int RunRecoveryServer(std::span<const std::string> arguments);
int RunJournal(std::span<const std::string> arguments);

}  // namespace ordvane::cli
