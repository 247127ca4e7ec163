#include "dhcp/CDhcpServer.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "dhcp/DhcpServerSocket.h"
#include "dhcp/Port67Helper.h"
#include "modsvc/QuillmorOui.h"
#include "platform/ArrivalDatagram.h"
#include "platform/WaitReadable.h"

namespace ordvane {

namespace {

constexpr std::size_t kTraceCapacity = 256;

constexpr std::uint64_t kMacPresent = std::uint64_t{1} << 48;

}  // namespace

CDhcpServer::CDhcpServer() : m_wakeDescriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CDhcpServer::~CDhcpServer() {
    // The owner stops the server before destroying it; closing here only guards against a
    // socket left open by a caller that forgot.
    Stop();
    if (m_wakeDescriptor != kNoSocket) {
        close(m_wakeDescriptor);
    }
}

Status CDhcpServer::Start() {
    Stop();
    if (m_wakeDescriptor == kNoSocket) {
        return Failure{"create the worker's wake-up event: " +
                       std::generic_category().message(EMFILE)};
    }
    std::uint64_t pending = 0;
    [[maybe_unused]] const ssize_t drained = read(m_wakeDescriptor, &pending, sizeof pending);
    m_otherServerLinks = {};
    m_cardWithoutAddressLinks = {};
    m_leaseCount.store(0);
    m_lastLeaseMac.store(0);
    m_otherServerSeen.store(false);
    m_otherServerAddress.store(0);
    m_otherServerInterface.store(0);
    m_cardWithoutAddressInterface.store(0);

    const DhcpSocketResult opened = OpenDhcpServerSocket();
    if (opened.descriptor >= 0) {
        m_socket = opened.descriptor;
        return {};
    }
    std::string reason = std::string(DescribeDhcpSocketStep(opened.failedStep)) + ": " +
                         std::generic_category().message(opened.error);
    // Without privileges to bind port 67 the helper program, which alone holds them, opens
    // the very same socket and hands it over.
    if (opened.failedStep == DhcpSocketStep::kBind &&
        (opened.error == EACCES || opened.error == EPERM)) {
        const Result<int> handed = ObtainDhcpSocketFromHelper();
        if (handed) {
            m_socket = handed.Value();
            return {};
        }
        reason += " (" + handed.Reason() + ")";
    }
    return Failure{std::move(reason)};
}

void CDhcpServer::Stop() {
    if (m_socket != kNoSocket) {
        close(m_socket);
        m_socket = kNoSocket;
    }
}

int CDhcpServer::ServiceOnce() {
    return ServiceNext() == Outcome::kAnswered ? 1 : 0;
}

int CDhcpServer::ServiceQueue(const std::atomic<std::uint8_t>& enabled) {
    int answered = 0;
    while (enabled.load() != 0) {
        const Outcome outcome = ServiceNext();
        if (outcome == Outcome::kQueueEmpty) {
            break;
        }
        answered += outcome == Outcome::kAnswered ? 1 : 0;
    }
    return answered;
}

void CDhcpServer::WaitForDatagram() {
    pollfd watched[2] = {{m_socket, POLLIN, 0}, {m_wakeDescriptor, POLLIN, 0}};
    if (!WaitReadable(watched, -1)) {
        Trace("[WAIT] poll failed (errno %d)\n", errno);
        return;
    }
    if ((watched[1].revents & POLLIN) != 0) {
        std::uint64_t wakeups = 0;
        [[maybe_unused]] const ssize_t consumed = read(m_wakeDescriptor, &wakeups, sizeof wakeups);
    }
}

void CDhcpServer::WakeWorker() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wakeDescriptor, &one, sizeof one);
}

