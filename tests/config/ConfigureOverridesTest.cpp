// The command line's values over a module's pre-fill, and the dotted addresses it reads.
#include <gtest/gtest.h>

#include "config/ConfigureOverrides.h"

namespace {

using ordvane::ConfigureDialogInput;
using ordvane::ConfigureOverrides;

ConfigureDialogInput PartlyKnownModule() {
    ConfigureDialogInput prefill;
    prefill.ipAddress = 0x0A000005;
    prefill.ipAddressKnown = 1;
    prefill.gateway = 0x0A000001;  // stale value behind an unknown flag
    prefill.gatewayKnown = 0;
    prefill.hostname = "plant3";
    prefill.hostnameKnown = 1;
    prefill.dhcpChoice = 0;
    return prefill;
}

TEST(ConfigureOverrides, NothingGivenSendsWhatTheModuleReportedAndZeroForTheRest) {
    const auto output = ordvane::ApplyConfigureOverrides(PartlyKnownModule(), {});
    EXPECT_EQ(output.ipAddress, 0x0A000005u);
    EXPECT_EQ(output.gateway, 0u);
    EXPECT_EQ(output.subnetMask, 0u);
    EXPECT_EQ(output.hostname, "plant3");
    EXPECT_EQ(output.dhcpChoice, 0);
    EXPECT_EQ(output.password, "");
    EXPECT_EQ(output.changePassword, 0);
}

TEST(ConfigureOverrides, GivenValuesWinAndANewPasswordTurnsTheChangeOn) {
    ConfigureOverrides overrides;
    overrides.ipAddress = 0xC0A80002;
    overrides.gateway = 0xC0A80001;
    overrides.hostname = "";
    overrides.dhcpChoice = 1;
    overrides.password = "old";
    overrides.newPassword = "new";
    const auto output = ordvane::ApplyConfigureOverrides(PartlyKnownModule(), overrides);
    EXPECT_EQ(output.ipAddress, 0xC0A80002u);
    EXPECT_EQ(output.gateway, 0xC0A80001u);
    EXPECT_EQ(output.hostname, "");
    EXPECT_EQ(output.dhcpChoice, 1);
    EXPECT_EQ(output.password, "old");
    EXPECT_EQ(output.newPassword, "new");
    EXPECT_EQ(output.changePassword, 1);
}

TEST(ParseDottedIpv4, ReadsFourOctetsFirstOctetHighest) {
    EXPECT_EQ(ordvane::ParseDottedIpv4("192.168.1.10"), 0xC0A8010Au);
    EXPECT_EQ(ordvane::ParseDottedIpv4("0.0.0.0"), 0u);
    EXPECT_EQ(ordvane::ParseDottedIpv4("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(ordvane::ParseDottedIpv4("010.001.000.009"), 0x0A010009u);
}

TEST(ParseDottedIpv4, RefusesAnythingElse) {
    for (const char* text :
         {"", "1.2.3", "1.2.3.4.5", "1.2.3.256", "1.2.3.4 ", " 1.2.3.4", "1..2.3", "-1.2.3.4",
          "+1.2.3.4", "1.2.3.0004", "a.b.c.d", "99999999999.1.1.1", "1.2.3.4x"}) {
        EXPECT_FALSE(ordvane::ParseDottedIpv4(text).has_value()) << text;
    }
}

}  // namespace
