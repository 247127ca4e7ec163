#pragma once
// Bytes from the kernel's random source, for values an onlooker must not predict (password
// salts, scan and request ids).

#include <cstdint>
#include <span>

namespace ordvane {

// Fills every byte from getrandom, retrying after a signal or a short read. False when the
// kernel has no such source (very old kernels); the bytes are unspecified then.
[[nodiscard]] bool FillFromSystemRandom(std::span<std::uint8_t> bytes);

}  // namespace ordvane
