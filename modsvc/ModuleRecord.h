#pragma once
// The program's record of one module's scan answer. The library hands over a C record with a
// presence byte beside each value and fixed-width text fields; it is converted once, where the
// answer is taken from the library, and everything above works on this record: a value the
// module did not report is an empty optional, texts are strings, addresses are typed.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "modsvc/ModuleService.h"
#include "platform/Ipv4Address.h"
#include "platform/MacAddress.h"

namespace ordvane {

struct FirmwareVersion {
    std::uint8_t majorNumber = 0;
    std::uint8_t minorNumber = 0;
    std::uint16_t build = 0;

    friend constexpr auto operator<=>(const FirmwareVersion&, const FirmwareVersion&) = default;
};

struct ModuleRecord {
    std::uint8_t serviceVersionMajor = 0;  // decides wink support
    std::uint8_t serviceVersionMinor = 0;
    std::optional<std::string> moduleType;
    std::optional<FirmwareVersion> firmware;
    std::optional<MacAddress> mac;
    std::optional<Ipv4Address> ipAddress;
    std::optional<Ipv4Address> subnetMask;
    std::optional<Ipv4Address> gateway;
    // DHCP is on exactly when the module reports 1; any other byte is off.
    std::optional<bool> dhcp;
    std::optional<bool> passwordSet;
    std::optional<std::string> hostname;
    std::optional<Ipv4Address> primaryDns;
    std::optional<Ipv4Address> secondaryDns;
    // The module's current challenge; its first two characters are the password hash's salt.
    std::string challenge;
    bool hashedPasswords = false;  // salted digests instead of plain text
    // 2 and later take a new hashed password sealed under the current one.
    std::uint8_t protocolRevision = 0;

    // The MAC the library addressed the module by: all zeros when it reports none. Answers are
    // told apart by it, whether the module reports it or not.
    MacAddress AddressingMac() const { return mac.value_or(MacAddress()); }

    bool operator==(const ModuleRecord&) const = default;
};

ModuleRecord ToModuleRecord(const ZEVA_ModuleScanResponseType& response);

// The text of a fixed-width field up to its first NUL, never past the field's end (a module
// may send a field without a terminator).
template <std::size_t Width>
std::string_view FixedFieldText(const char (&field)[Width]) {
    const void* terminator = std::memchr(field, 0, Width);
    const std::size_t length =
        terminator != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(terminator) - field)
            : Width;
    return std::string_view(field, length);
}

}  // namespace ordvane
