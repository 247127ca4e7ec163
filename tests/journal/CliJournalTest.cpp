// ordvane-cli against the emulator: configure, apply and wink each leave their line in the
// journal of XDG_STATE_HOME, none of the passwords typed, sent or stored gets there, and the
// journal command shows the lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "tests/support/CommandRun.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TemporaryFolder.h"

namespace {

using ordvane::testing::RunProgram;
using ordvane::testing::SimProcess;

// 01 plain, 02 hashed; both with a password.
constexpr const char* kFleet =
    "mac,service,type,ip,mask,gateway,dhcp,hostname,dns1,dns2,hashed,password\n"
    "0A-51-4D-00-00-01,1.10,QM-240,10.20.30.40,255.255.255.0,10.20.30.1,0,lineone,10.20.30.53,"
    "10.20.30.54,0,Hunter2old\n"
    "0A-51-4D-00-00-02,1.10,QM-300,10.20.31.7,255.255.255.0,,0,two,,,1,Opens3same\n";

std::string ReadFile(const std::string& path) {
    std::ifstream stream(path);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

TEST(CliJournal, RecordsEveryChangeWithoutASecretAndShowsIt) {
    const ordvane::testing::TemporaryFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string statePath = folder.Path() + "/sim-state.csv";
    SimProcess sim({"--fleet", folder.Write("fleet.csv", kFleet), "--state", statePath});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    const std::string environment = "ZEVA_INTERFACES=none ZEVA_TARGETS=" + sim.Target() +
                                    " XDG_STATE_HOME=" + folder.Path() +
                                    "/state ORDVANE_JOURNAL_SYSLOG=0";

    const auto configure = RunProgram(
        ORDVANE_CLI_PATH,
        "configure 0A-51-4D-00-00-01 --ip 10.20.30.41 --password-stdin --new-password-stdin "
        "--plain-password",
        environment, folder.Write("plain", "Hunter2old\nTr0ub4dor1\n"));
    ASSERT_EQ(configure.status, 0) << configure.errors;
    const auto apply =
        RunProgram(ORDVANE_CLI_PATH,
                   "apply " + folder.Write("plan.csv", "MAC,Hostname\n0A-51-4D-00-00-02,cell2\n") +
                       " --password-stdin --new-password-stdin --seconds 1",
                   environment, folder.Write("hashed", "Opens3same\nTr0ub4dor2\n"));
    ASSERT_EQ(apply.status, 0) << apply.output << apply.errors;
    const auto wink = RunProgram(ORDVANE_CLI_PATH, "wink 0A-51-4D-00-00-02", environment);
    ASSERT_EQ(wink.status, 0) << wink.errors;

    const std::string journal = ReadFile(folder.Path() + "/state/ordvane/changes.jsonl");
    const std::string state = ReadFile(statePath);
    const std::size_t stored = state.find(",Tr0ub4dor2");  // never: hashed modules keep a digest
    EXPECT_EQ(stored, std::string::npos);
    // The hashed module is the state's last line; its digest stands in the password_hash column.
    const auto stateLines = ordvane::testing::SplitLines(state);
    ASSERT_GE(stateLines.size(), 2u) << state;
    const auto header = ordvane::testing::SplitCsvFields(stateLines.front());
    const auto hashed = ordvane::testing::SplitCsvFields(stateLines.back());
    const auto column = std::find(header.begin(), header.end(), "password_hash") - header.begin();
    ASSERT_LT(static_cast<std::size_t>(column), hashed.size()) << state;
    const std::string digest = hashed[static_cast<std::size_t>(column)];
    ASSERT_EQ(digest.size(), 34u) << state;
    for (const std::string& secret : {std::string("Hunter2old"), std::string("Tr0ub4dor"),
                                      std::string("Opens3same"), digest, digest.substr(2)}) {
        EXPECT_EQ(journal.find(secret), std::string::npos) << secret << " in\n" << journal;
    }

    const auto shown = RunProgram(ORDVANE_CLI_PATH, "journal --format csv", environment);
    ASSERT_EQ(shown.status, 0) << shown.errors;
    const auto lines = ordvane::testing::SplitLines(shown.output);
    ASSERT_EQ(lines.size(), 4u) << shown.output;
    EXPECT_NE(lines[1].find(",configure,0A-51-4D-00-00-01,IP 10.20.30.40 -> 10.20.30.41; "
                            "password changed,accepted"),
              std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find(",apply,0A-51-4D-00-00-02,Hostname two -> cell2; password "
                            "changed,verified"),
              std::string::npos)
        << lines[2];
    EXPECT_NE(lines[3].find(",wink,0A-51-4D-00-00-02,,sent"), std::string::npos) << lines[3];

    const auto later =
        RunProgram(ORDVANE_CLI_PATH, "journal --since 2999-01-01 --format json", environment);
    EXPECT_EQ(later.output, "{\"format\": 1, \"entries\": []}\n");
}

}  // namespace
