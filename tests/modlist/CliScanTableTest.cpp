// ordvane-cli scan with --format and --sort against the emulator on loopback.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "modlist/ColumnTextOrder.h"
#include "tests/support/SimProcess.h"

namespace {

struct CommandResult {
    int exitCode = -1;
    std::string output;
};

// Runs the command line through the shell with the library pointed at the emulator only.
CommandResult RunCli(const ordvane::testing::SimProcess& sim, const std::string& arguments) {
    const std::string command = "ZEVA_TARGETS=" + sim.Target() + " ZEVA_INTERFACES=none '" +
                                ORDVANE_CLI_PATH + "' scan " + arguments + " 2>/dev/null";
    CommandResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t length = 0;
    while ((length = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, length);
    }
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(CliScanTable, CsvSortedByAColumnDescending) {
    ordvane::testing::SimProcess sim({"--count", "12", "--seed", "9"});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    const CommandResult result = RunCli(sim, "--seconds 1 --format csv --sort mac:desc");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::vector<std::string> lines = Lines(result.output);
    ASSERT_EQ(lines.size(), 13U) << result.output;
    EXPECT_EQ(lines[0], "IP,SN,GW,DHCP,Version,Type,MAC,Warnings");
    // The MAC is the last of the seven columns, before the warnings.
    const auto macOf = [](const std::string& line) {
        const std::size_t end = line.rfind(',');
        return line.substr(line.rfind(',', end - 1) + 1, end - line.rfind(',', end - 1) - 1);
    };
    for (std::size_t line = 2; line < lines.size(); ++line) {
        const std::string previousMac = macOf(lines[line - 1]);
        const std::string mac = macOf(lines[line]);
        EXPECT_GT(ordvane::CompareColumnTexts(previousMac.c_str(), mac.c_str(), true), 0)
            << previousMac << " before " << mac;
    }
}

TEST(CliScanTable, JsonHasOneObjectPerModuleAndBadOptionsAreRefused) {
    ordvane::testing::SimProcess sim({"--count", "3", "--seed", "4"});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    const CommandResult json = RunCli(sim, "--seconds 1 --format json");
    ASSERT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.output.front(), '[');
    std::size_t objects = 0;
    for (std::size_t at = json.output.find("{\"IP\": "); at != std::string::npos;
         at = json.output.find("{\"IP\": ", at + 1)) {
        ++objects;
    }
    EXPECT_EQ(objects, 3U) << json.output;

    EXPECT_EQ(RunCli(sim, "--format xml").exitCode, 2);
    EXPECT_EQ(RunCli(sim, "--sort Hostname").exitCode, 2);
}

}  // namespace
