// The bytes of configure and wink requests at their offsets, for plain and hashed modules. The
// hashed values are checked against a reference MD5 computed independently of ours.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "config/ConfigureRequestBuilder.h"
#include "tests/support/Md5Reference.h"

namespace {

using ordvane::ConfigureDialogOutput;
using ordvane::testing::ReferenceMd5Hex;

std::array<std::uint8_t, 416> BytesOf(const ZEVA_ConfigureRequestType& request) {
    std::array<std::uint8_t, 416> bytes{};
    std::memcpy(bytes.data(), &request, bytes.size());
    return bytes;
}

std::uint32_t U32At(const std::array<std::uint8_t, 416>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

// A text field: the expected text, then NUL bytes up to and including its last byte.
void ExpectTextField(const std::array<std::uint8_t, 416>& bytes, std::size_t offset,
                     std::size_t width, std::string_view text) {
    ASSERT_LT(text.size(), width);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(bytes.data() + offset), text.size()),
              text)
        << "field at " << offset;
    for (std::size_t i = offset + text.size(); i < offset + width; ++i) {
        EXPECT_EQ(bytes[i], 0) << "padding byte " << i;
    }
}

ordvane::ModuleRecord ModuleWithMac() {
    ordvane::ModuleRecord module;
    module.mac = ordvane::MacAddress(0x00, 0x1B, 0x7C, 0x12, 0x34, 0xAB);
    module.challenge = "Xy0123456789abcdefghij";
    return module;
}

ConfigureDialogOutput TypicalValues() {
    ConfigureDialogOutput values;
    values.ipAddress = 0xC0A80164;  // 192.168.1.100
    values.subnetMask = 0xFFFFFF00;
    values.gateway = 0xC0A80101;
    values.primaryDns = 0x08080808;
    values.secondaryDns = 0x01010101;
    values.dhcpChoice = 1;
    values.password = "old secret";
    values.newPassword = "new secret";
    values.changePassword = 1;
    values.hostname = "gateway7";
    return values;
}

TEST(ConfigureRequest, PlainModuleCarriesEveryFieldAtItsOffset) {
    ordvane::ModuleRecord module = ModuleWithMac();
    module.hashedPasswords = false;
    ZEVA_ConfigureRequestType request;
    std::memset(&request, 0xEE, sizeof request);  // stale bytes must not survive
    ASSERT_TRUE(ordvane::BuildConfigureRequest(module, TypicalValues(), request));
    const auto bytes = BytesOf(request);

    const std::uint8_t mac[6] = {0x00, 0x1B, 0x7C, 0x12, 0x34, 0xAB};
    EXPECT_EQ(std::memcmp(bytes.data(), mac, 6), 0);
    ExpectTextField(bytes, 6, 128, "old secret");
    EXPECT_EQ(bytes[134], 1);
    ExpectTextField(bytes, 135, 128, "new secret");
    EXPECT_EQ(bytes[263], 0);  // alignment gap
    EXPECT_EQ(U32At(bytes, 264), 0xC0A80164u);
    EXPECT_EQ(U32At(bytes, 268), 0xFFFFFF00u);
    EXPECT_EQ(U32At(bytes, 272), 0xC0A80101u);
    EXPECT_EQ(bytes[276], 0);  // "Off"
    ExpectTextField(bytes, 277, 128, "gateway7");
    EXPECT_EQ(bytes[405], 0);
    EXPECT_EQ(bytes[406], 0);
    EXPECT_EQ(bytes[407], 0);
    EXPECT_EQ(U32At(bytes, 408), 0x08080808u);
    EXPECT_EQ(U32At(bytes, 412), 0x01010101u);
}

// The limit counts characters; their UTF-8 bytes travel, never a character cut in half.
TEST(ConfigureRequest, PlainModuleCutsTextsToTheDialogLimit) {
    const auto repeated = [](const std::string& character, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += character;
        }
        return text;
    };
    for (const std::string character : {"p", "\u00e9", "\U0001F511"}) {
        SCOPED_TRACE(character);
        ordvane::ModuleRecord module = ModuleWithMac();
        ConfigureDialogOutput values = TypicalValues();
        values.password = repeated(character, 40);
        values.newPassword = repeated(character, 200);
        values.hostname = repeated(character, 128);
        values.dhcpChoice = 0;
        ZEVA_ConfigureRequestType request;
        ASSERT_TRUE(ordvane::BuildConfigureRequest(module, values, request));
        const auto bytes = BytesOf(request);
        ExpectTextField(bytes, 6, 128, repeated(character, 29));
        ExpectTextField(bytes, 135, 128, repeated(character, 29));
        ExpectTextField(bytes, 277, 128, repeated(character, 29));
        EXPECT_EQ(bytes[276], 1);  // "On"
    }
}

TEST(ConfigureRequest, UncheckedChangePasswordSendsNoNewPassword) {
    for (std::uint8_t hashed : {0, 1}) {
        ordvane::ModuleRecord module = ModuleWithMac();
        module.hashedPasswords = hashed == 1;
        ConfigureDialogOutput values = TypicalValues();
        values.changePassword = 0;
        ZEVA_ConfigureRequestType request;
        ASSERT_TRUE(ordvane::BuildConfigureRequest(module, values, request));
        const auto bytes = BytesOf(request);
        EXPECT_EQ(bytes[134], 0);
        ExpectTextField(bytes, 135, 128, "");
    }
}

