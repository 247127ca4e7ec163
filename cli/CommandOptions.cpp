#include "cli/CommandOptions.h"

#include <cstddef>
#include <vector>

#include "config/ConfigureDialogValues.h"
#include "platform/SaturatingAtoi.h"
#include "platform/Utf8Text.h"

namespace ordvane::cli {

namespace {

constexpr const char* kScanUsage =
    "usage: ordvane-cli scan [--seconds S] [--format table|csv|json] "
    "[--sort COLUMN[:desc]] [--baseline FILE]  (S from 1 to 3600)";

// Sets error and returns false, so that a refusal is one return statement.
bool Refuse(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

bool ParseScanSeconds(std::span<const std::string> arguments, int& seconds) {
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] != "--seconds" || index + 1 >= arguments.size()) {
            return false;
        }
        if (!ParseSecondsValue(arguments[++index], seconds)) {
            return false;
        }
    }
    return true;
}

// Takes "--baseline FILE" out of the arguments; false when FILE is missing.
bool TakeBaselineOption(std::vector<std::string>& arguments, std::string& path) {
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] != "--baseline") {
            continue;
        }
        if (index + 1 >= arguments.size()) {
            return false;
        }
        path = arguments[index + 1];
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(index),
                        arguments.begin() + static_cast<std::ptrdiff_t>(index) + 2);
        return true;
    }
    return true;
}

bool TakeAddress(const std::string& option, const std::string& value,
                 std::optional<std::uint32_t>& target, std::string& error) {
    target = ParseDottedIpv4(value);
    return target.has_value() ||
           Refuse(error, option + " needs a dotted IPv4 address, not \"" + value + "\"");
}

bool ParseConfigureOption(const std::string& option, const std::string* value,
                          ConfigureArguments& parsed, std::string& error) {
    ConfigureOverrides& overrides = parsed.overrides;
    if (option == "--password-stdin") {
        parsed.passwordFromInput = true;
        return true;
    }
    if (option == "--new-password-stdin") {
        parsed.newPasswordFromInput = true;
        return true;
    }
    if (option == "--plain-password") {
        parsed.plainPasswordConsent = true;
        return true;
    }
    if (option == "--remove-password") {
        parsed.removePassword = true;
        return true;
    }
    if (value == nullptr) {
        return Refuse(error, option == "--ip" || option == "--mask" || option == "--gateway" ||
                                     option == "--dns1" || option == "--dns2" ||
                                     option == "--hostname" || option == "--dhcp"
                                 ? option + " needs a value"
                                 : "unknown option " + option);
    }
    if (option == "--ip") {
        return TakeAddress(option, *value, overrides.ipAddress, error);
    }
    if (option == "--mask") {
        return TakeAddress(option, *value, overrides.subnetMask, error);
    }
    if (option == "--gateway") {
        return TakeAddress(option, *value, overrides.gateway, error);
    }
    if (option == "--dns1") {
        return TakeAddress(option, *value, overrides.primaryDns, error);
    }
    if (option == "--dns2") {
        return TakeAddress(option, *value, overrides.secondaryDns, error);
    }
    if (option == "--hostname") {
        if (CountUtf8Characters(*value) > kDialogTextLimit) {
            return Refuse(error, "the hostname has more than 29 characters");
        }
        overrides.hostname = *value;
        return true;
    }
    if (option == "--dhcp") {
        if (*value != "on" && *value != "off") {
            return Refuse(error, "--dhcp takes on or off");
        }
        overrides.dhcpChoice = *value == "on" ? 0 : 1;
        return true;
    }
    return Refuse(error, "unknown option " + option);
}

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
    std::vector<std::string> otherArguments(arguments.begin(), arguments.end());
    std::string tableError;
    if (!TakeScanTableOptions(otherArguments, parsed.table, tableError)) {
        return Refuse(error, "ordvane-cli scan: " + tableError);
    }
    if (!TakeBaselineOption(otherArguments, parsed.baselinePath) ||
        !ParseScanSeconds(otherArguments, parsed.seconds)) {
        return Refuse(error, kScanUsage);
    }
    return true;
}

bool ParseConfigureArguments(std::span<const std::string> arguments, ConfigureArguments& parsed,
                             std::string& error) {
    if (arguments.empty() || !ParseMacArgument(arguments[0], parsed.mac)) {
        return Refuse(error,
                      "the first argument is the module's MAC address, e.g. 0A-51-4D-00-00-2A");
    }
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::string& option = arguments[index];
        const bool takesNoValue = option == "--password-stdin" ||
                                  option == "--new-password-stdin" ||
                                  option == "--plain-password" || option == "--remove-password";
        const std::string* value =
            !takesNoValue && index + 1 < arguments.size() ? &arguments[++index] : nullptr;
        if (!ParseConfigureOption(option, value, parsed, error)) {
            return false;
        }
    }
    return !(parsed.removePassword && parsed.newPasswordFromInput) ||
           Refuse(error, "give --new-password-stdin or --remove-password, not both");
}

bool ParseApplyArguments(std::span<const std::string> arguments, ApplyArguments& parsed,
                         std::string& error) {
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        const std::string* value = index + 1 < arguments.size() ? &arguments[index + 1] : nullptr;
        if (argument == "--dry-run") {
            parsed.dryRun = true;
        } else if (argument == "--password-stdin") {
            parsed.passwordFromInput = true;
        } else if (argument == "--new-password-stdin") {
            parsed.newPasswordFromInput = true;
        } else if (argument == "--plain-password") {
            parsed.plainPasswordConsent = true;
        } else if (argument == "--remove-password") {
            parsed.removePassword = true;
        } else if (argument == "--seconds") {
            if (value == nullptr || !ParseSecondsValue(*value, parsed.seconds)) {
                return Refuse(error, "--seconds takes a number from 1 to 3600");
            }
            ++index;
        } else if (argument == "--format") {
            if (value == nullptr || !ParseTableFormat(*value, &parsed.format)) {
                return Refuse(error, "--format takes table, csv or json");
            }
            ++index;
        } else if (argument.rfind("--", 0) == 0 || !parsed.planPath.empty()) {
            return Refuse(error, "unexpected argument " + argument);
        } else {
            parsed.planPath = argument;
        }
    }
    if (parsed.removePassword && parsed.newPasswordFromInput) {
        return Refuse(error, "give --new-password-stdin or --remove-password, not both");
    }
    return !parsed.planPath.empty() || Refuse(error, "the plan file is missing");
}

}  // namespace ordvane::cli
