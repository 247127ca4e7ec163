#pragma once
// A module's MAC address: six bytes, first byte first, compared and hashed as one 48-bit number
// so that every table keyed by module uses the same key. Its texts are read by the parsers of
// platform/AddressText.h.

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace ordvane {

class MacAddress {
public:
    using Bytes = std::array<std::uint8_t, 6>;

    constexpr MacAddress() = default;
    constexpr MacAddress(const Bytes& bytes) : m_bytes(bytes) {}  // NOLINT: implicit on purpose
    constexpr MacAddress(std::uint8_t first, std::uint8_t second, std::uint8_t third,
                         std::uint8_t fourth, std::uint8_t fifth, std::uint8_t sixth)
        : m_bytes{first, second, third, fourth, fifth, sixth} {}
    // The six bytes at bytes, first byte first.
    static MacAddress FromBytes(const std::uint8_t* bytes);
    // The inverse of Key(); bits above the low 48 are ignored.
    static MacAddress FromKey(std::uint64_t key);

    // The 48-bit number of the six bytes, first byte most significant.
    constexpr std::uint64_t Key() const {
        std::uint64_t key = 0;
        for (const std::uint8_t byte : m_bytes) {
            key = (key << 8) | byte;
        }
        return key;
    }
    // "0A-51-4D-00-00-01".
    std::string Text() const;

    constexpr const Bytes& GetBytes() const { return m_bytes; }
    // For code that keeps the bare six bytes (the DHCP codec's hardware addresses).
    constexpr operator const Bytes&() const { return m_bytes; }  // NOLINT: implicit on purpose
    constexpr const std::uint8_t* data() const { return m_bytes.data(); }
    constexpr std::uint8_t* data() { return m_bytes.data(); }
    static constexpr std::size_t size() { return 6; }
    constexpr std::uint8_t operator[](std::size_t index) const { return m_bytes[index]; }
    constexpr std::uint8_t& operator[](std::size_t index) { return m_bytes[index]; }
    constexpr auto begin() const { return m_bytes.begin(); }
    constexpr auto end() const { return m_bytes.end(); }
    constexpr auto begin() { return m_bytes.begin(); }
    constexpr auto end() { return m_bytes.end(); }

    friend constexpr auto operator<=>(const MacAddress&, const MacAddress&) = default;
    friend constexpr bool operator==(const MacAddress&, const MacAddress&) = default;

private:
    Bytes m_bytes{};
};

}  // namespace ordvane

template <>
struct std::hash<ordvane::MacAddress> {
    std::size_t operator()(const ordvane::MacAddress& mac) const noexcept {
        return std::hash<std::uint64_t>{}(mac.Key());
    }
};
