#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "modlist/ColumnTextOrder.h"
#include "modlist/DottedQuad.h"
#include "modlist/ModuleRowSort.h"
#include "platform/ThreadLocale.h"

namespace ordvane {
namespace {

constexpr LCID kEnglishUnitedStates = 1033;

TEST(DottedQuad, RecognisesDigitsAndExactlyThreeDots) {
    EXPECT_TRUE(IsDottedQuad("192.168.0.1"));
    EXPECT_TRUE(IsDottedQuad("..."));
    EXPECT_TRUE(IsDottedQuad("1..2."));
    EXPECT_TRUE(IsDottedQuad("99999999999999999999999.1.1.1"));
    EXPECT_FALSE(IsDottedQuad(""));
    EXPECT_FALSE(IsDottedQuad("1.05.3"));
    EXPECT_FALSE(IsDottedQuad("1.2.3.4."));
    EXPECT_FALSE(IsDottedQuad("N/A"));
    EXPECT_FALSE(IsDottedQuad("1.2.3.-4"));
    EXPECT_FALSE(IsDottedQuad(" 1.2.3.4"));
}

TEST(DottedQuad, ComparesByUnsignedValue) {
    EXPECT_EQ(CompareDottedQuads("9.0.0.1", "10.0.0.1"), -1);
    EXPECT_EQ(CompareDottedQuads("10.0.0.9", "10.0.0.10"), -1);
    EXPECT_EQ(CompareDottedQuads("100.1.1.1", "200.1.1.1"), -1);
    EXPECT_EQ(CompareDottedQuads("255.255.255.255", "0.0.0.0"), 1);
    EXPECT_EQ(CompareDottedQuads("...", "0.0.0.0"), 0);
    EXPECT_EQ(CompareDottedQuads("010.0.0.1", "10.0.0.1"), 0);
}

TEST(DottedQuad, OversizedOctetsSortFirstWithoutOverflow) {
    // A digit run that would overflow atoi still counts as above 255 (it must not wrap to a
    // small or negative number).
    const char* huge = "1.99999999999999999999.0.0";
    EXPECT_EQ(CompareDottedQuads(huge, "0.0.0.0"), -1);
    EXPECT_EQ(CompareDottedQuads("0.0.0.0", huge), 1);
    EXPECT_EQ(CompareDottedQuads("256.0.0.0", "1.2.3.4"), -1);
    EXPECT_EQ(CompareDottedQuads("4294967296.0.0.1", "0.0.0.0"), -1);
    // The earlier oversized octet decides, in either order.
    EXPECT_EQ(CompareDottedQuads("300.0.0.0", "1.300.0.0"), -1);
    EXPECT_EQ(CompareDottedQuads("1.300.0.0", "300.0.0.0"), 1);
    // Oversized in the same place: equal in both orders, so that a sort stays consistent.
    EXPECT_EQ(CompareDottedQuads("1.256.0.0", huge), 0);
    EXPECT_EQ(CompareDottedQuads(huge, "1.256.0.0"), 0);
}

TEST(ColumnTextOrder, MixedQuadAndTextCompareAsTextInBothOrders) {
    const int forward = CompareColumnTexts("10.0.0.1", "N/A", true);
    EXPECT_NE(forward, 0);
    EXPECT_EQ(CompareColumnTexts("N/A", "10.0.0.1", true), -forward);
    EXPECT_EQ(CompareColumnTexts("10.0.0.1", "N/A", false), -forward);
}

TEST(ColumnTextOrder, TextsAndDirections) {
    EXPECT_LT(CompareColumnTexts("N/A", "Off", true), 0);
    EXPECT_LT(CompareColumnTexts("Off", "On", true), 0);
    EXPECT_GT(CompareColumnTexts("Off", "On", false), 0);
    // Versions have two dots: text order, not numeric.
    EXPECT_LT(CompareColumnTexts("10.00.1", "9.00.1", true), 0);
    EXPECT_EQ(CompareColumnTexts("QM-4", "QM-4", true), 0);
    EXPECT_EQ(CompareColumnTexts("QM-4", "QM-4", false), 0);
    EXPECT_GT(CompareColumnTexts("9.0.0.1", "10.0.0.1", false), 0);
}

// Texts of the kinds a table holds, plus punctuation, case and bytes beyond ASCII.
std::vector<std::string> AssortedTexts() {
    std::vector<std::string> texts = {"N/A",
                                      "On",
                                      "Off",
                                      "...",
                                      "0.0.0.0",
                                      "10.0.0.1",
                                      "9.0.0.1",
                                      "1.05.3",
                                      "2.05.17",
                                      "qm-gateway",
                                      "QM-Gateway",
                                      "QM Gateway",
                                      "",
                                      "a",
                                      "A",
                                      "\xC3\xA9t\xC3\xA9",
                                      "\xFF\xFE",
                                      "1.256.0.0",
                                      "00-1B-C5-0A-FF-01"};
    std::mt19937 generator(4);
    const std::string alphabet = "0123456789..........aAbBzZ -_/\xC3\xA9\x80";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    for (int count = 0; count < 150; ++count) {
        std::string text;
        for (int index = length(generator); index > 0; --index) {
            text += alphabet[pick(generator)];
        }
        texts.push_back(text);
    }
    // Around the length where a key stops fitting in its inline prefix: texts that share
    // their first 30 characters and differ or end at 31, 32 or 33.
    const std::string shared(30, 'm');
    for (const char* tail : {"", "a", "b", "aa", "ab", "aaa", "aab", "ba"}) {
        texts.push_back(shared + tail);
    }
    return texts;
}

void ExpectKeysAgreeWithTexts() {
    const std::vector<std::string> texts = AssortedTexts();
    std::vector<ColumnSortKey> keys;
    for (const std::string& text : texts) {
        keys.push_back(ColumnSortKey::FromText(text.c_str()));
    }
    for (std::size_t first = 0; first < texts.size(); ++first) {
        for (std::size_t second = 0; second < texts.size(); ++second) {
            for (const bool ascending : {true, false}) {
                ASSERT_EQ(
                    CompareSortKeys(keys[first], keys[second], ascending),
                    CompareColumnTexts(texts[first].c_str(), texts[second].c_str(), ascending))
                    << "'" << texts[first] << "' against '" << texts[second] << "'";
            }
        }
    }
}

TEST(ColumnSortKey, AgreesWithTheTextComparisonInByteOrder) {
    ExpectKeysAgreeWithTexts();
}

TEST(ColumnSortKey, AgreesWithTheTextComparisonInAThreadCollation) {
    if (!IsValidLocale(kEnglishUnitedStates, LCID_INSTALLED)) {
        GTEST_SKIP() << "en_US.UTF-8 is not installed";
    }
    ASSERT_TRUE(SetThreadLocale(kEnglishUnitedStates));
    ExpectKeysAgreeWithTexts();
    SetThreadLocale(LOCALE_USER_DEFAULT);
}

TEST(SortModuleRows, SortsByOneColumnKeepingTiesInPlace) {
    auto row = [](const char* ip, const char* type) {
        ModuleColumnTexts texts;
        texts[kColumnIp] = ip;
        texts[kColumnType] = type;
        return texts;
    };
    std::vector<ModuleColumnTexts> rows = {row("10.0.0.10", "B"), row("N/A", "A"),
                                           row("9.0.0.1", "B"), row("10.0.0.9", "A")};
    SortModuleRows(rows, kColumnIp, true);
    EXPECT_EQ(rows[0][kColumnIp], "9.0.0.1");
    EXPECT_EQ(rows[1][kColumnIp], "10.0.0.9");
    EXPECT_EQ(rows[2][kColumnIp], "10.0.0.10");
    EXPECT_EQ(rows[3][kColumnIp], "N/A");  // digits sort before letters as text
    SortModuleRows(rows, kColumnType, false);
    EXPECT_EQ(rows[0][kColumnIp], "9.0.0.1");
    EXPECT_EQ(rows[1][kColumnIp], "10.0.0.10");
    EXPECT_EQ(rows[2][kColumnIp], "10.0.0.9");
    EXPECT_EQ(rows[3][kColumnIp], "N/A");
}

}  // namespace
}  // namespace ordvane
