// Recovering a module stuck in DHCP mode, end to end on a real link: this test's own network
// namespace (the host running ordvane-cli, 10.200.1.1/24) joined by a veth pair to a peer
// namespace where quillmor-sim plays one module in DHCP mode without an address. Neither side
// has a default route. Needs root and iproute2; skipped otherwise.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/NetworkNamespaces.h"
#include "tests/support/SimProcess.h"

extern char** environ;

namespace ordvane::testing {
namespace {

constexpr const char* kModuleMac = "0A-51-4D-00-00-2A";

// ordvane-cli recovery-server running in the background with its output in a file.
class RecoveryServerProcess {
public:
    explicit RecoveryServerProcess(const std::string& outputPath) : m_outputPath(outputPath) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        const char* arguments[] = {ORDVANE_CLI_PATH, "recovery-server", nullptr};
        if (posix_spawn(&m_pid, ORDVANE_CLI_PATH, &actions, nullptr,
                        const_cast<char* const*>(arguments), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RecoveryServerProcess() {
        Stop();
        std::remove(m_outputPath.c_str());
    }

    bool Started() const { return m_pid > 0; }

    // Stops the server with SIGTERM; its exit status, or -1 when it did not end normally.
    int Stop() {
        if (m_pid <= 0) {
            return m_status;
        }
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_status;
    }

    std::string Output() const {
        std::ifstream file(m_outputPath);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    std::string m_outputPath;
    pid_t m_pid = -1;
    int m_status = -1;
};

class RecoveryEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string reason = ordvane::testing::NamespaceSkipReason(false);
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
        ASSERT_TRUE(ordvane::testing::EnterFreshNamespace());
        ASSERT_TRUE(m_link.Create("0a:51:4d:00:00:2a"));
    }

    void TearDown() override {
        if (!m_fleet.empty()) {
            std::remove(m_fleet.c_str());
        }
    }

    // One module in DHCP mode without an address.
    void WriteFleet() {
        m_fleet = ::testing::TempDir() + "recovery-fleet-" + std::to_string(getpid()) + ".csv";
        std::ofstream(m_fleet) << "mac,dhcp,hostname\n" << kModuleMac << ",1,lost\n";
    }

    // Runs ordvane-cli in this test's namespace, scanning through the veth only.
    std::string RunCli(const std::string& arguments, int& status) const {
        return ordvane::testing::CaptureCommand(
            "env -u ZEVA_TARGETS ZEVA_INTERFACES=" + m_link.LocalInterface() + " " +
                ORDVANE_CLI_PATH + " " + arguments + " </dev/null",
            &status);
    }

    ordvane::testing::PeerNamespace m_link;
    std::string m_fleet;
};

// Broadcasts on a real card are not ours to send: without --dhcp-client the module stays
// silent on the DHCP ports.
TEST_F(RecoveryEndToEnd, WithoutTheClientOptionNoDhcpMessageLeaves) {
    WriteFleet();
    const int serverPort = ordvane::testing::OpenBroadcastUdpSocket(67);
    ASSERT_GE(serverPort, 0);
    SimProcess sim({"--fleet", m_fleet, "--address", "0.0.0.0", "--port", "47470"},
                   {"ip", "netns", "exec", m_link.Name()});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    pollfd watched{serverPort, POLLIN, 0};
    EXPECT_EQ(poll(&watched, 1, 1500), 0) << "a DHCP message arrived";
    close(serverPort);
    EXPECT_TRUE(sim.LinesStartingWith("lease ").empty()) << sim.Describe();
}

TEST_F(RecoveryEndToEnd, ModuleInDhcpModeGetsLeaseIsFoundAndConfiguredBackToStatic) {
    WriteFleet();
    // The module asks before any server listens: it must keep asking until one answers.
    SimProcess sim({"--fleet", m_fleet, "--address", "0.0.0.0", "--port", "47470", "--dhcp-client",
                    m_link.PeerInterface()},
                   {"ip", "netns", "exec", m_link.Name()});
    ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RecoveryServerProcess server(::testing::TempDir() + "recovery-server-" +
                                 std::to_string(getpid()));
    ASSERT_TRUE(server.Started());
    ASSERT_TRUE(sim.WaitForLines(
        std::string("lease mac=") + kModuleMac + " ip=10.200.1.42 mask=255.255.255.0", 1,
        std::chrono::seconds(20)))
        << sim.Describe() << "\nserver:\n"
        << server.Output();

    // A second server cannot have the port; it says why and fails.
    int status = 0;
    const std::string refused = RunCli("recovery-server --seconds 1", status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(refused.find("DHCP server init failed: "), std::string::npos) << refused;

    // The module's own IP stack would now put the leased address on its interface; the
    // emulator plays the module but does not own the link, so the test does that part.
    ASSERT_TRUE(ordvane::testing::RunCommand(
        "ip -n " + m_link.Name() + " addr add 10.200.1.42/24 brd + dev " + m_link.PeerInterface()));
    std::string scan = RunCli("scan --seconds 2", status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(scan.find(std::string(kModuleMac) + " 10.200.1.42"), std::string::npos) << scan;

    const std::string configured = RunCli(std::string("configure ") + kModuleMac +
                                              " --ip 10.200.1.50 --mask 255.255.255.0 --dhcp off",
                                          status);
    EXPECT_EQ(status, 0) << configured;
    EXPECT_TRUE(sim.WaitForLines(std::string("configure mac=") + kModuleMac +
                                     " ip=10.200.1.50 mask=255.255.255.0 gateway=0.0.0.0 dhcp=off",
                                 1))
        << sim.Describe();
    scan = RunCli("scan --seconds 2", status);
    EXPECT_NE(scan.find(std::string(kModuleMac) + " 10.200.1.50"), std::string::npos) << scan;

    EXPECT_EQ(server.Stop(), 0);  // SIGTERM ends the server normally
    // One line once listening, then one per reply.
    const std::string output = server.Output();
    const std::string link = " on " + m_link.LocalInterface() + "\n";
    EXPECT_EQ(output.rfind("Listening on UDP port 67 on " + m_link.LocalInterface() +
                               "; answering MAC addresses 0A-51-4D-xx-xx-xx\n",
                           0),
              0u)
        << output;
    EXPECT_NE(output.find("DHCPOFFER 10.200.1.42 to 0A-51-4D-00-00-2A" + link), std::string::npos)
        << output;
    EXPECT_NE(output.find("DHCPACK 10.200.1.42 to 0A-51-4D-00-00-2A" + link), std::string::npos)
        << output;
}

}  // namespace
}  // namespace ordvane::testing
