#include "dhcp/CDhcpPacket.h"

#include <algorithm>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace ordvane {

std::optional<CDhcpPacket> CDhcpPacket::Decode(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kFixedPartLength || datagram.size() > kMaximumMessageLength) {
        return std::nullopt;
    }
    CDhcpPacket packet;
    ByteReader reader(datagram);
    reader.ReadBytes(packet.m_fixed);
    const std::span<const std::uint8_t> cookie = reader.ReadSpan(kDhcpMagicCookie.size());
    if (!reader.Ok() || !std::equal(cookie.begin(), cookie.end(), kDhcpMagicCookie.begin())) {
        return packet;  // a plain BOOTP message: no options to look at
    }
    std::optional<DhcpOptions> options = DhcpOptions::Read(reader.RemainingSpan());
    if (!options) {
        return std::nullopt;
    }
    packet.m_options = *options;
    return packet;
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

MacOctets CDhcpPacket::ClientMac() const {
    MacOctets mac;
    std::copy_n(m_fixed.begin() + kClientHardwareAddress, mac.size(), mac.begin());
    return mac;
}

void CDhcpPacket::SetFlags(std::uint16_t flags) {
    m_fixed[kFlags] = static_cast<std::uint8_t>(flags >> 8);
    m_fixed[kFlags + 1] = static_cast<std::uint8_t>(flags);
}

void CDhcpPacket::SetClientMac(const MacOctets& mac) {
    const auto chaddr = m_fixed.begin() + kClientHardwareAddress;
    std::fill_n(chaddr, 16, 0);
    std::copy(mac.begin(), mac.end(), chaddr);
}

void CDhcpPacket::WriteAddress(std::size_t offset, const Ipv4Octets& address) {
    std::copy(address.begin(), address.end(),
              m_fixed.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace ordvane
