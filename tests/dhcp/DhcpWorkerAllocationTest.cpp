// The worker must allocate nothing per datagram: this executable counts every operator new
// while a running worker answers a stream of requests.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "dhcp/CDhcpServer.h"
#include "dhcp/CRecoveryDhcpServer.h"
#include "tests/dhcp/DhcpTestPackets.h"
#include "tests/support/NetworkNamespaces.h"

namespace {

using ordvane::CDhcpServer;
using ordvane::CRecoveryDhcpServer;

std::atomic<std::size_t> allocationCount{0};

void* CountedAllocation(std::size_t size, std::size_t alignment) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    void* memory = nullptr;
    if (alignment <= alignof(std::max_align_t)) {
        memory = std::malloc(size == 0 ? 1 : size);
    } else if (posix_memalign(&memory, alignment, size == 0 ? 1 : size) != 0) {
        memory = nullptr;
    }
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

void* operator new(std::size_t size) {
    return CountedAllocation(size, 0);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return CountedAllocation(size, static_cast<std::size_t>(alignment));
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}

namespace {

// One request to the server over loopback and its broadcast reply; false when none came.
bool Exchange(int descriptor, const dhcptest::Bytes& request, std::uint8_t* reply,
              std::size_t replyCapacity, int timeoutMilliseconds = 2000) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(CDhcpServer::kServerPort);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (sendto(descriptor, request.data(), request.size(), 0,
               reinterpret_cast<const sockaddr*>(&server), sizeof server) < 0) {
        return false;
    }
    pollfd waiting{descriptor, POLLIN, 0};
    return poll(&waiting, 1, timeoutMilliseconds) == 1 &&
           recv(descriptor, reply, replyCapacity, 0) == 300;
}

class DhcpWorkerAllocation : public ::testing::TestWithParam<bool> {};

TEST_P(DhcpWorkerAllocation, AnsweringAllocatesNothing) {
    const std::string reason = ordvane::testing::NamespaceSkipReason(false);
    if (!reason.empty()) {
        GTEST_SKIP() << reason;
    }
    ASSERT_TRUE(ordvane::testing::EnterFreshNamespace());
    std::size_t tracedBytes = 0;  // a sink that allocates nothing itself; outlives the worker
    CRecoveryDhcpServer serverSwitch;
    if (GetParam()) {
        serverSwitch.Server().SetTraceSink(
            [&tracedBytes](std::string_view text) { tracedBytes += text.size(); });
    }
    // Judging a MAC against the list of modules to answer allocates nothing either.
    serverSwitch.Server().SetAnsweredMacs({dhcptest::kForeignMac, dhcptest::kOuiMac2A});
    const std::array<std::uint8_t, 4> wrong = {10, 200, 1, 7};
    const dhcptest::Bytes requests[] = {
        dhcptest::Discover(dhcptest::kOuiMac2A),
        dhcptest::ClientMessage(dhcptest::kOuiMac2A, dhcptest::kRequest),
        dhcptest::ClientMessage(dhcptest::kOuiMac2A, dhcptest::kRequest, &wrong),
    };
    const dhcptest::Bytes foreign = dhcptest::Discover(dhcptest::kForeignMac);
    const int client = ordvane::testing::OpenBroadcastUdpSocket(CDhcpServer::kClientPort);
    ASSERT_GE(client, 0);
    const ordvane::Status on = serverSwitch.SwitchOn();
    ASSERT_TRUE(on) << on.Reason();
    std::uint8_t reply[2048];
    ASSERT_TRUE(Exchange(client, requests[0], reply, sizeof reply));  // warm up

    // Nothing in this stretch allocates except what the worker might.
    allocationCount.store(0);
    int answered = 0;
    for (int round = 0; round < 12; ++round) {
        answered += Exchange(client, requests[round % 3], reply, sizeof reply) ? 1 : 0;
    }
    const bool foreignAnswered = Exchange(client, foreign, reply, sizeof reply, 200);
    const std::size_t allocations = allocationCount.load();

    serverSwitch.SwitchOff();
    close(client);
    EXPECT_EQ(answered, 12);
    EXPECT_FALSE(foreignAnswered);
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(tracedBytes > 0, GetParam());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutTraceSink, DhcpWorkerAllocation, ::testing::Bool());

}  // namespace
