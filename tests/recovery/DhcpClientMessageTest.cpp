// The emulated modules' DHCP messages: what the client writes, what it accepts from a server,
// and a round trip through the recovery server's own reply rules.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "dhcp/DhcpReplyRules.h"
#include "sim/DhcpClientMessage.h"

namespace ordvane::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr MacAddress kModuleMac = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x2A};
constexpr std::uint32_t kLeasedAddress = 0x0AC8012Au;  // 10.200.1.42

// The recovery server's reply, answering from no interface address.
std::optional<DhcpReply> ReplyTo(const Bytes& datagram) {
    const std::optional<CDhcpPacket> request = CDhcpPacket::Decode(datagram);
    if (!request) {
        return std::nullopt;
    }
    return DhcpReplyPolicy().ReplyTo(*request, DhcpReplyPolicy::kServerIdWithoutAddress);
}

Bytes Encode(const DhcpClientRequest& request) {
    Bytes buffer(kDhcpRequestSize + 8, 0xEE);
    buffer.resize(EncodeDhcpClientRequest(request, buffer));
    return buffer;
}

// A server answer with the given options after the cookie.
Bytes Answer(std::uint8_t op, std::initializer_list<std::uint8_t> options) {
    // Sized once and filled in place: growing the vector here trips a false -Warray-bounds of
    // GCC 12 at -O3.
    Bytes bytes(236 + 4 + options.size(), 0);
    bytes[0] = op;
    bytes[1] = 1;                                                         // Ethernet
    bytes[2] = 6;                                                         // hardware address length
    bytes[4] = 0x12, bytes[5] = 0x34, bytes[6] = 0x56, bytes[7] = 0x78;   // xid
    bytes[16] = 10, bytes[17] = 200, bytes[18] = 1, bytes[19] = 42;       // yiaddr
    std::copy(kModuleMac.begin(), kModuleMac.end(), bytes.begin() + 28);  // chaddr
    bytes[236] = 99, bytes[237] = 130, bytes[238] = 83, bytes[239] = 99;  // magic cookie
    std::copy(options.begin(), options.end(), bytes.begin() + 240);
    return bytes;
}

TEST(DhcpClientMessage, DiscoverIsABroadcastBootRequestWithTheModulesMac) {
    DhcpClientRequest discover;
    discover.transactionId = 0xA1B2C3D4u;
    discover.mac = kModuleMac;
    const Bytes bytes = Encode(discover);
    ASSERT_EQ(bytes.size(), 300u);
    EXPECT_EQ(bytes[0], 1);  // op: request
    EXPECT_EQ(bytes[1], 1);  // htype: Ethernet
    EXPECT_EQ(bytes[2], 6);  // hlen
    EXPECT_EQ((Bytes{bytes.begin() + 4, bytes.begin() + 8}), (Bytes{0xA1, 0xB2, 0xC3, 0xD4}));
    EXPECT_EQ(bytes[10], 0x80);  // flags: broadcast, the module has no address yet
    EXPECT_EQ((Bytes{bytes.begin() + 12, bytes.begin() + 28}), Bytes(16, 0));  // no addresses
    EXPECT_EQ((Bytes{bytes.begin() + 28, bytes.begin() + 34}),
              (Bytes{kModuleMac.begin(), kModuleMac.end()}));
    EXPECT_EQ((Bytes{bytes.begin() + 236, bytes.begin() + 244}),
              (Bytes{99, 130, 83, 99, 53, 1, 1, 255}));                  // cookie, DISCOVER, end
    EXPECT_EQ((Bytes{bytes.begin() + 244, bytes.end()}), Bytes(56, 0));  // padding

    std::array<std::uint8_t, kDhcpRequestSize - 1> tooSmall{};
    EXPECT_EQ(EncodeDhcpClientRequest(discover, tooSmall), 0u);
}

TEST(DhcpClientMessage, RequestNamesTheOfferedAddressAndTheServer) {
    DhcpClientRequest request;
    request.type = DhcpMessageType::kRequest;
    request.mac = kModuleMac;
    request.requestedAddress = kLeasedAddress;
    request.serverIdentifier = 0x0AC80101u;
    const Bytes bytes = Encode(request);
    EXPECT_EQ((Bytes{bytes.begin() + 240, bytes.begin() + 256}),
              (Bytes{53, 1, 3, 50, 4, 10, 200, 1, 42, 54, 4, 10, 200, 1, 1, 255}));
}