CDhcpServer::Outcome CDhcpServer::ServiceNext() {
    if (m_socket == kNoSocket) {
        return Outcome::kQueueEmpty;
    }
    // Receiving without asking for the pending byte count first: an empty datagram reports
    // zero pending bytes and would otherwise stay at the head of the queue for good.
    DatagramArrival arrival;
    if (!ReceiveWithArrival(m_socket, m_received, arrival)) {
        return Outcome::kQueueEmpty;  // nothing waiting
    }
    const int interfaceIndex = arrival.interfaceKnown ? arrival.interfaceIndex : 0;
    // A datagram larger than the buffer arrives cut short; it is dropped as malformed.
    const std::optional<CDhcpPacket> request =
        Admit(std::span(m_received).first(std::min(arrival.size, m_received.size())),
              arrival.truncated, interfaceIndex);
    // The server's address costs two system calls: only a datagram that may be answered
    // asks for it, so that a flood of other traffic is dropped cheaply.
    if (!request) {
        return Outcome::kDropped;
    }
    bool cardHasAddress = false;
    const Address serverAddress = ServerAddressOf(arrival, cardHasAddress);
    const std::optional<DhcpReply> reply = Answer(*request, serverAddress, interfaceIndex);
    if (!reply) {
        return Outcome::kDropped;
    }
    if (!SendReply(*reply, arrival)) {
        Trace("[SEND] failed (errno %d)\n", errno);
        return Outcome::kDropped;
    }
    ReportReply(*reply, arrival, cardHasAddress);
    return Outcome::kAnswered;
}

CDhcpServer::Address CDhcpServer::ServerAddressOf(const DatagramArrival& arrival,
                                                  bool& hasAddress) const {
    // The interface's own primary address, asked of the kernel by index: the source address
    // the kernel reports with the datagram may belong to another interface when this one
    // has none.
    hasAddress = false;
    ifreq request{};
    request.ifr_ifindex = arrival.interfaceIndex;
    if (!arrival.interfaceKnown || ioctl(m_socket, SIOCGIFNAME, &request) != 0) {
        return kServerIdWithoutAddress;
    }
    request.ifr_addr.sa_family = AF_INET;
    if (ioctl(m_socket, SIOCGIFADDR, &request) != 0) {
        return kServerIdWithoutAddress;  // no IPv4 address on the arrival interface
    }
    sockaddr_in local{};
    std::memcpy(&local, &request.ifr_addr, sizeof local);
    Address address;
    std::memcpy(address.data(), &local.sin_addr, address.size());
    hasAddress = true;
    return address;
}

bool CDhcpServer::SendReply(const DhcpReply& reply, const DatagramArrival& arrival) {
    // Out of the interface the request came in on: a limited broadcast has no route of its
    // own (without naming the interface it fails on a host without a default route, and leaves
    // by the wrong card on a host with several), and the client's address is on that link.
    const std::uint32_t target =
        reply.unicastTo ? AddressValue(*reply.unicastTo) : std::uint32_t{INADDR_BROADCAST};
    const DatagramRoute route{target, kClientPort,
                              arrival.interfaceKnown ? arrival.interfaceIndex : 0,
                              arrival.localAddress};
    return SendOutOf(m_socket, reply.Bytes(), route);
}

void CDhcpServer::ReportReply(const DhcpReply& reply, const DatagramArrival& arrival,
                              bool cardHasAddress) {
    ReplyReport report;
    report.messageType = static_cast<std::uint8_t>(reply.type);
    report.address = reply.address;
    report.mac = reply.mac;
    report.interfaceIndex = arrival.interfaceKnown ? arrival.interfaceIndex : 0;
    report.cardHasAddress = cardHasAddress;
    report.unicast = reply.unicastTo.has_value();
    const bool isLease = reply.type == DhcpMessageType::kAck;
    if (isLease) {
        m_leaseCount.fetch_add(1);
        m_lastLeaseMac.store(kMacPresent | reply.mac.Key());
    }
    if (m_replySink) {
        m_replySink(report);
    }
    if (isLease && !cardHasAddress && m_cardWithoutAddressLinks.Add(report.interfaceIndex)) {
        m_cardWithoutAddressInterface.store(report.interfaceIndex > 0 ? report.interfaceIndex : -1);
        Trace(
            "[NOTE] lease sent out of a card without an IPv4 address: the module's renewal "
            "to 10.200.1.1 will find no host\n");
        if (m_noticeSink) {
            m_noticeSink({LinkNotice::Kind::kCardWithoutAddress, report.interfaceIndex, {}});
        }
    }
}

