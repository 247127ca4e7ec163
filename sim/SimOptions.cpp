#include "sim/SimOptions.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/LongOptions.h"
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

bool Reason(std::string& reason, const char* text) {
    reason = text;
    return false;
}

// A whole number from minimum to maximum into target.
template <typename Number>
bool TakeWhole(const std::string& value, int minimum, int maximum, Number& target,
               std::string& reason, const char* range) {
    int number = 0;
    if (!ParseWhole(value, minimum, maximum, number)) {
        return Reason(reason, range);
    }
    target = static_cast<Number>(number);
    return true;
}

bool TakeText(const std::string& value, std::string& target, std::string& reason,
              const char* what) {
    target = value;
    return !value.empty() || Reason(reason, what);
}

// The emulator's options, one row an option.
constexpr LongOption<SimOptions> kOptions[] = {
    {"count", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeWhole(value, 1, static_cast<int>(kMaxModules), options.count, reason,
                          "takes a number from 1 to 65536");
     }},
    {"fleet", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeText(value, options.fleetFile, reason, "takes a file name");
     }},
    {"seed", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeWhole(value, 0, 2147483647, options.seed, reason,
                          "takes a number from 0 to 2147483647");
     }},
    {"address", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         in_addr parsed{};
         if (inet_pton(AF_INET, value.c_str(), &parsed) != 1) {
             return Reason(reason, "takes a dotted IPv4 address");
         }
         options.emulator.address = ntohl(parsed.s_addr);
         return true;
     }},
    {"port", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeWhole(value, 0, 65535, options.emulator.port, reason,
                          "takes a port number from 0 to 65535");
     }},
    {"jitter-ms", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeWhole(value, 0, 60000, options.emulator.jitterMilliseconds, reason,
                          "takes milliseconds from 0 to 60000");
     }},
    {"delay-ms", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeWhole(value, 0, 60000, options.emulator.delayMilliseconds, reason,
                          "takes milliseconds from 0 to 60000");
     }},
    {"state", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeText(value, options.emulator.stateFile, reason, "takes a file name");
     }},
    {"loss", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return ParseShare(value, options.emulator.loss) ||
                Reason(reason, "takes a share from 0 to 1 or a percentage");
     }},
    {"dup", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return ParseShare(value, options.emulator.duplication) ||
                Reason(reason, "takes a share from 0 to 1 or a percentage");
     }},
    {"dhcp-client", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeText(value, options.emulator.dhcpInterface, reason,
                         "takes a network interface's name");
     }},
    {"dhcp-retry-ms", true,
     [](SimOptions& options, const std::string& value, std::string& reason) {
         return TakeWhole(value, 10, 60000, options.emulator.dhcpRetryMilliseconds, reason,
                          "takes milliseconds from 10 to 60000");
     }},
    {"help", false, SetFlag<SimOptions, &SimOptions::help>},
    {"version", false, SetFlag<SimOptions, &SimOptions::version>},
};

}  // namespace

Result<SimOptions> ParseSimOptions(const std::vector<std::string>& arguments) {
    SimOptions options;
    // -h, the short form of --help that every program of ours takes.
    if (std::find(arguments.begin(), arguments.end(), "-h") != arguments.end()) {
        options.help = true;
        return options;
    }
    std::vector<std::string> operands;
    std::string error;
    if (!ParseLongOptions<SimOptions>(arguments, kOptions, options, operands, error)) {
        return Failure{error};
    }
    if (!operands.empty()) {
        return Failure{"unexpected argument \"" + operands[0] + "\""};
    }
    return options;
}

}  // namespace ordvane::sim
