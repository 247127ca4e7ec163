#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace ordvane {
namespace {

TEST(ByteReader, ReadsIntegersInBothByteOrdersAndFailsForGoodPastTheEnd) {
    const std::array<std::uint8_t, 7> bytes = {
        0x12, 0x34,              // u16: 0x3412 little endian
        0xDE, 0xAD, 0xBE, 0xEF,  // u32: 0xDEADBEEF big endian
        0x7F,                    // one byte left
    };
    ByteReader reader(bytes);
    EXPECT_EQ(reader.ReadU16Le(), 0x3412);
    EXPECT_EQ(reader.ReadU32Be(), 0xDEADBEEFu);
    EXPECT_EQ(reader.Remaining(), 1u);
    EXPECT_EQ(reader.ReadU16Be(), 0);  // needs two, has one
    EXPECT_FALSE(reader.Ok());
    EXPECT_EQ(reader.ReadU8(), 0);  // the failure sticks, even for a byte that exists
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ByteReader, FixedTextStopsAtTheFieldEndWithoutTerminator) {
    const std::array<std::uint8_t, 6> bytes = {'a', 'b', 'c', 'd', 'x', 'y'};
    ByteReader reader(bytes);
    EXPECT_EQ(reader.ReadFixedText(4), "abcd");
    EXPECT_EQ(reader.ReadFixedText(2), "xy");
    EXPECT_TRUE(reader.Ok());

    const std::array<std::uint8_t, 4> terminated = {'h', 0, 'z', 'z'};
    ByteReader second(terminated);
    EXPECT_EQ(second.ReadFixedText(4), "h");
}

TEST(ByteReader, SeekSkipAndSubReaderStayInsideTheSpan) {
    const std::array<std::uint8_t, 4> bytes = {1, 2, 3, 4};
    ByteReader reader(bytes);
    EXPECT_TRUE(reader.Seek(4));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.Seek(5));

    ByteReader outer(bytes);
    outer.Skip(1);
    ByteReader inner = outer.ReadSubReader(2);
    EXPECT_EQ(inner.ReadU8(), 2);
    EXPECT_EQ(inner.ReadU8(), 3);
    inner.ReadU8();
    EXPECT_FALSE(inner.Ok());
    EXPECT_EQ(outer.ReadU8(), 4);
    EXPECT_FALSE(outer.ReadSubReader(1).Ok());
    EXPECT_FALSE(ByteReader(nullptr, 10).Skip(1));
}

TEST(ByteWriter, FixedTextIsCutPaddedAndTerminated) {
    std::array<std::uint8_t, 8> buffer;
    buffer.fill(0xFF);
    ByteWriter writer(buffer);
    EXPECT_TRUE(writer.WriteFixedText("abcdefgh", 5));
    EXPECT_TRUE(writer.WriteFixedText("z", 3));
    const std::array<std::uint8_t, 8> expected = {'a', 'b', 'c', 'd', 0, 'z', 0, 0};
    EXPECT_EQ(buffer, expected);
    EXPECT_FALSE(writer.WriteU8(1));
    EXPECT_FALSE(writer.Ok());
}

TEST(ByteWriter, IntegersRoundTripThroughTheReader) {
    std::array<std::uint8_t, 14> buffer{};
    ByteWriter writer(buffer);
    writer.WriteU16Be(0xBEEF);
    writer.WriteU32Le(0x01020304);
    writer.WriteU64Le(0x1122334455667788ull);
    ASSERT_TRUE(writer.Ok());
    ByteReader reader(writer.Written());
    EXPECT_EQ(reader.ReadU16Be(), 0xBEEF);
    EXPECT_EQ(reader.ReadU32Le(), 0x01020304u);
    EXPECT_EQ(reader.ReadU64Le(), 0x1122334455667788ull);
    EXPECT_TRUE(reader.AtEnd());
}

}  // namespace
}  // namespace ordvane
