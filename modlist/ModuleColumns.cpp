#include "modlist/ModuleColumns.h"

#include <cstdio>
#include <cstring>

#include "platform/AddressText.h"

namespace ordvane {

namespace {

// Counts the characters of a fixed-width text field up to its first NUL or its end.
template <std::size_t Width>
std::string FieldText(const char (&field)[Width]) {
    const void* terminator = std::memchr(field, '\0', Width);
    const std::size_t length =
        terminator != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(terminator) - field)
            : Width;
    return std::string(field, length);
}

std::string OptionalIpv4(std::uint8_t valid, std::uint32_t address) {
    return valid != 0 ? FormatIpv4(address) : kNotAvailableText;
}

std::string DhcpText(const ZEVA_ModuleScanResponseType& response) {
    if (response.dhcpValid == 0) {
        return kNotAvailableText;
    }
    return response.dhcp == 1 ? "On" : "Off";
}

std::string VersionText(const ZEVA_ModuleScanResponseType& response) {
    if (response.fwVersionValid == 0) {
        return kNotAvailableText;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02u.%u", static_cast<unsigned>(response.fwMajor),
                  static_cast<unsigned>(response.fwMinor), static_cast<unsigned>(response.fwBuild));
    return text;
}

}  // namespace

ModuleColumnTexts FormatModuleColumns(const ZEVA_ModuleScanResponseType& response) {
    ModuleColumnTexts texts;
    texts[kColumnIp] = OptionalIpv4(response.ipAddressValid, response.ipAddress);
    texts[kColumnSubnetMask] = OptionalIpv4(response.subnetMaskValid, response.subnetMask);
    texts[kColumnGateway] = OptionalIpv4(response.gatewayValid, response.gateway);
    texts[kColumnDhcp] = DhcpText(response);
    texts[kColumnVersion] = VersionText(response);
    texts[kColumnType] =
        response.moduleTypeValid != 0 ? FieldText(response.moduleType) : kNotAvailableText;
    texts[kColumnMac] = FormatMacAddress(response.macId);
    return texts;
}

bool HasModuleRow(const ZEVA_ModuleScanResponseType& response) {
    return response.macIdValid != 0;
}

}  // namespace ordvane
