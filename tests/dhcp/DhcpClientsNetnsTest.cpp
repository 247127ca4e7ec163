// The recovery server on real links: Debian's DHCP clients with their default configuration,
// a plant's own DHCP server (dnsmasq) on the same bridged link, and a link flooded with traffic
// the server does not answer. The server runs in this test's namespace; every client runs in a
// namespace of its own, with its pid, lease and hook files in a temporary folder, its hook
// replaced by one that only reports the lease, and is stopped with everything it started.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "dhcp/CDhcpServer.h"
#include "dhcp/CRecoveryDhcpServer.h"
#include "tests/dhcp/DhcpTestPackets.h"
#include "tests/support/NetworkNamespaces.h"

namespace {

using ordvane::CDhcpServer;
using ordvane::CRecoveryDhcpServer;

using dhcptest::Bytes;
using ordvane::testing::PeerNamespace;
using ordvane::testing::TemporaryFolder;

// Runs a client in the background until its hook reports a lease or 30 s pass, then stops its
// whole process group; prints the client's log, then the lease lines.
constexpr const char* kRunClient = R"(#!/bin/sh
dir=$(dirname "$0")
setsid "$@" >"$dir/client.log" 2>&1 &
client=$!
tries=0
while [ $tries -lt 300 ] && [ ! -s "$dir/leases" ]; do sleep 0.1; tries=$((tries + 1)); done
kill -TERM -$client 2>/dev/null
tries=0
while [ $tries -lt 20 ] && kill -0 -$client 2>/dev/null; do sleep 0.1; tries=$((tries + 1)); done
kill -KILL -$client 2>/dev/null
wait $client 2>/dev/null
cat "$dir/client.log"
cat "$dir/leases" 2>/dev/null
)";

// The hook every client runs instead of its own: it changes nothing (no address, no
// resolv.conf) and writes the lease in one line. udhcpc names the event in $1 and the values
// plainly; dhclient and dhcpcd name it in $reason and the values with a new_ prefix.
std::string HookScript(const std::string& folder) {
    return "#!/bin/sh\n"
           "case \"$1$reason\" in bound|BOUND) ;; *) exit 0 ;; esac\n"
           "echo \"lease ip=${ip:-$new_ip_address} mask=${subnet:-$new_subnet_mask}"
           " seconds=${lease:-$new_dhcp_lease_time}"
           " server=${serverid:-$new_dhcp_server_identifier}\" >>" +
           folder + "/leases\n";
}

struct DhcpClient {
    const char* name;
    const char* program;
    // The command line in the client's namespace, given the folder and the interface.
    std::string (*command)(const std::string& folder, const std::string& interface);
};

const DhcpClient kUdhcpc = {
    "busybox udhcpc", "/usr/bin/busybox", [](const std::string& folder, const std::string& link) {
        return "/usr/bin/busybox udhcpc -f -q -n -t 5 -T 1 -i " + link + " -s " + folder + "/hook";
    }};

const DhcpClient kDhclient = {
    "ISC dhclient", "/usr/sbin/dhclient", [](const std::string& folder, const std::string& link) {
        return "/usr/sbin/dhclient -4 -d -1 -v -pf " + folder + "/dhclient.pid -lf " + folder +
               "/dhclient.leases -sf " + folder + "/hook " + link;
    }};

// dhcpcd keeps its run and lease files in /run/dhcpcd and /var/lib/dhcpcd: both are covered
// by empty file systems in the client's private mount namespace (ip netns exec gives one).
const DhcpClient kDhcpcd = {
    "dhcpcd", "/usr/sbin/dhcpcd", [](const std::string& folder, const std::string& link) {
        return "sh -c 'mount -t tmpfs tmpfs /run && mount -t tmpfs tmpfs /var/lib/dhcpcd && "
               "exec /usr/sbin/dhcpcd -4 -B -1 -t 20 -c " +
               folder + "/hook " + link + "'";
    }};

// Runs the client in the namespace and returns what it and its hook said.
std::string RunClient(const DhcpClient& client, const std::string& namespaceName,
                      const std::string& interface, TemporaryFolder& folder,
                      const std::string& extraArguments = "") {
    const std::string runner = folder.Write("run-client", kRunClient, true);
    folder.Write("hook", HookScript(folder.Path()), true);
    std::remove((folder.Path() + "/leases").c_str());
    int status = 0;
    return ordvane::testing::CaptureCommand("ip netns exec " + namespaceName + " " + runner + " " +
                                                client.command(folder.Path(), interface) +
                                                extraArguments,
                                            &status);
}

