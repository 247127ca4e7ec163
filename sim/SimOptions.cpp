#include "sim/SimOptions.h"

#include <arpa/inet.h>

#include <cstdlib>
#include <string_view>

#include "platform/SaturatingAtoi.h"
#include "sim/FleetGenerator.h"

namespace ordvane::sim {

namespace {

bool ParseWhole(std::string_view text, int minimum, int maximum, int& value) {
    std::size_t consumed = 0;
    value = SaturatingAtoi(text, &consumed);
    return !text.empty() && text.front() >= '0' && text.front() <= '9' && consumed == text.size() &&
           value >= minimum && value <= maximum;
}

// "0.2" or "20%": a share between 0 and 1.
bool ParseShare(const std::string& text, double& share) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) {
        return false;
    }
    if (*end == '%') {
        value /= 100.0;
        ++end;
    }
    if (*end != '\0' || !(value >= 0.0 && value <= 1.0)) {
        return false;
    }
    share = value;
    return true;
}

bool ParseOne(const std::string& name, const std::string& value, SimOptions& options) {
    int number = 0;
    if (name == "--count") {
        if (!ParseWhole(value, 1, static_cast<int>(kMaxModules), number)) {
            return false;
        }
        options.count = static_cast<std::size_t>(number);
        return true;
    }
    if (name == "--seed") {
        if (!ParseWhole(value, 0, 2147483647, number)) {
            return false;
        }
        options.seed = static_cast<std::uint64_t>(number);
        return true;
    }
    if (name == "--port") {
        if (!ParseWhole(value, 0, 65535, number)) {
            return false;
        }
        options.emulator.port = static_cast<std::uint16_t>(number);
        return true;
    }
    if (name == "--jitter-ms") {
        if (!ParseWhole(value, 0, 60000, number)) {
            return false;
        }
        options.emulator.jitterMilliseconds = number;
        return true;
    }
    if (name == "--delay-ms") {
        if (!ParseWhole(value, 0, 60000, number)) {
            return false;
        }
        options.emulator.delayMilliseconds = number;
        return true;
    }
    if (name == "--address") {
        in_addr parsed{};
        if (inet_pton(AF_INET, value.c_str(), &parsed) != 1) {
            return false;
        }
        options.emulator.address = ntohl(parsed.s_addr);
        return true;
    }
    if (name == "--loss") {
        return ParseShare(value, options.emulator.loss);
    }
    if (name == "--dup") {
        return ParseShare(value, options.emulator.duplication);
    }
    if (name == "--fleet") {
        options.fleetFile = value;
        return !value.empty();
    }
    if (name == "--dhcp-client") {
        options.emulator.dhcpInterface = value;
        return !value.empty();
    }
    if (name == "--dhcp-retry-ms") {
        if (!ParseWhole(value, 10, 60000, number)) {
            return false;
        }
        options.emulator.dhcpRetryMilliseconds = number;
        return true;
    }
    if (name == "--state") {
        options.emulator.stateFile = value;
        return !value.empty();
    }
    return false;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions& options,
                     std::string& error) {
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& name = arguments[index];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return true;
        }
        if (name == "--version") {
            options.version = true;
            return true;
        }
        if (index + 1 >= arguments.size()) {
            error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown argument " + name;
            return false;
        }
        const std::string& value = arguments[++index];
        if (!ParseOne(name, value, options)) {
            error = "bad value \"" + value + "\" for " + name;
            return false;
        }
    }
    return true;
}

}  // namespace ordvane::sim
