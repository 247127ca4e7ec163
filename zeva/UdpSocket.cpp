#include "zeva/UdpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ordvane::zeva {

namespace {

sockaddr_in ToSocketAddress(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.address);
    address.sin_port = htons(endpoint.port);
    return address;
}

void RaiseReceiveBuffer(int descriptor, int bytes) {
    // SO_RCVBUFFORCE passes the rmem_max ceiling when the process may administer the network;
    // otherwise the ordinary option takes what it is allowed.
    if (setsockopt(descriptor, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0) {
        setsockopt(descriptor, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    }
}

}  // namespace

bool IsLoopback(std::uint32_t address) {
    return (address >> 24) == 127;
}

UdpSocket::~UdpSocket() {
    Close();
}

bool UdpSocket::Open(std::uint32_t address, std::uint16_t port, int receiveBufferBytes) {
    Close();
    const int descriptor = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        return false;
    }
    const int on = 1;
    setsockopt(descriptor, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    setsockopt(descriptor, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    RaiseReceiveBuffer(descriptor, receiveBufferBytes);
    const sockaddr_in local = ToSocketAddress({address, port});
    if (bind(descriptor, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(descriptor);
        return false;
    }
    sockaddr_in bound{};
    socklen_t boundLength = sizeof bound;
    getsockname(descriptor, reinterpret_cast<sockaddr*>(&bound), &boundLength);
    m_localPort = ntohs(bound.sin_port);
    m_descriptor = descriptor;
    return true;
}

void UdpSocket::Close() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
}

bool UdpSocket::SendTo(std::span<const std::uint8_t> datagram, const Endpoint& destination,
                       int interfaceIndex) const {
    if (m_descriptor < 0 || datagram.empty()) {
        return false;
    }
    sockaddr_in target = ToSocketAddress(destination);
    iovec vector{const_cast<std::uint8_t*>(datagram.data()), datagram.size()};
    msghdr header{};
    header.msg_name = &target;
    header.msg_namelen = sizeof target;
    header.msg_iov = &vector;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    if (interfaceIndex > 0) {
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        cmsghdr* message = CMSG_FIRSTHDR(&header);
        message->cmsg_level = IPPROTO_IP;
        message->cmsg_type = IP_PKTINFO;
        message->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = interfaceIndex;
        std::memcpy(CMSG_DATA(message), &info, sizeof info);
    }
    for (;;) {
        const ssize_t sent = sendmsg(m_descriptor, &header, MSG_NOSIGNAL);
        if (sent >= 0) {
            return static_cast<std::size_t>(sent) == datagram.size();
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

bool UdpSocket::Receive(std::span<std::uint8_t> buffer, ReceivedDatagram& received) const {
    if (m_descriptor < 0) {
        return false;
    }
    sockaddr_in source{};
    iovec vector{buffer.data(), buffer.size()};
    msghdr header{};
    header.msg_name = &source;
    header.msg_namelen = sizeof source;
    header.msg_iov = &vector;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    ssize_t length = -1;
    do {
        length = recvmsg(m_descriptor, &header, MSG_DONTWAIT);
    } while (length < 0 && errno == EINTR);
    if (length < 0) {
        return false;
    }
    received = ReceivedDatagram{};
    received.truncated = (header.msg_flags & MSG_TRUNC) != 0;
    received.size = static_cast<std::size_t>(length);
    received.source = {ntohl(source.sin_addr.s_addr), ntohs(source.sin_port)};
    for (cmsghdr* message = CMSG_FIRSTHDR(&header); message != nullptr;
         message = CMSG_NXTHDR(&header, message)) {
        if (message->cmsg_level == IPPROTO_IP && message->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(message), sizeof info);
            received.interfaceIndex = info.ipi_ifindex;
            received.destination = ntohl(info.ipi_addr.s_addr);
        }
    }
    return true;
}

}  // namespace ordvane::zeva
