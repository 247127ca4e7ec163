#pragma once
// The socket side of the recovery DHCP server: one UDP socket on port 67, watched by a worker
// thread (DhcpThreadProc) that receives each queued datagram, asks the reply rules
// (DhcpReplyPolicy) for its answer and broadcasts it to port 68 out of the interface the
// request arrived on.
//
// It keeps no lease table: every datagram is judged on its own. Its server identifier is the
// address of the interface the request arrived on (10.200.1.1 when that interface has none).
// Every request the rules leave unanswered leaves a trace line saying why, and another DHCP
// server seen on a link is told of once.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dhcp/CDhcpPacket.h"
#include "dhcp/DhcpReplyRules.h"
#include "platform/ArrivalDatagram.h"
#include "platform/Result.h"

namespace ordvane {

class CDhcpServer {
public:
    static constexpr std::uint16_t kServerPort = 67;
    static constexpr std::uint16_t kClientPort = 68;
    static constexpr int kNoSocket = -1;

    using Address = Ipv4Octets;
    static constexpr Address kServerIdWithoutAddress = DhcpReplyPolicy::kServerIdWithoutAddress;
    static constexpr std::uint32_t kLeaseSeconds = DhcpReplyPolicy::kLeaseSeconds;

    using Mac = MacAddress;

    // One reply as it left: the message type (2 OFFER, 5 ACK, 6 NAK), the address given (the
    // client's 10.200.1.N, also for a NAK, whose yiaddr is 0), the client's MAC, the interface
    // it left by (0 when unknown), whether that interface has an IPv4 address, and whether it
    // went by unicast to the client's own address rather than by broadcast.
    struct ReplyReport {
        std::uint8_t messageType = 0;
        Address address = {};
        Mac mac = {};
        int interfaceIndex = 0;
        bool cardHasAddress = true;
        bool unicast = false;
    };

    // What the server found out about a link, said once per link and kind.
    struct LinkNotice {
        enum class Kind {
            // A REQUEST on the link named another server: the link has a DHCP server of its own.
            kOtherServer,
            // A lease went out of a card without an IPv4 address: the module's unicast renewal to
            // the server identifier 10.200.1.1 finds no host.
            kCardWithoutAddress,
        };
        Kind kind = Kind::kOtherServer;
        int interfaceIndex = 0;  // 0 when unknown
        Address otherServer = {};
    };

    // What the server has done since it was last started (kept once it stops), for a window to
    // show. Readable from any thread while the worker runs; a reply is counted just after it
    // is sent.
    struct Activity {
        std::uint32_t leases = 0;  // DHCPACKs sent
        bool hasLastLease = false;
        Mac lastLeaseMac = {};
        bool otherServerSeen = false;
        Address otherServer = {};
        int otherServerInterface = 0;
        // The card a lease left without an IPv4 address: 0 none, -1 one the kernel did not name.
        int cardWithoutAddressInterface = 0;
    };

    // Receives each trace text as it is formatted, on the worker thread.
    using TraceSink = std::function<void(std::string_view text)>;
    // Told of each reply sent, on the worker thread.
    using ReplySink = std::function<void(const ReplyReport& reply)>;
    // Told of each link notice, once per link and kind, on the worker thread.
    using NoticeSink = std::function<void(const LinkNotice& notice)>;

    CDhcpServer();
    virtual ~CDhcpServer();
    CDhcpServer(const CDhcpServer&) = delete;
    CDhcpServer& operator=(const CDhcpServer&) = delete;

    // Opens the UDP socket on port 67 of every local address (broadcast allowed, arrival
    // interface reported, non-blocking). No address-reuse option is set, so this fails while
    // another program holds the port. A process that may not bind port 67 gets the socket from
    // the port-67 helper program instead. On failure no socket stays open and the failure
    // names the failing step and the operating system's reason, e.g. "bind to UDP port 67:
    // Address already in use".
    Status Start();
    // Closes the socket if it is open. Only call it once the worker has left its loop.
    void Stop();
    // One poll: receives at most one waiting datagram, applies the reply rules and broadcasts
    // the answer. Returns 1 when a reply was sent, else 0. Allocates nothing.
    int ServiceOnce();
    // Works off every queued datagram, checking enabled before each one so that switching off
    // is not held up by a full queue. Returns the number of replies sent. Allocates nothing.
    int ServiceQueue(const std::atomic<std::uint8_t>& enabled);
    // Waits until a datagram is queued or WakeWorker() is called.
    void WaitForDatagram();
    // Ends a WaitForDatagram at once; the worker then reads its flag.
    void WakeWorker();

