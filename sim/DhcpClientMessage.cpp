#include "sim/DhcpClientMessage.h"

#include "dhcp/CDhcpPacket.h"

namespace ordvane::sim {

namespace {

constexpr std::uint16_t kBroadcastFlag = 0x8000;

std::optional<Ipv4Octets> AddressOption(std::uint32_t address) {
    return address != 0 ? std::optional(AddressOctets(address)) : std::nullopt;
}

std::optional<std::uint32_t> AddressValueOf(const std::optional<Ipv4Octets>& address) {
    return address ? std::optional(AddressValue(*address)) : std::nullopt;
}

}  // namespace

std::size_t EncodeDhcpClientRequest(const DhcpClientRequest& request,
                                    std::span<std::uint8_t> buffer) {
    if (buffer.size() < kDhcpRequestSize) {
        return 0;
    }
    CDhcpPacket message;
    message.SetOp(CDhcpPacket::Op::kBootRequest);
    message.SetHardware(CDhcpPacket::kEthernet, CDhcpPacket::kEthernetAddressLength);
    message.SetTransactionId(request.transactionId);
    message.SetFlags(kBroadcastFlag);  // no address yet to receive a unicast on
    message.SetClientMac(request.mac);
    DhcpOptions& options = message.Options();
    options.SetMessageType(request.type);
    options.SetRequestedAddress(AddressOption(request.requestedAddress));
    options.SetServerId(AddressOption(request.serverIdentifier));
    return message.Encode(buffer.first(kDhcpRequestSize));
}

std::optional<DhcpServerAnswer> DecodeDhcpServerAnswer(std::span<const std::uint8_t> datagram) {
    const std::optional<CDhcpPacket> message = CDhcpPacket::Decode(datagram);
    // Without the magic cookie a message has no options, so no type either.
    if (!message || !message->IsOp(CDhcpPacket::Op::kBootReply) ||
        message->HardwareType() != CDhcpPacket::kEthernet ||
        message->HardwareLength() != CDhcpPacket::kEthernetAddressLength ||
        !message->Options().MessageTypeByte()) {
        return std::nullopt;
    }
    DhcpServerAnswer answer;
    answer.type = static_cast<DhcpMessageType>(*message->Options().MessageTypeByte());
    answer.transactionId = message->TransactionId();
    answer.clientMac = message->ClientMac();
    answer.yourAddress = AddressValue(message->YourAddress());
    answer.subnetMask = AddressValueOf(message->Options().SubnetMask());
    answer.serverIdentifier = AddressValueOf(message->Options().ServerId());
    return answer;
}

}  // namespace ordvane::sim
