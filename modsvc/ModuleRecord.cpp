#include "modsvc/ModuleRecord.h"

namespace ordvane {

namespace {

std::optional<Ipv4Address> AddressIfPresent(std::uint8_t presence, std::uint32_t value) {
    return presence != 0 ? std::optional(Ipv4Address(value)) : std::nullopt;
}

template <std::size_t Width>
std::optional<std::string> TextIfPresent(std::uint8_t presence, const char (&field)[Width]) {
    return presence != 0 ? std::optional(std::string(FixedFieldText(field))) : std::nullopt;
}

}  // namespace

ModuleRecord ToModuleRecord(const ZEVA_ModuleScanResponseType& response) {
    ModuleRecord record;
    record.serviceVersionMajor = response.serviceVersionMajor;
    record.serviceVersionMinor = response.serviceVersionMinor;
    record.moduleType = TextIfPresent(response.moduleTypeValid, response.moduleType);
    if (response.fwVersionValid != 0) {
        record.firmware = FirmwareVersion{response.fwMajor, response.fwMinor, response.fwBuild};
    }
    if (response.macIdValid != 0) {
        record.mac = MacAddress::FromBytes(response.macId);
    }
    record.ipAddress = AddressIfPresent(response.ipAddressValid, response.ipAddress);
    record.subnetMask = AddressIfPresent(response.subnetMaskValid, response.subnetMask);
    record.gateway = AddressIfPresent(response.gatewayValid, response.gateway);
    if (response.dhcpValid != 0) {
        record.dhcp = response.dhcp == 1;
    }
    if (response.passwordSetValid != 0) {
        record.passwordSet = response.passwordSet != 0;
    }
    record.hostname = TextIfPresent(response.hostnameValid, response.hostname);
    record.primaryDns = AddressIfPresent(response.dns1Valid, response.dns1);
    record.secondaryDns = AddressIfPresent(response.dns2Valid, response.dns2);
    record.challenge = std::string(FixedFieldText(response.challenge));
    record.hashedPasswords = response.hashedPasswords == 1;
    record.protocolRevision = response.protocolRevision;
    return record;
}

}  // namespace ordvane
