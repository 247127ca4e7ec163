#pragma once
// The recovery server's reply rules as a function of one request and the address the server
// answers from: no state is kept between requests, so the rules may be asked from any thread.
//
// Only clients whose hardware address carries the maker's OUI (and, when a list is set, only
// the MACs listed) are answered; a client is always given 10.200.1.N/24, N the last byte of its
// MAC, for one hour. The server speaks only for 10.200.1.0/24, so that it may run beside a
// plant's own DHCP server: a REQUEST that names another server, or that confirms, renews or
// rebinds an address other than the client's 10.200.1.N, gets no answer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "dhcp/CDhcpPacket.h"
#include "dhcp/DhcpOptions.h"

namespace ordvane {

// The rules' verdict on a request: the reply it gets, or why it gets none.
enum class DhcpVerdict : std::uint8_t {
    kOffer,
    kAck,
    kNak,
    kAdmitted,                // passes the checks that need no server address (Admit only)
    kNotEthernetRequest,      // a server's reply seen on the link, or another hardware type
    kForeignMaker,            // a hardware address without the maker's OUI
    kNotListed,               // a module that is not among those to answer
    kUnansweredType,          // neither a DISCOVER nor a REQUEST
    kOtherServerChosen,       // a REQUEST naming another server
    kConfirmsForeignAddress,  // a rebooting client confirming an address outside 10.200.1.0/24
    kRenewsForeignLease,      // renewing or rebinding an address not the client's 10.200.1.N
};

constexpr bool IsAnswered(DhcpVerdict verdict) {
    return verdict <= DhcpVerdict::kNak;
}
// The message type of an answered verdict's reply.
constexpr DhcpMessageType ReplyTypeOf(DhcpVerdict verdict) {
    return verdict == DhcpVerdict::kAck   ? DhcpMessageType::kAck
           : verdict == DhcpVerdict::kNak ? DhcpMessageType::kNak
                                          : DhcpMessageType::kOffer;
}

// One reply, encoded and ready to send. Its bytes are always 300: the options of an OFFER, an
// ACK or a NAK end well before.
struct DhcpReply {
    static constexpr std::size_t kLength = CDhcpPacket::kMinimumMessageLength;

    // The reply of the given type to a request, from a server at serverAddress. A constructor,
    // so that an optional reply is built where it lies.
    DhcpReply(const CDhcpPacket& request, DhcpMessageType replyType,
              const Ipv4Octets& serverAddress);

    DhcpMessageType type = DhcpMessageType::kOffer;
    MacAddress mac = {};
    // The client's 10.200.1.N, also for a NAK, whose yiaddr is 0.
    Ipv4Octets address = {};
    // The client's own address when it asked directly for a renewal and listens there; empty
    // for a broadcast.
    std::optional<Ipv4Octets> unicastTo;
    std::array<std::uint8_t, kLength> bytes;  // all written by the constructor above

    std::span<const std::uint8_t> Bytes() const { return bytes; }
};

class DhcpReplyPolicy {
public:
    // The server identifier on an interface without an IPv4 address: the recovery subnet's
    // first address, where a technician's computer usually sits.
    static constexpr Ipv4Octets kServerIdWithoutAddress = {10, 200, 1, 1};
    static constexpr std::uint32_t kLeaseSeconds = 3600;

    // Answers every module.
    DhcpReplyPolicy() = default;
    // Answers only these MACs (each must still carry the maker's OUI); an empty list answers
    // every module.
    explicit DhcpReplyPolicy(std::vector<MacAddress> answeredMacs)
        : m_answeredMacs(std::move(answeredMacs)) {}

    // The reply to a request from a server at serverAddress, or none.
    std::optional<DhcpReply> ReplyTo(const CDhcpPacket& request,
                                     const Ipv4Octets& serverAddress) const;

    // The same rules in two steps, so that a request that is not ours is dropped before the
    // server's address is looked up: first what needs no address (kAdmitted when it passes),
    // then the answer to an admitted request.
    DhcpVerdict Admit(const CDhcpPacket& request) const;
    DhcpVerdict JudgeAdmitted(const CDhcpPacket& request, const Ipv4Octets& serverAddress) const;

private:
    bool IsAnsweredMac(const MacAddress& mac) const;

    std::vector<MacAddress> m_answeredMacs;
};

// The other DHCP server a request shows to serve the link, by the verdict on it: one that a
// REQUEST chose, or that another maker's device's REQUEST names.
std::optional<Ipv4Octets> OtherServerShown(const CDhcpPacket& request, DhcpVerdict verdict);

// The recovery subnet's address of a MAC: 10.200.1.N, N its last byte.
constexpr Ipv4Octets RecoveryAddressOf(const MacAddress& mac) {
    return {10, 200, 1, mac[5]};
}

}  // namespace ordvane