TEST(ConfigureRequest, EmptyHostnameAndUnknownAddressesGoOutAsZero) {
    ordvane::ModuleRecord module = ModuleWithMac();
    ConfigureDialogOutput values;  // what a dialog with nothing known hands back
    values.password = "";
    ZEVA_ConfigureRequestType request;
    ASSERT_TRUE(ordvane::BuildConfigureRequest(module, values, request));
    const auto bytes = BytesOf(request);
    for (std::size_t offset : {264u, 268u, 272u, 408u, 412u}) {
        EXPECT_EQ(U32At(bytes, offset), 0u) << offset;
    }
    ExpectTextField(bytes, 6, 128, "");
    ExpectTextField(bytes, 277, 128, "");
}

TEST(ConfigureRequest, HashedModuleGetsTheChallengeResponse) {
    ordvane::ModuleRecord module = ModuleWithMac();
    module.hashedPasswords = true;
    const std::string challenge = "Xy0123456789abcdefghij";
    for (const std::string password : {"old secret", ""}) {
        ConfigureDialogOutput values = TypicalValues();
        values.password = password;
        values.changePassword = 0;
        ZEVA_ConfigureRequestType request;
        ASSERT_TRUE(ordvane::BuildConfigureRequest(module, values, request));

        const std::string first = ReferenceMd5Hex("Xy" + password);
        const std::string expected = ReferenceMd5Hex("Xy" + first + challenge);
        ExpectTextField(BytesOf(request), 6, 128, expected);
        EXPECT_EQ(expected.size(), 32u);
    }
}

TEST(ConfigureRequest, ChallengeWithoutTerminatorStaysInsideItsField) {
    ZEVA_ModuleScanResponseType answer{};
    answer.hashedPasswords = 1;
    std::memset(answer.challenge, 'c', sizeof answer.challenge);  // no NUL at all
    ordvane::ModuleRecord module = ordvane::ToModuleRecord(answer);
    module.mac = ModuleWithMac().mac;
    ConfigureDialogOutput values = TypicalValues();
    values.changePassword = 0;
    ZEVA_ConfigureRequestType request;
    ASSERT_TRUE(ordvane::BuildConfigureRequest(module, values, request));
    const std::string challenge(35, 'c');
    const std::string first = ReferenceMd5Hex("cc" + values.password);
    ExpectTextField(BytesOf(request), 6, 128, ReferenceMd5Hex("cc" + first + challenge));
}

TEST(ConfigureRequest, HashedNewPasswordIsSaltPlusDigestWithAFreshSalt) {
    ordvane::ModuleRecord module = ModuleWithMac();
    module.hashedPasswords = true;
    const ConfigureDialogOutput values = TypicalValues();
    std::set<std::string> seen;
    for (int attempt = 0; attempt < 3; ++attempt) {
        ZEVA_ConfigureRequestType request;
        ASSERT_TRUE(ordvane::BuildConfigureRequest(module, values, request));
        const auto bytes = BytesOf(request);
        EXPECT_EQ(bytes[134], 1);
        const std::string newPassword(reinterpret_cast<const char*>(bytes.data() + 135));
        ASSERT_EQ(newPassword.size(), 34u);
        const std::string salt = newPassword.substr(0, 2);
        for (char c : salt) {
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << salt;
        }
        EXPECT_EQ(newPassword.substr(2), ReferenceMd5Hex(salt + "new secret"));
        ExpectTextField(bytes, 135, 128, newPassword);
        seen.insert(newPassword);
    }
    // Two fresh salts collide with probability 1/3844; three configures giving one value means
    // the salt is not drawn afresh.
    EXPECT_GE(seen.size(), 2u);
}

TEST(ConfigureRequest, GivenSaltIsUsedOnlyForHashedModules) {
    ordvane::ModuleRecord module = ModuleWithMac();
    module.hashedPasswords = true;
    ZEVA_ConfigureRequestType request;
    ordvane::BuildConfigureRequestWithSalt(module, TypicalValues(), {'Q', '7'}, request);
    ExpectTextField(BytesOf(request), 135, 128, "Q7" + ReferenceMd5Hex("Q7new secret"));

    ZEVA_ModuleScanResponseType answer{};
    answer.hashedPasswords = 2;  // anything but 1 means plain text
    module.hashedPasswords = ordvane::ToModuleRecord(answer).hashedPasswords;
    ordvane::BuildConfigureRequestWithSalt(module, TypicalValues(), {'Q', '7'}, request);
    ExpectTextField(BytesOf(request), 6, 128, "old secret");
    ExpectTextField(BytesOf(request), 135, 128, "new secret");
}

TEST(WinkRequest, CarriesOnlyTheMac) {
    ZEVA_ConfigureRequestType request;
    std::memset(&request, 0xEE, sizeof request);
    ordvane::BuildWinkRequest({1, 2, 3, 4, 5, 6}, request);
    const auto bytes = BytesOf(request);
    const std::uint8_t mac[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(std::memcmp(bytes.data(), mac, 6), 0);
    for (std::size_t i = 6; i < bytes.size(); ++i) {
        ASSERT_EQ(bytes[i], 0) << i;
    }
}

TEST(WinkRequest, NeedsServiceVersionOnePointTen) {
    EXPECT_FALSE(ordvane::IsWinkSupported(1, 9));
    EXPECT_TRUE(ordvane::IsWinkSupported(1, 10));
    EXPECT_TRUE(ordvane::IsWinkSupported(1, 255));
    EXPECT_TRUE(ordvane::IsWinkSupported(2, 0));
    EXPECT_FALSE(ordvane::IsWinkSupported(0, 99));
}

}  // namespace
