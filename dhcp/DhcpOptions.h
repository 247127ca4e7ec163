#pragma once
// The options part of a DHCP message, read and written in one place for the recovery server and
// for the emulated modules' client.
//
// The reader walks every option up to the end option or the last byte, skipping by its length
// byte each option it has no slot for; it keeps the options either side reads (message type,
// subnet mask, requested address, server identifier). An option of the wrong length, or one
// running past the bytes, makes the whole part malformed. The writer puts the options it holds
// in one fixed order and ends them with the end option.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/ByteWriter.h"

namespace ordvane {

// An IPv4 address as its four octets in wire order (first octet first).
using Ipv4Octets = std::array<std::uint8_t, 4>;

enum class DhcpMessageType : std::uint8_t {
    kDiscover = 1,
    kOffer = 2,
    kRequest = 3,
    kDecline = 4,
    kAck = 5,
    kNak = 6,
    kRelease = 7,
    kInform = 8,
};

inline constexpr std::array<std::uint8_t, 4> kDhcpMagicCookie = {99, 130, 83, 99};

// The address as a number, first octet most significant, and back.
constexpr std::uint32_t AddressValue(const Ipv4Octets& address) {
    return (std::uint32_t{address[0]} << 24) | (std::uint32_t{address[1]} << 16) |
           (std::uint32_t{address[2]} << 8) | address[3];
}
constexpr Ipv4Octets AddressOctets(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

class DhcpOptions {
public:
    // The longest text (option 56) a message here carries: a NAK's reason.
    static constexpr std::size_t kMessageCapacity = 40;

    // Reads the options that follow the magic cookie, replacing what this held. False when they
    // are malformed; what this holds then is of no use. A message without a type is well formed
    // here; whoever needs one checks MessageTypeByte(). Read in place, as the server's worker
    // reads every datagram.
    [[nodiscard]] bool Read(std::span<const std::uint8_t> options);
    // Writes the options held, in the order 53, 1, 50, 54, 51, 56, then the end option. False
    // when they do not fit the writer.
    bool Write(ByteWriter& writer) const;

    // The message type as sent: a value outside DhcpMessageType is kept as it came.
    std::optional<std::uint8_t> MessageTypeByte() const { return m_messageType; }
    bool IsOfType(DhcpMessageType type) const {
        return m_messageType == static_cast<std::uint8_t>(type);
    }
    const std::optional<Ipv4Octets>& SubnetMask() const { return m_subnetMask; }
    const std::optional<Ipv4Octets>& RequestedAddress() const { return m_requestedAddress; }
    const std::optional<Ipv4Octets>& ServerId() const { return m_serverId; }
    // Written only: nothing that reads a message here looks at the lease time or the text.
    const std::optional<std::uint32_t>& LeaseSeconds() const { return m_leaseSeconds; }
    std::string_view Message() const { return {m_message.data(), m_messageLength}; }

    void SetMessageType(DhcpMessageType type) { m_messageType = static_cast<std::uint8_t>(type); }
    void SetSubnetMask(std::optional<Ipv4Octets> mask) { m_subnetMask = mask; }
    void SetRequestedAddress(std::optional<Ipv4Octets> address) { m_requestedAddress = address; }
    void SetServerId(std::optional<Ipv4Octets> address) { m_serverId = address; }
    void SetLeaseSeconds(std::optional<std::uint32_t> seconds) { m_leaseSeconds = seconds; }
    // Keeps at most kMessageCapacity characters.
    void SetMessage(std::string_view text);

private:
    std::optional<std::uint8_t> m_messageType;
    std::optional<Ipv4Octets> m_subnetMask;
    std::optional<Ipv4Octets> m_requestedAddress;
    std::optional<Ipv4Octets> m_serverId;
    std::optional<std::uint32_t> m_leaseSeconds;
    std::uint8_t m_messageLength = 0;
    // Only the first m_messageLength characters are ever read or written out; the rest is left
    // as it is, since the worker decodes every datagram into a fresh record.
    std::array<char, kMessageCapacity> m_message;
};

}  // namespace ordvane
