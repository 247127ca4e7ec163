#include "platform/AddressText.h"

#include <cctype>
#include <cstddef>
#include <cstdio>

namespace ordvane {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// One "%x" conversion from text at position: returns false when no digit follows. The value
// wraps modulo 2^32 as an unsigned conversion does; only its low byte is used anyway.
bool ReadHexNumber(std::string_view text, std::size_t& position, std::uint32_t& value) {
    while (position < text.size() && std::isspace(static_cast<unsigned char>(text[position]))) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    if (position + 1 < text.size() && text[position] == '0' &&
        (text[position + 1] == 'x' || text[position + 1] == 'X') && position + 2 < text.size() &&
        HexDigitValue(text[position + 2]) >= 0) {
        position += 2;
    }
    std::size_t digits = 0;
    value = 0;
    while (position < text.size() && HexDigitValue(text[position]) >= 0) {
        value = value * 16u + static_cast<std::uint32_t>(HexDigitValue(text[position]));
        ++position;
        ++digits;
    }
    if (negative) {
        value = 0u - value;
    }
    return digits > 0;
}

}  // namespace

Ipv4Chars Ipv4Text(std::uint32_t address) {
    Ipv4Chars text{};
    std::snprintf(text.data(), text.size(), "%u.%u.%u.%u", static_cast<unsigned>(address >> 24),
                  static_cast<unsigned>((address >> 16) & 0xFFU),
                  static_cast<unsigned>((address >> 8) & 0xFFU),
                  static_cast<unsigned>(address & 0xFFU));
    return text;
}

std::string FormatIpv4(std::uint32_t address) {
    return Ipv4Text(address).data();
}

MacAddressChars MacAddressText(const std::uint8_t* macId) {
    MacAddressChars text{};
    std::snprintf(text.data(), text.size(), "%02X-%02X-%02X-%02X-%02X-%02X", macId[0], macId[1],
                  macId[2], macId[3], macId[4], macId[5]);
    return text;
}

std::string FormatMacAddress(const std::uint8_t* macId) {
    return MacAddressText(macId).data();
}

bool ParseMacAddressText(std::string_view text, MacAddress& mac) {
    std::size_t position = 0;
    for (std::size_t index = 0; index < mac.size(); ++index) {
        if (index > 0) {
            if (position >= text.size() || text[position] != '-') {
                return false;
            }
            ++position;
        }
        std::uint32_t value = 0;
        if (!ReadHexNumber(text, position, value)) {
            return false;
        }
        mac[index] = static_cast<std::uint8_t>(value & 0xFFu);
    }
    return true;
}

bool ParseStrictMacAddress(std::string_view text, MacAddress& mac) {
    constexpr std::size_t kLength = 17;  // six pairs and five separators
    if (text.size() != kLength) {
        return false;
    }
    for (std::size_t pair = 0; pair < mac.size(); ++pair) {
        const int high = HexDigitValue(text[pair * 3]);
        const int low = HexDigitValue(text[pair * 3 + 1]);
        const bool separatorOk =
            pair + 1 == mac.size() || text[pair * 3 + 2] == '-' || text[pair * 3 + 2] == ':';
        if (high < 0 || low < 0 || !separatorOk) {
            return false;
        }
        mac[pair] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

}  // namespace ordvane
