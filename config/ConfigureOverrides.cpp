#include "config/ConfigureOverrides.h"

namespace ordvane {

namespace {

std::uint32_t ValueToSend(std::optional<std::uint32_t> given, std::uint32_t reported,
                          std::uint8_t known) {
    if (given) {
        return *given;
    }
    return known == 1 ? reported : 0;
}

}  // namespace

ConfigureDialogOutput ApplyConfigureOverrides(const ConfigureDialogInput& prefill,
                                              const ConfigureOverrides& overrides) {
    ConfigureDialogOutput output;
    output.ipAddress = ValueToSend(overrides.ipAddress, prefill.ipAddress, prefill.ipAddressKnown);
    output.subnetMask =
        ValueToSend(overrides.subnetMask, prefill.subnetMask, prefill.subnetMaskKnown);
    output.gateway = ValueToSend(overrides.gateway, prefill.gateway, prefill.gatewayKnown);
    output.primaryDns =
        ValueToSend(overrides.primaryDns, prefill.primaryDns, prefill.primaryDnsKnown);
    output.secondaryDns =
        ValueToSend(overrides.secondaryDns, prefill.secondaryDns, prefill.secondaryDnsKnown);
    if (overrides.hostname) {
        output.hostname = *overrides.hostname;
    } else if (prefill.hostnameKnown == 1) {
        output.hostname = prefill.hostname;
    }
    output.dhcpChoice = overrides.dhcpChoice.value_or(prefill.dhcpChoice);
    output.password = overrides.password.value_or(std::string());
    output.changePassword = overrides.newPassword ? 1 : 0;
    output.newPassword = overrides.newPassword.value_or(std::string());
    return output;
}

std::optional<std::uint32_t> ParseDottedIpv4(std::string_view text) {
    std::uint32_t address = 0;
    std::size_t position = 0;
    for (int octetIndex = 0; octetIndex < 4; ++octetIndex) {
        if (octetIndex > 0) {
            if (position >= text.size() || text[position] != '.') {
                return std::nullopt;
            }
            ++position;
        }
        unsigned octet = 0;
        std::size_t digits = 0;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9' &&
               digits < 4) {
            octet = octet * 10 + static_cast<unsigned>(text[position] - '0');
            ++position;
            ++digits;
        }
        if (digits == 0 || digits > 3 || octet > 255) {
            return std::nullopt;
        }
        address = (address << 8) | octet;
    }
    if (position != text.size()) {
        return std::nullopt;
    }
    return address;
}

}  // namespace ordvane
