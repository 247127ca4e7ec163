#pragma once
// The command line's way into the Configure command: values given on the command line replace
// the module's reported ones, and everything else goes out as the dialog would send it when the
// user changed nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/ConfigureDialogValues.h"

namespace ordvane {

struct ConfigureOverrides {
    std::optional<std::uint32_t> ipAddress;
    std::optional<std::uint32_t> subnetMask;
    std::optional<std::uint32_t> gateway;
    std::optional<std::uint32_t> primaryDns;
    std::optional<std::uint32_t> secondaryDns;
    std::optional<std::string> hostname;
    std::optional<int> dhcpChoice;  // 0 = on, 1 = off
    std::optional<std::string> password;
    std::optional<std::string> newPassword;  // given: the password changes
};

// The dialog's output for a user who typed exactly the overrides into the pre-filled dialog:
// a value neither reported nor given is 0 (empty for the hostname), the DHCP choice is the
// pre-selected one unless given, and the password changes only when a new one is given.
ConfigureDialogOutput ApplyConfigureOverrides(const ConfigureDialogInput& prefill,
                                              const ConfigureOverrides& overrides);

// A dotted IPv4 address of four decimal numbers 0-255 ("192.168.1.10"), first octet into the
// most significant byte. Nothing else is accepted: no missing parts, signs, blanks or
// trailing text.
std::optional<std::uint32_t> ParseDottedIpv4(std::string_view text);

}  // namespace ordvane
