#pragma once
// An IPv4 address as modules report it: one 32-bit number whose most significant byte is the
// first octet.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ordvane {

class Ipv4Address {
public:
    constexpr Ipv4Address() = default;
    constexpr explicit Ipv4Address(std::uint32_t value) : m_value(value) {}

    // Four decimal numbers 0-255 separated by '.' ("192.168.1.10"); nothing else is accepted:
    // no missing parts, signs, blanks or trailing text.
    static std::optional<Ipv4Address> Parse(std::string_view text);

    constexpr std::uint32_t Value() const { return m_value; }
    // "192.168.1.10".
    std::string Text() const;

    friend constexpr auto operator<=>(const Ipv4Address&, const Ipv4Address&) = default;
    friend constexpr bool operator==(const Ipv4Address&, const Ipv4Address&) = default;

private:
    std::uint32_t m_value = 0;
};

}  // namespace ordvane
