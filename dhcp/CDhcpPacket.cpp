#include "dhcp/CDhcpPacket.h"

#include <algorithm>
#include <cstring>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace ordvane {

std::optional<CDhcpPacket> CDhcpPacket::Decode(std::span<const std::uint8_t> datagram) {
    // One record, built where it lies and returned as it is: the worker decodes every datagram.
    const bool fits =
        datagram.size() >= kFixedPartLength && datagram.size() <= kMaximumMessageLength;
    std::optional<CDhcpPacket> packet =
        fits ? std::optional<CDhcpPacket>(std::in_place, datagram.first<kFixedPartLength>())
             : std::optional<CDhcpPacket>();
    if (!packet) {
        return packet;
    }
    ByteReader reader(datagram.subspan(kFixedPartLength));
    const std::span<const std::uint8_t> cookie = reader.ReadSpan(kDhcpMagicCookie.size());
    const bool hasCookie = reader.Ok() && std::memcmp(cookie.data(), kDhcpMagicCookie.data(),
                                                      kDhcpMagicCookie.size()) == 0;
    // Without the cookie it is a plain BOOTP message: no options to look at.
    if (hasCookie && !packet->m_options.Read(reader.RemainingSpan())) {
        packet.reset();
    }
    return packet;
}

CDhcpPacket::CDhcpPacket(std::span<const std::uint8_t, kFixedPartLength> fixedPart) {
    std::memcpy(m_fixed.data(), fixedPart.data(), m_fixed.size());
}

std::size_t CDhcpPacket::Encode(std::span<std::uint8_t> buffer) const {
    ByteWriter writer(buffer);
    writer.WriteBytes(m_fixed);
    writer.WriteBytes(kDhcpMagicCookie);
    m_options.Write(writer);
    if (writer.Position() < kMinimumMessageLength) {
        writer.WriteZeros(kMinimumMessageLength - writer.Position());
    }
    return writer.Ok() ? writer.Position() : 0;
}

void CDhcpPacket::SetFlags(std::uint16_t flags) {
    m_fixed[kFlags] = static_cast<std::uint8_t>(flags >> 8);
    m_fixed[kFlags + 1] = static_cast<std::uint8_t>(flags);
}

void CDhcpPacket::SetClientMac(const MacAddress& mac) {
    const auto chaddr = m_fixed.begin() + kClientHardwareAddress;
    std::fill_n(chaddr, 16, 0);
    std::copy(mac.begin(), mac.end(), chaddr);
}

void CDhcpPacket::WriteAddress(std::size_t offset, const Ipv4Octets& address) {
    std::memcpy(m_fixed.data() + offset, address.data(), address.size());
}

}  // namespace ordvane
