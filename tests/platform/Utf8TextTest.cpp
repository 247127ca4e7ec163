// Counting and cutting UTF-8 by characters, with bytes that start no character counted one by
// one.
#include <gtest/gtest.h>

#include <string>

#include "platform/Utf8Text.h"

namespace {

TEST(Utf8Text, CountsAndCutsWholeCharacters) {
    struct Case {
        std::string text;
        std::size_t characters;
        std::size_t bytesOfFirstTwo;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"abc", 3, 2},
        {"\u00e9\u00e9\u00e9", 3, 4},
        {"\u20ac\U0001F511x", 3, 7},
        {"\xff\xfe", 2, 2},  // no lead bytes at all
        {"\xc3"
         "a",
         2, 2},                      // a lead byte whose continuation is missing
        {"a\xe2\x82", 3, 2},         // a sequence cut short at the end
        {"\xe0\x80\xafx", 4, 2},     // an overlong form of '/'
        {"\xed\xa0\x80", 3, 2},      // a surrogate
        {"\xf4\x90\x80\x80", 4, 2},  // beyond U+10FFFF
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text);
        EXPECT_EQ(ordvane::CountUtf8Characters(test.text), test.characters);
        EXPECT_EQ(ordvane::Utf8CharacterPrefix(test.text, 2).size(), test.bytesOfFirstTwo);
        EXPECT_EQ(ordvane::Utf8CharacterPrefix(test.text, 99), test.text);
    }
}

}  // namespace