bool CDhcpServer::NoticedLinks::Add(int interfaceIndex) {
    const auto end = indexes.begin() + static_cast<std::ptrdiff_t>(count);
    if (std::find(indexes.begin(), end, interfaceIndex) != end) {
        return false;
    }
    if (count < indexes.size()) {
        indexes[count++] = interfaceIndex;
    }
    return true;
}

CDhcpServer::Activity CDhcpServer::CurrentActivity() const {
    Activity activity;
    activity.leases = m_leaseCount.load();
    const std::uint64_t lastMac = m_lastLeaseMac.load();
    activity.hasLastLease = (lastMac & kMacPresent) != 0;
    activity.lastLeaseMac = MacAddress::FromKey(lastMac);
    activity.otherServerSeen = m_otherServerSeen.load();
    const std::uint32_t other = m_otherServerAddress.load();
    activity.otherServer = {
        static_cast<std::uint8_t>(other >> 24), static_cast<std::uint8_t>(other >> 16),
        static_cast<std::uint8_t>(other >> 8), static_cast<std::uint8_t>(other)};
    activity.otherServerInterface = m_otherServerInterface.load();
    activity.cardWithoutAddressInterface = m_cardWithoutAddressInterface.load();
    return activity;
}

std::optional<DhcpReply> CDhcpServer::AnswerDatagram(std::span<const std::uint8_t> datagram,
                                                     const Address& serverAddress) {
    // As the receive reports a datagram too large for the buffer: cut short.
    const bool cut = datagram.size() > m_received.size();
    const std::optional<CDhcpPacket> request = Admit(datagram, cut, 0);
    if (!request) {
        return std::nullopt;
    }
    return Answer(*request, serverAddress, 0);
}

std::optional<CDhcpPacket> CDhcpServer::Admit(std::span<const std::uint8_t> datagram, bool cut,
                                              int interfaceIndex) {
    // One record, returned as it is on every path: the worker decodes every datagram.
    std::optional<CDhcpPacket> request = cut ? std::nullopt : CDhcpPacket::Decode(datagram);
    if (!request) {
        Trace("[DROP] malformed datagram (%d bytes)\n",
              cut ? -1 : static_cast<int>(datagram.size()));
        return request;
    }
    const DhcpVerdict verdict = m_policy.Admit(*request);
    if (verdict != DhcpVerdict::kAdmitted) {
        if (const std::optional<Address> other = OtherServerShown(*request, verdict)) {
            NoticeOtherServer(*other, interfaceIndex);
        }
        TraceDrop(*request, verdict);
        request.reset();
    }
    return request;
}

std::optional<DhcpReply> CDhcpServer::Answer(const CDhcpPacket& request,
                                             const Address& serverAddress, int interfaceIndex) {
    const DhcpVerdict verdict = m_policy.JudgeAdmitted(request, serverAddress);
    if (!request.Options().IsOfType(DhcpMessageType::kDiscover)) {
        TraceRequestVerdict(request, verdict);
    } else if (m_traceSink) {  // checked first: even a trace that goes nowhere costs a call
        Trace("[RECV] DHCP_DISCOVER\n");
        Trace("[SEND] DHCP_OFFER.\n\n");
    }
    if (const std::optional<Address> other = OtherServerShown(request, verdict)) {
        NoticeOtherServer(*other, interfaceIndex);
    }
    if (!IsAnswered(verdict)) {
        return std::nullopt;
    }
    return std::optional<DhcpReply>(std::in_place, request, ReplyTypeOf(verdict), serverAddress);
}