// The client's messages as the recovery server reads them, and the server's answers as the
// client reads them.
TEST(DhcpClientMessage, RoundTripThroughTheRecoveryServer) {
    DhcpClientRequest discover;
    discover.transactionId = 77;
    discover.mac = kModuleMac;
    const std::optional<DhcpReply> offerReply = ReplyTo(Encode(discover));
    ASSERT_TRUE(offerReply);
    const auto offer = DecodeDhcpServerAnswer(offerReply->Bytes());
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->type, DhcpMessageType::kOffer);
    EXPECT_EQ(offer->transactionId, 77u);
    EXPECT_EQ(offer->clientMac, kModuleMac);
    EXPECT_EQ(offer->yourAddress, kLeasedAddress);
    EXPECT_EQ(offer->subnetMask, 0xFFFFFF00u);
    EXPECT_EQ(offer->serverIdentifier, 0x0AC80101u);  // 10.200.1.1: no interface address known

    DhcpClientRequest request = discover;
    request.type = DhcpMessageType::kRequest;
    request.requestedAddress = offer->yourAddress;
    const std::optional<DhcpReply> ackReply = ReplyTo(Encode(request));
    ASSERT_TRUE(ackReply);
    const auto ack = DecodeDhcpServerAnswer(ackReply->Bytes());
    ASSERT_TRUE(ack);
    EXPECT_EQ(ack->type, DhcpMessageType::kAck);
    EXPECT_EQ(ack->yourAddress, kLeasedAddress);
}

TEST(DhcpClientMessage, AnswerOptionsAreReadAndUnknownOnesSkipped) {
    const auto answer = DecodeDhcpServerAnswer(Answer(2, {0,   0,                    // pads
                                                          51,  4, 0,   0,   14, 16,  // lease time
                                                          53,  1, 5,                 // ACK
                                                          1,   4, 255, 255, 0,  0,   // mask
                                                          54,  4, 10,  200, 1,  1,   // server
                                                          255, 1, 4}));              // end, junk
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, DhcpMessageType::kAck);
    EXPECT_EQ(answer->transactionId, 0x12345678u);
    EXPECT_EQ(answer->yourAddress, kLeasedAddress);
    EXPECT_EQ(answer->subnetMask, 0xFFFF0000u);
    EXPECT_EQ(answer->serverIdentifier, 0x0AC80101u);
    // Options may also stop at the datagram's end without an end option.
    EXPECT_TRUE(DecodeDhcpServerAnswer(Answer(2, {53, 1, 2})));
}

TEST(DhcpClientMessage, MalformedAnswersAreRefused) {
    EXPECT_FALSE(DecodeDhcpServerAnswer(Answer(1, {53, 1, 2, 255})));  // a client's request
    EXPECT_FALSE(DecodeDhcpServerAnswer(Answer(2, {255})));            // no message type
    EXPECT_FALSE(DecodeDhcpServerAnswer(Answer(2, {53, 2, 2, 0})));    // type of length 2
    EXPECT_FALSE(DecodeDhcpServerAnswer(Answer(2, {53, 1, 2, 1, 3, 255, 255, 0})));  // short mask
    EXPECT_FALSE(DecodeDhcpServerAnswer(Answer(2, {53, 1, 2, 12, 9, 'a'})));         // past the end
    EXPECT_FALSE(DecodeDhcpServerAnswer(Answer(2, {53, 1, 2, 12})));  // length missing
    EXPECT_FALSE(DecodeDhcpServerAnswer(Answer(2, {53})));            // type cut off

    Bytes noCookie = Answer(2, {53, 1, 2});
    noCookie[236] = 0;
    EXPECT_FALSE(DecodeDhcpServerAnswer(noCookie));
    Bytes notEthernet = Answer(2, {53, 1, 2});
    notEthernet[2] = 16;
    EXPECT_FALSE(DecodeDhcpServerAnswer(notEthernet));
    const Bytes whole = Answer(2, {53, 1, 2});
    for (std::size_t size : {0u, 1u, 200u, 239u}) {
        EXPECT_FALSE(DecodeDhcpServerAnswer(std::span(whole.data(), size))) << size;
    }
}

}  // namespace
}  // namespace ordvane::sim
