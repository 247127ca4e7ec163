// Modules on real links, whatever this computer's addresses: network namespaces made for each
// test, joined by veth pairs, with addresses set as a DHCP client sets them (with "brd +").
// The library runs in this process, moved into the namespace that plays this computer; each
// module (or fleet) is an emulator in a namespace of its own, whose address is the module's.
// Needs root and iproute2; skipped otherwise.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "sim/PasswordCheck.h"
#include "tests/cli/CommandRun.h"
#include "tests/support/TestNetwork.h"
#include "tests/zeva/EmulatorTest.h"
#include "zeva/ModuleProtocol.h"
#include "zeva/UdpSocket.h"

namespace ordvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

class LinkReach : public EmulatorTest {
protected:
    void SetUp() override {
        const std::string reason = TestNetwork::SkipReason();
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
        m_host = m_network.AddNamespace("host");
        ASSERT_FALSE(m_host.empty());
    }

    // A namespace for a module, linked to this computer's namespace; the module's end of the
    // link gets moduleCidr ("" for none). Returns our end of the link.
    std::string AddModuleLink(const std::string& moduleCidr, std::string& moduleNamespace) {
        moduleNamespace = m_network.AddNamespace("mod");
        const auto [ours, theirs] = m_network.AddLink(m_host, moduleNamespace);
        EXPECT_FALSE(ours.empty());
        if (!moduleCidr.empty()) {
            EXPECT_TRUE(m_network.AddAddress(moduleNamespace, theirs, moduleCidr));
        }
        m_moduleLinks[moduleNamespace] = theirs;
        return ours;
    }

    // An emulator in the namespace playing the fleet (CSV text).
    std::unique_ptr<SimProcess> StartEmulator(const std::string& inNamespace,
                                              const std::string& fleet,
                                              std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments{
            "--fleet",   WriteTemporaryFile("fleet-" + inNamespace + ".csv", fleet),
            "--address", "0.0.0.0",
            "--port",    "47470"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto sim = std::make_unique<SimProcess>(arguments, TestNetwork::Launcher(inNamespace));
        EXPECT_TRUE(sim->WaitReady()) << sim->Describe();
        return sim;
    }

    // The library of this process, in this computer's namespace, scanning `interfaces`
    // ("" for every suitable one) and no extra target.
    void StartLibraryOn(const std::string& interfaces) {
        ASSERT_TRUE(TestNetwork::EnterNamespace(m_host));
        if (interfaces.empty()) {
            unsetenv("ZEVA_INTERFACES");
        } else {
            setenv("ZEVA_INTERFACES", interfaces.c_str(), 1);
        }
        unsetenv("ZEVA_TARGETS");
        ASSERT_TRUE(LibraryEvents::StartLibrary());
    }

    // ordvane-cli run in this computer's namespace.
    CommandRun RunCli(const std::string& arguments, const std::string& interfaces) {
        return RunCommand("ip", "netns exec " + m_host + " '" + ORDVANE_CLI_PATH + "' " + arguments,
                          "ZEVA_TARGETS= ZEVA_INTERFACES=" + interfaces);
    }

    TestNetwork m_network;
    std::string m_host;
    std::map<std::string, std::string> m_moduleLinks;
};

ZEVA_ConfigureRequestType ConfigureTo(const ZEVA_ModuleScanResponseType& module,
                                      std::uint32_t address, const char* password) {
    ZEVA_ConfigureRequestType request{};
    std::memcpy(request.macId, module.macId, 6);
    std::strcpy(request.password, password);
    request.ipAddress = address;
    request.subnetMask = Ip(255, 255, 255, 0);
    request.gateway = (address & 0xFFFFFF00u) | 1;
    std::strcpy(request.hostname, "moved");
    return request;
}

// A module on another subnet of the same link: its stack drops our subnet's broadcast, so only
// the limited broadcast out of our link finds it. Once configured into our subnet (and its
// stack given that address, as the module's own would be) it is found there.
TEST_F(LinkReach, ModuleOnForeignSubnetIsFoundConfiguredIntoOursAndFoundAgain) {
    std::string moduleNamespace;
    const std::string link = AddModuleLink("172.31.5.5/24", moduleNamespace);
    ASSERT_TRUE(m_network.AddAddress(m_host, link, "10.99.0.1/24"));
    m_sim = StartEmulator(moduleNamespace,
                          "mac,ip,mask,gateway,hostname,password\n"
                          "0A-51-4D-00-0F-01,172.31.5.5,255.255.255.0,172.31.5.1,far,secret\n");

    const CommandRun cli = RunCli("scan --seconds 2", link);
    EXPECT_NE(cli.output.find("0A-51-4D-00-0F-01 172.31.5.5"), std::string::npos) << cli.output;
    EXPECT_NE(cli.errors.find("scanning " + link), std::string::npos) << cli.errors;

    StartLibraryOn(link);
    auto answers = ScanFor(1);
    ASSERT_EQ(answers.size(), 1u) << m_sim->Describe();
    EXPECT_EQ(answers.begin()->second.ipAddress, Ip(172, 31, 5, 5));

    auto request = ConfigureTo(answers.begin()->second, Ip(10, 99, 0, 5), "secret");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1)) << m_sim->Describe();
    EXPECT_TRUE(m_sim->WaitForLines("configure mac=0A-51-4D-00-0F-01 ip=10.99.0.5 ", 1));

    const std::string moduleLink = m_moduleLinks[moduleNamespace];
    ASSERT_TRUE(m_network.Ip(moduleNamespace, "addr flush dev " + moduleLink));
    ASSERT_TRUE(m_network.AddAddress(moduleNamespace, moduleLink, "10.99.0.5/24"));
    answers = ScanFor(1);
    ASSERT_EQ(answers.size(), 1u) << m_sim->Describe();
    EXPECT_EQ(answers.begin()->second.ipAddress, Ip(10, 99, 0, 5));
    ZEVA_SendWink(&request);
    EXPECT_TRUE(m_sim->WaitForLines("wink mac=0A-51-4D-00-0F-01", 1)) << m_sim->Describe();
}

