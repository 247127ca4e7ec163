// ordvane-cli and quillmor-sim on the command line: --help and --version for the program and
// every command, the documented exit statuses, and errors on standard error only.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/CommandRun.h"

namespace {

using ordvane::testing::CommandRun;
using ordvane::testing::RunProgram;
using ordvane::testing::SplitLines;

CommandRun RunCli(const std::string& arguments) {
    // Port 9 of loopback: nothing answers there, and nothing leaves this computer.
    return RunProgram(ORDVANE_CLI_PATH, arguments, "ZEVA_INTERFACES=none ZEVA_TARGETS=127.0.0.1:9");
}

// The command names that `ordvane-cli --help` lists: the lines indented by two blanks between
// "commands:" and the exit statuses.
std::vector<std::string> ListedCommands() {
    std::vector<std::string> names;
    bool inCommands = false;
    for (const std::string& line : SplitLines(RunCli("--help").output)) {
        if (line == "commands:" || line.rfind("exit status", 0) == 0) {
            inCommands = line == "commands:";
        } else if (inCommands && line.size() > 2 && line.compare(0, 2, "  ") == 0 &&
                   line[2] != ' ') {
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
        }
    }
    return names;
}

// "NAME 1.4.0.0\n": the name, a blank, four numbers separated by dots.
bool IsVersionLine(const std::string& text, const std::string& name) {
    const std::string prefix = name + " ";
    if (text.rfind(prefix, 0) != 0 || text.empty() || text.back() != '\n') {
        return false;
    }
    const std::string version = text.substr(prefix.size(), text.size() - prefix.size() - 1);
    int numbers = 0;
    bool inNumber = false;
    for (const char character : version) {
        if (character >= '0' && character <= '9') {
            numbers += inNumber ? 0 : 1;
            inNumber = true;
        } else if (character == '.' && inNumber) {
            inNumber = false;
        } else {
            return false;
        }
    }
    return inNumber && numbers == 4;
}

TEST(CliCommandLine, ProgramAndEveryCommandAnswerHelpAndVersion) {
    const CommandRun version = RunCli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(IsVersionLine(version.output, "ordvane-cli")) << version.output;
    EXPECT_EQ(version.errors, "");

    const CommandRun help = RunCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: ordvane-cli", 0), 0U) << help.output;
    EXPECT_NE(help.output.find("exit status"), std::string::npos);

    const std::vector<std::string> commands = ListedCommands();
    ASSERT_GE(commands.size(), 3U) << help.output;
    for (const std::string& command : commands) {
        const CommandRun commandHelp = RunCli(command + " --help");
        EXPECT_EQ(commandHelp.status, 0) << command;
        EXPECT_EQ(commandHelp.output.rfind("usage: ordvane-cli " + command, 0), 0U)
            << commandHelp.output;
        EXPECT_EQ(commandHelp.errors, "") << command;
        const CommandRun commandVersion = RunCli(command + " --version");
        EXPECT_EQ(commandVersion.status, 0) << command;
        EXPECT_EQ(commandVersion.output, version.output) << command;
    }
}

TEST(CliCommandLine, UsageErrorsExitWithTwoAndSayWhyOnStandardError) {
    for (const char* arguments : {"",
                                  "frobnicate",
                                  "scan --seconds 0",
                                  "scan --seconds 3601",
                                  "scan --seconds",
                                  "scan --format xml",
                                  "scan --sort Hostname",
                                  "scan --colour red",
                                  "scan --baseline",
                                  "wink",
                                  "configure 0A-51-4D-00-00",
                                  "configure 0A-51-4D-00-00-2A --ip 1.2.3",
                                  "configure 0A-51-4D-00-00-2A --dhcp maybe",
                                  "apply",
                                  "apply a.csv b.csv",
                                  "apply plan.csv --seconds 0",
                                  "recovery-server --seconds 0",
                                  "recovery-server --only 02-00-00-00-00-01",
                                  "recover 0A-51-4D-00-00-2A",
                                  "recover 0A-51-4D-00-00-2A --ip 10.0.0.5 --dhcp on",
                                  "recover 0A-51-4D-00-00-2A --ip 10.0.0.5 --seconds 0",
                                  "recover 0A-51-4D-00-00-2A --ip 10.0.0.255"}) {
        const CommandRun run = RunCli(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.output, "") << arguments;
        EXPECT_NE(run.errors, "") << arguments;
    }
}

TEST(CliCommandLine, ScanWithNoModuleSucceedsWithNothingOnStandardOutput) {
    const CommandRun lines = RunCli("scan --seconds 1");
    EXPECT_EQ(lines.status, 0);
    EXPECT_EQ(lines.output, "");
    EXPECT_EQ(lines.errors, "0 modules\n");
    const CommandRun json = RunCli("scan --seconds 1 --format json");
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.output, "{\"format\": 1, \"modules\": []}\n");
    const CommandRun csv = RunCli("scan --seconds 1 --format csv");
    EXPECT_EQ(csv.output, "IP,SN,GW,DHCP,Version,Type,MAC,Warnings\r\n");
}

TEST(CliCommandLine, AModuleThatIsNotThereIsAFailure) {
    const CommandRun run = RunCli("wink 0A-51-4D-00-00-01");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_NE(run.errors.find("did not answer the scan"), std::string::npos) << run.errors;
}

TEST(SimulatorCommandLine, AnswersHelpAndVersionAndRefusesBadOptions) {
    const CommandRun version = RunProgram(ORDVANE_SIM_PATH, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(IsVersionLine(version.output, "quillmor-sim")) << version.output;

    const CommandRun help = RunProgram(ORDVANE_SIM_PATH, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--version"), std::string::npos);
    EXPECT_NE(help.output.find("default 47470"), std::string::npos);

    const CommandRun bad = RunProgram(ORDVANE_SIM_PATH, "--count 0");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.output, "");
    EXPECT_NE(bad.errors.find("--count"), std::string::npos);
}

}  // namespace
