// The server on real sockets and the real ports 67 and 68, in a namespace of its own joined by
// a veth pair to a client namespace. Neither has a default route, so every reply must leave by
// the interface its request came in on.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "dhcp/CDhcpServer.h"
#include "dhcp/CRecoveryDhcpServer.h"
#include "tests/dhcp/DhcpTestPackets.h"
#include "tests/support/NetworkNamespaces.h"

namespace {

using ordvane::CDhcpServer;
using ordvane::CRecoveryDhcpServer;

using dhcptest::Bytes;
using ordvane::testing::PeerNamespace;

struct ReceivedReply {
    Bytes bytes;
    std::string source;       // dotted sender address
    std::string destination;  // dotted address the datagram was sent to
};

std::size_t CountEntries(const char* directory) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory)) {
        ++count;
    }
    return count;
}

std::string Dotted(in_addr address) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

bool SendToServer(int descriptor, const Bytes& datagram) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(CDhcpServer::kServerPort);
    inet_pton(AF_INET, PeerNamespace::kServerAddress, &server.sin_addr);
    return sendto(descriptor, datagram.data(), datagram.size(), 0,
                  reinterpret_cast<const sockaddr*>(&server),
                  sizeof server) == static_cast<ssize_t>(datagram.size());
}

std::optional<ReceivedReply> ReceiveReply(int descriptor, int timeoutMilliseconds) {
    pollfd waiting{descriptor, POLLIN, 0};
    if (poll(&waiting, 1, timeoutMilliseconds) != 1) {
        return std::nullopt;
    }
    ReceivedReply reply;
    reply.bytes.resize(2048);
    sockaddr_in sender{};
    iovec data{reply.bytes.data(), reply.bytes.size()};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof sender;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t received = recvmsg(descriptor, &message, 0);
    if (received < 0) {
        return std::nullopt;
    }
    reply.bytes.resize(static_cast<std::size_t>(received));
    reply.source = Dotted(sender.sin_addr);
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            reply.destination = Dotted(info.ipi_addr);
        }
    }
    return reply;
}

class DhcpServerNetns : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string reason = ordvane::testing::NamespaceSkipReason(true);
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
        ASSERT_TRUE(ordvane::testing::EnterFreshNamespace());
    }

    void TearDown() override {
        if (m_clientSocket >= 0) {
            close(m_clientSocket);
        }
    }

    void CreateLink(const std::string& peerMac) { ASSERT_TRUE(m_peer.Create(peerMac)); }

    // A plain UDP client on port 68 in the peer namespace, hearing the server's broadcasts.
    void OpenClientSocket() {
        ASSERT_TRUE(m_peer.GivePeerAddress());
        m_clientSocket = m_peer.OpenUdpSocketInPeer(CDhcpServer::kClientPort);
        ASSERT_GE(m_clientSocket, 0);
        const int one = 1;
        ASSERT_EQ(setsockopt(m_clientSocket, IPPROTO_IP, IP_PKTINFO, &one, sizeof one), 0);
    }

    struct UdhcpcRun {
        int exitStatus = -1;
        std::string output;
        std::string trace;
    };

    // busybox udhcpc with the given MAC against the switched-on server, and what both said.
    UdhcpcRun RunUdhcpcAgainstServer(const std::string& peerMac) {
        UdhcpcRun run;
        if (!m_peer.Create(peerMac)) {
            ADD_FAILURE() << "could not create the client namespace";
            return run;
        }
        m_owner.Server().SetTraceSink([&run](std::string_view text) { run.trace += text; });
        CRecoveryDhcpServer& serverSwitch = m_owner;
        if (const ordvane::Status on = serverSwitch.SwitchOn(); !on) {
            ADD_FAILURE() << on.Reason();
            return run;
        }
        run.output = RunUdhcpc(&run.exitStatus);
        serverSwitch.SwitchOff();  // the worker has ended: the trace is ours to read
        return run;
    }

    std::string RunUdhcpc(int* exitStatus) {
        const std::string script = (std::filesystem::temp_directory_path() /
                                    ("ordvane-udhcpc-" + std::to_string(getpid()) + ".sh"))
                                       .string();
        {
            std::ofstream out(script);
            out << "#!/bin/sh\n"
                << "[ \"$1\" = bound ] && echo \"lease ip=$ip subnet=$subnet\"\n"
                << "exit 0\n";
        }
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        const std::string output =
            m_peer.CaptureInPeer("/usr/bin/busybox udhcpc -f -q -n -t 3 -T 1 -i " +
                                     m_peer.PeerInterface() + " -s " + script,
                                 exitStatus);
        std::filesystem::remove(script);
        return output;
    }

    PeerNamespace m_peer;
    CRecoveryDhcpServer m_owner;
    int m_clientSocket = -1;
};

TEST_F(DhcpServerNetns, UdhcpcWithAForeignMacGetsNothing) {
    const UdhcpcRun run = RunUdhcpcAgainstServer("02:00:5e:10:20:2a");
    EXPECT_NE(run.exitStatus, 0) << run.output;
    EXPECT_EQ(run.output.find("lease ip="), std::string::npos) << run.output;
    EXPECT_NE(run.trace.find("non-supported MAC (02:00:5e:10:20:2a)"), std::string::npos)
        << run.trace;
}

