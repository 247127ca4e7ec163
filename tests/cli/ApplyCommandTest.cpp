// ordvane-cli apply against the emulator on loopback: a plan applied over a lossy link and
// verified, a second run that changes nothing, a dry run, the problems that stop a row before
// anything is sent, and a wrong password. What reached the modules is read from the emulator's
// lines and its state file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/CommandRun.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TemporaryFolder.h"

namespace {

using ordvane::testing::CommandRun;
using ordvane::testing::SimProcess;
using ordvane::testing::SplitLines;

class CliApply : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_folder.Path().empty()); }
    // The emulator writes its state file as it stops, before its folder goes.
    void TearDown() override { m_sim.reset(); }

    std::string PathOf(const std::string& name) const { return m_folder.Path() + "/" + name; }

    std::string Write(const std::string& name, const std::string& text) {
        return m_folder.Write(name, text);
    }

    void StartSim(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--state", PathOf("state.csv")});
        m_sim = std::make_unique<SimProcess>(arguments);
        ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
    }

    // ordvane-cli apply with the plan text, passwords on standard input.
    CommandRun Apply(const std::string& plan, const std::string& options,
                     const std::string& input = "") {
        return ordvane::testing::RunProgram(
            ORDVANE_CLI_PATH, "apply '" + Write("plan.csv", plan) + "' " + options,
            "ZEVA_TARGETS=" + m_sim->Target() + " ZEVA_INTERFACES=none", Write("input", input));
    }

    // The emulator's state file: each module's line by MAC.
    std::map<std::string, std::string> State() {
        std::ifstream in(PathOf("state.csv"));
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        std::map<std::string, std::string> modules;
        for (const std::string& line : SplitLines(text)) {
            if (line.rfind("0A-", 0) == 0) {
                modules[line.substr(0, line.find(','))] = line;
            }
        }
        return modules;
    }

    std::size_t ConfigureLines() const { return m_sim->LinesStartingWith("configure ").size(); }

    std::unique_ptr<SimProcess> m_sim;

private:
    ordvane::testing::TemporaryFolder m_folder;
};

