// Salt characters: the alphabet, the rejection that keeps every character equally likely, and
// draws from the operating system's source.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <set>

#include "config/SaltGenerator.h"

namespace {

using ordvane::SaltGenerator;

TEST(SaltGenerator, MapsIndexesToLettersThenCapitalsThenDigits) {
    EXPECT_EQ(SaltGenerator::SaltCharacter(0), 'a');
    EXPECT_EQ(SaltGenerator::SaltCharacter(25), 'z');
    EXPECT_EQ(SaltGenerator::SaltCharacter(26), 'A');
    EXPECT_EQ(SaltGenerator::SaltCharacter(51), 'Z');
    EXPECT_EQ(SaltGenerator::SaltCharacter(52), '0');
    EXPECT_EQ(SaltGenerator::SaltCharacter(61), '9');
    std::set<char> characters;
    for (unsigned index = 0; index < SaltGenerator::kAlphabetSize; ++index) {
        characters.insert(SaltGenerator::SaltCharacter(index));
    }
    EXPECT_EQ(characters.size(), 62u);
}

TEST(SaltGenerator, EveryIndexStandsForExactlyFourByteValues) {
    std::array<int, 62> hits{};
    int rejected = 0;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const auto index = SaltGenerator::IndexFromRandomByte(static_cast<std::uint8_t>(byte));
        if (index) {
            ASSERT_LT(*index, 62u);
            ++hits[*index];
        } else {
            ++rejected;
            EXPECT_GE(byte, 248u);
        }
    }
    for (int count : hits) {
        EXPECT_EQ(count, 4);
    }
    EXPECT_EQ(rejected, 8);
}

TEST(SaltGenerator, DrawsAlphanumericSaltsThatVary) {
    std::set<std::string> salts;
    for (int draw = 0; draw < 50; ++draw) {
        const auto salt = SaltGenerator::DrawSalt();
        ASSERT_TRUE(salt.has_value());
        for (char c : *salt) {
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)));
        }
        salts.insert(std::string(salt->begin(), salt->end()));
    }
    // Fifty draws from 3844 salts: fewer than 40 distinct would mean the source is not random.
    EXPECT_GT(salts.size(), 40u);
}

}  // namespace
