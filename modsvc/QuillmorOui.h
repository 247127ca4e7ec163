#pragma once
// The maker's organisationally unique identifier: the first three bytes of every Quillmor
// module's MAC address. The module emulator gives its modules this prefix and the recovery
// DHCP server answers only clients that carry it.

#include <array>
#include <cstdint>

namespace ordvane {

inline constexpr std::array<std::uint8_t, 3> kQuillmorOui = {0x0A, 0x51, 0x4D};

}  // namespace ordvane
