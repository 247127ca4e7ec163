// ReadHostInterfaces inside a network namespace of the test's own, whose interfaces are known
// and set up as a DHCP client sets them (addresses with their broadcast address): two links up
// on different subnets, one up without any IPv4 address, one with an address but down, and
// loopback. Needs root and iproute2.
#include "modlist/ModuleWarnings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "tests/support/TestNetwork.h"

namespace ordvane {
namespace {

using testing::TestNetwork;

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

// setns moves only the calling thread, so a thread of its own reads the namespace.
std::optional<std::vector<HostInterface>> ReadInNamespace(const std::string& name) {
    std::optional<std::vector<HostInterface>> interfaces;
    bool entered = false;
    std::thread reader([&] {
        entered = TestNetwork::EnterNamespace(name);
        if (entered) {
            interfaces = ReadHostInterfaces();
        }
    });
    reader.join();
    EXPECT_TRUE(entered) << "could not enter " << name;
    return interfaces;
}

TEST(HostInterfacesInNamespace, ListsTheAddressesOfLinksThatAreUpWithoutLoopback) {
    const std::string reason = TestNetwork::SkipReason();
    if (!reason.empty()) {
        GTEST_SKIP() << reason;
    }
    TestNetwork network;
    const std::string host = network.AddNamespace("host");
    const std::string peer = network.AddNamespace("peer");
    ASSERT_FALSE(host.empty());
    ASSERT_FALSE(peer.empty());
    const auto [first, firstPeer] = network.AddLink(host, peer);
    const auto [second, secondPeer] = network.AddLink(host, peer);
    const auto [bare, barePeer] = network.AddLink(host, peer);
    const auto [down, downPeer] = network.AddLink(host, peer);
    ASSERT_TRUE(network.AddAddress(host, first, "10.77.3.1/16"));
    ASSERT_TRUE(network.AddAddress(host, second, "192.168.40.2/24"));
    ASSERT_TRUE(network.AddAddress(host, down, "10.78.0.1/24"));
    ASSERT_TRUE(network.Ip(host, "link set " + down + " down"));

    const auto interfaces = ReadInNamespace(host);
    ASSERT_TRUE(interfaces.has_value());
    ASSERT_EQ(interfaces->size(), 2u) << "the address-less and the down link give no network";
    EXPECT_EQ(interfaces->at(0).name, first);
    EXPECT_EQ(interfaces->at(0).address, Ip(10, 77, 3, 1));
    EXPECT_EQ(interfaces->at(0).netmask, Ip(255, 255, 0, 0));
    EXPECT_EQ(interfaces->at(1).name, second);
    EXPECT_EQ(interfaces->at(1).address, Ip(192, 168, 40, 2));
    EXPECT_EQ(interfaces->at(1).netmask, Ip(255, 255, 255, 0));
}

}  // namespace
}  // namespace ordvane
