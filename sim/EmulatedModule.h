#pragma once
// What one emulated Quillmor module knows about itself: every value it can report, each of
// which may be unknown (reported with presence 0), and its password.

#include <cstdint>
#include <optional>
#include <string>

#include "zeva/ModuleProtocol.h"

namespace ordvane::sim {

struct FirmwareVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    std::uint16_t build = 0;
};

struct EmulatedModule {
    MacAddress mac{};
    bool reportsMac = true;
    std::uint8_t serviceMajor = 0;
    std::uint8_t serviceMinor = 0;
    std::optional<std::string> type;
    std::optional<FirmwareVersion> firmware;
    // No address: the module has none yet (in DHCP mode, waiting for a lease). It then answers
    // by broadcast, and a DHCP client of its own will fill this in.
    std::optional<std::uint32_t> address;
    std::optional<std::uint32_t> subnetMask;
    std::optional<std::uint32_t> gateway;
    std::optional<bool> dhcp;
    std::optional<std::string> hostname;
    std::optional<std::uint32_t> primaryDns;
    std::optional<std::uint32_t> secondaryDns;
    bool reportsPasswordSet = true;
    bool hashedPasswords = false;
    // 1: a new hashed password arrives in clear; 2: sealed under the current one.
    std::uint8_t protocolRevision = zeva::kSealedPasswordRevision;
    // Plain mode: the password itself. Hashed mode: two salt characters and the 32-digit MD5
    // of salt and password. Empty: no password set.
    std::string password;
};

// A module supports only the values it reports: a configure changes a reported value and
// ignores one the module does not report (the library sends 0 for it, which is no setting).
template <typename Value, typename Sent>
void SetIfSupported(std::optional<Value>& value, Sent sent) {
    if (value) {
        *value = static_cast<Value>(sent);
    }
}

}  // namespace ordvane::sim
