#include "dhcp/CDhcpPacket.h"

#include <algorithm>
#include <cstring>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace {

enum OptionCode : std::uint8_t {
    kPad = 0,
    kSubnetMask = 1,
    kRequestedIp = 50,
    kLeaseTime = 51,
    kMessageType = 53,
    kServerId = 54,
    kMessage = 56,
    kEnd = 255,
};

// Copies an option of fixed length into its slot; a different length makes the message
// malformed.
template <std::size_t Size>
bool StoreFixedOption(std::span<const std::uint8_t> value, std::uint8_t (&slot)[Size],
                      bool& present) {
    if (value.size() != Size) {
        return false;
    }
    std::memcpy(slot, value.data(), Size);
    present = true;
    return true;
}

bool StoreByteOption(std::span<const std::uint8_t> value, std::uint8_t& slot, bool& present) {
    if (value.size() != 1) {
        return false;
    }
    slot = value[0];
    present = true;
    return true;
}

}  // namespace

CDhcpPacket::CDhcpPacket() {
    Clear();
}

void CDhcpPacket::Clear() {
    m_optionsLength = 0;
    m_length = 0;
    op = 0;
    htype = 0;
    hlen = 0;
    hops = 0;
    std::memset(xid, 0, sizeof xid);
    std::memset(secs, 0, sizeof secs);
    std::memset(ciaddr, 0, sizeof ciaddr);
    std::memset(yiaddr, 0, sizeof yiaddr);
    std::memset(siaddr, 0, sizeof siaddr);
    std::memset(giaddr, 0, sizeof giaddr);
    std::memset(chaddr, 0, sizeof chaddr);
    std::memset(sname, 0, sizeof sname);
    std::memset(file, 0, sizeof file);
    std::memset(m_options, 0, sizeof m_options);
    std::memset(m_raw, 0, sizeof m_raw);
    ClearOptionSlots();
}

void CDhcpPacket::ClearOptionSlots() {
    m_hasMessageType = false;
    m_messageType = 0;
    m_hasSubnetMask = false;
    std::memset(m_subnetMask, 0, sizeof m_subnetMask);
    m_hasServerId = false;
    std::memset(m_serverId, 0, sizeof m_serverId);
    m_hasRequestedIp = false;
    std::memset(m_requestedIp, 0, sizeof m_requestedIp);
    m_hasLeaseTime = false;
    std::memset(m_leaseTime, 0, sizeof m_leaseTime);
    m_hasMessage = false;
    m_messageLength = 0;
    std::memset(m_message, 0, sizeof m_message);
}

bool CDhcpPacket::Decode() {
    // The slots must describe this message only, whatever the previous one carried.
    ClearOptionSlots();
    if (m_length < kFixedPartLength || m_length > static_cast<std::int32_t>(kRawCapacity)) {
        return false;
    }
    ordvane::ByteReader reader(m_raw, static_cast<std::size_t>(m_length));
    op = reader.ReadU8();
    htype = reader.ReadU8();
    hlen = reader.ReadU8();
    hops = reader.ReadU8();
    reader.ReadBytes(xid, sizeof xid);
    reader.ReadBytes(secs, sizeof secs);
    reader.Skip(2);  // the flags word is not kept
    reader.ReadBytes(ciaddr, sizeof ciaddr);
    reader.ReadBytes(yiaddr, sizeof yiaddr);
    reader.ReadBytes(siaddr, sizeof siaddr);
    reader.ReadBytes(giaddr, sizeof giaddr);
    reader.ReadBytes(chaddr, sizeof chaddr);
    reader.ReadBytes(sname, sizeof sname);
    reader.ReadBytes(file, sizeof file);

    m_optionsLength = m_length - kFixedPartLength;
    const std::span<const std::uint8_t> options = reader.RemainingSpan();
    const std::size_t kept = std::min(options.size(), sizeof m_options);
    std::memcpy(m_options, options.data(), kept);
    std::memset(m_options + kept, 0, sizeof m_options - kept);
    if (!reader.Ok()) {
        return false;
    }
    return DecodeOptions(options);
}

