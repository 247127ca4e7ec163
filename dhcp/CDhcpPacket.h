#pragma once
// One BOOTP/DHCP message: the 236-byte fixed part kept as the bytes it travels as, read and
// written through typed accessors, and the options part as DhcpOptions.
//
// Addresses are octets in wire order; the server compares them octet by octet and never
// converts byte order. The record is a plain value of fixed size: decoding, answering and
// encoding allocate nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

#include "dhcp/DhcpOptions.h"
#include "platform/MacAddress.h"

namespace ordvane {

class CDhcpPacket {
public:
    static constexpr std::size_t kFixedPartLength = 236;  // op up to and including file
    static constexpr std::size_t kMinimumMessageLength = 300;
    // The longest message taken: the server's receive buffer. A longer one arrives cut short.
    static constexpr std::size_t kMaximumMessageLength = 2048;

    enum class Op : std::uint8_t { kBootRequest = 1, kBootReply = 2 };
    static constexpr std::uint8_t kEthernet = 1;
    static constexpr std::uint8_t kEthernetAddressLength = 6;

    // Reads a datagram. Empty when it is malformed: shorter than the fixed part, longer than
    // kMaximumMessageLength, or with malformed options. Without the magic cookie it is a plain
    // BOOTP message and has no options.
    static std::optional<CDhcpPacket> Decode(std::span<const std::uint8_t> datagram);

    // A message of zeros: no options, every field 0.
    CDhcpPacket() : CDhcpPacket(kZeroFixedPart) {}
    // A message with this fixed part and no options.
    explicit CDhcpPacket(std::span<const std::uint8_t, kFixedPartLength> fixedPart);
    // Writes the fixed part, the magic cookie and the options into buffer, then zeros up to 300
    // bytes. Returns the size written, 0 when the buffer is too small.
    std::size_t Encode(std::span<std::uint8_t> buffer) const;

    std::uint8_t OpByte() const { return m_fixed[kOp]; }
    bool IsOp(Op op) const { return OpByte() == static_cast<std::uint8_t>(op); }
    std::uint8_t HardwareType() const { return m_fixed[kHardwareType]; }
    std::uint8_t HardwareLength() const { return m_fixed[kHardwareLength]; }
    std::uint32_t TransactionId() const { return ReadU32(kTransactionId); }
    Ipv4Octets ClientAddress() const { return ReadAddress(kClientAddress); }  // ciaddr
    Ipv4Octets YourAddress() const { return ReadAddress(kYourAddress); }      // yiaddr
    Ipv4Octets RelayAddress() const { return ReadAddress(kRelayAddress); }    // giaddr
    // The six bytes of chaddr an Ethernet client's address takes.
    MacAddress ClientMac() const {
        MacAddress mac;
        std::memcpy(mac.data(), m_fixed.data() + kClientHardwareAddress, mac.size());
        return mac;
    }
    const DhcpOptions& Options() const { return m_options; }
    DhcpOptions& Options() { return m_options; }

    void SetOp(Op op) { m_fixed[kOp] = static_cast<std::uint8_t>(op); }
    void SetHardware(std::uint8_t type, std::uint8_t length) {
        m_fixed[kHardwareType] = type;
        m_fixed[kHardwareLength] = length;
    }
    void SetTransactionId(std::uint32_t id) { WriteU32(kTransactionId, id); }
    void SetFlags(std::uint16_t flags);
    void SetYourAddress(const Ipv4Octets& address) { WriteAddress(kYourAddress, address); }
    // Sets chaddr to the MAC followed by zeros.
    void SetClientMac(const MacAddress& mac);

private:
    // Copied rather than cleared: a copy of a constant size is the cheaper of the two here.
    static constexpr std::array<std::uint8_t, kFixedPartLength> kZeroFixedPart = {};

    // Offsets into the fixed part; the fields nothing here reads (hops, secs, siaddr, sname,
    // file) travel in it untouched.
    static constexpr std::size_t kOp = 0;
    static constexpr std::size_t kHardwareType = 1;
    static constexpr std::size_t kHardwareLength = 2;
    static constexpr std::size_t kTransactionId = 4;
    static constexpr std::size_t kFlags = 10;
    static constexpr std::size_t kClientAddress = 12;
    static constexpr std::size_t kYourAddress = 16;
    static constexpr std::size_t kRelayAddress = 24;
    static constexpr std::size_t kClientHardwareAddress = 28;

    Ipv4Octets ReadAddress(std::size_t offset) const {
        Ipv4Octets address;
        std::memcpy(address.data(), m_fixed.data() + offset, address.size());
        return address;
    }
    void WriteAddress(std::size_t offset, const Ipv4Octets& address);
    std::uint32_t ReadU32(std::size_t offset) const {
        return AddressValue(ReadAddress(offset));  // the same four big-endian bytes
    }
    void WriteU32(std::size_t offset, std::uint32_t value) {
        WriteAddress(offset, AddressOctets(value));
    }

    // Set by either constructor: the worker decodes every datagram, so decoding does not zero
    // first what it copies next.
    std::array<std::uint8_t, kFixedPartLength> m_fixed;
    DhcpOptions m_options;
};

}  // namespace ordvane
