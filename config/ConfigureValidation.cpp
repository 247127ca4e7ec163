#include "config/ConfigureValidation.h"

namespace ordvane {

namespace {

bool IsHostnameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

bool IsLegalHostname(std::string_view hostname) {
    for (char c : hostname) {
        if (!IsHostnameCharacter(c)) {
            return false;
        }
    }
    return true;
}

bool IsAcceptableHostname(std::string_view hostname, std::string_view reportedHostname) {
    return (!hostname.empty() && hostname == reportedHostname) || IsLegalHostname(hostname);
}

const char* FirstConfigureRefusal(std::string_view hostname, std::uint32_t ipAddress,
                                  std::string_view reportedHostname) {
    if (!IsAcceptableHostname(hostname, reportedHostname)) {
        return kIllegalHostnameMessage;
    }
    if (HasLastOctet255(ipAddress)) {
        return kLastOctet255Message;
    }
    return nullptr;
}

}  // namespace ordvane
