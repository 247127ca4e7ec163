// The arrival-interface socket helpers and the poll wait over real loopback sockets.

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ArrivalDatagram.h"
#include "platform/WaitReadable.h"

namespace ordvane {
namespace {

constexpr std::uint32_t kLoopback = 0x7F000001u;

// A non-blocking loopback socket on a free port that reports arrival interfaces.
struct LoopbackSocket {
    LoopbackSocket() {
        descriptor = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        EXPECT_TRUE(AskArrivalInterface(descriptor));
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(kLoopback);
        EXPECT_EQ(bind(descriptor, reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
        socklen_t length = sizeof local;
        EXPECT_EQ(getsockname(descriptor, reinterpret_cast<sockaddr*>(&local), &length), 0);
        port = ntohs(local.sin_port);
    }
    ~LoopbackSocket() { close(descriptor); }
    int descriptor = -1;
    std::uint16_t port = 0;
};

bool WaitForDatagram(int descriptor) {
    std::array<pollfd, 1> watched{pollfd{descriptor, POLLIN, 0}};
    return WaitReadable(watched, 2000) && (watched[0].revents & POLLIN) != 0;
}

TEST(ArrivalDatagram, ReportsInterfaceDestinationAndSourceOfWhatLeftByANamedInterface) {
    LoopbackSocket sender;
    LoopbackSocket receiver;
    const int loopbackIndex = static_cast<int>(if_nametoindex("lo"));
    ASSERT_GT(loopbackIndex, 0);
    const std::array<std::uint8_t, 3> datagram = {1, 2, 3};
    ASSERT_TRUE(SendOutOf(sender.descriptor, datagram,
                          {kLoopback, receiver.port, loopbackIndex, kLoopback}));
    ASSERT_TRUE(WaitForDatagram(receiver.descriptor));

    std::array<std::uint8_t, 2> small{};  // one byte short: the datagram is cut and says so
    DatagramArrival arrival;
    ASSERT_TRUE(ReceiveWithArrival(receiver.descriptor, small, arrival));
    EXPECT_TRUE(arrival.truncated);
    EXPECT_EQ(arrival.sourceAddress, kLoopback);
    EXPECT_EQ(arrival.sourcePort, sender.port);
    EXPECT_TRUE(arrival.interfaceKnown);
    EXPECT_EQ(arrival.interfaceIndex, loopbackIndex);
    EXPECT_EQ(arrival.destination, kLoopback);
    EXPECT_EQ(arrival.localAddress, kLoopback);

    EXPECT_FALSE(ReceiveWithArrival(receiver.descriptor, small, arrival)) << "queue is empty";
    EXPECT_FALSE(SendOutOf(sender.descriptor, {}, {kLoopback, receiver.port, 0, 0}));
    EXPECT_FALSE(AllowBroadcast(-1));
    EXPECT_EQ(errno, EBADF);
}

// poll fails with EINVAL when asked to watch more descriptors than the process may open: the
// wait must say so and leave no stale readiness behind.
TEST(WaitReadable, AFailingPollClearsReadinessAndReportsTheError) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit lowered = saved;
    lowered.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::vector<pollfd> watched(17, pollfd{-1, POLLIN, POLLIN});
    const bool waited = WaitReadable(watched, 50);
    const int error = errno;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_FALSE(waited);
    EXPECT_EQ(error, EINVAL);
    for (const pollfd& entry : watched) {
        EXPECT_EQ(entry.revents, 0);
    }
}

}  // namespace
}  // namespace ordvane