void CDhcpServer::TraceDrop(const CDhcpPacket& request, DhcpVerdict verdict) const {
    if (!m_traceSink) {
        return;  // no one listens: look nothing up
    }
    const Mac mac = request.ClientMac();
    switch (verdict) {
        case DhcpVerdict::kNotEthernetRequest:
            Trace("[DROP] not an Ethernet client's request (op %d, htype %d, hlen %d)\n",
                  request.OpByte(), request.HardwareType(), request.HardwareLength());
            break;
        case DhcpVerdict::kForeignMaker:
            Trace("[RECV] Got message from non-supported MAC (%02x:%02x:%02x:%02x:%02x:%02x)\n",
                  mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
            break;
        case DhcpVerdict::kNotListed:
            Trace("[DROP] %02x:%02x:%02x:%02x:%02x:%02x is not among the modules to answer\n",
                  mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
            break;
        case DhcpVerdict::kUnansweredType:
            Trace("[RECV] DHCP message type %d not answered\n",
                  request.Options().MessageTypeByte().value_or(0));
            break;
        default:
            break;  // the verdicts on a REQUEST are traced with it
    }
}

void CDhcpServer::TraceRequestVerdict(const CDhcpPacket& request, DhcpVerdict verdict) const {
    if (!m_traceSink) {
        return;  // no one listens: look nothing up
    }
    if (verdict == DhcpVerdict::kOtherServerChosen) {
        const Address named = request.Options().ServerId().value_or(Address{});
        Trace("[RECV] DHCP_REQUEST for server %d.%d.%d.%d, not answered\n", named[0], named[1],
              named[2], named[3]);
        return;
    }
    const std::optional<Address>& requested = request.Options().RequestedAddress();
    Trace("[RECV] DHCP_REQUEST ");
    if (requested) {
        const Address& asked = *requested;
        Trace("%d.%d.%d.%d\n", asked[0], asked[1], asked[2], asked[3]);
    } else {
        Trace("\n");
    }
    const Address own = RecoveryAddressOf(request.ClientMac());
    const Address client = request.ClientAddress();
    if (verdict == DhcpVerdict::kConfirmsForeignAddress) {
        const Address& asked = *requested;
        Trace("[DROP] DHCP_REQUEST confirms %d.%d.%d.%d, another server's address: not answered\n",
              asked[0], asked[1], asked[2], asked[3]);
    } else if (verdict == DhcpVerdict::kRenewsForeignLease) {
        Trace("[DROP] DHCP_REQUEST renews %d.%d.%d.%d, another server's lease: not answered\n",
              client[0], client[1], client[2], client[3]);
    } else if (verdict == DhcpVerdict::kAck) {
        Trace("[SEND] DHCP_ACK %d.%d.%d.%d\n\n", own[0], own[1], own[2], own[3]);
    } else if (verdict == DhcpVerdict::kNak) {
        Trace("[SEND] DHCP_NAK (Correct IP should be %d.%d.%d.%d)\n\n", own[0], own[1], own[2],
              own[3]);
    }
}

void CDhcpServer::NoticeOtherServer(const Address& named, int interfaceIndex) {
    if (!m_otherServerLinks.Add(interfaceIndex)) {
        return;
    }
    m_otherServerAddress.store(AddressValue(named));
    m_otherServerInterface.store(interfaceIndex);
    m_otherServerSeen.store(true);
    Trace(
        "[NOTE] another DHCP server (%d.%d.%d.%d) serves this link: answer only the modules "
        "to recover\n",
        named[0], named[1], named[2], named[3]);
    if (m_noticeSink) {
        m_noticeSink({LinkNotice::Kind::kOtherServer, interfaceIndex, named});
    }
}

void CDhcpServer::Trace(const char* format, ...) const {
    if (!m_traceSink) {
        return;  // no one listens: format nothing
    }
    char text[kTraceCapacity];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length < 0) {
        return;
    }
    m_traceSink(std::string_view(text, std::min<std::size_t>(length, sizeof text - 1)));
}

}  // namespace ordvane
