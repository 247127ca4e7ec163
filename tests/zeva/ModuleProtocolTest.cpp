// The wire format: what goes in comes out, and anything else is refused with its reason.
#include "zeva/ModuleProtocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace ordvane::zeva {
namespace {

template <typename Message>
std::vector<std::uint8_t> Encoded(const Message& message) {
    std::vector<std::uint8_t> datagram(kMaxDatagramSize);
    datagram.resize(Encode(message, datagram));
    return datagram;
}

ScanAnswer FullAnswer() {
    ScanAnswer answer;
    answer.scanId = 0xA1B2C3D4u;
    answer.hardwareAddress = {0x0A, 0x51, 0x4D, 1, 2, 3};
    ZEVA_ModuleScanResponseType& record = answer.record;
    record.serviceVersionMajor = 1;
    record.serviceVersionMinor = 10;
    std::strcpy(record.moduleType, "QM-300");
    record.moduleTypeValid = 1;
    record.fwMajor = 2;
    record.fwMinor = 3;
    record.fwBuild = 4567;
    record.fwVersionValid = 1;
    std::memcpy(record.macId, answer.hardwareAddress.data(), 6);
    record.macIdValid = 1;
    record.ipAddress = 0x0A000002u;
    record.ipAddressValid = 1;
    record.subnetMask = 0xFFFF0000u;
    record.subnetMaskValid = 1;
    record.gateway = 0x0A000001u;
    record.gatewayValid = 1;
    record.dhcp = 1;
    record.dhcpValid = 1;
    record.passwordSet = 1;
    record.passwordSetValid = 1;
    std::strcpy(record.hostname, "quillmor-00001");
    record.hostnameValid = 1;
    record.dns1 = 0x0A000035u;
    record.dns1Valid = 1;
    record.dns2 = 0x0A000036u;
    record.dns2Valid = 1;
    std::strcpy(record.challenge, "abcdefghijklmnopqrstuvwxyz01234567");
    record.hashedPasswords = 1;
    record.protocolRevision = kSealedPasswordRevision;
    return answer;
}

TEST(ModuleProtocol, ScanAnswerRoundTripKeepsEveryFieldAndFitsOneDatagram) {
    const ScanAnswer answer = FullAnswer();
    const auto datagram = Encoded(answer);
    ASSERT_GT(datagram.size(), kHeaderSize);
    EXPECT_LE(datagram.size(), kMaxDatagramSize);
    const auto decoded = DecodeLibraryBound(datagram);
    ASSERT_TRUE(decoded.message);
    const auto& back = std::get<ScanAnswer>(*decoded.message);
    EXPECT_EQ(back.scanId, answer.scanId);
    EXPECT_EQ(back.hardwareAddress, answer.hardwareAddress);
    EXPECT_EQ(std::memcmp(&back.record, &answer.record, sizeof answer.record), 0);
}

// The revision is the answer's last byte; a module of the first revision sends none.
TEST(ModuleProtocol, TheRevisionByteIsOptionalAndNeverZero) {
    ScanAnswer answer = FullAnswer();
    answer.record.protocolRevision = kFirstRevision;
    const std::vector<std::uint8_t> first = Encoded(answer);
    EXPECT_EQ(first.size() + 1, Encoded(FullAnswer()).size());
    struct Case {
        std::vector<std::uint8_t> trailing;
        int revision;  // -1: malformed
    };
    const Case cases[] = {{{}, 1}, {{2}, 2}, {{7}, 7}, {{0}, -1}, {{2, 0}, -1}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> datagram = first;
        datagram.insert(datagram.end(), c.trailing.begin(), c.trailing.end());
        const std::size_t body = datagram.size() - kHeaderSize;
        datagram[6] = static_cast<std::uint8_t>(body >> 8);
        datagram[7] = static_cast<std::uint8_t>(body);
        const auto decoded = DecodeLibraryBound(datagram);
        ASSERT_EQ(decoded.message.has_value(), c.revision > 0) << c.trailing.size();
        if (decoded.message) {
            EXPECT_EQ(std::get<ScanAnswer>(*decoded.message).record.protocolRevision, c.revision);
        }
    }
}

TEST(ModuleProtocol, UnreportedMacStaysOutOfTheRecordButStillIdentifiesTheSender) {
    ScanAnswer answer = FullAnswer();
    std::memset(answer.record.macId, 0, 6);
    answer.record.macIdValid = 0;
    const auto decoded = DecodeLibraryBound(Encoded(answer));
    ASSERT_TRUE(decoded.message);
    const auto& back = std::get<ScanAnswer>(*decoded.message);
    EXPECT_EQ(back.record.macIdValid, 0);
    EXPECT_EQ(back.record.macId[0], 0);
    EXPECT_EQ(back.hardwareAddress, answer.hardwareAddress);
}

// Builds an answer by hand whose type text is 255 characters long: more than the record holds.
TEST(ModuleProtocol, OverlongTextIsCutToTheFieldAndTerminated) {
    std::vector<std::uint8_t> datagram = Encoded(FullAnswer());
    // The type text starts after header (8), scan id (4), MAC (6), versions (2), presence (1).
    constexpr std::size_t kTypeLength = 8 + 4 + 6 + 2 + 1;
    const std::size_t oldLength = datagram[kTypeLength];
    datagram.erase(datagram.begin() + kTypeLength + 1,
                   datagram.begin() + static_cast<long>(kTypeLength + 1 + oldLength));
    datagram[kTypeLength] = 255;
    datagram.insert(datagram.begin() + kTypeLength + 1, 255, 'x');
    const std::size_t body = datagram.size() - kHeaderSize;
    datagram[6] = static_cast<std::uint8_t>(body >> 8);
    datagram[7] = static_cast<std::uint8_t>(body);
    const auto decoded = DecodeLibraryBound(datagram);
    ASSERT_TRUE(decoded.message);
    const auto& record = std::get<ScanAnswer>(*decoded.message).record;
    EXPECT_EQ(std::strlen(record.moduleType), sizeof record.moduleType - 1);
    EXPECT_EQ(record.moduleType[sizeof record.moduleType - 1], '\0');
    EXPECT_STREQ(record.hostname, "quillmor-00001");
}

TEST(ModuleProtocol, EveryCutOfAValidDatagramIsRefused) {
    const auto datagram = Encoded(FullAnswer());
    for (std::size_t size = 0; size < datagram.size(); ++size) {
        const auto decoded = DecodeLibraryBound(std::span(datagram.data(), size));
        EXPECT_FALSE(decoded.message) << size;
        EXPECT_EQ(decoded.error, DecodeError::kTruncated) << size;
    }
}

TEST(ModuleProtocol, RefusalsNameTheirReason) {
    auto datagram = Encoded(FullAnswer());
    auto reason = [](std::vector<std::uint8_t> bytes) {
        const auto decoded = DecodeLibraryBound(bytes);
        EXPECT_FALSE(decoded.message);
        return decoded.error;
    };
    auto foreign = datagram;
    foreign[0] = 'X';
    EXPECT_EQ(reason(foreign), DecodeError::kForeignMagic);
    auto version = datagram;
    version[4] = 2;
    EXPECT_EQ(reason(version), DecodeError::kWrongVersion);
    auto trailing = datagram;
    trailing.push_back(0);
    EXPECT_EQ(reason(trailing), DecodeError::kMalformed);
    auto presence = datagram;
    presence[8 + 4 + 6 + 2] = 2;  // moduleTypeValid must be 0 or 1
    EXPECT_EQ(reason(presence), DecodeError::kMalformed);
    std::vector<std::uint8_t> oversized(kMaxDatagramSize + 1, 0);
    std::copy(datagram.begin(), datagram.end(), oversized.begin());
    EXPECT_EQ(reason(oversized), DecodeError::kTooLarge);
    // A scan request is for modules, never for the library.
    EXPECT_EQ(reason(Encoded(ScanRequest{1})), DecodeError::kUnexpectedType);
    auto badType = Encoded(ScanRequest{1});
    badType[5] = 99;
    EXPECT_EQ(reason(badType), DecodeError::kUnexpectedType);
}

TEST(ModuleProtocol, ConfigureRoundTripWithAndWithoutNewPassword) {
    ConfigureRequest message;
    message.requestId = 42;
    ZEVA_ConfigureRequestType& request = message.request;
    request.macId[0] = 0x0A;
    request.macId[5] = 0x99;
    std::strcpy(request.password, "0123456789abcdef0123456789abcdef");
    request.changePassword = 1;
    std::strcpy(request.newPassword, "Xy0123456789abcdef0123456789abcdef");
    request.ipAddress = 1;
    request.subnetMask = 2;
    request.gateway = 3;
    request.dhcp = 1;
    std::strcpy(request.hostname, "renamed");
    request.dns1 = 4;
    request.dns2 = 5;
    auto decoded = DecodeModuleBound(Encoded(message));
    ASSERT_TRUE(decoded.message);
    const auto& back = std::get<ConfigureRequest>(*decoded.message);
    EXPECT_EQ(back.requestId, 42u);
    EXPECT_EQ(std::memcmp(&back.request, &request, sizeof request), 0);

    // Without a password change the new password never travels.
    message.request.changePassword = 0;
    decoded = DecodeModuleBound(Encoded(message));
    ASSERT_TRUE(decoded.message);
    EXPECT_STREQ(std::get<ConfigureRequest>(*decoded.message).request.newPassword, "");
}

TEST(ModuleProtocol, ShortMessagesRoundTrip) {
    const MacAddress mac = {0x0A, 0x51, 0x4D, 9, 8, 7};
    auto scan = DecodeModuleBound(Encoded(ScanRequest{7}));
    ASSERT_TRUE(scan.message);
    EXPECT_EQ(std::get<ScanRequest>(*scan.message).scanId, 7u);
    auto acknowledge = DecodeModuleBound(Encoded(ScanAcknowledge{8, mac}));
    ASSERT_TRUE(acknowledge.message);
    EXPECT_EQ(std::get<ScanAcknowledge>(*acknowledge.message).hardwareAddress, mac);
    auto wink = DecodeModuleBound(Encoded(WinkRequest{9, mac}));
    ASSERT_TRUE(wink.message);
    EXPECT_EQ(std::get<WinkRequest>(*wink.message).target, mac);
    auto answer = DecodeLibraryBound(Encoded(
        CommandAnswer{10, mac, MessageType::kConfigureRequest, CommandResult::kWrongPassword}));
    ASSERT_TRUE(answer.message);
    EXPECT_EQ(std::get<CommandAnswer>(*answer.message).result, CommandResult::kWrongPassword);

    auto badResult = Encoded(CommandAnswer{10, mac, MessageType::kWinkRequest});
    badResult.back() = 7;
    EXPECT_FALSE(DecodeLibraryBound(badResult).message);
}

TEST(ModuleProtocol, EncodingIntoTooSmallABufferWritesNothingUsable) {
    std::array<std::uint8_t, 20> small{};
    EXPECT_EQ(Encode(FullAnswer(), small), 0u);
    EXPECT_EQ(Encode(ScanRequest{1}, std::span(small.data(), 11)), 0u);
    EXPECT_EQ(Encode(ScanRequest{1}, small), 12u);
}

}  // namespace
}  // namespace ordvane::zeva

