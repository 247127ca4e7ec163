// ordvane-cli recover and recovery-server --only on a real link: this test's own network
// namespace (the host, 10.200.1.1/24) joined by a veth pair to a peer namespace where
// quillmor-sim plays modules in DHCP mode without an address. Needs root and iproute2.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "tests/support/NetworkNamespaces.h"
#include "tests/support/SimProcess.h"

namespace ordvane::testing {
namespace {

constexpr const char* kModuleMac = "0A-51-4D-00-00-2A";
constexpr const char* kOtherMac = "0A-51-4D-00-00-2B";

class RecoverCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ORDVANE_ENTER_FRESH_NAMESPACE_OR_SKIP();
        ASSERT_TRUE(m_link.Create("0a:51:4d:00:00:2a"));
        ASSERT_FALSE(m_folder.Path().empty());
        m_fleet = m_folder.Write("fleet.csv", std::string("mac,dhcp,hostname\n") + kModuleMac +
                                                  ",1,lost\n" + kOtherMac + ",1,other\n");
    }

    void TearDown() override {
        if (m_moduleStack.joinable()) {
            m_moduleStack.join();
        }
    }

    // The emulated modules, asking for a lease every 200 ms on the peer's end of the link. The
    // module's own IP stack would put its leased address on its card; the emulator plays the
    // module but does not own the link, so a thread of the test does that part.
    void StartModules(bool withAddressOnLease = true) {
        m_sim.emplace(std::vector<std::string>{"--fleet", m_fleet, "--address", "0.0.0.0", "--port",
                                               "47470", "--dhcp-client", m_link.PeerInterface(),
                                               "--dhcp-retry-ms", "200"},
                      std::vector<std::string>{"ip", "netns", "exec", m_link.Name()});
        ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
        if (!withAddressOnLease) {
            return;
        }
        m_moduleStack = std::thread([this] {
            if (m_sim->WaitForLines(std::string("lease mac=") + kModuleMac, 1,
                                    std::chrono::seconds(30))) {
                RunCommand("ip -n " + m_link.Name() + " addr add 10.200.1.42/24 brd + dev " +
                           m_link.PeerInterface());
            }
        });
    }

    // ordvane-cli in the background in this namespace, scanning through the veth only.
    std::unique_ptr<BackgroundProcess> StartCli(const std::vector<std::string>& arguments) {
        std::vector<std::string> command = {"env",
                                            "-u",
                                            "ZEVA_TARGETS",
                                            "ZEVA_INTERFACES=" + m_link.LocalInterface(),
                                            "XDG_STATE_HOME=" + m_folder.Path(),
                                            "ORDVANE_JOURNAL_SYSLOG=0",
                                            ORDVANE_CLI_PATH};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return std::make_unique<BackgroundProcess>(command, m_folder.Path() + "/cli.log");
    }

    // Nothing holds port 67 any more: this process can bind it.
    static bool Port67IsFree() {
        const int descriptor = OpenBroadcastUdpSocket(67);
        if (descriptor < 0) {
            return false;
        }
        close(descriptor);
        return true;
    }

    PeerNamespace m_link;
    TemporaryFolder m_folder;
    std::string m_fleet;
    std::optional<SimProcess> m_sim;
    std::thread m_moduleStack;
};