    // Handles one datagram as the worker does, as if it had just arrived on an interface whose
    // address is serverAddress, with the same trace lines and notices, and returns the reply
    // the worker would send. Not while the worker runs: which links were told of is the
    // worker's to keep.
    std::optional<DhcpReply> AnswerDatagram(std::span<const std::uint8_t> datagram,
                                            const Address& serverAddress = kServerIdWithoutAddress);

    bool IsOpen() const { return m_socket != kNoSocket; }

    // Trace texts, reply reports and link notices go nowhere unless a sink is set. Set them
    // while the server is switched off.
    void SetTraceSink(TraceSink sink) { m_traceSink = std::move(sink); }
    void SetReplySink(ReplySink sink) { m_replySink = std::move(sink); }
    void SetNoticeSink(NoticeSink sink) { m_noticeSink = std::move(sink); }

    // Answers only these MACs (each must still carry the maker's OUI to be answered); an empty
    // list answers every module. Set it while the server is switched off.
    void SetAnsweredMacs(std::vector<Mac> macs) { m_policy = DhcpReplyPolicy(std::move(macs)); }

    Activity CurrentActivity() const;
    void Trace(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    enum class Outcome { kQueueEmpty, kDropped, kAnswered };
    static constexpr std::size_t kNoticedLinksCapacity = 32;

    // The links already told of, per kind, so that each is said once; beyond the capacity a
    // notice is said again rather than never.
    struct NoticedLinks {
        std::array<int, kNoticedLinksCapacity> indexes = {};
        std::size_t count = 0;
        bool Add(int interfaceIndex);  // false when the link was told of already
    };

    Outcome ServiceNext();
    // The datagram decoded, when it is well formed and the rules that need no server address
    // let it through; else empty, with the trace and notice of its drop. A cut datagram is
    // malformed.
    std::optional<CDhcpPacket> Admit(std::span<const std::uint8_t> datagram, bool cut,
                                     int interfaceIndex);
    // The reply to an admitted request, or none, with the trace and notice of the verdict.
    std::optional<DhcpReply> Answer(const CDhcpPacket& request, const Address& serverAddress,
                                    int interfaceIndex);
    void TraceDrop(const CDhcpPacket& request, DhcpVerdict verdict) const;
    void TraceRequestVerdict(const CDhcpPacket& request, DhcpVerdict verdict) const;
    void NoticeOtherServer(const Address& named, int interfaceIndex);
    Address ServerAddressOf(const DatagramArrival& arrival, bool& hasAddress) const;
    bool SendReply(const DhcpReply& reply, const DatagramArrival& arrival);
    void ReportReply(const DhcpReply& reply, const DatagramArrival& arrival, bool cardHasAddress);

    int m_socket = kNoSocket;
    int m_wakeDescriptor = kNoSocket;  // an eventfd that WakeWorker makes readable

    TraceSink m_traceSink;
    ReplySink m_replySink;
    NoticeSink m_noticeSink;
    DhcpReplyPolicy m_policy;

    // Worker only: the receive buffer and the links already told of.
    std::array<std::uint8_t, CDhcpPacket::kMaximumMessageLength> m_received = {};
    NoticedLinks m_otherServerLinks;
    NoticedLinks m_cardWithoutAddressLinks;

    // Written by the worker, read by anyone (CurrentActivity). A MAC travels as its six bytes
    // in the low 48 bits with bit 48 set, an address as its four bytes first octet highest.
    std::atomic<std::uint32_t> m_leaseCount{0};
    std::atomic<std::uint64_t> m_lastLeaseMac{0};
    std::atomic<std::uint32_t> m_otherServerAddress{0};
    std::atomic<int> m_otherServerInterface{0};
    std::atomic<bool> m_otherServerSeen{false};
    std::atomic<int> m_cardWithoutAddressInterface{0};
};

}  // namespace ordvane
