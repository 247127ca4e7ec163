#include "sim/DhcpClientMessage.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace ordvane::sim {

namespace {

constexpr std::uint8_t kBootRequest = 1;
constexpr std::uint8_t kBootReply = 2;
constexpr std::uint8_t kEthernet = 1;
constexpr std::uint8_t kEthernetAddressLength = 6;
constexpr std::uint16_t kBroadcastFlag = 0x8000;
constexpr std::uint32_t kMagicCookie = 0x63825363;
// op .. giaddr (28 bytes), chaddr (16), sname (64), file (128).
constexpr std::size_t kChaddrOffset = 28;
constexpr std::size_t kOptionsOffset = 236 + 4;

constexpr std::uint8_t kOptionPad = 0;
constexpr std::uint8_t kOptionSubnetMask = 1;
constexpr std::uint8_t kOptionRequestedAddress = 50;
constexpr std::uint8_t kOptionMessageType = 53;
constexpr std::uint8_t kOptionServerIdentifier = 54;
constexpr std::uint8_t kOptionEnd = 255;

void WriteAddressOption(ByteWriter& writer, std::uint8_t code, std::uint32_t address) {
    if (address != 0) {
        writer.WriteU8(code);
        writer.WriteU8(4);
        writer.WriteU32Be(address);
    }
}

// Walks the options after the cookie; false on a malformed option.
bool ReadOptions(ByteReader& reader, DhcpServerAnswer& answer, bool& hasType) {
    while (!reader.AtEnd()) {
        const std::uint8_t code = reader.ReadU8();
        if (code == kOptionEnd) {
            break;
        }
        if (code == kOptionPad) {
            continue;
        }
        const std::uint8_t length = reader.ReadU8();
        if (!reader.Ok() || reader.Remaining() < length) {
            return false;
        }
        const std::size_t next = reader.Position() + length;
        if (code == kOptionMessageType) {
            if (length != 1) {
                return false;
            }
            answer.type = static_cast<DhcpMessageType>(reader.ReadU8());
            hasType = true;
        } else if (code == kOptionSubnetMask || code == kOptionServerIdentifier) {
            if (length != 4) {
                return false;
            }
            (code == kOptionSubnetMask ? answer.subnetMask : answer.serverIdentifier) =
                reader.ReadU32Be();
        }
        reader.Seek(next);
    }
    return reader.Ok();
}

}  // namespace

std::size_t EncodeDhcpClientRequest(const DhcpClientRequest& request,
                                    std::span<std::uint8_t> buffer) {
    if (buffer.size() < kDhcpRequestSize) {
        return 0;
    }
    ByteWriter writer(buffer.first(kDhcpRequestSize));
    writer.WriteU8(kBootRequest);
    writer.WriteU8(kEthernet);
    writer.WriteU8(kEthernetAddressLength);
    writer.WriteU8(0);  // hops
    writer.WriteU32Be(request.transactionId);
    writer.WriteU16Be(0);  // seconds elapsed
    writer.WriteU16Be(kBroadcastFlag);
    writer.WriteZeros(16);  // ciaddr, yiaddr, siaddr, giaddr
    writer.WriteBytes(request.mac.data(), request.mac.size());
    writer.WriteZeros(10 + 64 + 128);  // rest of chaddr, sname, file
    writer.WriteU32Be(kMagicCookie);
    writer.WriteU8(kOptionMessageType);
    writer.WriteU8(1);
    writer.WriteU8(static_cast<std::uint8_t>(request.type));
    WriteAddressOption(writer, kOptionRequestedAddress, request.requestedAddress);
    WriteAddressOption(writer, kOptionServerIdentifier, request.serverIdentifier);
    writer.WriteU8(kOptionEnd);
    writer.WriteZeros(writer.Remaining());
    return writer.Ok() ? writer.Position() : 0;
}

std::optional<DhcpServerAnswer> DecodeDhcpServerAnswer(std::span<const std::uint8_t> datagram) {
    ByteReader reader(datagram);
    const std::uint8_t op = reader.ReadU8();
    const std::uint8_t hardwareType = reader.ReadU8();
    const std::uint8_t hardwareLength = reader.ReadU8();
    reader.Skip(1);  // hops
    DhcpServerAnswer answer;
    answer.transactionId = reader.ReadU32Be();
    reader.Skip(8);  // secs, flags, ciaddr
    answer.yourAddress = reader.ReadU32Be();
    reader.Seek(kChaddrOffset);
    reader.ReadBytes(answer.clientMac.data(), answer.clientMac.size());
    reader.Seek(kOptionsOffset - 4);
    const std::uint32_t cookie = reader.ReadU32Be();
    if (!reader.Ok() || op != kBootReply || hardwareType != kEthernet ||
        hardwareLength != kEthernetAddressLength || cookie != kMagicCookie) {
        return std::nullopt;
    }
    bool hasType = false;
    if (!ReadOptions(reader, answer, hasType) || !hasType) {
        return std::nullopt;
    }
    return answer;
}

}  // namespace ordvane::sim
