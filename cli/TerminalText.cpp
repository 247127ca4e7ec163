#include "cli/TerminalText.h"

#include <cstdio>

namespace ordvane::cli {

namespace {

void AppendEscaped(std::string& output, std::string_view bytes) {
    for (const char character : bytes) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(character));
        output += escaped;
    }
}

// The length of the valid UTF-8 sequence of a printable character at the start of text, or 0.
std::size_t PrintableSequenceLength(std::string_view text) {
    const auto byte = [&text](std::size_t index) {
        return static_cast<unsigned char>(text[index]);
    };
    const unsigned char lead = byte(0);
    if (lead >= 0x20 && lead < 0x7F) {
        return 1;
    }
    std::size_t length = 0;
    unsigned codePoint = 0;
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
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0u) != 0x80u) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(index) & 0x3Fu);
    }
    const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = codePoint >= smallest[length] && codePoint <= 0x10FFFF &&
                       (codePoint < 0xD800 || codePoint > 0xDFFF);
    const bool c1Control = codePoint >= 0x80 && codePoint <= 0x9F;
    return valid && !c1Control ? length : 0;
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
