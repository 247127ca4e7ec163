#pragma once
// Counting and cutting UTF-8 text by characters, the unit the dialog's edits count in. A
// character is one code point, as a text edit steps over and limits it; each byte that starts
// no well-formed sequence counts as one character, so any byte string has a count and a cut.

#include <cstddef>
#include <string_view>

namespace ordvane {

// The most bytes one character takes in UTF-8.
inline constexpr std::size_t kMaxUtf8BytesPerCharacter = 4;

std::size_t CountUtf8Characters(std::string_view text);

// The first maxCharacters characters of text, never ending inside a character.
std::string_view Utf8CharacterPrefix(std::string_view text, std::size_t maxCharacters);

}  // namespace ordvane
