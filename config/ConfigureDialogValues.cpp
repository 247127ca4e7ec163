#include "config/ConfigureDialogValues.h"

#include <algorithm>
#include <cstring>

#include "config/FixedText.h"
#include "platform/Utf8Text.h"

namespace ordvane {

namespace {

void TakeIfPresent(std::uint32_t value, std::uint8_t presence, std::uint32_t& target,
                   std::uint8_t& known) {
    known = presence == 1 ? 1 : 0;
    if (known == 1) {
        target = value;
    }
}

}  // namespace

ConfigureDialogInput PrefillFromModule(const ZEVA_ModuleScanResponseType& module) {
    ConfigureDialogInput input;
    TakeIfPresent(module.ipAddress, module.ipAddressValid, input.ipAddress, input.ipAddressKnown);
    TakeIfPresent(module.subnetMask, module.subnetMaskValid, input.subnetMask,
                  input.subnetMaskKnown);
    TakeIfPresent(module.gateway, module.gatewayValid, input.gateway, input.gatewayKnown);
    TakeIfPresent(module.dns1, module.dns1Valid, input.primaryDns, input.primaryDnsKnown);
    TakeIfPresent(module.dns2, module.dns2Valid, input.secondaryDns, input.secondaryDnsKnown);
    input.hostnameKnown = module.hostnameValid == 1 ? 1 : 0;
    if (input.hostnameKnown == 1) {
        const std::string_view hostname = FixedTextView(module.hostname);
        input.hostname = std::string(Utf8CharacterPrefix(hostname, kDialogTextLimit));
    }
    input.dhcpChoice = (module.dhcpValid != 0 && module.dhcp != 0) ? 0 : 1;
    input.passwordEnabled = (module.passwordSetValid != 0 && module.passwordSet != 0) ? 1 : 0;
    return input;
}

}  // namespace ordvane
