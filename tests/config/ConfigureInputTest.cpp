// Reading a MAC text, and the dialog's pre-fill from a module's record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/ConfigureDialogValues.h"
#include "config/ConfigureValidation.h"
#include "platform/AddressText.h"

namespace {

using ordvane::MacAddress;

TEST(MacAddressText, ReadsTheTableFormatAndKeepsTheLowByteOfEachNumber) {
    MacAddress mac{};
    ASSERT_TRUE(ordvane::ParseMacAddressText("00-1B-7C-12-34-AB", mac));
    EXPECT_EQ(mac, (MacAddress{0x00, 0x1B, 0x7C, 0x12, 0x34, 0xAB}));
    ASSERT_TRUE(ordvane::ParseMacAddressText("a-b-c-d-e-f", mac));
    EXPECT_EQ(mac, (MacAddress{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}));
    ASSERT_TRUE(ordvane::ParseMacAddressText("123-0x1ff-FFFFFFFFFF-1-2-3", mac));
    EXPECT_EQ(mac, (MacAddress{0x23, 0xFF, 0xFF, 0x01, 0x02, 0x03}));
    ASSERT_TRUE(ordvane::ParseMacAddressText(" -1-2-3-4-5-6 trailing", mac));
    EXPECT_EQ(mac, (MacAddress{0xFF, 0x02, 0x03, 0x04, 0x05, 0x06}));
}

TEST(MacAddressText, RefusesTextWithFewerThanSixNumbers) {
    MacAddress mac{};
    EXPECT_FALSE(ordvane::ParseMacAddressText("", mac));
    EXPECT_FALSE(ordvane::ParseMacAddressText("00-1B-7C-12-34", mac));
    EXPECT_FALSE(ordvane::ParseMacAddressText("00-1B-7C-12-34-", mac));
    EXPECT_FALSE(ordvane::ParseMacAddressText("00:1B:7C:12:34:AB", mac));
    EXPECT_FALSE(ordvane::ParseMacAddressText("N/A", mac));
    // The view ends in the middle of a longer text: nothing past it is read.
    const char text[] = "00-1B-7C-12-34-AB";
    EXPECT_FALSE(ordvane::ParseMacAddressText(std::string_view(text, 15), mac));
}

TEST(ConfigurePrefill, TakesOnlyReportedValues) {
    ZEVA_ModuleScanResponseType module{};
    module.ipAddress = 0x0A000005;
    module.ipAddressValid = 1;
    module.subnetMask = 0xFFFF0000;
    module.subnetMaskValid = 2;  // any nonzero presence byte counts as reported
    module.gateway = 0x0A000001;
    module.gatewayValid = 0;
    module.dns1 = 0x08080808;
    module.dns1Valid = 1;
    module.dns2 = 0x01010101;
    module.dns2Valid = 0;
    const ordvane::ConfigureDialogInput input =
        ordvane::PrefillFromModule(ordvane::ToModuleRecord(module));
    EXPECT_EQ(input.ipAddressKnown, 1);
    EXPECT_EQ(input.ipAddress, 0x0A000005u);
    EXPECT_EQ(input.subnetMaskKnown, 1);
    EXPECT_EQ(input.gatewayKnown, 0);
    EXPECT_EQ(input.primaryDnsKnown, 1);
    EXPECT_EQ(input.primaryDns, 0x08080808u);
    EXPECT_EQ(input.secondaryDnsKnown, 0);
    EXPECT_EQ(input.hostnameKnown, 0);
    EXPECT_EQ(input.hostname, "");
}

TEST(ConfigurePrefill, CutsTheHostnameTo29CharactersEvenWithoutTerminator) {
    ZEVA_ModuleScanResponseType module{};
    module.hostnameValid = 1;
    std::memset(module.hostname, 'h', sizeof module.hostname);  // no NUL in the field
    EXPECT_EQ(ordvane::PrefillFromModule(ordvane::ToModuleRecord(module)).hostname,
              std::string(29, 'h'));
    std::strcpy(module.hostname, "short");
    EXPECT_EQ(ordvane::PrefillFromModule(ordvane::ToModuleRecord(module)).hostname, "short");
    // 40 two-byte characters: the first 29 whole ones.
    std::string wide;
    for (int i = 0; i < 40; ++i) {
        wide += "\u00e9";
    }
    std::strcpy(module.hostname, wide.c_str());
    EXPECT_EQ(ordvane::PrefillFromModule(ordvane::ToModuleRecord(module)).hostname,
              wide.substr(0, 58));
    EXPECT_EQ(ordvane::PrefillFromModule(ordvane::ToModuleRecord(module)).hostnameKnown, 1);
}

TEST(ConfigurePrefill, DhcpOnAndPasswordOnlyWhenReportedAndSet) {
    struct Case {
        std::uint8_t value, valid;
        int expectedDhcpChoice, expectedPasswordEnabled;
    };
    for (const Case& c : {Case{1, 1, 0, 1}, Case{0, 1, 1, 0}, Case{1, 0, 1, 0}, Case{2, 3, 1, 1}}) {
        ZEVA_ModuleScanResponseType module{};
        module.dhcp = c.value;
        module.dhcpValid = c.valid;
        module.passwordSet = c.value;
        module.passwordSetValid = c.valid;
        const ordvane::ConfigureDialogInput input =
            ordvane::PrefillFromModule(ordvane::ToModuleRecord(module));
        EXPECT_EQ(input.dhcpChoice, c.expectedDhcpChoice) << int(c.value) << int(c.valid);
        EXPECT_EQ(input.passwordEnabled, c.expectedPasswordEnabled);
    }
}

TEST(ConfigureValidation, RefusesHostnameCharactersBeforeTheLastOctet255) {
    EXPECT_EQ(ordvane::FirstConfigureRefusal("", 0), nullptr);
    EXPECT_EQ(ordvane::FirstConfigureRefusal("Gateway42", 0x0A0000FE), nullptr);
    EXPECT_EQ(ordvane::FirstConfigureRefusal("gw", 0x0A000000), nullptr);
    for (const char* hostname : {"gate way", "gate-way", "gate.way", "gate_way", "caf\xC3\xA9"}) {
        EXPECT_STREQ(ordvane::FirstConfigureRefusal(hostname, 0x0A000001),
                     ordvane::kIllegalHostnameMessage)
            << hostname;
        // Both faults: only the hostname is reported.
        EXPECT_STREQ(ordvane::FirstConfigureRefusal(hostname, 0x0A0000FF),
                     ordvane::kIllegalHostnameMessage);
    }
    EXPECT_STREQ(ordvane::FirstConfigureRefusal("gw", 0x0A0000FF), ordvane::kLastOctet255Message);
    EXPECT_STREQ(ordvane::FirstConfigureRefusal("gw", 0xFFFFFFFF), ordvane::kLastOctet255Message);
    EXPECT_EQ(ordvane::FirstConfigureRefusal("gw", 0xFF000000), nullptr);
}

TEST(ConfigureValidation, TheReportedHostnameSentBackUnchangedIsNotChecked) {
    struct Case {
        const char* hostname;
        const char* reported;
        bool refused;
    };
    for (const Case& c : {Case{"quillmor-00007", "quillmor-00007", false},
                          Case{"quillmor-00008", "quillmor-00007", true},
                          Case{"line one", "", true}, Case{"", "", false}}) {
        EXPECT_EQ(ordvane::FirstConfigureRefusal(c.hostname, 0x0A000001, c.reported) != nullptr,
                  c.refused)
            << c.hostname;
    }
}

}  // namespace
