#include "dhcp/DhcpReplyRules.h"

#include <algorithm>
#include <string_view>

#include "modsvc/QuillmorOui.h"

namespace ordvane {

namespace {

constexpr Ipv4Octets kRecoveryMask = {255, 255, 255, 0};

bool CarriesMakerOui(const MacAddress& mac) {
    return std::equal(kQuillmorOui.begin(), kQuillmorOui.end(), mac.begin());
}

// Addresses compared as numbers: the rules compare several per request.
bool Same(const Ipv4Octets& one, const Ipv4Octets& other) {
    return AddressValue(one) == AddressValue(other);
}

bool IsZero(const Ipv4Octets& address) {
    return AddressValue(address) == 0;
}

bool InRecoverySubnet(const Ipv4Octets& address) {
    const Ipv4Octets first = RecoveryAddressOf({});
    return (AddressValue(first) >> 8) == (AddressValue(address) >> 8);
}

// A server named by a REQUEST; 0.0.0.0 names none: a client that was offered none sends it.
std::optional<Ipv4Octets> NamedServer(const CDhcpPacket& request) {
    const std::optional<Ipv4Octets>& named = request.Options().ServerId();
    if (!request.Options().IsOfType(DhcpMessageType::kRequest) || !named || IsZero(*named)) {
        return std::nullopt;
    }
    return named;
}

}  // namespace

std::optional<DhcpReply> DhcpReplyPolicy::ReplyTo(const CDhcpPacket& request,
                                                  const Ipv4Octets& serverAddress) const {
    DhcpVerdict verdict = Admit(request);
    if (verdict == DhcpVerdict::kAdmitted) {
        verdict = JudgeAdmitted(request, serverAddress);
    }
    if (!IsAnswered(verdict)) {
        return std::nullopt;
    }
    return std::optional<DhcpReply>(std::in_place, request, ReplyTypeOf(verdict), serverAddress);
}

std::optional<Ipv4Octets> OtherServerShown(const CDhcpPacket& request, DhcpVerdict verdict) {
    if (verdict != DhcpVerdict::kOtherServerChosen && verdict != DhcpVerdict::kForeignMaker) {
        return std::nullopt;
    }
    return NamedServer(request);
}

DhcpVerdict DhcpReplyPolicy::Admit(const CDhcpPacket& request) const {
    // Only a client's request about an Ethernet address is ours to answer: a server's reply
    // seen on the link, or a client of another hardware type, carries a chaddr that names no
    // module.
    if (!request.IsOp(CDhcpPacket::Op::kBootRequest) ||
        request.HardwareType() != CDhcpPacket::kEthernet ||
        request.HardwareLength() != CDhcpPacket::kEthernetAddressLength) {
        return DhcpVerdict::kNotEthernetRequest;
    }
    const DhcpOptions& options = request.Options();
    const MacAddress mac = request.ClientMac();
    // This server answers no other maker's device, so a REQUEST from one that names a server
    // names another one: the link has a DHCP server of its own (OtherServerShown).
    if (!CarriesMakerOui(mac)) {
        return DhcpVerdict::kForeignMaker;
    }
    if (!IsAnsweredMac(mac)) {
        return DhcpVerdict::kNotListed;
    }
    // Only a DISCOVER or a REQUEST has an answer; a RELEASE, DECLINE, INFORM or a message
    // without a type gets none.
    if (!options.IsOfType(DhcpMessageType::kDiscover) &&
        !options.IsOfType(DhcpMessageType::kRequest)) {
        return DhcpVerdict::kUnansweredType;
    }
    return DhcpVerdict::kAdmitted;
}

DhcpVerdict DhcpReplyPolicy::JudgeAdmitted(const CDhcpPacket& request,
                                           const Ipv4Octets& serverAddress) const {
    const DhcpOptions& options = request.Options();
    if (options.IsOfType(DhcpMessageType::kDiscover)) {
        return DhcpVerdict::kOffer;
    }
    // A client that names another server in its REQUEST has chosen that server's offer: an
    // answer from us would only fight it.
    const std::optional<Ipv4Octets> named = NamedServer(request);
    if (named && !Same(*named, serverAddress)) {
        return DhcpVerdict::kOtherServerChosen;
    }
    const Ipv4Octets own = RecoveryAddressOf(request.ClientMac());
    const std::optional<Ipv4Octets>& requested = options.RequestedAddress();
    const Ipv4Octets clientAddress = request.ClientAddress();
    // A client asking for another address is told that it may not have it.
    const DhcpVerdict forRequested =
        !requested || Same(*requested, own) ? DhcpVerdict::kAck : DhcpVerdict::kNak;
    // Which state the client is in decides what the server may say: only a client that took
    // our offer, or one whose address is its 10.200.1.N, is ours to answer.
    const std::optional<Ipv4Octets>& serverId = options.ServerId();
    const bool selectsThisServer = serverId && Same(*serverId, serverAddress);
    if (selectsThisServer || (!requested && IsZero(clientAddress))) {
        return forRequested;  // selecting, or asking without naming anything
    }
    if (!IsZero(clientAddress)) {  // renewing or rebinding
        return Same(clientAddress, own) ? DhcpVerdict::kAck : DhcpVerdict::kRenewsForeignLease;
    }
    // Rebooting with a remembered address: one outside the recovery subnet is another
    // server's to confirm or refuse.
    if (forRequested == DhcpVerdict::kNak && !InRecoverySubnet(*requested)) {
        return DhcpVerdict::kConfirmsForeignAddress;
    }
    return forRequested;
}

bool DhcpReplyPolicy::IsAnsweredMac(const MacAddress& mac) const {
    return m_answeredMacs.empty() ||
           std::find(m_answeredMacs.begin(), m_answeredMacs.end(), mac) != m_answeredMacs.end();
}

DhcpReply::DhcpReply(const CDhcpPacket& request, DhcpMessageType replyType,
                     const Ipv4Octets& serverAddress)
    : type(replyType), mac(request.ClientMac()), address(RecoveryAddressOf(mac)) {
    // A client that already has an address and asks directly (no relay) listens on that
    // address: a renewing client may not take a broadcast answer at all. A NAK always goes by
    // broadcast, as the client's address is what it refuses.
    const Ipv4Octets clientAddress = request.ClientAddress();
    if (!IsZero(clientAddress) && IsZero(request.RelayAddress()) && type != DhcpMessageType::kNak) {
        unicastTo = clientAddress;
    }

    // Every field not set here is zero: nothing of the request but its type of hardware
    // address, transaction and client MAC goes back.
    CDhcpPacket message;
    message.SetOp(CDhcpPacket::Op::kBootReply);
    message.SetHardware(request.HardwareType(), request.HardwareLength());
    message.SetTransactionId(request.TransactionId());
    message.SetClientMac(mac);
    DhcpOptions& options = message.Options();
    options.SetMessageType(type);
    // Strict clients take no offer or acknowledgement without a server identifier.
    options.SetServerId(serverAddress);
    if (type == DhcpMessageType::kNak) {
        // A NAK grants nothing: no address, no mask, no lease time; only its type, the server
        // identifier and a reason the client may log.
        options.SetMessage("address not valid on this link");
    } else {
        message.SetYourAddress(address);
        options.SetSubnetMask(kRecoveryMask);
        // An hour outlasts any recovery session, and a module that renews at half time while
        // the server still runs keeps its address.
        options.SetLeaseSeconds(DhcpReplyPolicy::kLeaseSeconds);
    }
    message.Encode(bytes);  // the options end well before 300 bytes: it always fits
}

}  // namespace ordvane