std::string MissingPrograms(std::initializer_list<const char*> programs) {
    std::string missing;
    for (const char* program : programs) {
        if (access(program, X_OK) != 0) {
            missing += std::string(missing.empty() ? "" : ", ") + program;
        }
    }
    return missing;
}

// What the server sent, in order, as "OFFER 10.200.1.42 0a:51:4d:00:00:2a" lines.
class ReplyLog {
public:
    void Record(const CDhcpServer::ReplyReport& reply) {
        const char* type = reply.messageType == 2   ? "OFFER"
                           : reply.messageType == 5 ? "ACK"
                                                    : "NAK";
        char line[96];
        std::snprintf(line, sizeof line, "%s %u.%u.%u.%u %02x:%02x:%02x:%02x:%02x:%02x\n", type,
                      reply.address[0], reply.address[1], reply.address[2], reply.address[3],
                      reply.mac[0], reply.mac[1], reply.mac[2], reply.mac[3], reply.mac[4],
                      reply.mac[5]);
        std::lock_guard lock(m_mutex);
        m_text += line;
    }
    std::string Text() {
        std::lock_guard lock(m_mutex);
        return m_text;
    }

private:
    std::mutex m_mutex;
    std::string m_text;
};

class DhcpOnRealLinks : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string reason = ordvane::testing::NamespaceSkipReason(false);
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
        ASSERT_TRUE(ordvane::testing::EnterFreshNamespace());
        ASSERT_FALSE(m_folder.Path().empty());
        m_server.Server().SetReplySink(
            [this](const CDhcpServer::ReplyReport& reply) { m_replies.Record(reply); });
        m_server.Server().SetTraceSink([this](std::string_view text) {
            std::lock_guard lock(m_traceMutex);
            m_trace += text;
        });
    }

    // The worker reports into this fixture's members: it ends before they go away.
    void TearDown() override { m_server.SwitchOff(); }

    void SwitchOn() {
        const ordvane::Status on = m_server.SwitchOn();
        ASSERT_TRUE(on) << on.Reason();
    }

    std::string Trace() {
        std::lock_guard lock(m_traceMutex);
        return m_trace;
    }

    TemporaryFolder m_folder;
    ReplyLog m_replies;
    std::mutex m_traceMutex;
    std::string m_trace;
    CRecoveryDhcpServer m_server;
};

// The server's card on the module's link: with the plant's address, or with none at all (the
// server then names itself 10.200.1.1).
struct ServerCard {
    const char* name;
    const char* address;  // "A/N", or empty
    const char* serverIdentifier;
};

class DebianClients : public DhcpOnRealLinks,
                      public ::testing::WithParamInterface<std::tuple<DhcpClient, ServerCard>> {};

TEST_P(DebianClients, TakeTheRecoveryLeaseWithTheirDefaultConfiguration) {
    const auto& [client, card] = GetParam();
    const std::string missing = MissingPrograms({client.program});
    if (!missing.empty()) {
        GTEST_SKIP() << "needs " << missing << " (tools/install-deps installs it)";
    }
    PeerNamespace peer;
    ASSERT_TRUE(peer.Create("0a:51:4d:00:00:2a"));
    const std::string local = peer.LocalInterface();
    ASSERT_TRUE(ordvane::testing::RunCommand("ip addr flush dev " + local));
    if (*card.address != 0) {
        ASSERT_TRUE(ordvane::testing::RunCommand("ip addr add " + std::string(card.address) +
                                                 " brd + dev " + local));
    }
    SwitchOn();
    const std::string output = RunClient(client, peer.Name(), peer.PeerInterface(), m_folder);
    m_server.SwitchOff();
    EXPECT_NE(output.find("lease ip=10.200.1.42 mask=255.255.255.0 seconds=3600 server=" +
                          std::string(card.serverIdentifier) + "\n"),
              std::string::npos)
        << client.name << ", server card " << card.name << ":\n"
        << output;
    EXPECT_NE(m_replies.Text().find("ACK 10.200.1.42 0a:51:4d:00:00:2a"), std::string::npos)
        << m_replies.Text();
}