std::string MacOfModule(int number) {
    char text[24];
    std::snprintf(text, sizeof text, "0A-51-4D-00-00-%02X", number);
    return text;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(CliApply, PlanOfSixtyOverALossyLinkIsVerifiedAndASecondRunChangesNothing) {
    // 150 generated modules: about half with the password "quillmor", half hashed.
    StartSim({"--count", "150", "--seed", "11", "--loss", "10%"});
    const std::map<std::string, std::string> before = State();
    // Sixty modules that report every planned setting: a dry run over all of them tells which.
    const auto planRow = [](int module) {
        return MacOfModule(module) + ",10.1.0." + std::to_string(module) + ",255.255.0.0,Off,plan" +
               std::to_string(module) + "\n";
    };
    std::string every = "mac,Ip,SN,DHCP,Hostname\n";
    for (int module = 1; module <= 150; ++module) {
        every += planRow(module);
    }
    const CommandRun dryRun = Apply(every, "--dry-run --format csv");
    std::vector<int> planned;
    for (const std::string& line : SplitLines(dryRun.output)) {
        const bool toChange =
            line.size() > 10 && line.compare(line.size() - 10, 10, ",to-change") == 0;
        if (toChange && line.rfind("0A-", 0) == 0 && planned.size() < 60) {
            planned.push_back(std::stoi(line.substr(15, 2), nullptr, 16));
        }
    }
    ASSERT_EQ(planned.size(), 60U) << dryRun.output;
    std::string plan = "mac,Ip,SN,DHCP,Hostname\n";
    for (const int module : planned) {
        plan += planRow(module);
    }
    const CommandRun first =
        Apply(plan, "--password-stdin --plain-password --format json", "quillmor\n");
    ASSERT_EQ(first.status, 0) << first.output << first.errors;
    const auto report = nlohmann::json::parse(first.output, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << first.output;
    std::size_t atPlan = 0;
    for (const auto& row : report["rows"]) {
        atPlan += row["result"] == "verified" || row["result"] == "unchanged" ? 1 : 0;
    }
    EXPECT_EQ(atPlan, 60U) << first.output;

    const std::map<std::string, std::string> after = State();
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [mac, line] : after) {
        const int number = std::stoi(mac.substr(15), nullptr, 16);
        if (std::find(planned.begin(), planned.end(), number) != planned.end()) {
            EXPECT_NE(line.find(",10.1.0." + std::to_string(number) + ","), std::string::npos)
                << line;
        } else {
            EXPECT_EQ(line, before.at(mac)) << "a module outside the plan changed";
        }
    }

    const std::size_t configuresSent = ConfigureLines();
    const CommandRun second =
        Apply(plan, "--password-stdin --plain-password --format csv", "quillmor\n");
    EXPECT_EQ(second.status, 0) << second.output << second.errors;
    EXPECT_EQ(Count(second.output, ",unchanged\r\n"), 60U) << second.output;
    EXPECT_EQ(ConfigureLines(), configuresSent);
}

TEST_F(CliApply, ProblemsStopTheirRowAndADryRunSendsNothing) {
    Write("fleet.csv",
          "mac,ip,mask,hostname,password,dhcp\n"
          "0A-51-4D-00-00-01,10.20.0.1,255.255.255.0,one,,0\n"
          "0A-51-4D-00-00-02,10.20.0.2,255.255.255.0,two,,0\n"
          "0A-51-4D-00-00-03,10.20.0.3,255.255.255.0,three,,0\n"
          "0A-51-4D-00-00-04,10.20.0.4,255.255.255.0,four,,0\n"
          "0A-51-4D-00-00-05,10.20.0.5,255.255.255.0,five,,0\n"
          "0A-51-4D-00-00-06,10.20.0.6,255.255.255.0,six,,0\n"
          "0A-51-4D-00-00-07,10.20.0.7,255.255.255.0,seven,,0\n"
          "0A-51-4D-00-00-08,10.20.0.8,255.255.255.0,eight,,0\n"
          // No hostname to report; and one in DHCP mode still waiting for a lease.
          "0A-51-4D-00-00-0A,10.20.0.10,255.255.255.0,,,0\n"
          "0A-51-4D-00-00-0B,,,waiting,,1\n");
    StartSim({"--fleet", PathOf("fleet.csv")});
    struct Case {
        const char* row;
        const char* problem;  // empty: the row is sent
    };
    const std::vector<Case> cases = {
        {"0A-51-4D-00-00-01,10.20.0.11,ok,", ""},
        {"0A-51-4D-00-00-09,10.20.0.19,,", "module not found in the scan"},
        {"0A-51-4D-00-00-02,10.20.0.12,,", "MAC also on line 7"},
        {"0A-51-4D-00-00-02,10.20.0.22,,", "MAC also on line 6"},
        {"0A-51-4D-00-00-03,10.20.0.50,,", "IP 10.20.0.50 also planned on line 9"},
        {"0A-51-4D-00-00-04,10.20.0.50,,", "IP 10.20.0.50 also planned on line 8"},
        {"0A-51-4D-00-00-05,10.20.0.7,,", "IP 10.20.0.7 is in use by 0A-51-4D-00-00-07"},
        {"0A-51-4D-00-00-06,,bad-name,", "Illegal hostname! Only a-z, A-Z and 0-9 allowed."},
        {"0A-51-4D-00-00-07,10.20.0.255,,", "Last digit of IP address can not be 255."},
        {"0A-51-4D-00-00-08,,abcdefghijklmnopqrstuvwxyz1234,",
         "the hostname has more than 29 characters"},
        {"0A-51-4D-00-00-0A,,named,", "the module does not report Hostname, so it cannot be set"},
        {"0A-51-4D-00-00-0B,10.20.0.31,,Off", ""},
    };
    std::string plan = "# one row per case, from line 4\nMAC,IP,Hostname,DHCP\n\n";
    for (const Case& row : cases) {
        plan += std::string(row.row) + "\n";
    }

    const CommandRun dryRun = Apply(plan, "--dry-run --format csv");
    EXPECT_EQ(dryRun.status, 1) << dryRun.output << dryRun.errors;
    const CommandRun applied = Apply(plan, "--format csv");
    EXPECT_EQ(applied.status, 1) << applied.output << applied.errors;

    const std::vector<std::string> lines = SplitLines(applied.output);
    ASSERT_EQ(lines.size(), cases.size() + 1) << applied.output;
    for (std::size_t index = 0; index < cases.size(); ++index) {
        const std::string expected = *cases[index].problem == '\0'
                                         ? std::string(",verified")
                                         : std::string("not-sent: ") + cases[index].problem;
        EXPECT_NE(lines[index + 1].find(expected), std::string::npos)
            << lines[index + 1] << " lacks " << expected;
    }
    // The dry run sent nothing; the real run sent the two rows without a problem.
    ASSERT_TRUE(m_sim->WaitForLines("configure ", 2)) << m_sim->Describe();
    std::vector<std::string> sent = m_sim->LinesStartingWith("configure ");
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(sent, (std::vector<std::string>{
                        "configure mac=0A-51-4D-00-00-01 ip=10.20.0.11 mask=255.255.255.0 "
                        "gateway=0.0.0.0 dhcp=off dns1=0.0.0.0 dns2=0.0.0.0 password=kept "
                        "hostname=ok",
                        "configure mac=0A-51-4D-00-00-0B ip=10.20.0.31 mask=0.0.0.0 "
                        "gateway=0.0.0.0 dhcp=off dns1=0.0.0.0 dns2=0.0.0.0 password=kept "
                        "hostname=waiting"}));
}

TEST_F(CliApply, WrongPasswordExitsThreeAndLeavesTheModulesAsTheyWere) {
    Write("fleet.csv",
          "mac,ip,mask,hostname,hashed,password\n"
          "0A-51-4D-00-00-01,10.20.0.1,255.255.255.0,plain,0,secret\n"
          "0A-51-4D-00-00-02,10.20.0.2,255.255.255.0,hashed,1,secret\n");
    StartSim({"--fleet", PathOf("fleet.csv")});
    const std::map<std::string, std::string> before = State();
    const CommandRun run = Apply("MAC,Hostname\n0A-51-4D-00-00-01,new1\n0A-51-4D-00-00-02,new2\n",
                                 "--password-stdin --plain-password --format csv", "wrong\n");
    EXPECT_EQ(run.status, 3) << run.output << run.errors;
    EXPECT_EQ(Count(run.output, ",refused-password\r\n"), 2U) << run.output;
    EXPECT_EQ(ConfigureLines(), 0U) << m_sim->Describe();
    EXPECT_EQ(State(), before);
}

TEST_F(CliApply, PlanFileErrorsNameFileLineAndColumnBeforeAnythingIsSent) {
    StartSim({"--count", "2", "--seed", "3"});
    const struct {
        const char* plan;
        const char* error;
    } cases[] = {
        {"IP\n10.0.0.1\n", "line 1: the header has no MAC column"},
        {"MAC,Colour\n", "line 1, column 2: unknown column \"Colour\""},
        {"MAC,IP\n0A-51-4D-00-00-01,10.0.0.300\n", "line 2, column IP: \"10.0.0.300\""},
        {"MAC,DHCP\n0A-51-4D-00-00-01,yes\n", "line 2, column DHCP: \"yes\" is neither On"},
        {"MAC\n0A-51-4D-00-00-1\n", "line 2, column MAC: needs a MAC address"},
        {"MAC,IP\n0A-51-4D-00-00-01\n", "line 2: expected 2 cells, found 1"},
        {"MAC,Hostname\n0A-51-4D-00-00-01,\"open\n", "line 2: unterminated quote"},
        {"MAC,IP\n0A-51-4D-00-00-01,\x1B]0;owned\x07\n",
         "line 2, column IP: \"\\x1B]0;owned\\x07\""},
    };
    for (const auto& test : cases) {
        const CommandRun run = Apply(test.plan, "");
        EXPECT_EQ(run.status, 2) << test.plan;
        EXPECT_NE(run.errors.find("plan.csv: " + std::string(test.error)), std::string::npos)
            << run.errors;
    }
    EXPECT_EQ(ConfigureLines(), 0U);
    // A FIFO with no writer is refused at once instead of being waited on.
    const std::string fifo = PathOf("plan.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const CommandRun run = ordvane::testing::RunProgram(
        "timeout", std::string("5 ") + ORDVANE_CLI_PATH + " apply '" + fifo + "'", "");
    EXPECT_EQ(run.status, 2) << run.errors;
    EXPECT_NE(run.errors.find("plan.fifo: not a regular file"), std::string::npos) << run.errors;
    ::unlink(fifo.c_str());
}

TEST_F(CliApply, ScanBaselineListsWhatChangedSinceAnEarlierScan) {
    StartSim({"--count", "5", "--seed", "3"});
    const std::string environment = "ZEVA_TARGETS=" + m_sim->Target() + " ZEVA_INTERFACES=none";
    const auto scan = [&](const std::string& options) {
        return ordvane::testing::RunProgram(ORDVANE_CLI_PATH, "scan --seconds 1 " + options,
                                            environment);
    };
    const CommandRun earlier = scan("--format json");
    ASSERT_EQ(earlier.status, 0) << earlier.errors;
    const std::string baseline = Write("baseline.json", earlier.output);

    const CommandRun same = scan("--baseline '" + baseline + "' --format csv");
    EXPECT_EQ(same.status, 0) << same.output << same.errors;
    EXPECT_EQ(same.output, "MAC,Change,Fields\r\n");

    ASSERT_EQ(Apply("MAC,IP\n0A-51-4D-00-00-02,10.9.0.2\n", "--password-stdin --plain-password",
                    "quillmor\n")
                  .status,
              0);
    const CommandRun changed = scan("--baseline '" + baseline + "' --format csv");
    EXPECT_EQ(changed.status, 5) << changed.output << changed.errors;
    const std::vector<std::string> lines = SplitLines(changed.output);
    ASSERT_EQ(lines.size(), 2U) << changed.output;
    EXPECT_EQ(lines[1].rfind("0A-51-4D-00-00-02,changed,IP ", 0), 0U) << lines[1];
    EXPECT_NE(lines[1].find(" -> 10.9.0.2"), std::string::npos) << lines[1];

    const std::string broken = Write("broken.json", "{\"format\": 1, \"modules\": [{\"mac\": 1}]}");
    const CommandRun refused = scan("--baseline '" + broken + "'");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.errors.find("broken.json: module 1: \"mac\" has the wrong type"),
              std::string::npos)
        << refused.errors;
}

TEST_F(CliApply, SamplePlanFitsTheDemonstrationFleet) {
    // The fleet tools/run-ordvane starts.
    StartSim({"--fleet", ORDVANE_SOURCE_DIR "/tools/demo-fleet.csv"});
    const CommandRun run = ordvane::testing::RunProgram(
        ORDVANE_CLI_PATH,
        "apply '" ORDVANE_SOURCE_DIR "/docs/sample-plan.csv' --dry-run --seconds 1 --format csv",
        "ZEVA_TARGETS=" + m_sim->Target() + " ZEVA_INTERFACES=none");
    EXPECT_EQ(run.status, 0) << run.output << run.errors;
    EXPECT_EQ(Count(run.output, ",to-change\r\n"), 5U) << run.output;
    EXPECT_EQ(Count(run.output, ",unchanged\r\n"), 1U) << run.output;
    EXPECT_EQ(ConfigureLines(), 0U);
}

}  // namespace
