#pragma once
// The values that travel between the Configure command and the Ethernet configuration dialog,
// kept free of any window so that the command line builds the very same requests.

#include <cstdint>
#include <string>
#include <string_view>

#include "modsvc/ModuleRecord.h"

namespace ordvane {

// The longest text the dialog's edits and buffers hold, in characters (code points of UTF-8).
inline constexpr std::size_t kDialogTextLimit = 29;

// What the dialog is given before it opens: values with their known flags (1 = the module
// reported the value), the DHCP choice and whether the Password edit is writable.
struct ConfigureDialogInput {
    std::uint32_t ipAddress = 0;
    std::uint32_t subnetMask = 0;
    std::uint32_t gateway = 0;
    std::uint32_t primaryDns = 0;
    std::uint32_t secondaryDns = 0;
    std::uint8_t ipAddressKnown = 0;
    std::uint8_t subnetMaskKnown = 0;
    std::uint8_t gatewayKnown = 0;
    std::uint8_t primaryDnsKnown = 0;
    std::uint8_t secondaryDnsKnown = 0;
    std::string hostname;  // at most kDialogTextLimit characters
    std::uint8_t hostnameKnown = 0;
    int dhcpChoice = 1;  // 0 = "On", 1 = "Off"
    int passwordEnabled = 0;
};

// What the dialog hands back after "Set".
struct ConfigureDialogOutput {
    std::uint32_t ipAddress = 0;
    std::uint32_t subnetMask = 0;
    std::uint32_t gateway = 0;
    std::uint32_t primaryDns = 0;
    std::uint32_t secondaryDns = 0;
    int dhcpChoice = 1;  // 0 = "On"
    std::string password;
    std::string newPassword;
    int changePassword = 0;  // 1 = send newPassword
    std::string hostname;
};

// The dialog's pre-fill from a module's record: a value only where the module reported one, the
// hostname cut to kDialogTextLimit characters, DHCP "On" only when reported on, the Password
// edit writable only when the module reports a password.
ConfigureDialogInput PrefillFromModule(const ModuleRecord& module);

// The hostname the module reported, as a view into prefill; empty when it reported none.
inline std::string_view ReportedHostname(const ConfigureDialogInput& prefill) {
    return prefill.hostnameKnown == 1 ? std::string_view(prefill.hostname) : std::string_view();
}

}  // namespace ordvane