INSTANTIATE_TEST_SUITE_P(
    Clients, DebianClients,
    ::testing::Combine(::testing::Values(kUdhcpc, kDhclient, kDhcpcd),
                       ::testing::Values(ServerCard{"PlantAddress", "192.168.7.1/24",
                                                    "192.168.7.1"},
                                         ServerCard{"NoAddress", "", "10.200.1.1"})),
    [](const ::testing::TestParamInfo<std::tuple<DhcpClient, ServerCard>>& run) {
        const std::string client = std::get<0>(run.param).name;
        return client.substr(client.rfind(' ') + 1) + "_" + std::get<1>(run.param).name;
    });

// dnsmasq serves the plant's 192.168.50.0/24 on the link that this host (192.168.50.5) shares.
// One module takes dnsmasq's offer: our server must not fight the REQUEST that names dnsmasq.
// dnsmasq is told to ignore a second module, which our server then recovers.
TEST_F(DhcpOnRealLinks, BesideDnsmasqOnOneLink) {
    const std::string missing =
        MissingPrograms({"/usr/sbin/dnsmasq", "/usr/sbin/dhclient", "/usr/bin/busybox"});
    if (!missing.empty()) {
        GTEST_SKIP() << "needs " << missing << " (tools/install-deps installs them)";
    }
    ordvane::testing::BridgedLink link;
    ASSERT_TRUE(link.Create("192.168.50.5/24"));
    const int plantServer = link.AddMember("02:00:00:00:00:01", "192.168.50.1/24");
    const int keptModule = link.AddMember("0a:51:4d:00:00:2a", "");
    const int lostModule = link.AddMember("0a:51:4d:00:00:2b", "");
    ASSERT_GE(plantServer, 0);
    ASSERT_GE(keptModule, 0);
    ASSERT_GE(lostModule, 0);

    const std::string folder = m_folder.Path();
    ordvane::testing::BackgroundProcess dnsmasq(
        ordvane::testing::PlantDhcpServerCommand(link, plantServer, folder,
                                                 {"--dhcp-host=0a:51:4d:00:00:2b,ignore"}),
        folder + "/dnsmasq.log");
    ASSERT_TRUE(dnsmasq.Started());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    SwitchOn();

    // Whichever offer comes first, a module may take the plant's; dhclient is told to pass
    // over ours, so that it does every time. Its REQUEST then names dnsmasq.
    std::ifstream defaults("/etc/dhcp/dhclient.conf");
    std::stringstream configuration;
    configuration << defaults.rdbuf() << "\nreject 192.168.50.5;\n";
    const std::string configurationPath =
        m_folder.Write("dhclient-plant.conf", configuration.str());
    TemporaryFolder keptFolder;
    const std::string kept =
        RunClient(kDhclient, link.MemberNamespace(keptModule), link.MemberInterface(keptModule),
                  keptFolder, " -cf " + configurationPath);
    EXPECT_NE(kept.find("server=192.168.50.1\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("lease ip=192.168.50.1"), std::string::npos) << kept;

    TemporaryFolder lostFolder;
    const std::string recovered = RunClient(kUdhcpc, link.MemberNamespace(lostModule),
                                            link.MemberInterface(lostModule), lostFolder);
    m_server.SwitchOff();
    dnsmasq.Stop();

    EXPECT_NE(recovered.find("lease ip=10.200.1.43 mask=255.255.255.0 seconds=3600 "
                             "server=192.168.50.5\n"),
              std::string::npos)
        << recovered << "\ndnsmasq:\n"
        << dnsmasq.Output();
    const std::string replies = m_replies.Text();
    EXPECT_EQ(replies.find("NAK"), std::string::npos) << replies;
    EXPECT_EQ(replies.find("ACK 10.200.1.42"), std::string::npos) << replies;
    EXPECT_NE(Trace().find("DHCP_REQUEST for server 192.168.50.1, not answered"), std::string::npos)
        << Trace();
}

// Sends one datagram to the server's port from the flooding host.
void SendTo(int descriptor, const Bytes& datagram) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(CDhcpServer::kServerPort);
    inet_pton(AF_INET, PeerNamespace::kServerAddress, &server.sin_addr);
    sendto(descriptor, datagram.data(), datagram.size(), 0,
           reinterpret_cast<const sockaddr*>(&server), sizeof server);
}

// Datagrams the server answers with nothing: another vendor's client, a release, a REQUEST for
// another server, a cut-short message and random bytes.
std::vector<Bytes> UnansweredTraffic() {
    Bytes forOtherServer = dhcptest::FixedPart(dhcptest::kOuiMac2A);
    dhcptest::AppendMagicCookie(forOtherServer);
    dhcptest::Append(forOtherServer, {53, 1, 3, 54, 4, 10, 200, 1, 254, 255});
    Bytes cut = dhcptest::Discover(dhcptest::kOuiMac2A);
    cut.resize(120);
    Bytes noise(548);
    for (std::size_t index = 0; index < noise.size(); ++index) {
        noise[index] = static_cast<std::uint8_t>(index * 131 + 7);
    }
    return {dhcptest::Discover(dhcptest::kForeignMac),
            dhcptest::ClientMessage(dhcptest::kOuiMac2A, 7), forOtherServer, cut, noise};
}

// True when a reply with this transaction id arrives within the timeout.
bool AwaitReplyTo(int descriptor, std::uint8_t transaction, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::uint8_t reply[2048];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        pollfd waiting{descriptor, POLLIN, 0};
        if (left <= 0 || poll(&waiting, 1, static_cast<int>(left)) != 1) {
            return false;
        }
        const ssize_t received = recv(descriptor, reply, sizeof reply, 0);
        if (received >= 8 && reply[7] == transaction) {
            return true;
        }
    }
}

