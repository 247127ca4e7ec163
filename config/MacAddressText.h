#pragma once
// Reading a MAC address back from the text a table row shows for it.

#include <array>
#include <cstdint>
#include <string_view>

namespace ordvane {

using MacAddress = std::array<std::uint8_t, 6>;

// Reads six hexadecimal numbers separated by '-' the way "%x-%x-%x-%x-%x-%x" does (white space
// and a sign allowed before each number, an optional 0x prefix) and keeps the low byte of each,
// first number first. Returns false, leaving mac unspecified, when fewer than six numbers could
// be read. Never reads past the end of the view.
bool ParseMacAddressText(std::string_view text, MacAddress& mac);

// Exactly six pairs of hexadecimal digits separated by '-' or ':' ("0A-51-4D-00-00-2A"), as
// a user types a MAC address on a command line or in a file; nothing else is accepted.
bool ParseStrictMacAddress(std::string_view text, MacAddress& mac);

}  // namespace ordvane
