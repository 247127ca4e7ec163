#include "journal/ConfigureChange.h"

#include <string_view>
#include <vector>

#include "config/FixedText.h"
#include "journal/ChangeJournal.h"
#include "platform/AddressText.h"

namespace ordvane {

namespace {

std::optional<std::string> Address(std::uint8_t valid, std::uint32_t address) {
    return valid != 0 ? std::optional(FormatIpv4(address)) : std::nullopt;
}

const char* OnOff(std::uint8_t dhcp) {
    return dhcp != 0 ? "On" : "Off";
}

bool ContainsAny(const std::string& text, const std::vector<std::string_view>& secrets) {
    for (const std::string_view secret : secrets) {
        if (!secret.empty() && text.find(secret) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void Withhold(std::optional<std::string>& text, const std::vector<std::string_view>& secrets) {
    if (text && ContainsAny(*text, secrets)) {
        text.reset();
    }
}

}  // namespace

ModuleSettingTexts ReportedSettings(const ZEVA_ModuleScanResponseType& module) {
    ModuleSettingTexts texts;
    texts[0] = Address(module.ipAddressValid, module.ipAddress);
    texts[1] = Address(module.subnetMaskValid, module.subnetMask);
    texts[2] = Address(module.gatewayValid, module.gateway);
    if (module.dhcpValid != 0) {
        texts[3] = OnOff(module.dhcp);
    }
    texts[4] = Address(module.dns1Valid, module.dns1);
    texts[5] = Address(module.dns2Valid, module.dns2);
    if (module.hostnameValid != 0) {
        texts[6] = std::string(FixedTextView(module.hostname));
    }
    return texts;
}

ModuleSettingTexts RequestedSettings(const ZEVA_ConfigureRequestType& request) {
    return {FormatIpv4(request.ipAddress),
            FormatIpv4(request.subnetMask),
            FormatIpv4(request.gateway),
            std::string(OnOff(request.dhcp)),
            FormatIpv4(request.dns1),
            FormatIpv4(request.dns2),
            std::string(FixedTextView(request.hostname))};
}

ChangeEntry ConfigureChange(JournalCommand command, const ZEVA_ModuleScanResponseType& module,
                            const ConfigureDialogOutput& values,
                            const ZEVA_ConfigureRequestType& request) {
    ChangeEntry entry = ChangeJournal::NewEntry(command, request.macId);
    const std::vector<std::string_view> secrets = {values.password, values.newPassword,
                                                   FixedTextView(request.password),
                                                   FixedTextView(request.newPassword)};
    const ModuleSettingTexts before = ReportedSettings(module);
    const ModuleSettingTexts after = RequestedSettings(request);
    for (std::size_t index = 0; index < kModuleSettingCount; ++index) {
        if (before[index] && before[index] != after[index]) {
            SettingChange change{static_cast<ModuleSetting>(index), before[index], after[index]};
            if (change.setting == ModuleSetting::kHostname) {
                Withhold(change.before, secrets);
                Withhold(change.after, secrets);
            }
            entry.changes.push_back(std::move(change));
        }
    }
    entry.passwordChanged = request.changePassword != 0;
    return entry;
}

}  // namespace ordvane
