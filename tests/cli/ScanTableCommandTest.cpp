// ordvane-cli scan with --format and --sort against the emulator on loopback.

#include <gtest/gtest.h>

#include <locale.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "modlist/ColumnTextOrder.h"
#include "modlist/ModuleColumns.h"
#include "tests/support/CommandRun.h"
#include "tests/support/HostileModuleTexts.h"
#include "tests/support/SimProcess.h"

namespace {

using ordvane::testing::CommandRun;
using ordvane::testing::SplitLines;

// Runs ordvane-cli scan with the library pointed at the emulator only.
CommandRun RunCli(const ordvane::testing::SimProcess& sim, const std::string& arguments) {
    return ordvane::testing::RunProgram(ORDVANE_CLI_PATH, "scan " + arguments,
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

// A module's type comes from the network: in CSV a cell that a spreadsheet would take for a
// formula gets a single quote in front and is quoted, and control characters show as \xNN.
TEST(CliScanTable, CsvCellsCannotAttackTheSpreadsheetTheyAreOpenedIn) {
    using ordvane::testing::kHostileModuleTexts;
    const std::string path =
        ::testing::TempDir() + "hostile_" + std::to_string(::getpid()) + ".csv";
    std::ofstream(path) << ordvane::testing::HostileFleet();
    ordvane::testing::SimProcess sim({"--fleet", path});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    const CommandRun result = RunCli(sim, "--seconds 1 --format csv --sort mac");
    ::unlink(path.c_str());
    for (std::size_t index = 0; index < kHostileModuleTexts.size(); ++index) {
        const std::string fields = std::string(",") + kHostileModuleTexts[index].csvField + "," +
                                   ordvane::testing::HostileModuleMac(index) + ",";
        EXPECT_NE(result.output.find(fields), std::string::npos) << fields << " in\n"
                                                                 << result.output;
    }
    EXPECT_EQ(result.output.find('\x1B'), std::string::npos);
}

TEST(CliScanTable, JsonHasOneObjectPerModuleAndBadOptionsAreRefused) {
    ordvane::testing::SimProcess sim({"--count", "3", "--seed", "4"});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    const CommandRun json = RunCli(sim, "--seconds 1 --format json");
    ASSERT_EQ(json.status, 0);
    const auto document = nlohmann::json::parse(json.output, nullptr, false);
    ASSERT_TRUE(document.is_object()) << json.output;
    EXPECT_EQ(document["modules"].size(), 3U) << json.output;

    EXPECT_EQ(RunCli(sim, "--format xml").status, 2);
    EXPECT_EQ(RunCli(sim, "--sort Hostname").status, 2);
}

// A fleet file of one module per type text, removed at the end of the test.
class TypeFleet {
public:
    explicit TypeFleet(const std::vector<std::string>& types)
        : m_path(::testing::TempDir() + "types_" + std::to_string(::getpid()) + ".csv") {
        std::ofstream file(m_path);
        file << "mac,type,ip,mask\n";
        for (std::size_t index = 0; index < types.size(); ++index) {
            file << "0A-51-4D-00-00-0" << index + 1 << ",\"" << types[index] << "\",10.0.0."
                 << index + 1 << ",255.255.255.0\n";
        }
    }
    ~TypeFleet() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

std::vector<std::string> TypeColumn(const CommandRun& run) {
    std::vector<std::string> types;
    const std::vector<std::string> lines = SplitLines(run.output);
    for (std::size_t line = 1; line < lines.size(); ++line) {
        types.push_back(ordvane::testing::SplitCsvFields(lines[line]).at(ordvane::kColumnType));
    }
    return types;
}

TEST(CliScanTable, TextColumnsFollowTheUsersCollation) {
    const TypeFleet fleet({"beta", "Alpha", "delta", "Gamma"});
    ordvane::testing::SimProcess sim({"--fleet", fleet.Path()});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    struct Case {
        const char* locale;
        std::vector<std::string> order;
    };
    const Case cases[] = {{"C", {"Alpha", "Gamma", "beta", "delta"}},
                          {"en_US.UTF-8", {"Alpha", "beta", "delta", "Gamma"}}};
    for (const Case& c : cases) {
        locale_t installed = newlocale(LC_COLLATE_MASK, c.locale, static_cast<locale_t>(nullptr));
        if (installed == static_cast<locale_t>(nullptr)) {
            continue;  // not installed here (tools/install-deps installs it)
        }
        freelocale(installed);
        const CommandRun run = ordvane::testing::RunProgram(
            ORDVANE_CLI_PATH, "scan --seconds 1 --format csv --sort type",
            std::string("LC_ALL=") + c.locale + " ZEVA_TARGETS=" + sim.Target() +
                " ZEVA_INTERFACES=none");
        ASSERT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(TypeColumn(run), c.order) << c.locale;
    }
}

TEST(CliScanTable, PlainLinesShowControlCharactersEscaped) {
    const TypeFleet fleet({"QM\x1B]0;owned\x07\x1B[2J"});
    ordvane::testing::SimProcess sim({"--fleet", fleet.Path()});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    const CommandRun run = RunCli(sim, "--seconds 1");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output, "0A-51-4D-00-00-01 10.0.0.1 QM\\x1B]0;owned\\x07\\x1B[2J\n");
}

}  // namespace