// The rate of unanswered traffic the server must keep up with, also under the sanitizers: far
// more than a cell network's own DHCP traffic to port 67. It is sent in bursts of 100 every
// 5 ms, on a fixed schedule, so the figure does not depend on how fast this machine can send.
// How much the server drops when flooded as fast as the sender can is a benchmark's figure
// (bench/dhcp), not a test's: that measures a race between two processes.
constexpr int kFloodDatagramsPerSecond = 20'000;
constexpr int kFloodBurst = 100;

// A module's DHCP client as lwIP's and udhcpc's behave: a DISCOVER, then the same again each
// second until an offer comes or its budget of tries is spent.
constexpr int kClientTries = 4;
constexpr auto kClientRetryInterval = std::chrono::seconds(1);

bool ModuleGetsAnOffer(int module, std::uint8_t transaction) {
    Bytes discover = dhcptest::Discover(dhcptest::kOuiMac2A);
    discover[7] = transaction;  // the transaction id's last byte
    for (int attempt = 0; attempt < kClientTries; ++attempt) {
        SendTo(module, discover);
        if (AwaitReplyTo(module, transaction, kClientRetryInterval)) {
            return true;
        }
    }
    return false;
}

TEST_F(DhcpOnRealLinks, AModuleAskingOnceASecondIsAnsweredThroughAFlood) {
    PeerNamespace peer;
    ASSERT_TRUE(peer.Create("0a:51:4d:00:00:2a"));
    ASSERT_TRUE(peer.GivePeerAddress());
    const int module = peer.OpenUdpSocketInPeer(CDhcpServer::kClientPort);
    const int flooder = peer.OpenUdpSocketInPeer(0);
    ASSERT_GE(module, 0);
    ASSERT_GE(flooder, 0);
    m_server.Server().SetTraceSink(nullptr);  // a line per flooded datagram is no use here
    SwitchOn();

    std::atomic<bool> flooding{true};
    std::atomic<std::uint64_t> floodCount{0};
    std::thread flood([&] {
        const std::vector<Bytes> traffic = UnansweredTraffic();
        const auto burstInterval =
            std::chrono::microseconds(1'000'000 * kFloodBurst / kFloodDatagramsPerSecond);
        auto nextBurst = std::chrono::steady_clock::now();
        std::uint64_t sent = 0;
        while (flooding.load(std::memory_order_relaxed)) {
            for (int index = 0; index < kFloodBurst; ++index, ++sent) {
                SendTo(flooder, traffic[sent % traffic.size()]);
            }
            nextBurst += burstInterval;
            std::this_thread::sleep_until(nextBurst);
        }
        floodCount.store(sent);
    });

    constexpr int kModuleStarts = 10;
    int leased = 0;
    for (std::uint8_t start = 1; start <= kModuleStarts; ++start) {
        const auto started = std::chrono::steady_clock::now();
        leased += ModuleGetsAnOffer(module, start) ? 1 : 0;
        std::this_thread::sleep_until(started + kClientRetryInterval);
    }
    flooding.store(false);
    flood.join();
    m_server.SwitchOff();
    close(module);
    close(flooder);
    EXPECT_EQ(leased, kModuleStarts) << floodCount.load() << " datagrams flooded";
    RecordProperty("flooded_datagrams", std::to_string(floodCount.load()));
}

}  // namespace
