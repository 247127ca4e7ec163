#pragma once
// The texts of MAC and IPv4 addresses, written and read the same way by the window, the command
// line and the emulator, so that one address always looks alike wherever it is shown.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/MacAddress.h"

namespace ordvane {

// The texts below in fixed, NUL-terminated buffers, for callers that must not allocate (the
// recovery server's worker prints each reply).
using Ipv4Chars = std::array<char, 16>;
using MacAddressChars = std::array<char, 18>;

// "%u.%u.%u.%u" of a value whose most significant byte is the first octet.
Ipv4Chars Ipv4Text(std::uint32_t address);
std::string FormatIpv4(std::uint32_t address);

// "%02X-%02X-%02X-%02X-%02X-%02X" of six bytes, first byte first ("0A-51-4D-00-00-01").
MacAddressChars MacAddressText(const std::uint8_t* macId);
std::string FormatMacAddress(const std::uint8_t* macId);

// Reads six hexadecimal numbers separated by '-' the way "%x-%x-%x-%x-%x-%x" does (white space
// and a sign allowed before each number, an optional 0x prefix) and keeps the low byte of each,
// first number first. Returns false, leaving mac unspecified, when fewer than six numbers could
// be read. Never reads past the end of the view.
bool ParseMacAddressText(std::string_view text, MacAddress& mac);

// Exactly six pairs of hexadecimal digits separated by '-' or ':' ("0A-51-4D-00-00-2A"), as
// a user types a MAC address on a command line or in a file; nothing else is accepted.
bool ParseStrictMacAddress(std::string_view text, MacAddress& mac);

}  // namespace ordvane
