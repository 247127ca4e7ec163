#pragma once
// The checks "Set" makes before the Ethernet configuration dialog may close, shared with the
// command line so that both refuse the same input with the same words.

#include <cstdint>
#include <string_view>

namespace ordvane {

inline constexpr const char* kIllegalHostnameMessage =
    "Illegal hostname! Only a-z, A-Z and 0-9 allowed.";
inline constexpr const char* kLastOctet255Message = "Last digit of IP address can not be 255.";

// Letters and digits only; an empty hostname passes.
bool IsLegalHostname(std::string_view hostname);

// The hostname check applies to what the user typed: the hostname the module reported, sent
// back unchanged, passes whatever it holds (the module already carries it, and a user who
// changed nothing must be able to press Set).
bool IsAcceptableHostname(std::string_view hostname, std::string_view reportedHostname);

// The last octet (least significant byte) of an address is 255.
constexpr bool HasLastOctet255(std::uint32_t address) {
    return (address & 0xFFu) == 0xFFu;
}

// The first refusal in the dialog's order (hostname before IP address), or nullptr when the
// input may be sent. reportedHostname is the hostname the module reported, as pre-filled.
const char* FirstConfigureRefusal(std::string_view hostname, std::uint32_t ipAddress,
                                  std::string_view reportedHostname = {});

}  // namespace ordvane