// A direct cable to a spare port: no IPv4 address on our side, and modules with or without an
// address of their own on the other.
TEST_F(LinkReach, LinkWithoutOurAddressFindsConfiguresAndWinksItsModules) {
    std::string moduleNamespace;
    const std::string link = AddModuleLink("", moduleNamespace);
    m_sim = StartEmulator(moduleNamespace,
                          "mac,ip,mask,dhcp,password\n"
                          "0A-51-4D-00-0E-01,,,1,\n"
                          "0A-51-4D-00-0E-02,192.168.7.20,255.255.255.0,0,pw\n");

    const CommandRun cli = RunCli("scan --seconds 2", link);
    EXPECT_NE(cli.output.find("0A-51-4D-00-0E-01 N/A"), std::string::npos) << cli.output;
    EXPECT_NE(cli.output.find("0A-51-4D-00-0E-02 192.168.7.20"), std::string::npos);
    EXPECT_NE(cli.errors.find("scanning " + link), std::string::npos) << cli.errors;

    StartLibraryOn(link);
    const auto answers = ScanFor(2);
    ASSERT_EQ(answers.size(), 2u) << m_sim->Describe();
    auto request = ConfigureTo(answers.at("0A-51-4D-00-0E-01"), Ip(192, 168, 7, 21), "");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1)) << m_sim->Describe();
    EXPECT_TRUE(m_sim->WaitForLines("configure mac=0A-51-4D-00-0E-01 ip=192.168.7.21 ", 1));
    auto wink = ConfigureTo(answers.at("0A-51-4D-00-0E-02"), 0, "");
    ZEVA_SendWink(&wink);
    EXPECT_TRUE(m_sim->WaitForLines("wink mac=0A-51-4D-00-0E-02", 1)) << m_sim->Describe();
}

// Two cards on different subnets and one without an address: one scan finds the modules on
// all three, and each is reached through its own link only.
TEST_F(LinkReach, OneScanFindsEveryLinkAndEachRowGoesThroughItsOwn) {
    std::string near, far, bare;
    const std::string nearLink = AddModuleLink("10.10.1.5/24", near);
    const std::string farLink = AddModuleLink("172.16.9.9/24", far);
    const std::string bareLink = AddModuleLink("", bare);
    ASSERT_TRUE(m_network.AddAddress(m_host, nearLink, "10.10.1.1/24"));
    ASSERT_TRUE(m_network.AddAddress(m_host, farLink, "10.20.2.1/24"));
    std::map<std::string, std::unique_ptr<SimProcess>> sims;
    sims["0A-51-4D-00-0D-01"] = StartEmulator(near,
                                              "mac,ip,mask\n"
                                              "0A-51-4D-00-0D-01,10.10.1.5,255.255.255.0\n");
    sims["0A-51-4D-00-0D-02"] = StartEmulator(far,
                                              "mac,ip,mask\n"
                                              "0A-51-4D-00-0D-02,172.16.9.9,255.255.255.0\n");
    sims["0A-51-4D-00-0D-03"] = StartEmulator(bare,
                                              "mac,dhcp\n"
                                              "0A-51-4D-00-0D-03,1\n");

    const CommandRun cli = RunCli("scan --seconds 2", "");
    for (const std::string& link : {nearLink, farLink, bareLink}) {
        EXPECT_NE(cli.errors.find("scanning " + link), std::string::npos) << cli.errors;
    }
    EXPECT_NE(cli.errors.find("3 modules"), std::string::npos) << cli.errors;

    StartLibraryOn("");
    const auto answers = ScanFor(3);
    ASSERT_EQ(answers.size(), 3u);
    for (const auto& [mac, module] : answers) {
        auto wink = ConfigureTo(module, 0, "");
        ZEVA_SendWink(&wink);
        EXPECT_TRUE(sims.at(mac)->WaitForLines("wink mac=" + mac, 1)) << sims.at(mac)->Describe();
    }
    // The library acts on the first answer and retransmits nothing after it, so a wink that
    // went out of the wrong link as well would have shown on another emulator by now.
    std::this_thread::sleep_for(300ms);
    for (const auto& [mac, sim] : sims) {
        EXPECT_EQ(sim->LinesStartingWith("wink ").size(), 1u) << sim->Describe();
    }
}

}  // namespace
}  // namespace ordvane::testing
