#include "dhcp/DhcpOptions.h"

#include <algorithm>
#include <cstring>

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
    Ipv4Octets& address = slot.emplace();
    std::memcpy(address.data(), value.data(), address.size());
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

bool DhcpOptions::Read(std::span<const std::uint8_t> options) {
    DhcpOptions& read = *this;
    m_messageType.reset();
    m_subnetMask.reset();
    m_requestedAddress.reset();
    m_serverId.reset();
    m_leaseSeconds.reset();
    m_messageLength = 0;
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
            return false;  // the length byte or the value lies past the bytes
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
            return false;
        }
    }
    return true;
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
