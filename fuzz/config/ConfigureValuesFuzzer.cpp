// The values a user or a plan hands to the Configure command, and the checks before sending:
// the fuzz input is NUL-separated fields (address text, hostname, reported hostname, password,
// new password, challenge). Checked: an accepted address prints and parses back to itself, the
// hostname rule is letters and digits (or the reported name unchanged), the refusals come in
// the dialog's order, overrides win over the pre-fill, and the password digests keep their
// shapes whatever the bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigureOverrides.h"
#include "config/ConfigureValidation.h"
#include "config/PasswordEncoding.h"
#include "fuzz/cli/ArgumentWords.h"

namespace {

bool IsLowerHex(const std::string& text) {
    return text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// The messages are compared by text: each translation unit may hold its own copy of a literal.
bool SameText(const char* left, const char* right) {
    return left == nullptr || right == nullptr ? left == right : std::strcmp(left, right) == 0;
}

void CheckAddress(const std::string& text, std::optional<std::uint32_t> address) {
    if (!address) {
        return;
    }
    char printed[16];
    std::snprintf(printed, sizeof printed, "%u.%u.%u.%u", *address >> 24, (*address >> 16) & 0xFF,
                  (*address >> 8) & 0xFF, *address & 0xFF);
    if (ordvane::ParseDottedIpv4(printed) != address ||
        text.find_first_not_of("0123456789.") != std::string::npos) {
        __builtin_trap();
    }
}

void CheckHostname(const std::string& hostname, const std::string& reported, std::uint32_t ip) {
    bool legal = true;
    for (const char c : hostname) {
        legal =
            legal && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    }
    const bool acceptable = legal || (!hostname.empty() && hostname == reported);
    const char* expected = !acceptable                    ? ordvane::kIllegalHostnameMessage
                           : ordvane::HasLastOctet255(ip) ? ordvane::kLastOctet255Message
                                                          : nullptr;
    if (ordvane::IsLegalHostname(hostname) != legal ||
        ordvane::IsAcceptableHostname(hostname, reported) != acceptable ||
        !SameText(ordvane::FirstConfigureRefusal(hostname, ip, reported), expected)) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = ArgumentWords(data, size);
    fields.resize(std::max<std::size_t>(fields.size(), 6));
    const std::optional<std::uint32_t> address = ordvane::ParseDottedIpv4(fields[0]);
    CheckAddress(fields[0], address);

    ordvane::ConfigureDialogInput prefill;
    prefill.ipAddress = 0x0A000001;
    prefill.ipAddressKnown = 1;
    prefill.hostname = fields[2];
    prefill.hostnameKnown = 1;
    ordvane::ConfigureOverrides overrides;
    overrides.ipAddress = address;
    if (!fields[1].empty()) {
        overrides.hostname = fields[1];
    }
    overrides.password = fields[3];
    if (!fields[4].empty()) {
        overrides.newPassword = fields[4];
    }
    const ordvane::ConfigureDialogOutput output =
        ordvane::ApplyConfigureOverrides(prefill, overrides);
    if (output.ipAddress != address.value_or(prefill.ipAddress) ||
        output.hostname != overrides.hostname.value_or(prefill.hostname) ||
        output.password != fields[3] || output.changePassword != (fields[4].empty() ? 0 : 1)) {
        __builtin_trap();
    }
    CheckHostname(output.hostname, fields[2], output.ipAddress);

    const std::string stored = ordvane::SaltedPasswordHash({'a', 'Z'}, output.newPassword);
    const std::string response = ordvane::ChallengeResponse(fields[5], output.password);
    if (stored.size() != 34 || stored.compare(0, 2, "aZ") != 0 || !IsLowerHex(stored.substr(2)) ||
        response.size() != 32 || !IsLowerHex(response)) {
        __builtin_trap();
    }
    return 0;
}
