#include "platform/Ipv4Address.h"

#include <cstddef>

#include "platform/AddressText.h"

namespace ordvane {

std::optional<Ipv4Address> Ipv4Address::Parse(std::string_view text) {
    std::uint32_t address = 0;
    std::size_t position = 0;
    for (int octetIndex = 0; octetIndex < 4; ++octetIndex) {
        if (octetIndex > 0) {
            if (position >= text.size() || text[position] != '.') {
                return std::nullopt;
            }
            ++position;
        }
        unsigned octet = 0;
        std::size_t digits = 0;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9' &&
               digits < 4) {
            octet = octet * 10 + static_cast<unsigned>(text[position] - '0');
            ++position;
            ++digits;
        }
        if (digits == 0 || digits > 3 || octet > 255) {
            return std::nullopt;
        }
        address = (address << 8) | octet;
    }
    if (position != text.size()) {
        return std::nullopt;
    }
    return Ipv4Address(address);
}

std::string Ipv4Address::Text() const {
    return FormatIpv4(m_value);
}

}  // namespace ordvane
