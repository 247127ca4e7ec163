#include "platform/SaturatingAtoi.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

namespace ordvane {
namespace {

TEST(SaturatingAtoi, BehavesLikeAtoiInsideTheRange) {
    EXPECT_EQ(SaturatingAtoi("42"), 42);
    EXPECT_EQ(SaturatingAtoi("  \t-17abc"), -17);
    EXPECT_EQ(SaturatingAtoi("+8"), 8);
    EXPECT_EQ(SaturatingAtoi(""), 0);
    EXPECT_EQ(SaturatingAtoi("x1"), 0);
    EXPECT_EQ(SaturatingAtoi(" 1, 4"), 1);
    EXPECT_EQ(SaturatingAtoi(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(SaturatingAtoi("2147483647"), INT_MAX);
    EXPECT_EQ(SaturatingAtoi("-2147483648"), INT_MIN);
}

TEST(SaturatingAtoi, LongDigitRunsSaturateInsteadOfOverflowing) {
    EXPECT_EQ(SaturatingAtoi("2147483648"), INT_MAX);
    EXPECT_EQ(SaturatingAtoi("99999999999999999999999999999"), INT_MAX);
    EXPECT_EQ(SaturatingAtoi("-99999999999999999999999999999"), INT_MIN);
}

TEST(SaturatingAtoi, ViewFormStopsAtTheViewsEndAndCountsWhatItUsed) {
    const char text[] = "12345";
    std::size_t consumed = 0;
    EXPECT_EQ(SaturatingAtoi(std::string_view(text, 3), &consumed), 123);
    EXPECT_EQ(consumed, 3u);
    EXPECT_EQ(SaturatingAtoi(std::string_view(" -5.", 4), &consumed), -5);
    EXPECT_EQ(consumed, 3u);
}

}  // namespace
}  // namespace ordvane
