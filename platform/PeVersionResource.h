#pragma once
// Finds the version resource in a PE image, 32- or 64-bit: the resource directory of the
// optional header, type 16, its first name, that name's first language.

#include <cstdint>
#include <span>

namespace ordvane {

// On success resource views the resource's bytes inside image. Fails on anything that does not
// fit: truncated headers, offsets or sizes that point outside the image or the resource section,
// a directory where a data entry belongs (or the reverse), a missing type 16.
bool FindPeVersionResource(std::span<const std::uint8_t> image,
                           std::span<const std::uint8_t>& resource);

}  // namespace ordvane
