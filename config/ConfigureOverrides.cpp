#include "config/ConfigureOverrides.h"

#include "platform/Ipv4Address.h"

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
    const std::optional<Ipv4Address> address = Ipv4Address::Parse(text);
    if (!address) {
        return std::nullopt;
    }
    return address->Value();
}

}  // namespace ordvane
