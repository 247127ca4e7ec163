// ordvane-cli scan with --format and --sort against the emulator on loopback.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modlist/ColumnTextOrder.h"
#include "modlist/ModuleColumns.h"
#include "tests/cli/CommandRun.h"
#include "tests/support/SimProcess.h"

namespace {

using ordvane::testing::CommandRun;
using ordvane::testing::SplitLines;

// Runs ordvane-cli scan with the library pointed at the emulator only.
CommandRun RunCli(const ordvane::testing::SimProcess& sim, const std::string& arguments) {
    return ordvane::testing::RunCommand(ORDVANE_CLI_PATH, "scan " + arguments,
                                        "ZEVA_TARGETS=" + sim.Target() + " ZEVA_INTERFACES=none");
}

TEST(CliScanTable, CsvSortedByAColumnDescending) {
    ordvane::testing::SimProcess sim({"--count", "12", "--seed", "9"});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    const CommandRun result = RunCli(sim, "--seconds 1 --format csv --sort mac:desc");
    ASSERT_EQ(result.status, 0) << result.output;
    const std::vector<std::string> lines = SplitLines(result.output);
    ASSERT_EQ(lines.size(), 13U) << result.output;
    EXPECT_EQ(lines[0], "IP,SN,GW,DHCP,Version,Type,MAC,Warnings");
    const auto macOf = [](const std::string& line) {
        return ordvane::testing::SplitCsvFields(line).at(ordvane::kColumnMac);
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
    const CommandRun json = RunCli(sim, "--seconds 1 --format json");
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.output.front(), '[');
    std::size_t objects = 0;
    for (std::size_t at = json.output.find("{\"IP\": "); at != std::string::npos;
         at = json.output.find("{\"IP\": ", at + 1)) {
        ++objects;
    }
    EXPECT_EQ(objects, 3U) << json.output;

    EXPECT_EQ(RunCli(sim, "--format xml").status, 2);
    EXPECT_EQ(RunCli(sim, "--sort Hostname").status, 2);
}

}  // namespace
