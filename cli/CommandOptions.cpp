#include "cli/CommandOptions.h"

#include <cstddef>
#include <string_view>
#include <vector>

#include "config/ConfigureDialogValues.h"
#include "platform/LongOptions.h"
#include "platform/SaturatingAtoi.h"
#include "platform/Utf8Text.h"

namespace ordvane::cli {

namespace {

// Sets error and returns false, so that a refusal is one return statement.
bool Refuse(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

bool TakeSeconds(const std::string& value, int& seconds, std::string& reason) {
    return ParseSecondsValue(value, seconds) || Refuse(reason, "takes a number from 1 to 3600");
}

bool TakeFormat(const std::string& value, TableFormat& format, std::string& reason) {
    return ParseTableFormat(value, &format) || Refuse(reason, "takes table, csv or json");
}

bool TakeAddress(const std::string& value, std::optional<std::uint32_t>& target,
                 std::string& reason) {
    target = ParseDottedIpv4(value);
    return target.has_value() || Refuse(reason, "takes a dotted IPv4 address");
}

// The one operand of configure and recover: the module's MAC as the table shows it.
bool TakeMacOperand(const std::vector<std::string>& operands, MacAddress& mac, std::string& error) {
    if (operands.empty() || !ParseStrictMacAddress(operands[0], mac)) {
        return Refuse(error, (operands.empty() ? std::string("the MAC address is missing")
                                               : "\"" + operands[0] + "\" is no MAC address") +
                                 "; write it as the table shows it, e.g. 0A-51-4D-00-00-2A");
    }
    return operands.size() == 1 || Refuse(error, "unexpected argument \"" + operands[1] + "\"");
}

// Each command's options, one row an option.
constexpr LongOption<ScanArguments> kScanOptions[] = {
    {"seconds", true,
     [](ScanArguments& parsed, const std::string& value, std::string& reason) {
         return TakeSeconds(value, parsed.seconds, reason);
     }},
    {"format", true,
     [](ScanArguments& parsed, const std::string& value, std::string& reason) {
         parsed.table.requested = true;
         return TakeFormat(value, parsed.table.format, reason);
     }},
    {"sort", true,
     [](ScanArguments& parsed, const std::string& value, std::string& reason) {
         parsed.table.requested = true;
         std::string why;
         return ParseTableSort(value, &parsed.table.sort, &why) ||
                Refuse(reason,
                       "takes COLUMN[:desc], COLUMN one of IP, SN, GW, DHCP, Version, "
                       "Type, MAC or 0 to 6");
     }},
    {"baseline", true,
     [](ScanArguments& parsed, const std::string& value, std::string& reason) {
         parsed.baselinePath = value;
         return !value.empty() || Refuse(reason, "takes a file name");
     }},
};

constexpr LongOption<ConfigureArguments> kConfigureOptions[] = {
    {"ip", true,
     [](ConfigureArguments& parsed, const std::string& value, std::string& reason) {
         return TakeAddress(value, parsed.overrides.ipAddress, reason);
     }},
    {"mask", true,
     [](ConfigureArguments& parsed, const std::string& value, std::string& reason) {
         return TakeAddress(value, parsed.overrides.subnetMask, reason);
     }},
    {"gateway", true,
     [](ConfigureArguments& parsed, const std::string& value, std::string& reason) {
         return TakeAddress(value, parsed.overrides.gateway, reason);
     }},
    {"dns1", true,
     [](ConfigureArguments& parsed, const std::string& value, std::string& reason) {
         return TakeAddress(value, parsed.overrides.primaryDns, reason);
     }},
    {"dns2", true,
     [](ConfigureArguments& parsed, const std::string& value, std::string& reason) {
         return TakeAddress(value, parsed.overrides.secondaryDns, reason);
     }},
    {"hostname", true,
     [](ConfigureArguments& parsed, const std::string& value, std::string& reason) {
         parsed.overrides.hostname = value;
         return CountUtf8Characters(value) <= kDialogTextLimit ||
                Refuse(reason, "takes at most 29 characters");
     }},
    {"dhcp", true,
     [](ConfigureArguments& parsed, const std::string& value, std::string& reason) {
         parsed.overrides.dhcpChoice = value == "on" ? 0 : 1;
         return value == "on" || value == "off" || Refuse(reason, "takes on or off");
     }},
    {"password-stdin", false, SetFlag<ConfigureArguments, &ConfigureArguments::passwordFromInput>},
    {"new-password-stdin", false,
     SetFlag<ConfigureArguments, &ConfigureArguments::newPasswordFromInput>},
    {"plain-password", false,
     SetFlag<ConfigureArguments, &ConfigureArguments::plainPasswordConsent>},
    {"remove-password", false, SetFlag<ConfigureArguments, &ConfigureArguments::removePassword>},
};

// recover takes configure's values but --dhcp (it always switches DHCP off) and a new
// password; its rows forward to configure's so both check a value alike.
template <std::size_t Row>
bool ForwardToConfigure(RecoverArguments& parsed, const std::string& value, std::string& reason) {
    return kConfigureOptions[Row].apply(parsed.configure, value, reason);
}

constexpr bool ConfigureRowIs(std::size_t row, std::string_view name) {
    return std::string_view(kConfigureOptions[row].name) == name;
}
static_assert(ConfigureRowIs(0, "ip") && ConfigureRowIs(1, "mask") &&
              ConfigureRowIs(2, "gateway") && ConfigureRowIs(3, "dns1") &&
              ConfigureRowIs(4, "dns2") && ConfigureRowIs(5, "hostname") &&
              ConfigureRowIs(7, "password-stdin") && ConfigureRowIs(9, "plain-password"));

constexpr LongOption<RecoverArguments> kRecoverOptions[] = {
    {"ip", true, ForwardToConfigure<0>},
    {"mask", true, ForwardToConfigure<1>},
    {"gateway", true, ForwardToConfigure<2>},
    {"dns1", true, ForwardToConfigure<3>},
    {"dns2", true, ForwardToConfigure<4>},
    {"hostname", true, ForwardToConfigure<5>},
    {"password-stdin", false, ForwardToConfigure<7>},
    {"plain-password", false, ForwardToConfigure<9>},
    {"seconds", true,
     [](RecoverArguments& parsed, const std::string& value, std::string& reason) {
         return TakeSeconds(value, parsed.seconds, reason);
     }},
};

constexpr LongOption<ApplyArguments> kApplyOptions[] = {
    {"dry-run", false, SetFlag<ApplyArguments, &ApplyArguments::dryRun>},
    {"password-stdin", false, SetFlag<ApplyArguments, &ApplyArguments::passwordFromInput>},
    {"new-password-stdin", false, SetFlag<ApplyArguments, &ApplyArguments::newPasswordFromInput>},
    {"plain-password", false, SetFlag<ApplyArguments, &ApplyArguments::plainPasswordConsent>},
    {"remove-password", false, SetFlag<ApplyArguments, &ApplyArguments::removePassword>},
    {"seconds", true,
     [](ApplyArguments& parsed, const std::string& value, std::string& reason) {
         return TakeSeconds(value, parsed.seconds, reason);
     }},
    {"format", true,
     [](ApplyArguments& parsed, const std::string& value, std::string& reason) {
         return TakeFormat(value, parsed.format, reason);
     }},
};

}  // namespace

bool ParseMacArgument(const std::string& text, MacAddress& mac) {
    return ParseStrictMacAddress(text, mac);
}

bool ParseSecondsValue(const std::string& text, int& seconds) {
    constexpr int kMaximumSeconds = 3600;
    std::size_t consumed = 0;
    seconds = SaturatingAtoi(text, &consumed);
    return !text.empty() && text[0] >= '0' && text[0] <= '9' && consumed == text.size() &&
           seconds >= 1 && seconds <= kMaximumSeconds;
}

bool ParseScanArguments(std::span<const std::string> arguments, ScanArguments& parsed,
                        std::string& error) {
    std::vector<std::string> operands;
    if (!ParseLongOptions<ScanArguments>(arguments, kScanOptions, parsed, operands, error)) {
        return false;
    }
    return operands.empty() || Refuse(error, "unexpected argument \"" + operands[0] + "\"");
}

bool ParseConfigureArguments(std::span<const std::string> arguments, ConfigureArguments& parsed,
                             std::string& error) {
    std::vector<std::string> operands;
    if (!ParseLongOptions<ConfigureArguments>(arguments, kConfigureOptions, parsed, operands,
                                              error)) {
        return false;
    }
    if (!TakeMacOperand(operands, parsed.mac, error)) {
        return false;
    }
    return !(parsed.removePassword && parsed.newPasswordFromInput) ||
           Refuse(error, "give --new-password-stdin or --remove-password, not both");
}

bool ParseRecoverArguments(std::span<const std::string> arguments, RecoverArguments& parsed,
                           std::string& error) {
    std::vector<std::string> operands;
    if (!ParseLongOptions<RecoverArguments>(arguments, kRecoverOptions, parsed, operands, error)) {
        return false;
    }
    if (!TakeMacOperand(operands, parsed.configure.mac, error)) {
        return false;
    }
    return parsed.configure.overrides.ipAddress.has_value() ||
           Refuse(error, "--ip is needed: the static address to give the module");
}

bool ParseApplyArguments(std::span<const std::string> arguments, ApplyArguments& parsed,
                         std::string& error) {
    std::vector<std::string> operands;
    if (!ParseLongOptions<ApplyArguments>(arguments, kApplyOptions, parsed, operands, error)) {
        return false;
    }
    if (operands.empty() || operands[0].empty()) {
        return Refuse(error, "the plan file is missing");
    }
    parsed.planPath = operands[0];
    if (operands.size() > 1) {
        return Refuse(error, "unexpected argument \"" + operands[1] + "\"");
    }
    return !(parsed.removePassword && parsed.newPasswordFromInput) ||
           Refuse(error, "give --new-password-stdin or --remove-password, not both");
}

}  // namespace ordvane::cli
