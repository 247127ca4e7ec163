#include "platform/Utf8Text.h"

namespace ordvane {

namespace {

// Bytes of the character at the start of a non-empty text: the length of its UTF-8 sequence
// when the lead byte and its continuation bytes are all there, else 1.
std::size_t CharacterBytes(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    if (length > text.size()) {
        return 1;
    }
    for (std::size_t index = 1; index < length; ++index) {
        if ((static_cast<unsigned char>(text[index]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

}  // namespace

std::size_t CountUtf8Characters(std::string_view text) {
    std::size_t count = 0;
    while (!text.empty()) {
        text.remove_prefix(CharacterBytes(text));
        ++count;
    }
    return count;
}

std::string_view Utf8CharacterPrefix(std::string_view text, std::size_t maxCharacters) {
    std::size_t bytes = 0;
    for (std::size_t count = 0; count < maxCharacters && bytes < text.size(); ++count) {
        bytes += CharacterBytes(text.substr(bytes));
    }
    return text.substr(0, bytes);
}

}  // namespace ordvane
