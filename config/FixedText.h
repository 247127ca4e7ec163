#pragma once
// Fixed-width character fields of the library's records.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "platform/ByteWriter.h"

namespace ordvane {

// The text of a field up to its first NUL, never past the field's end (a module may send a
// field without a terminator).
template <std::size_t Width>
std::string_view FixedTextView(const char (&field)[Width]) {
    const void* terminator = std::memchr(field, 0, Width);
    const std::size_t length =
        terminator != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(terminator) - field)
            : Width;
    return std::string_view(field, length);
}

// Fills a field with at most its width less one characters of text, pads it with NUL bytes and
// leaves its last byte 0.
template <std::size_t Width>
void CopyToFixedText(char (&field)[Width], std::string_view text) {
    ByteWriter writer(std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(field), Width));
    writer.WriteFixedText(text, Width);
}

}  // namespace ordvane
