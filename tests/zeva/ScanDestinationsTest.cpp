#include "zeva/ScanDestinations.h"

#include <gtest/gtest.h>

namespace ordvane::zeva {
namespace {

TEST(ScanDestinations, TargetListTakesAddressesWithOptionalPortsAndSkipsTheRest) {
    const auto targets = ParseTargetList(
        " 127.0.0.1, 10.1.2.255:4000,bogus,1.2.3.4:0,1.2.3.4:70000,5.6.7.8:12x,,9.9.9.9:", 47470);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], (Endpoint{0x7F000001u, 47470}));
    EXPECT_EQ(targets[1], (Endpoint{0x0A0102FFu, 4000}));
    EXPECT_TRUE(ParseTargetList("", 1).empty());
}

TEST(ScanDestinations, InterfaceSelection) {
    EXPECT_TRUE(InterfaceSelected(nullptr, "eth0"));
    EXPECT_TRUE(InterfaceSelected("", "eth0"));
    EXPECT_FALSE(InterfaceSelected("none", "eth0"));
    EXPECT_TRUE(InterfaceSelected("eth1, eth0", "eth0"));
    EXPECT_FALSE(InterfaceSelected("eth01", "eth0"));
}

TEST(ScanDestinations, NoneMeansOnlyTheExtraTargets) {
    setenv("ZEVA_INTERFACES", "none", 1);
    setenv("ZEVA_TARGETS", "127.0.0.1:5000", 1);
    const auto destinations = CollectScanDestinations(47470);
    ASSERT_EQ(destinations.size(), 1u);
    EXPECT_EQ(destinations[0].endpoint, (Endpoint{0x7F000001u, 5000}));
    EXPECT_EQ(destinations[0].interfaceIndex, 0);
}

TEST(ScanDestinations, ListedInterfacesThatGetNoScanAreNamedWithTheReason) {
    setenv("ZEVA_INTERFACES", "lo,ovz-no-such-link", 1);
    const ScanInterfaces interfaces = CollectScanInterfaces();
    EXPECT_TRUE(interfaces.scanned.empty());
    ASSERT_EQ(interfaces.skipped.size(), 2u);
    EXPECT_EQ(interfaces.skipped[0].name, "lo");
    EXPECT_EQ(interfaces.skipped[0].reason, SkippedInterfaceReason::kLoopback);
    EXPECT_EQ(interfaces.skipped[1].name, "ovz-no-such-link");
    EXPECT_EQ(interfaces.skipped[1].reason, SkippedInterfaceReason::kMissing);
}

}  // namespace
}  // namespace ordvane::zeva
