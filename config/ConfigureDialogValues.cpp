#include "config/ConfigureDialogValues.h"

#include "platform/Utf8Text.h"

namespace ordvane {

namespace {

void TakeIfPresent(const std::optional<Ipv4Address>& value, std::uint32_t& target,
                   std::uint8_t& known) {
    known = value ? 1 : 0;
    if (value) {
        target = value->Value();
    }
}

}  // namespace

ConfigureDialogInput PrefillFromModule(const ModuleRecord& module) {
    ConfigureDialogInput input;
    TakeIfPresent(module.ipAddress, input.ipAddress, input.ipAddressKnown);
    TakeIfPresent(module.subnetMask, input.subnetMask, input.subnetMaskKnown);
    TakeIfPresent(module.gateway, input.gateway, input.gatewayKnown);
    TakeIfPresent(module.primaryDns, input.primaryDns, input.primaryDnsKnown);
    TakeIfPresent(module.secondaryDns, input.secondaryDns, input.secondaryDnsKnown);
    input.hostnameKnown = module.hostname ? 1 : 0;
    if (module.hostname) {
        input.hostname = std::string(Utf8CharacterPrefix(*module.hostname, kDialogTextLimit));
    }
    input.dhcpChoice = module.dhcp.value_or(false) ? 0 : 1;
    input.passwordEnabled = module.passwordSet.value_or(false) ? 1 : 0;
    return input;
}

}  // namespace ordvane