TEST_F(RecoverCommand, TakesTheModuleFromDhcpToItsStaticAddressAndStopsServing) {
    StartModules();
    auto cli = StartCli({"recover", kModuleMac, "--ip", "192.168.5.20", "--mask", "255.255.255.0",
                         "--seconds", "30"});
    ASSERT_TRUE(cli->WaitForOutput("Recovery DHCP server stopped", std::chrono::seconds(40)))
        << cli->Output();
    EXPECT_EQ(cli->Stop(0), 0) << cli->Output();
    // One line per step, in this order (a module answering from two addresses while it puts
    // its lease on its card may add a rescan before the configure).
    const std::string link = " on " + m_link.LocalInterface();
    const std::string output = cli->Output();
    std::size_t from = 0;
    for (const std::string& line :
         {std::string("Serving DHCP for ") + kModuleMac + " only; waiting for its request",
          "DHCPOFFER 10.200.1.42 to " + std::string(kModuleMac) + link,
          "DHCPACK 10.200.1.42 to " + std::string(kModuleMac) + link,
          "Found " + std::string(kModuleMac) + " at 10.200.1.42",
          std::string("Configuring it to 192.168.5.20 with DHCP off"),
          std::string("The module took the settings; scanning for it at its new address"),
          "Verified: " + std::string(kModuleMac) + " answers at 192.168.5.20",
          std::string("Recovery DHCP server stopped")}) {
        const std::size_t at = output.find(line + "\n", from);
        ASSERT_NE(at, std::string::npos) << line << " missing after offset " << from << ":\n"
                                         << output;
        from = at + line.size();
    }
    EXPECT_TRUE(m_sim->WaitForLines(std::string("configure mac=") + kModuleMac +
                                        " ip=192.168.5.20 mask=255.255.255.0 gateway=0.0.0.0 "
                                        "dhcp=off",
                                    1))
        << m_sim->Describe();
    EXPECT_TRUE(m_sim->LinesStartingWith(std::string("lease mac=") + kOtherMac).empty())
        << "the second module was served";
    EXPECT_TRUE(Port67IsFree());
    // The change is in the journal, as every change to a module is.
    std::ifstream journalFile(m_folder.Path() + "/ordvane/changes.jsonl");
    std::stringstream journal;
    journal << journalFile.rdbuf();
    EXPECT_NE(journal.str().find(std::string("\"command\":\"recover\",\"mac\":\"") + kModuleMac),
              std::string::npos)
        << journal.str();
    EXPECT_NE(journal.str().find("\"result\":\"accepted\"}"), std::string::npos) << journal.str();
}

// Ctrl+C while the server waits for the module: the server stops, the port is free, and a
// module that asks afterwards gets no answer.
TEST_F(RecoverCommand, InterruptedItStopsServing) {
    auto cli = StartCli({"recover", kModuleMac, "--ip", "192.168.5.20"});
    ASSERT_TRUE(cli->WaitForOutput("waiting for its request", std::chrono::seconds(10)))
        << cli->Output();
    EXPECT_EQ(cli->Stop(SIGINT), 1);
    const std::string output = cli->Output();
    EXPECT_NE(output.find("Recovery DHCP server stopped\n"), std::string::npos) << output;
    EXPECT_NE(output.find("interrupted"), std::string::npos) << output;
    EXPECT_TRUE(Port67IsFree());
    StartModules(false);
    EXPECT_FALSE(m_sim->WaitForLines("lease ", 1, std::chrono::seconds(2))) << m_sim->Describe();
}

TEST_F(RecoverCommand, ServerWithAListAnswersOnlyThoseModules) {
    auto server = StartCli({"recovery-server", "--only", kModuleMac});
    ASSERT_TRUE(server->WaitForOutput("only\n", std::chrono::seconds(10))) << server->Output();
    StartModules();
    EXPECT_TRUE(
        m_sim->WaitForLines(std::string("lease mac=") + kModuleMac, 1, std::chrono::seconds(20)))
        << m_sim->Describe();
    std::this_thread::sleep_for(std::chrono::seconds(2));  // ten more tries of the other module
    EXPECT_EQ(server->Stop(), 0);
    EXPECT_TRUE(m_sim->LinesStartingWith(std::string("lease mac=") + kOtherMac).empty())
        << m_sim->Describe();
    const std::string output = server->Output();
    EXPECT_NE(output.find(std::string("answering ") + kModuleMac + " only\n"), std::string::npos)
        << output;
    EXPECT_EQ(output.find(kOtherMac), std::string::npos) << output;
}

}  // namespace
}  // namespace ordvane::testing
