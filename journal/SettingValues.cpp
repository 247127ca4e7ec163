#include "journal/SettingValues.h"

namespace ordvane {

namespace {

std::optional<SettingValue> AddressValue(const std::optional<Ipv4Address>& address) {
    return address ? std::optional<SettingValue>(*address) : std::nullopt;
}

std::size_t At(ModuleSetting setting) {
    return static_cast<std::size_t>(setting);
}

}  // namespace

SettingValues ReportedSettingValues(const ModuleRecord& module) {
    SettingValues values;
    values[At(ModuleSetting::kIp)] = AddressValue(module.ipAddress);
    values[At(ModuleSetting::kSubnetMask)] = AddressValue(module.subnetMask);
    values[At(ModuleSetting::kGateway)] = AddressValue(module.gateway);
    if (module.dhcp) {
        values[At(ModuleSetting::kDhcp)] = *module.dhcp;
    }
    values[At(ModuleSetting::kDns1)] = AddressValue(module.primaryDns);
    values[At(ModuleSetting::kDns2)] = AddressValue(module.secondaryDns);
    if (module.hostname) {
        values[At(ModuleSetting::kHostname)] = *module.hostname;
    }
    return values;
}

SettingValues RequestedSettingValues(const ZEVA_ConfigureRequestType& request) {
    return {Ipv4Address(request.ipAddress),
            Ipv4Address(request.subnetMask),
            Ipv4Address(request.gateway),
            request.dhcp == 1,
            Ipv4Address(request.dns1),
            Ipv4Address(request.dns2),
            std::string(FixedFieldText(request.hostname))};
}

std::string SettingValueText(const SettingValue& value) {
    if (const auto* address = std::get_if<Ipv4Address>(&value)) {
        return address->Text();
    }
    if (const bool* on = std::get_if<bool>(&value)) {
        return *on ? "On" : "Off";
    }
    return std::get<std::string>(value);
}

std::optional<std::string> SettingValueText(const std::optional<SettingValue>& value) {
    return value ? std::optional(SettingValueText(*value)) : std::nullopt;
}

}  // namespace ordvane
