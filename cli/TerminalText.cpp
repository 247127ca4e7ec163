#include "cli/TerminalText.h"

#include <cstdio>

#include "platform/Utf8Text.h"

namespace ordvane::cli {

namespace {

void AppendEscaped(std::string& output, std::string_view bytes) {
    for (const char character : bytes) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(character));
        output += escaped;
    }
}

// The length of the well-formed UTF-8 sequence of a printable character at the start of text,
// or 0: C0 and C1 controls and DEL are not printable.
std::size_t PrintableSequenceLength(std::string_view text) {
    const Utf8Character character = DecodeUtf8Character(text);
    const char32_t code = character.codePoint;
    const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
    return control ? 0 : character.length;
}

}  // namespace

std::string TerminalSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = PrintableSequenceLength(text);
        if (length == 0) {
            AppendEscaped(safe, text.substr(0, 1));
            text.remove_prefix(1);
        } else {
            safe += text.substr(0, length);
            text.remove_prefix(length);
        }
    }
    return safe;
}

}  // namespace ordvane::cli