bool CDhcpPacket::DecodeOptions(std::span<const std::uint8_t> options) {
    if (options.size() < sizeof kMagicCookie ||
        std::memcmp(options.data(), kMagicCookie, sizeof kMagicCookie) != 0) {
        return true;  // a plain BOOTP message: no options to look at
    }
    ordvane::ByteReader reader(options.subspan(sizeof kMagicCookie));
    while (!reader.AtEnd()) {
        const std::uint8_t code = reader.ReadU8();
        if (code == kPad) {
            continue;
        }
        if (code == kEnd) {
            break;
        }
        const std::uint8_t length = reader.ReadU8();
        const std::span<const std::uint8_t> value = reader.ReadSpan(length);
        if (!reader.Ok()) {
            return false;  // the length byte or the value lies past the received bytes
        }
        bool wellFormed = true;
        switch (code) {
            case kSubnetMask:
                wellFormed = StoreFixedOption(value, m_subnetMask, m_hasSubnetMask);
                break;
            case kRequestedIp:
                wellFormed = StoreFixedOption(value, m_requestedIp, m_hasRequestedIp);
                break;
            case kServerId:
                wellFormed = StoreFixedOption(value, m_serverId, m_hasServerId);
                break;
            case kMessageType:
                wellFormed = StoreByteOption(value, m_messageType, m_hasMessageType);
                break;
            default:
                break;  // options the server has no use for are skipped by their length
        }
        if (!wellFormed) {
            return false;
        }
    }
    return true;
}

bool CDhcpPacket::Encode() {
    ordvane::ByteWriter writer(m_raw);
    writer.WriteU8(op);
    writer.WriteU8(htype);
    writer.WriteU8(hlen);
    writer.WriteU8(hops);
    writer.WriteBytes(xid, sizeof xid);
    writer.WriteBytes(secs, sizeof secs);
    writer.WriteZeros(2);  // flags: a reply never asks for anything
    writer.WriteBytes(ciaddr, sizeof ciaddr);
    writer.WriteBytes(yiaddr, sizeof yiaddr);
    writer.WriteBytes(siaddr, sizeof siaddr);
    writer.WriteBytes(giaddr, sizeof giaddr);
    writer.WriteBytes(chaddr, sizeof chaddr);
    writer.WriteBytes(sname, sizeof sname);
    writer.WriteBytes(file, sizeof file);
    writer.WriteBytes(kMagicCookie, sizeof kMagicCookie);
    if (m_hasMessageType) {
        const std::uint8_t option[] = {kMessageType, 1, m_messageType};
        writer.WriteBytes(option, sizeof option);
    }
    if (m_hasSubnetMask) {
        const std::uint8_t option[] = {kSubnetMask, 4};
        writer.WriteBytes(option, sizeof option);
        writer.WriteBytes(m_subnetMask, sizeof m_subnetMask);
    }
    if (m_hasServerId) {
        const std::uint8_t option[] = {kServerId, 4};
        writer.WriteBytes(option, sizeof option);
        writer.WriteBytes(m_serverId, sizeof m_serverId);
    }
    if (m_hasLeaseTime) {
        const std::uint8_t option[] = {kLeaseTime, 4};
        writer.WriteBytes(option, sizeof option);
        writer.WriteBytes(m_leaseTime, sizeof m_leaseTime);
    }
    if (m_hasMessage) {
        const std::uint8_t length = std::min<std::uint8_t>(m_messageLength, kMessageCapacity);
        const std::uint8_t option[] = {kMessage, length};
        writer.WriteBytes(option, sizeof option);
        writer.WriteBytes(m_message, length);
    }
    writer.WriteU8(kEnd);
    if (writer.Position() < static_cast<std::size_t>(kMinimumMessageLength)) {
        writer.WriteZeros(kMinimumMessageLength - writer.Position());
    }
    m_length = static_cast<std::int32_t>(writer.Position());
    m_optionsLength = m_length - kFixedPartLength;
    return writer.Ok();
}

std::span<const std::uint8_t> CDhcpPacket::EncodedBytes() const {
    const std::size_t length = m_length > 0 ? static_cast<std::size_t>(m_length) : 0;
    return {m_raw, std::min(length, sizeof m_raw)};
}
