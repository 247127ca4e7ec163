#pragma once
// Finds the version block that our build places in a section of its own in an ELF file
// (executable, shared library or object; 32- or 64-bit, little-endian).

#include <cstdint>
#include <span>

namespace ordvane {

// The section that carries the VS_VERSIONINFO block, byte for byte as Windows keeps it.
inline constexpr char kVersionSectionName[] = ".ordvane.version";

// On success resource views the section's bytes inside file. Fails on truncated or lying
// headers, a section table or name table outside the file, or no section of that name.
bool FindElfVersionSection(std::span<const std::uint8_t> file,
                           std::span<const std::uint8_t>& resource);

}  // namespace ordvane
