#include "dhcp/DhcpReplyRules.h"

#include <algorithm>
#include <string_view>

#include "modsvc/QuillmorOui.h"

namespace ordvane {

namespace {

constexpr Ipv4Octets kRecoveryMask = {255, 255, 255, 0};

bool CarriesMakerOui(const MacOctets& mac) {
    return std::equal(kQuillmorOui.begin(), kQuillmorOui.end(), mac.begin());
}

bool IsZero(const Ipv4Octets& address) {
    return address == Ipv4Octets{};
}

bool InRecoverySubnet(const Ipv4Octets& address) {
    const Ipv4Octets first = RecoveryAddressOf({});
    return std::equal(first.begin(), first.begin() + 3, address.begin());
}

DhcpVerdict Dropped(DhcpDrop drop, std::optional<Ipv4Octets> otherServer = std::nullopt) {
    return {drop, DhcpMessageType::kOffer, otherServer};
}

DhcpVerdict Answered(DhcpMessageType type) {
    return {DhcpDrop::kNone, type, std::nullopt};
}

}  // namespace

Ipv4Octets RecoveryAddressOf(const MacOctets& mac) {
    return {10, 200, 1, mac[5]};
}

std::optional<DhcpReply> DhcpReplyPolicy::ReplyTo(const CDhcpPacket& request,
                                                  const Ipv4Octets& serverAddress) const {
    DhcpVerdict verdict = Admit(request);
    if (verdict.drop == DhcpDrop::kNone) {
        verdict = JudgeAdmitted(request, serverAddress);
    }
    if (verdict.drop != DhcpDrop::kNone) {
        return std::nullopt;
    }
    return BuildReply(request, verdict.answer, serverAddress);
}

DhcpVerdict DhcpReplyPolicy::Admit(const CDhcpPacket& request) const {
    // Only a client's request about an Ethernet address is ours to answer: a server's reply
    // seen on the link, or a client of another hardware type, carries a chaddr that names no
    // module.
    if (!request.IsOp(CDhcpPacket::Op::kBootRequest) ||
        request.HardwareType() != CDhcpPacket::kEthernet ||
        request.HardwareLength() != CDhcpPacket::kEthernetAddressLength) {
        return Dropped(DhcpDrop::kNotEthernetRequest);
    }
    const DhcpOptions& options = request.Options();
    const MacOctets mac = request.ClientMac();
    if (!CarriesMakerOui(mac)) {
        // This server answers no other maker's device, so a REQUEST from one that names a
        // server names another one: the link has a DHCP server of its own.
        const std::optional<Ipv4Octets>& named = options.ServerId();
        const bool namesServer =
            options.IsOfType(DhcpMessageType::kRequest) && named && !IsZero(*named);
        return Dropped(DhcpDrop::kForeignMaker, namesServer ? named : std::nullopt);
    }
    if (!IsAnsweredMac(mac)) {
        return Dropped(DhcpDrop::kNotListed);
    }
    // Only a DISCOVER or a REQUEST has an answer; a RELEASE, DECLINE, INFORM or a message
    // without a type gets none.
    if (!options.IsOfType(DhcpMessageType::kDiscover) &&
        !options.IsOfType(DhcpMessageType::kRequest)) {
        return Dropped(DhcpDrop::kUnansweredType);
    }
    return Answered(DhcpMessageType::kOffer);
}

DhcpVerdict DhcpReplyPolicy::JudgeAdmitted(const CDhcpPacket& request,
                                           const Ipv4Octets& serverAddress) const {
    const DhcpOptions& options = request.Options();
    if (options.IsOfType(DhcpMessageType::kDiscover)) {
        return Answered(DhcpMessageType::kOffer);
    }
    // A client that names another server in its REQUEST has chosen that server's offer: an
    // answer from us would only fight it. 0.0.0.0 names no server: a client that was offered
    // none sends it.
    const std::optional<Ipv4Octets>& named = options.ServerId();
    if (named && !IsZero(*named) && *named != serverAddress) {
        return Dropped(DhcpDrop::kOtherServerChosen, named);
    }
    const Ipv4Octets own = RecoveryAddressOf(request.ClientMac());
    const std::optional<Ipv4Octets>& requested = options.RequestedAddress();
    const Ipv4Octets clientAddress = request.ClientAddress();
    // A client asking for another address is told that it may not have it.
    const DhcpMessageType forRequested =
        !requested || *requested == own ? DhcpMessageType::kAck : DhcpMessageType::kNak;
    // Which state the client is in decides what the server may say: only a client that took
    // our offer, or one whose address is its 10.200.1.N, is ours to answer.
    const bool selectsThisServer = named == serverAddress;
    if (selectsThisServer || (!requested && IsZero(clientAddress))) {
        return Answered(forRequested);  // selecting, or asking without naming anything
    }
    if (!IsZero(clientAddress)) {  // renewing or rebinding
        return clientAddress == own ? Answered(DhcpMessageType::kAck)
                                    : Dropped(DhcpDrop::kRenewsForeignLease);
    }
    // Rebooting with a remembered address: one outside the recovery subnet is another
    // server's to confirm or refuse.
    if (forRequested == DhcpMessageType::kNak && !InRecoverySubnet(*requested)) {
        return Dropped(DhcpDrop::kConfirmsForeignAddress);
    }
    return Answered(forRequested);
}

bool DhcpReplyPolicy::IsAnsweredMac(const MacOctets& mac) const {
    return m_answeredMacs.empty() ||
           std::find(m_answeredMacs.begin(), m_answeredMacs.end(), mac) != m_answeredMacs.end();
}

DhcpReply BuildReply(const CDhcpPacket& request, DhcpMessageType type,
                     const Ipv4Octets& serverAddress) {
    DhcpReply reply;
    reply.type = type;
    reply.mac = request.ClientMac();
    reply.address = RecoveryAddressOf(reply.mac);
    // A client that already has an address and asks directly (no relay) listens on that
    // address: a renewing client may not take a broadcast answer at all. A NAK always goes by
    // broadcast, as the client's address is what it refuses.
    const Ipv4Octets clientAddress = request.ClientAddress();
    if (!IsZero(clientAddress) && IsZero(request.RelayAddress()) && type != DhcpMessageType::kNak) {
        reply.unicastTo = clientAddress;
    }

    // Every field not set here is zero: nothing of the request but its type of hardware
    // address, transaction and client MAC goes back.
    CDhcpPacket message;
    message.SetOp(CDhcpPacket::Op::kBootReply);
    message.SetHardware(request.HardwareType(), request.HardwareLength());
    message.SetTransactionId(request.TransactionId());
    message.SetClientMac(reply.mac);
    DhcpOptions& options = message.Options();
    options.SetMessageType(type);
    // Strict clients take no offer or acknowledgement without a server identifier.
    options.SetServerId(serverAddress);
    if (type == DhcpMessageType::kNak) {
        // A NAK grants nothing: no address, no mask, no lease time; only its type, the server
        // identifier and a reason the client may log.
        options.SetMessage("address not valid on this link");
    } else {
        message.SetYourAddress(reply.address);
        options.SetSubnetMask(kRecoveryMask);
        // An hour outlasts any recovery session, and a module that renews at half time while
        // the server still runs keeps its address.
        options.SetLeaseSeconds(DhcpReplyPolicy::kLeaseSeconds);
    }
    message.Encode(reply.bytes);  // the options end well before 300 bytes: it always fits
    return reply;
}

}  // namespace ordvane
