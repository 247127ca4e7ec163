#pragma once
// Writing the fixed-width character fields of the library's requests (the one reader of such
// fields is FixedFieldText in modsvc/ModuleRecord.h).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ByteWriter.h"

namespace ordvane {

// Fills a field with at most its width less one characters of text, pads it with NUL bytes and
// leaves its last byte 0.
template <std::size_t Width>
void CopyToFixedText(char (&field)[Width], std::string_view text) {
    ByteWriter writer(std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(field), Width));
    writer.WriteFixedText(text, Width);
}

}  // namespace ordvane
