#pragma once
// Reading UTF-8 one character at a time, and counting and cutting it by characters, the unit
// the dialog's edits count in. A character is one code point, as a text edit steps over and
// limits it. Only well-formed sequences are characters: no overlong forms, no surrogates,
// nothing above U+10FFFF. When counting and cutting, each byte that starts no well-formed
// sequence counts as one character, so any byte string has a count and a cut.

#include <cstddef>
#include <string_view>

namespace ordvane {

// The most bytes one character takes in UTF-8.
inline constexpr std::size_t kMaxUtf8BytesPerCharacter = 4;

struct Utf8Character {
    std::size_t length = 0;  // bytes; 0 when the text does not start with a character
    char32_t codePoint = 0;
};

// The well-formed character at the start of text, if there is one.
Utf8Character DecodeUtf8Character(std::string_view text);

std::size_t CountUtf8Characters(std::string_view text);

// The first maxCharacters characters of text, never ending inside a character.
std::string_view Utf8CharacterPrefix(std::string_view text, std::size_t maxCharacters);

}  // namespace ordvane