namespace ordvane::zeva {
namespace {

std::vector<std::uint8_t> ReadSeed(const std::string& path) {
    std::ifstream in(std::string(ORDVANE_SOURCE_DIR) + "/fuzz/" + path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The seeds are written from the documented layout by a script of their own, so they check
// that the code and docs/module-protocol.md describe the same bytes.
TEST(ModuleProtocol, DatagramsWrittenFromTheDocumentDecode) {
    for (const char* name : {"scan-answer-full", "scan-answer-absent", "configure-accepted",
                             "configure-wrong-password", "wink-answer"}) {
        const auto seed = ReadSeed(std::string("zeva/corpus/zeva_library_datagram/") + name);
        ASSERT_FALSE(seed.empty()) << name;
        EXPECT_TRUE(DecodeLibraryBound(seed).message) << name;
    }
    for (const char* name :
         {"scan-request", "scan-acknowledge", "configure", "configure-new-password", "wink"}) {
        const auto seed = ReadSeed(std::string("sim/corpus/sim_module_datagram/") + name);
        ASSERT_FALSE(seed.empty()) << name;
        EXPECT_TRUE(DecodeModuleBound(seed).message) << name;
    }
    const auto full = ReadSeed("zeva/corpus/zeva_library_datagram/scan-answer-full");
    const auto decoded = DecodeLibraryBound(full);
    ASSERT_TRUE(decoded.message);
    const auto& record = std::get<ScanAnswer>(*decoded.message).record;
    EXPECT_STREQ(record.hostname, "quillmor-00001");
    EXPECT_EQ(record.fwBuild, 321);
    EXPECT_EQ(record.dns2, 0x0A000036u);
    EXPECT_EQ(record.hashedPasswords, 1);
}

}  // namespace
}  // namespace ordvane::zeva
