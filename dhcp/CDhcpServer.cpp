#include "dhcp/CDhcpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "modsvc/QuillmorOui.h"

namespace {

constexpr std::uint8_t kDiscover = 1;
constexpr std::uint8_t kOffer = 2;
constexpr std::uint8_t kRequest = 3;
constexpr std::uint8_t kAck = 5;
constexpr std::uint8_t kNak = 6;
constexpr std::uint8_t kBootReply = 2;
constexpr std::uint8_t kRecoverySubnet[3] = {10, 200, 1};
constexpr std::uint8_t kRecoveryMask[4] = {255, 255, 255, 0};
constexpr std::chrono::milliseconds kPauseBetweenPolls{50};
constexpr std::size_t kTraceCapacity = 256;

bool CarriesMakerOui(const std::uint8_t* hardwareAddress) {
    return std::equal(ordvane::kQuillmorOui.begin(), ordvane::kQuillmorOui.end(), hardwareAddress);
}

}  // namespace

CDhcpServer::CDhcpServer() = default;

CDhcpServer::~CDhcpServer() {
    // The owner stops the server before destroying it; closing here only guards against a
    // socket left open by a caller that forgot.
    Stop();
}

bool CDhcpServer::Start() {
    Stop();
    m_failureReason.clear();
    const int descriptor = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (descriptor < 0) {
        return FailStart("create a UDP socket", kNoSocket);
    }
    const int one = 1;
    if (setsockopt(descriptor, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        return FailStart("allow broadcast", descriptor);
    }
    // The arrival interface of each request tells which interface the reply must leave by.
    if (setsockopt(descriptor, IPPROTO_IP, IP_PKTINFO, &one, sizeof one) != 0) {
        return FailStart("ask for arrival interfaces", descriptor);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kServerPort);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return FailStart("bind to UDP port 67", descriptor);
    }
    int nonBlocking = 1;
    ioctl(descriptor, FIONBIO, &nonBlocking);  // receives also pass MSG_DONTWAIT
    m_socket = descriptor;
    return true;
}

bool CDhcpServer::FailStart(const char* step, int socketToClose) {
    const int error = errno;
    if (socketToClose != kNoSocket) {
        close(socketToClose);
    }
    m_socket = kNoSocket;
    m_failureReason = std::string(step) + ": " + std::generic_category().message(error);
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
    if (m_socket == kNoSocket) {
        return 0;
    }
    ArrivalInterface arrival;
    if (!ReceiveRequest(arrival)) {
        return 0;
    }
    if (!ApplyReplyRules()) {
        return 0;
    }
    return SendReply(arrival) ? 1 : 0;
}

bool CDhcpServer::ReceiveRequest(ArrivalInterface& arrival) {
    sockaddr_in sender{};
    iovec data{m_request.m_raw, sizeof m_request.m_raw};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof sender;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    // Receiving without asking for the pending byte count first: an empty datagram reports
    // zero pending bytes and would otherwise stay at the head of the queue for good.
    const ssize_t received = recvmsg(m_socket, &message, MSG_DONTWAIT);
    if (received < 0) {
        return false;  // nothing waiting
    }
    // A datagram larger than the buffer arrives cut short; it is dropped as a failed receive.
    m_request.m_length =
        (message.msg_flags & MSG_TRUNC) != 0 ? -1 : static_cast<std::int32_t>(received);
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            arrival.known = true;
            arrival.index = info.ipi_ifindex;
            std::memcpy(arrival.localAddress, &info.ipi_spec_dst, sizeof arrival.localAddress);
        }
    }
    return true;
}

bool CDhcpServer::SendReply(const ArrivalInterface& arrival) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(kClientPort);
    destination.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    iovec data{m_reply.m_raw, static_cast<std::size_t>(m_reply.m_length)};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &destination;
    message.msg_namelen = sizeof destination;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    // A limited broadcast has no route of its own: without naming the interface it fails on a
    // host without a default route, and leaves by the wrong card on a host with several.
    if (arrival.known) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = IPPROTO_IP;
        header->cmsg_type = IP_PKTINFO;
        header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = arrival.index;
        std::memcpy(&info.ipi_spec_dst, arrival.localAddress, sizeof arrival.localAddress);
        std::memcpy(CMSG_DATA(header), &info, sizeof info);
    }
    return sendmsg(m_socket, &message, 0) == static_cast<ssize_t>(m_reply.m_length);
}

bool CDhcpServer::AnswerDatagram(std::span<const std::uint8_t> datagram) {
    if (datagram.size() > sizeof m_request.m_raw) {
        m_request.m_length = -1;  // as the receive reports a datagram too large for the buffer
    } else {
        std::copy(datagram.begin(), datagram.end(), m_request.m_raw);
        m_request.m_length = static_cast<std::int32_t>(datagram.size());
    }
    return ApplyReplyRules();
}

bool CDhcpServer::ApplyReplyRules() {
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
    PrepareReplyFor(m_request);
    if (m_request.m_messageType == kDiscover) {
        ChooseDiscoverAnswer();
    } else {
        ChooseRequestAnswer();
    }
    return m_reply.Encode();
}

void CDhcpServer::PrepareReplyFor(const CDhcpPacket& request) {
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
    m_reply.m_hasServerId = false;
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

void CDhcpServer::WaitBeforeNextPoll(const std::atomic<std::uint8_t>& enabled) {
    std::unique_lock lock(m_pauseMutex);
    m_pauseWake.wait_for(lock, kPauseBetweenPolls, [&enabled] { return enabled.load() == 0; });
}

void CDhcpServer::WakeWorker() {
    {
        // Taking the mutex orders this wake-up after the worker's test of the flag, so the
        // worker cannot miss it and sleep out the whole pause.
        std::lock_guard lock(m_pauseMutex);
    }
    m_pauseWake.notify_all();
}
