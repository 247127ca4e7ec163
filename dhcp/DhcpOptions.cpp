#include "dhcp/DhcpOptions.h"

#include <algorithm>

#include "platform/ByteReader.h"

namespace ordvane {

namespace {

enum class OptionCode : std::uint8_t {
    kPad = 0,
    kSubnetMask = 1,
    kRequestedAddress = 50,
    kLeaseTime = 51,
    kMessageType = 53,
    kServerId = 54,
    kMessage = 56,
    kEnd = 255,
};

// An address option must be exactly four bytes; any other length makes the message malformed.
bool StoreAddress(std::span<const std::uint8_t> value, std::optional<Ipv4Octets>& slot) {
    if (value.size() != 4) {
        return false;
    }
    slot = Ipv4Octets{value[0], value[1], value[2], value[3]};
    return true;
}

void WriteHeader(ByteWriter& writer, OptionCode code, std::size_t length) {
    writer.WriteU8(static_cast<std::uint8_t>(code));
    writer.WriteU8(static_cast<std::uint8_t>(length));
}

void WriteAddress(ByteWriter& writer, OptionCode code, const std::optional<Ipv4Octets>& address) {
    if (address) {
        WriteHeader(writer, code, address->size());
        writer.WriteBytes(address->data(), address->size());
    }
}

}  // namespace

std::optional<DhcpOptions> DhcpOptions::Read(std::span<const std::uint8_t> options) {
    DhcpOptions read;
    ByteReader reader(options);
    while (!reader.AtEnd()) {
        const auto code = static_cast<OptionCode>(reader.ReadU8());
        if (code == OptionCode::kPad) {
            continue;
        }
        if (code == OptionCode::kEnd) {
            break;
        }
        const std::uint8_t length = reader.ReadU8();
        const std::span<const std::uint8_t> value = reader.ReadSpan(length);
        if (!reader.Ok()) {
            return std::nullopt;  // the length byte or the value lies past the bytes
        }
        bool wellFormed = true;
        switch (code) {
            case OptionCode::kSubnetMask:
                wellFormed = StoreAddress(value, read.m_subnetMask);
                break;
            case OptionCode::kRequestedAddress:
                wellFormed = StoreAddress(value, read.m_requestedAddress);
                break;
            case OptionCode::kServerId:
                wellFormed = StoreAddress(value, read.m_serverId);
                break;
            case OptionCode::kMessageType:
                wellFormed = value.size() == 1;
                read.m_messageType = value.empty() ? 0 : value[0];
                break;
            default:
                break;  // options no one here reads are skipped by their length
        }
        if (!wellFormed) {
            return std::nullopt;
        }
    }
    return read;
}

bool DhcpOptions::Write(ByteWriter& writer) const {
    if (m_messageType) {
        WriteHeader(writer, OptionCode::kMessageType, 1);
        writer.WriteU8(*m_messageType);
    }
    WriteAddress(writer, OptionCode::kSubnetMask, m_subnetMask);
    WriteAddress(writer, OptionCode::kRequestedAddress, m_requestedAddress);
    WriteAddress(writer, OptionCode::kServerId, m_serverId);
    if (m_leaseSeconds) {
        WriteHeader(writer, OptionCode::kLeaseTime, 4);
        writer.WriteU32Be(*m_leaseSeconds);
    }
    if (m_messageLength > 0) {
        WriteHeader(writer, OptionCode::kMessage, m_messageLength);
        writer.WriteBytes(m_message.data(), m_messageLength);
    }
    writer.WriteU8(static_cast<std::uint8_t>(OptionCode::kEnd));
    return writer.Ok();
}

void DhcpOptions::SetMessage(std::string_view text) {
    m_messageLength = static_cast<std::uint8_t>(std::min(text.size(), m_message.size()));
    std::copy_n(text.begin(), m_messageLength, m_message.begin());
}

}  // namespace ordvane
