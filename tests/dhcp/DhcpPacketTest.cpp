#include "dhcp/CDhcpPacket.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/dhcp/DhcpTestPackets.h"

namespace {

using dhcptest::Append;
using dhcptest::Bytes;

bool DecodeBytes(CDhcpPacket& packet, const Bytes& bytes) {
    std::memcpy(packet.m_raw, bytes.data(), bytes.size());
    packet.m_length = static_cast<std::int32_t>(bytes.size());
    return packet.Decode();
}

Bytes WithOptions(std::initializer_list<std::uint8_t> options) {
    Bytes bytes = dhcptest::FixedPart(dhcptest::kOuiMac2A);
    dhcptest::AppendMagicCookie(bytes);
    Append(bytes, options);
    return bytes;
}

TEST(DhcpPacketDecode, FixedFieldsAndOptionSlots) {
    const std::array<std::uint8_t, 4> asked = {10, 200, 1, 42};
    CDhcpPacket packet;
    ASSERT_TRUE(DecodeBytes(packet, dhcptest::ClientMessage(dhcptest::kOuiMac2A, 3, &asked)));
    EXPECT_EQ(packet.op, 1);
    EXPECT_EQ(packet.htype, 1);
    EXPECT_EQ(packet.hlen, 6);
    EXPECT_EQ(packet.hops, 1);
    EXPECT_EQ(std::memcmp(packet.xid, "\xDE\xAD\xBE\xEF", 4), 0);
    EXPECT_EQ(packet.secs[1], 7);
    EXPECT_EQ(packet.giaddr[3], 13);
    EXPECT_EQ(std::memcmp(packet.chaddr, dhcptest::kOuiMac2A.data(), 6), 0);
    EXPECT_EQ(packet.chaddr[15], 0xCA);
    EXPECT_EQ(packet.sname[63], 's');
    EXPECT_EQ(packet.file[127], 'f');
    EXPECT_EQ(packet.m_optionsLength, packet.m_length - 236);
    EXPECT_EQ(packet.m_options[0], 99);
    EXPECT_TRUE(packet.m_hasMessageType);
    EXPECT_EQ(packet.m_messageType, 3);
    EXPECT_TRUE(packet.m_hasRequestedIp);
    EXPECT_EQ(std::memcmp(packet.m_requestedIp, asked.data(), 4), 0);
    EXPECT_FALSE(packet.m_hasServerId);
    EXPECT_FALSE(packet.m_hasSubnetMask);
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
    EXPECT_EQ(packet.m_messageType, 3);
    EXPECT_TRUE(packet.m_hasServerId);
    EXPECT_EQ(std::memcmp(packet.m_serverId, "\0\0\0\0", 4), 0);
    EXPECT_TRUE(packet.m_hasSubnetMask);
    EXPECT_EQ(packet.m_subnetMask[1], 255);
}

TEST(DhcpPacketDecode, PlainBootpWithoutCookieHasNoSlots) {
    CDhcpPacket packet;
    Bytes bytes = dhcptest::FixedPart(dhcptest::kOuiMac2A);
    EXPECT_TRUE(DecodeBytes(packet, bytes));          // exactly the fixed part
    Append(bytes, {99, 130, 83, 98, 53, 1, 1, 255});  // a wrong cookie: options not read
    EXPECT_TRUE(DecodeBytes(packet, bytes));
    EXPECT_FALSE(packet.m_hasMessageType);
    Bytes shortOptions = dhcptest::FixedPart(dhcptest::kOuiMac2A);
    Append(shortOptions, {99, 130, 83});  // shorter than the cookie
    EXPECT_TRUE(DecodeBytes(packet, shortOptions));
    EXPECT_FALSE(packet.m_hasMessageType);
}

TEST(DhcpPacketDecode, SlotsNeverCarryOverFromAnEarlierMessage) {
    const std::array<std::uint8_t, 4> asked = {10, 200, 1, 42};
    CDhcpPacket packet;
    ASSERT_TRUE(DecodeBytes(packet, dhcptest::ClientMessage(dhcptest::kOuiMac2A, 3, &asked)));
    ASSERT_TRUE(DecodeBytes(packet, dhcptest::FixedPart(dhcptest::kOuiMac2A)));
    EXPECT_FALSE(packet.m_hasRequestedIp);
    EXPECT_FALSE(packet.m_hasMessageType);
    EXPECT_EQ(packet.m_messageType, 0);
}

TEST(DhcpPacketDecode, RejectsShortAndOversizedDatagrams) {
    CDhcpPacket packet;
    for (std::int32_t length : {-1, 0, 1, 235, 2049}) {
        packet.m_length = length;
        EXPECT_FALSE(packet.Decode()) << length;
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
    Bytes bytes = WithOptions({53, 1});
    packet.m_raw[bytes.size()] = 1;
    std::memcpy(packet.m_raw, bytes.data(), bytes.size());
    packet.m_length = static_cast<std::int32_t>(bytes.size());
    EXPECT_FALSE(packet.Decode());
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
    EXPECT_TRUE(packet.m_hasMessageType);
    EXPECT_EQ(packet.m_optionsLength, 4 + 700 + 4);
}

TEST(DhcpPacketEncode, PadsTo300BytesAndIsRepeatable) {
    CDhcpPacket packet;
    packet.op = 2;
    packet.m_hasMessageType = true;
    packet.m_messageType = 5;
    packet.m_raw[299] = 0x77;  // left over from an earlier use of the buffer
    ASSERT_TRUE(packet.Encode());
    EXPECT_EQ(packet.m_length, 300);
    EXPECT_EQ(packet.m_optionsLength, 64);
    const Bytes first(packet.EncodedBytes().begin(), packet.EncodedBytes().end());
    EXPECT_EQ(first[240], 53);
    EXPECT_EQ(first[242], 5);
    EXPECT_EQ(first[243], 255);  // no subnet mask slot: end follows at once
    EXPECT_EQ(first[299], 0);
    ASSERT_TRUE(packet.Encode());
    EXPECT_EQ(Bytes(packet.EncodedBytes().begin(), packet.EncodedBytes().end()), first);
}

}  // namespace
