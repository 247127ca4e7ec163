#pragma once
// A fuzz input read as a sequence of operations: single bytes and parts of a wanted length,
// both shortened to what is left, so a harness never reads past the input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace ordvane::fuzz {

struct FuzzInput {
    const std::uint8_t* data;
    std::size_t size;
    // The next byte; 0 once the input is used up.
    std::uint8_t Byte() { return size == 0 ? 0 : (--size, *data++); }
    // The next `wanted` bytes, or what is left.
    std::span<const std::uint8_t> Take(std::size_t wanted) {
        const std::size_t taken = std::min(wanted, size);
        const std::span<const std::uint8_t> part(data, taken);
        data += taken;
        size -= taken;
        return part;
    }
};

}  // namespace ordvane::fuzz
