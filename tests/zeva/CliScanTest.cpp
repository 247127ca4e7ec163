// ordvane-cli scan against the emulator: one line per module, "N/A" for what is not reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/zeva/EmulatorTest.h"

namespace ordvane::testing {
namespace {

class CliScan : public EmulatorTest {};

std::vector<std::string> RunCli(const std::string& arguments, int& status) {
    std::vector<std::string> lines;
    FILE* pipe =
        popen((std::string(ORDVANE_CLI_PATH) + " " + arguments + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return lines;
    }
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        lines.push_back(text);
    }
    status = pclose(pipe);
    return lines;
}

TEST_F(CliScan, PrintsMacAddressAndTypeOfEveryModule) {
    const std::string fleet = WriteTemporaryFile("cli-fleet.csv",
                                                 "mac,ip,type\n"
                                                 "0A-51-4D-00-00-02,10.0.0.2,QM-300 I/O Gateway\n"
                                                 "0A-51-4D-00-00-01,,\n");
    m_sim = std::make_unique<SimProcess>(std::vector<std::string>{"--fleet", fleet});
    ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
    PointLibraryAt(*m_sim);  // inherited by the command below
    int status = 0;
    std::vector<std::string> lines = RunCli("scan --seconds 1", status);
    EXPECT_EQ(status, 0);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"0A-51-4D-00-00-01 N/A N/A",
                                               "0A-51-4D-00-00-02 10.0.0.2 QM-300 I/O Gateway"}));
}

TEST_F(CliScan, RefusesBadArgumentsAndUnknownCommands) {
    int status = 0;
    EXPECT_TRUE(RunCli("scan --seconds 0", status).empty());
    EXPECT_NE(status, 0);
    RunCli("scan --seconds", status);
    EXPECT_NE(status, 0);
    RunCli("colour", status);
    EXPECT_NE(status, 0);
    RunCli("", status);
    EXPECT_NE(status, 0);
}

}  // namespace
}  // namespace ordvane::testing
