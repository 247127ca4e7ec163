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

namespace {

constexpr std::uint8_t kDiscover = 1;
constexpr std::uint8_t kOffer = 2;
constexpr std::uint8_t kRequest = 3;
constexpr std::uint8_t kAck = 5;
constexpr std::uint8_t kNak = 6;
constexpr std::uint8_t kBootReply = 2;
constexpr std::uint8_t kRecoverySubnet[3] = {10, 200, 1};
constexpr std::uint8_t kRecoveryMask[4] = {255, 255, 255, 0};
constexpr std::size_t kTraceCapacity = 256;

bool CarriesMakerOui(const std::uint8_t* hardwareAddress) {
    return std::equal(ordvane::kQuillmorOui.begin(), ordvane::kQuillmorOui.end(), hardwareAddress);
}

bool IsZero(const std::uint8_t (&address)[4]) {
    return std::all_of(std::begin(address), std::end(address),
                       [](std::uint8_t octet) { return octet == 0; });
}

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

bool CDhcpServer::Start() {
    Stop();
    m_failureReason.clear();
    if (m_wakeDescriptor == kNoSocket) {
        m_failureReason =
            "create the worker's wake-up event: " + std::generic_category().message(EMFILE);
        return false;
    }
    std::uint64_t pending = 0;
    [[maybe_unused]] const ssize_t drained = read(m_wakeDescriptor, &pending, sizeof pending);

    const DhcpSocketResult opened = OpenDhcpServerSocket();
    if (opened.descriptor >= 0) {
        m_socket = opened.descriptor;
        return true;
    }
    m_failureReason = std::string(DescribeDhcpSocketStep(opened.failedStep)) + ": " +
                      std::generic_category().message(opened.error);
    // Without privileges to bind port 67 the helper program, which alone holds them, opens
    // the very same socket and hands it over.
    if (opened.failedStep == DhcpSocketStep::kBind &&
        (opened.error == EACCES || opened.error == EPERM)) {
        std::string helperFailure;
        const int handed = ObtainDhcpSocketFromHelper(helperFailure);
        if (handed >= 0) {
            m_socket = handed;
            m_failureReason.clear();
            return true;
        }
        m_failureReason += " (" + helperFailure + ")";
    }
    return false;
}

bool CDhcpServer::Stop() {
    if (m_socket != kNoSocket) {
        close(m_socket);
        m_socket = kNoSocket;
    }
    return true;
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
    if (!ordvane::WaitReadable(watched, -1)) {
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
    ordvane::DatagramArrival arrival;
    if (!ReceiveRequest(arrival)) {
        return Outcome::kQueueEmpty;
    }
    // The server's address costs two system calls: only a datagram that may be answered
    // asks for it, so that a flood of other traffic is dropped cheaply.
    if (!IsAnswerable() || !Answer(ServerAddressOf(arrival))) {
        return Outcome::kDropped;
    }
    if (!SendReply(arrival)) {
        return Outcome::kDropped;
    }
    ReportReply(arrival);
    return Outcome::kAnswered;
}

CDhcpServer::Address CDhcpServer::ServerAddressOf(const ordvane::DatagramArrival& arrival) const {
    // The interface's own primary address, asked of the kernel by index: the source address
    // the kernel reports with the datagram may belong to another interface when this one
    // has none.
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
    return address;
}

bool CDhcpServer::ReceiveRequest(ordvane::DatagramArrival& arrival) {
    // Receiving without asking for the pending byte count first: an empty datagram reports
    // zero pending bytes and would otherwise stay at the head of the queue for good.
    if (!ordvane::ReceiveWithArrival(m_socket, std::span(m_request.m_raw), arrival)) {
        return false;  // nothing waiting
    }
    // A datagram larger than the buffer arrives cut short; it is dropped as a failed receive.
    m_request.m_length = arrival.truncated ? -1 : static_cast<std::int32_t>(arrival.size);
    return true;
}

bool CDhcpServer::SendReply(const ordvane::DatagramArrival& arrival) {
    // A limited broadcast has no route of its own: without naming the interface it fails on a
    // host without a default route, and leaves by the wrong card on a host with several.
    const ordvane::DatagramRoute route{INADDR_BROADCAST, kClientPort,
                                       arrival.interfaceKnown ? arrival.interfaceIndex : 0,
                                       arrival.localAddress};
    return ordvane::SendOutOf(
        m_socket, std::span(m_reply.m_raw, static_cast<std::size_t>(m_reply.m_length)), route);
}

void CDhcpServer::ReportReply(const ordvane::DatagramArrival& arrival) const {
    if (!m_replySink) {
        return;
    }
    ReplyReport report;
    report.messageType = m_reply.m_messageType;
    std::copy(std::begin(m_reply.yiaddr), std::end(m_reply.yiaddr), report.address.begin());
    std::copy(m_reply.chaddr, m_reply.chaddr + report.mac.size(), report.mac.begin());
    report.interfaceIndex = arrival.interfaceKnown ? arrival.interfaceIndex : 0;
    m_replySink(report);
}

bool CDhcpServer::AnswerDatagram(std::span<const std::uint8_t> datagram,
                                 const Address& serverAddress) {
    if (datagram.size() > sizeof m_request.m_raw) {
        m_request.m_length = -1;  // as the receive reports a datagram too large for the buffer
    } else {
        std::copy(datagram.begin(), datagram.end(), m_request.m_raw);
        m_request.m_length = static_cast<std::int32_t>(datagram.size());
    }
    return IsAnswerable() && Answer(serverAddress);
}

bool CDhcpServer::IsAnswerable() {
    if (!m_request.Decode()) {
        return false;
    }
    const std::uint8_t* mac = m_request.chaddr;
    if (!CarriesMakerOui(mac)) {
        Trace("[RECV] Got message from non-supported MAC (%02x:%02x:%02x:%02x:%02x:%02x)\n", mac[0],
              mac[1], mac[2], mac[3], mac[4], mac[5]);
        return false;
    }
    // Only a DISCOVER or a REQUEST has an answer; a RELEASE, DECLINE, INFORM or a message
    // without a type gets none rather than one of whatever type was sent last.
    if (m_request.m_messageType != kDiscover && m_request.m_messageType != kRequest) {
        Trace("[RECV] DHCP message type %d not answered\n", m_request.m_messageType);
        return false;
    }
    return true;
}

bool CDhcpServer::Answer(const Address& serverAddress) {
    // A client that names another server in its REQUEST has chosen that server's offer: an
    // answer from us would only fight it.
    if (m_request.m_messageType == kRequest && NamesAnotherServer(serverAddress)) {
        const std::uint8_t* named = m_request.m_serverId;
        Trace("[RECV] DHCP_REQUEST for server %d.%d.%d.%d, not answered\n", named[0], named[1],
              named[2], named[3]);
        return false;
    }
    PrepareReplyFor(m_request, serverAddress);
    if (m_request.m_messageType == kDiscover) {
        ChooseDiscoverAnswer();
    } else {
        ChooseRequestAnswer();
    }
    return m_reply.Encode();
}

bool CDhcpServer::NamesAnotherServer(const Address& serverAddress) const {
    // 0.0.0.0 names no server: a client that was offered none sends it.
    return m_request.m_hasServerId && !IsZero(m_request.m_serverId) &&
           !std::equal(serverAddress.begin(), serverAddress.end(), m_request.m_serverId);
}

void CDhcpServer::PrepareReplyFor(const CDhcpPacket& request, const Address& serverAddress) {
    // Every field the reply carries is set here, so nothing of an earlier answer leaks in.
    m_reply.op = kBootReply;
    m_reply.htype = request.htype;
    m_reply.hlen = request.hlen;
    m_reply.hops = 0;
    std::memcpy(m_reply.xid, request.xid, sizeof m_reply.xid);
    std::memset(m_reply.secs, 0, sizeof m_reply.secs);
    std::memset(m_reply.ciaddr, 0, sizeof m_reply.ciaddr);
    std::memcpy(m_reply.yiaddr, kRecoverySubnet, sizeof kRecoverySubnet);
    m_reply.yiaddr[3] = request.chaddr[5];
    std::memset(m_reply.siaddr, 0, sizeof m_reply.siaddr);
    std::memset(m_reply.giaddr, 0, sizeof m_reply.giaddr);
    std::memset(m_reply.chaddr, 0, sizeof m_reply.chaddr);
    std::memcpy(m_reply.chaddr, request.chaddr, 6);
    std::memset(m_reply.sname, 0, sizeof m_reply.sname);
    std::memset(m_reply.file, 0, sizeof m_reply.file);
    m_reply.m_hasMessageType = true;
    m_reply.m_hasSubnetMask = true;
    std::memcpy(m_reply.m_subnetMask, kRecoveryMask, sizeof kRecoveryMask);
    // Strict clients take no offer or acknowledgement without a server identifier and a
    // lease time. An hour outlasts any recovery session, and a module that renews at half time
    // while the server still runs keeps its address.
    m_reply.m_hasServerId = true;
    std::copy(serverAddress.begin(), serverAddress.end(), m_reply.m_serverId);
    m_reply.m_hasLeaseTime = true;
    m_reply.m_leaseTime[0] = static_cast<std::uint8_t>(kLeaseSeconds >> 24);
    m_reply.m_leaseTime[1] = static_cast<std::uint8_t>(kLeaseSeconds >> 16);
    m_reply.m_leaseTime[2] = static_cast<std::uint8_t>(kLeaseSeconds >> 8);
    m_reply.m_leaseTime[3] = static_cast<std::uint8_t>(kLeaseSeconds);
    m_reply.m_hasRequestedIp = false;
}

void CDhcpServer::ChooseDiscoverAnswer() {
    Trace("[RECV] DHCP_DISCOVER\n");
    Trace("[SEND] DHCP_OFFER.\n\n");
    m_reply.m_messageType = kOffer;
}

void CDhcpServer::ChooseRequestAnswer() {
    const std::uint8_t* requested = m_request.m_requestedIp;
    const std::uint8_t* given = m_reply.yiaddr;
    Trace("[RECV] DHCP_REQUEST ");
    if (m_request.m_hasRequestedIp) {
        Trace("%d.%d.%d.%d\n", requested[0], requested[1], requested[2], requested[3]);
    } else {
        Trace("\n");
    }
    // A client asking for another address is told the right one: the NAK carries it.
    if (m_request.m_hasRequestedIp && std::memcmp(requested, given, 4) != 0) {
        Trace("[SEND] DHCP_NAK (Correct IP should be %d.%d.%d.%d)\n\n", given[0], given[1],
              given[2], given[3]);
        m_reply.m_messageType = kNak;
        m_reply.m_hasLeaseTime = false;  // a NAK grants nothing
    } else {
        Trace("[SEND] DHCP_ACK %d.%d.%d.%d\n\n", given[0], given[1], given[2], given[3]);
        m_reply.m_messageType = kAck;
    }
}

void CDhcpServer::Trace(const char* format, ...) {
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
