#include "platform/Utf8Text.h"

namespace ordvane {

namespace {

// Bytes of the character at the start of a non-empty text, or 1 for a byte that starts none.
std::size_t CharacterBytes(std::string_view text) {
    const std::size_t length = DecodeUtf8Character(text).length;
    return length == 0 ? 1 : length;
}

}  // namespace

Utf8Character DecodeUtf8Character(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const auto byte = [&text](std::size_t index) {
        return static_cast<unsigned char>(text[index]);
    };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {1, lead};
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return {};  // a continuation byte, an overlong two-byte lead, or beyond U+10FFFF
    }
    if (text.size() < length) {
        return {};
    }
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0u) != 0x80u) {
            return {};
        }
        codePoint = (codePoint << 6) | (byte(index) & 0x3Fu);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool wellFormed = codePoint >= kSmallest[length] && codePoint <= 0x10FFFF &&
                            (codePoint < 0xD800 || codePoint > 0xDFFF);
    return wellFormed ? Utf8Character{length, codePoint} : Utf8Character{};
}

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