TEST_F(DhcpServerNetns, QueuedDatagramsAreAnsweredOnePerPollByBroadcastOutOfTheLink) {
    CreateLink("0a:51:4d:00:00:01");
    OpenClientSocket();
    CDhcpServer& server = m_owner.Server();
    const ordvane::Status started = server.Start();
    ASSERT_TRUE(started) << started.Reason();

    ASSERT_TRUE(SendToServer(m_clientSocket, Bytes{}));  // an empty datagram must not jam
    for (std::uint8_t last = 1; last <= 3; ++last) {
        dhcptest::Mac mac = dhcptest::kOuiMac2A;
        mac[5] = last;
        ASSERT_TRUE(SendToServer(m_clientSocket, dhcptest::Discover(mac)));  // relayed, unicast
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(server.ServiceOnce(), 0);  // the empty datagram, dropped
    for (std::uint8_t last = 1; last <= 3; ++last) {
        EXPECT_EQ(server.ServiceOnce(), 1) << "poll " << +last;
        const auto reply = ReceiveReply(m_clientSocket, 1000);
        ASSERT_TRUE(reply.has_value());
        EXPECT_EQ(reply->bytes.size(), 300u);
        EXPECT_EQ(reply->bytes[19], last);  // yiaddr 10.200.1.<last>, in arrival order
        EXPECT_EQ(reply->destination, "255.255.255.255");
        EXPECT_EQ(reply->source, PeerNamespace::kServerAddress);
    }
    EXPECT_EQ(server.ServiceOnce(), 0);  // queue empty
    server.Stop();
}

TEST_F(DhcpServerNetns, StartFailsAndReleasesItsSocketWhilePort67IsTaken) {
    const int holder = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(CDhcpServer::kServerPort);
    ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    CDhcpServer& server = m_owner.Server();
    const std::size_t descriptorsBefore = CountEntries("/proc/self/fd");
    const ordvane::Status started = server.Start();
    EXPECT_FALSE(started);
    EXPECT_FALSE(server.IsOpen());
    EXPECT_EQ(CountEntries("/proc/self/fd"), descriptorsBefore);
    EXPECT_EQ(started.Reason(), "bind to UDP port 67: Address already in use");
    EXPECT_EQ(server.ServiceOnce(), 0);

    // A failed start leaves the server off, so switching on again retries at once.
    {
        CRecoveryDhcpServer recovery;
        EXPECT_FALSE(recovery.SwitchOn());
        EXPECT_FALSE(recovery.IsEnabled());
        close(holder);
        const ordvane::Status on = recovery.SwitchOn();
        EXPECT_TRUE(on);
        EXPECT_TRUE(recovery.Server().IsOpen());
        EXPECT_TRUE(on.Reason().empty());
    }
    EXPECT_TRUE(server.Start()) << "destroying the switch switches its server off: port 67 is free";
    server.Stop();
}

TEST_F(DhcpServerNetns, NothingIsAnsweredAfterSwitchingOff) {
    CreateLink("0a:51:4d:00:00:2a");
    OpenClientSocket();
    CRecoveryDhcpServer& serverSwitch = m_owner;
    const ordvane::Status on = serverSwitch.SwitchOn();
    ASSERT_TRUE(on) << on.Reason();
    ASSERT_TRUE(SendToServer(m_clientSocket, dhcptest::Discover(dhcptest::kOuiMac2A)));
    ASSERT_TRUE(ReceiveReply(m_clientSocket, 2000).has_value()) << "answered while on";

    serverSwitch.SwitchOff();
    EXPECT_FALSE(m_owner.Server().IsOpen());
    ASSERT_TRUE(SendToServer(m_clientSocket, dhcptest::Discover(dhcptest::kOuiMac2A)));
    EXPECT_FALSE(ReceiveReply(m_clientSocket, 300).has_value());
}

// A thread that pthread_join has already waited for can stay listed in /proc/self/task for a
// moment while the kernel releases it. A count above the limit is therefore read again for a
// little while: an exiting thread disappears, a second running worker does not.
std::size_t SettledThreadCount(std::size_t limit) {
    std::size_t count = CountEntries("/proc/self/task");
    for (int attempt = 0; attempt < 100 && count > limit; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        count = CountEntries("/proc/self/task");
    }
    return count;
}

TEST_F(DhcpServerNetns, SwitchingOnAndOffLeavesOneWorkerAndNoSocket) {
    CRecoveryDhcpServer& serverSwitch = m_owner;
    // One round first: a sanitizer runtime starts a helper thread of its own with the first
    // thread the program starts, which must not count as a worker.
    const ordvane::Status first = serverSwitch.SwitchOn();
    ASSERT_TRUE(first) << first.Reason();
    serverSwitch.SwitchOff();
    const std::size_t threadsBefore = CountEntries("/proc/self/task");
    const std::size_t descriptorsBefore = CountEntries("/proc/self/fd");
    std::size_t mostThreads = 0;
    for (int round = 0; round < 1000; ++round) {
        const ordvane::Status on = serverSwitch.SwitchOn();
        ASSERT_TRUE(on) << on.Reason();
        ASSERT_TRUE(serverSwitch.SetEnabled(true));  // a second OK changes nothing
        mostThreads = std::max(mostThreads, SettledThreadCount(threadsBefore + 1));
        serverSwitch.SwitchOff();
        ASSERT_TRUE(serverSwitch.SetEnabled(false));
    }
    EXPECT_LE(mostThreads, threadsBefore + 1);
    EXPECT_EQ(SettledThreadCount(threadsBefore), threadsBefore);
    EXPECT_EQ(CountEntries("/proc/self/fd"), descriptorsBefore);
    EXPECT_FALSE(m_owner.Server().IsOpen());
}

}  // namespace
