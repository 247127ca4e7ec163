#include "modlist/ModuleColumns.h"

#include <cstdio>

namespace ordvane {

namespace {

std::string OptionalIpv4(const std::optional<Ipv4Address>& address) {
    return address ? address->Text() : kNotAvailableText;
}

std::string DhcpText(const std::optional<bool>& dhcp) {
    if (!dhcp) {
        return kNotAvailableText;
    }
    return *dhcp ? "On" : "Off";
}

std::string VersionText(const std::optional<FirmwareVersion>& firmware) {
    if (!firmware) {
        return kNotAvailableText;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02u.%u", static_cast<unsigned>(firmware->majorNumber),
                  static_cast<unsigned>(firmware->minorNumber),
                  static_cast<unsigned>(firmware->build));
    return text;
}

}  // namespace

ModuleColumnTexts FormatModuleColumns(const ModuleRecord& record) {
    ModuleColumnTexts texts;
    texts[kColumnIp] = OptionalIpv4(record.ipAddress);
    texts[kColumnSubnetMask] = OptionalIpv4(record.subnetMask);
    texts[kColumnGateway] = OptionalIpv4(record.gateway);
    texts[kColumnDhcp] = DhcpText(record.dhcp);
    texts[kColumnVersion] = VersionText(record.firmware);
    texts[kColumnType] = record.moduleType.value_or(kNotAvailableText);
    texts[kColumnMac] = record.AddressingMac().Text();
    return texts;
}

bool HasModuleRow(const ModuleRecord& record) {
    return record.mac.has_value();
}

}  // namespace ordvane
