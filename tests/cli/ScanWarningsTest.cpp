// ordvane-cli scan against emulated fleets that provoke each warning, over loopback: two
// modules on one IP address, two MACs that end in the same byte, and an address on none of
// this host's networks. The output formats are checked on the way: JSON parses, CSV has a
// header and one line per module.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "modlist/ModuleWarnings.h"
#include "tests/support/CommandRun.h"
#include "tests/support/SimProcess.h"

namespace {

using ordvane::testing::CommandRun;
using ordvane::testing::SimProcess;
using ordvane::testing::SplitLines;

std::string Dotted(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

bool OnHostNetwork(std::uint32_t address, const std::vector<ordvane::HostInterface>& hosts) {
    for (const ordvane::HostInterface& host : hosts) {
        if ((address & host.netmask) == (host.address & host.netmask)) {
            return true;
        }
    }
    return false;
}

// Addresses for the fleet, chosen from this host's real networks: one network with room for a
// few modules when the host has one, and an address on none of them.
struct FleetAddresses {
    std::optional<std::uint32_t> onSubnetBase;  // three free addresses follow it
    std::uint32_t offSubnet = 0;
};

FleetAddresses ChooseAddresses() {
    const std::vector<ordvane::HostInterface> hosts =
        ordvane::ReadHostInterfaces().value_or(std::vector<ordvane::HostInterface>{});
    FleetAddresses addresses;
    for (const ordvane::HostInterface& host : hosts) {
        const std::uint32_t broadcastPart = ~host.netmask;
        if (broadcastPart >= 16) {
            // A few addresses above the host's own, or from the bottom when that is too close
            // to the broadcast address.
            std::uint32_t part = (host.address & broadcastPart) + 4;
            if (part + 2 >= broadcastPart) {
                part = 1;
            }
            addresses.onSubnetBase = (host.address & host.netmask) | part;
            break;
        }
    }
    // Documentation and private ranges, used only as texts in the emulator's answers.
    for (const std::uint32_t candidate : {0xCB007107u, 0xC6336407u, 0x0AFE0107u, 0xAC1FFE07u}) {
        if (!OnHostNetwork(candidate, hosts)) {
            addresses.offSubnet = candidate;
            break;
        }
    }
    return addresses;
}

class ScanWarnings : public ::testing::Test {
protected:
    void SetUp() override {
        m_addresses = ChooseAddresses();
        ASSERT_NE(m_addresses.offSubnet, 0U) << "every candidate address is on this host";
        const std::uint32_t base = m_addresses.onSubnetBase.value_or(m_addresses.offSubnet);
        const std::string shared = Dotted(base);
        m_fleetPath =
            ::testing::TempDir() + "/ordvane-warnings-fleet-" + std::to_string(getpid()) + ".csv";
        std::ofstream(m_fleetPath)
            << "mac,type,ip,mask\n"
            << "0A-51-4D-00-01-21,QM-240," << shared << ",255.255.255.0\n"  // same IP as -22
            << "0A-51-4D-00-02-22,QM-240," << shared << ",255.255.255.0\n"
            << "0A-51-4D-00-03-30,QM-300," << Dotted(base + 1) << ",255.255.255.0\n"  // ends
            << "0A-51-4D-00-04-30,QM-300,,\n"  // like -03-30, no address yet
            << "0A-51-4D-00-05-41,QM-300," << Dotted(m_addresses.offSubnet) << ",\n"
            << "0A-51-4D-00-06-42,QM-300," << Dotted(base + 2) << ",255.255.255.0\n";
        m_sim = std::make_unique<SimProcess>(std::vector<std::string>{"--fleet", m_fleetPath});
        ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
    }

    void TearDown() override {
        m_sim.reset();
        ::unlink(m_fleetPath.c_str());
    }

    CommandRun Scan(const std::string& arguments) const {
        return ordvane::testing::RunProgram(ORDVANE_CLI_PATH, "scan --seconds 1 " + arguments,
                                            "ZEVA_INTERFACES=none ZEVA_TARGETS=" + m_sim->Target());
    }

    // The warnings each module should show. Without a network of this host every module with
    // an address is off-subnet as well.
    std::map<std::string, std::string> ExpectedKinds() const {
        const std::string off = m_addresses.onSubnetBase ? "" : " off-subnet";
        return {{"0A-51-4D-00-01-21", "duplicate-ip" + off},
                {"0A-51-4D-00-02-22", "duplicate-ip" + off},
                {"0A-51-4D-00-03-30", "shared-recovery-address" + off},
                {"0A-51-4D-00-04-30", "shared-recovery-address"},
                {"0A-51-4D-00-05-41", "off-subnet"},
                {"0A-51-4D-00-06-42", off.empty() ? "" : "off-subnet"}};
    }

    FleetAddresses m_addresses;
    std::string m_fleetPath;
    std::unique_ptr<SimProcess> m_sim;
};

TEST_F(ScanWarnings, CsvHasAHeaderOneLinePerModuleAndEachModulesWarnings) {
    const CommandRun run = Scan("--format csv");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> lines = SplitLines(run.output);
    ASSERT_EQ(lines.size(), 7U) << run.output;
    EXPECT_EQ(lines[0], "IP,SN,GW,DHCP,Version,Type,MAC,Warnings");
    std::map<std::string, std::string> kinds;
    for (std::size_t line = 1; line < lines.size(); ++line) {
        const std::vector<std::string> fields = ordvane::testing::SplitCsvFields(lines[line]);
        ASSERT_EQ(fields.size(), 8U) << lines[line];
        kinds[fields[6]] = fields[7];
    }
    EXPECT_EQ(kinds, ExpectedKinds());
    EXPECT_EQ(run.errors, "6 modules\n");
}

TEST_F(ScanWarnings, JsonParsesAndCarriesTheWarningsWithTheirSentences) {
    const CommandRun run = Scan("--format json --sort MAC");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto document = nlohmann::json::parse(run.output, nullptr, false);
    ASSERT_FALSE(document.is_discarded()) << run.output;
    // One object per module, sorted by MAC, each with the names of its warnings.
    std::map<std::string, std::string> kindsByMac;
    for (const auto& module : document["modules"]) {
        std::string kinds;
        for (const auto& warning : module["warnings"]) {
            ASSERT_TRUE(warning["message"].is_string());
            kinds += (kinds.empty() ? "" : " ") + warning["kind"].get<std::string>();
        }
        kindsByMac[module["mac"].get<std::string>()] = kinds;
    }
    EXPECT_EQ(kindsByMac, ExpectedKinds());
    EXPECT_NE(run.output.find("The recovery DHCP server would give the same address 10.200.1.48 "
                              "to 1 other module: 0A-51-4D-00-04-30."),
              std::string::npos)
        << run.output;
}

TEST_F(ScanWarnings, TableAndLineOutputExplainTheWarnings) {
    const std::string offSubnetSentence = "0A-51-4D-00-05-41: The IP address " +
                                          Dotted(m_addresses.offSubnet) +
                                          " is on none of this computer's networks";
    const CommandRun table = Scan("--format table");
    ASSERT_EQ(table.status, 0) << table.errors;
    const std::vector<std::string> lines = SplitLines(table.output);
    ASSERT_GE(lines.size(), 8U) << table.output;
    EXPECT_NE(lines[0].find("MAC                Warnings"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[7], "") << "a blank line between the rows and the sentences";
    EXPECT_NE(table.output.find("\n" + offSubnetSentence), std::string::npos) << table.output;

    const CommandRun plain = Scan("");
    ASSERT_EQ(plain.status, 0) << plain.errors;
    EXPECT_EQ(SplitLines(plain.output).size(), 6U) << plain.output;
    EXPECT_NE(plain.errors.find("warning: " + offSubnetSentence), std::string::npos)
        << plain.errors;
    EXPECT_NE(plain.errors.find("warning: 0A-51-4D-00-01-21: The IP address " +
                                Dotted(m_addresses.onSubnetBase.value_or(m_addresses.offSubnet)) +
                                " is also used by 1 other module: 0A-51-4D-00-02-22."),
              std::string::npos)
        << plain.errors;
}

}  // namespace
