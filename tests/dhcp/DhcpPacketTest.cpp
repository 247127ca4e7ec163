#include "dhcp/CDhcpPacket.h"

#include <gtest/gtest.h>

#include <optional>
#include <span>

#include "tests/dhcp/DhcpTestPackets.h"

namespace {

using dhcptest::Append;
using dhcptest::Bytes;
using ordvane::CDhcpPacket;
using ordvane::Ipv4Octets;

bool DecodeBytes(CDhcpPacket& packet, const Bytes& bytes) {
    const std::optional<CDhcpPacket> decoded = CDhcpPacket::Decode(bytes);
    if (decoded) {
        packet = *decoded;
    }
    return decoded.has_value();
}

Bytes WithOptions(std::initializer_list<std::uint8_t> options) {
    Bytes bytes = dhcptest::FixedPart(dhcptest::kOuiMac2A);
    dhcptest::AppendMagicCookie(bytes);
    Append(bytes, options);
    return bytes;
}

TEST(DhcpPacketDecode, FixedFieldsAndOptionSlots) {
    const std::array<std::uint8_t, 4> asked = {10, 200, 1, 42};
    const Bytes message = dhcptest::ClientMessage(dhcptest::kOuiMac2A, 3, &asked);
    CDhcpPacket packet;
    ASSERT_TRUE(DecodeBytes(packet, message));
    EXPECT_TRUE(packet.IsOp(CDhcpPacket::Op::kBootRequest));
    EXPECT_EQ(packet.HardwareType(), 1);
    EXPECT_EQ(packet.HardwareLength(), 6);
    EXPECT_EQ(packet.TransactionId(), 0xDEADBEEFu);
    EXPECT_EQ(packet.ClientAddress(), (Ipv4Octets{0, 0, 0, 0}));
    EXPECT_EQ(packet.YourAddress(), (Ipv4Octets{192, 0, 2, 11}));
    EXPECT_EQ(packet.RelayAddress(), (Ipv4Octets{192, 0, 2, 13}));
    EXPECT_EQ(packet.ClientMac(), dhcptest::kOuiMac2A);
    // Every byte of the fixed part (hops, secs, flags, siaddr, all of chaddr, sname, file)
    // travels on untouched.
    Bytes encoded(300, 0);
    ASSERT_EQ(packet.Encode(encoded), 300u);
    EXPECT_EQ(Bytes(encoded.begin(), encoded.begin() + 236),
              Bytes(message.begin(), message.begin() + 236));
    EXPECT_EQ(packet.Options().MessageTypeByte(), 3);
    EXPECT_EQ(packet.Options().RequestedAddress(), asked);
    EXPECT_FALSE(packet.Options().ServerId());
    EXPECT_FALSE(packet.Options().SubnetMask());
}

TEST(DhcpPacketDecode, PadUnknownRepeatedAndTrailingOptions) {
    CDhcpPacket packet;
    ASSERT_TRUE(DecodeBytes(packet, WithOptions({
                                        0,                         // pad
                                        53,  1, 1,                 // message type DISCOVER
                                        0,   0,                    // pads
                                        12,  3, 'a', 'b', 'c',     // host name: skipped by length
                                        54,  4, 0,   0,   0,   0,  // server id 0.0.0.0
                                        1,   4, 255, 255, 0,   0,  // subnet mask
                                        53,  1, 3,                 // a later type overwrites
                                        255,                       // end
                                        53,  9, 9,                 // after the end: never looked at
                                    })));
    EXPECT_EQ(packet.Options().MessageTypeByte(), 3);
    EXPECT_EQ(packet.Options().ServerId(), (Ipv4Octets{0, 0, 0, 0}));
    EXPECT_EQ(packet.Options().SubnetMask(), (Ipv4Octets{255, 255, 0, 0}));
}

TEST(DhcpPacketDecode, PlainBootpWithoutCookieHasNoSlots) {
    CDhcpPacket packet;
    Bytes bytes = dhcptest::FixedPart(dhcptest::kOuiMac2A);
    EXPECT_TRUE(DecodeBytes(packet, bytes));          // exactly the fixed part
    Append(bytes, {99, 130, 83, 98, 53, 1, 1, 255});  // a wrong cookie: options not read
    EXPECT_TRUE(DecodeBytes(packet, bytes));
    EXPECT_FALSE(packet.Options().MessageTypeByte());
    Bytes shortOptions = dhcptest::FixedPart(dhcptest::kOuiMac2A);
    Append(shortOptions, {99, 130, 83});  // shorter than the cookie
    EXPECT_TRUE(DecodeBytes(packet, shortOptions));
    EXPECT_FALSE(packet.Options().MessageTypeByte());
}

TEST(DhcpPacketDecode, SlotsNeverCarryOverFromAnEarlierMessage) {
    const std::array<std::uint8_t, 4> asked = {10, 200, 1, 42};
    CDhcpPacket packet;
    ASSERT_TRUE(DecodeBytes(packet, dhcptest::ClientMessage(dhcptest::kOuiMac2A, 3, &asked)));
    ASSERT_TRUE(DecodeBytes(packet, dhcptest::FixedPart(dhcptest::kOuiMac2A)));
    EXPECT_FALSE(packet.Options().RequestedAddress());
    EXPECT_FALSE(packet.Options().MessageTypeByte());
}

TEST(DhcpPacketDecode, RejectsShortAndOversizedDatagrams) {
    const Bytes zeros(2049, 0);
    for (std::size_t length : {0, 1, 235, 2049}) {
        EXPECT_FALSE(CDhcpPacket::Decode(std::span(zeros).first(length))) << length;
    }
}

TEST(DhcpPacketDecode, RejectsWrongLengthsOfKnownOptions) {
    CDhcpPacket packet;
    EXPECT_FALSE(DecodeBytes(packet, WithOptions({53, 2, 1, 1, 255})));          // type: 2 bytes
    EXPECT_FALSE(DecodeBytes(packet, WithOptions({53, 0, 255})));                // type: empty
    EXPECT_FALSE(DecodeBytes(packet, WithOptions({1, 3, 255, 255, 255, 255})));  // mask: 3
    EXPECT_FALSE(DecodeBytes(packet, WithOptions({50, 5, 10, 200, 1, 42, 0, 255})));
    EXPECT_FALSE(DecodeBytes(packet, WithOptions({54, 0, 255})));  // server id: empty
}

TEST(DhcpPacketDecode, RejectsOptionsRunningPastTheDatagram) {
    CDhcpPacket packet;
    EXPECT_FALSE(DecodeBytes(packet, WithOptions({60, 10, 'a', 'b', 'c'})));  // value cut
    EXPECT_FALSE(DecodeBytes(packet, WithOptions({53, 1, 1, 60})));           // length byte missing
    EXPECT_FALSE(DecodeBytes(packet, WithOptions({50, 4, 10, 200})));         // known option cut
    // The bytes behind the datagram's end must not count, whatever the buffer holds there.
    Bytes bytes = WithOptions({53, 1, 1});
    EXPECT_FALSE(CDhcpPacket::Decode(std::span(bytes).first(bytes.size() - 1)));
}

TEST(DhcpPacketDecode, WalksOptionsBeyondTheFirst512Bytes) {
    Bytes bytes = dhcptest::FixedPart(dhcptest::kOuiMac2A);
    dhcptest::AppendMagicCookie(bytes);
    for (int i = 0; i < 700; ++i) {
        Append(bytes, {0});  // pads
    }
    Append(bytes, {53, 1, 1, 255});
    CDhcpPacket packet;
    ASSERT_TRUE(DecodeBytes(packet, bytes));
    EXPECT_EQ(packet.Options().MessageTypeByte(), 1);
}

TEST(DhcpPacketEncode, PadsTo300BytesAndIsRepeatable) {
    CDhcpPacket packet;
    packet.SetOp(CDhcpPacket::Op::kBootReply);
    packet.Options().SetMessageType(ordvane::DhcpMessageType::kAck);
    Bytes first(400, 0x77);  // left over from an earlier use of the buffer
    ASSERT_EQ(packet.Encode(first), 300u);
    first.resize(300);
    EXPECT_EQ(first[0], 2);
    EXPECT_EQ(first[240], 53);
    EXPECT_EQ(first[242], 5);
    EXPECT_EQ(first[243], 255);  // no subnet mask: end follows at once
    EXPECT_EQ(first[299], 0);
    Bytes again(300, 0);
    ASSERT_EQ(packet.Encode(again), 300u);
    EXPECT_EQ(again, first);
    Bytes tooSmall(299, 0);
    EXPECT_EQ(packet.Encode(tooSmall), 0u);
}

}  // namespace
