#include "platform/ArrivalDatagram.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace ordvane {

namespace {

bool SetFlag(int descriptor, int level, int option) {
    const int on = 1;
    return setsockopt(descriptor, level, option, &on, sizeof on) == 0;
}

sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = htonl(address);
    socketAddress.sin_port = htons(port);
    return socketAddress;
}

void ReadArrivalInterface(msghdr& header, DatagramArrival& arrival) {
    for (cmsghdr* message = CMSG_FIRSTHDR(&header); message != nullptr;
         message = CMSG_NXTHDR(&header, message)) {
        if (message->cmsg_level == IPPROTO_IP && message->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(message), sizeof info);
            arrival.interfaceKnown = true;
            arrival.interfaceIndex = info.ipi_ifindex;
            arrival.destination = ntohl(info.ipi_addr.s_addr);
            arrival.localAddress = ntohl(info.ipi_spec_dst.s_addr);
        }
    }
}

}  // namespace

bool AllowBroadcast(int descriptor) {
    return SetFlag(descriptor, SOL_SOCKET, SO_BROADCAST);
}

bool AskArrivalInterface(int descriptor) {
    return SetFlag(descriptor, IPPROTO_IP, IP_PKTINFO);
}

bool RaiseReceiveBuffer(int descriptor, int bytes) {
    // SO_RCVBUFFORCE passes the rmem_max ceiling when the process may administer the network;
    // otherwise the ordinary option takes what it is allowed.
    return setsockopt(descriptor, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) == 0 ||
           setsockopt(descriptor, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0;
}

bool ReceiveWithArrival(int descriptor, std::span<std::uint8_t> buffer, DatagramArrival& arrival) {
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
        length = recvmsg(descriptor, &header, MSG_DONTWAIT);
    } while (length < 0 && errno == EINTR);
    if (length < 0) {
        return false;
    }
    arrival = DatagramArrival{};
    arrival.size = static_cast<std::size_t>(length);
    arrival.truncated = (header.msg_flags & MSG_TRUNC) != 0;
    arrival.sourceAddress = ntohl(source.sin_addr.s_addr);
    arrival.sourcePort = ntohs(source.sin_port);
    ReadArrivalInterface(header, arrival);
    return true;
}

bool SendOutOf(int descriptor, std::span<const std::uint8_t> datagram, const DatagramRoute& route) {
    if (datagram.empty()) {
        errno = EINVAL;
        return false;
    }
    sockaddr_in target = SocketAddress(route.address, route.port);
    iovec vector{const_cast<std::uint8_t*>(datagram.data()), datagram.size()};
    msghdr header{};
    header.msg_name = &target;
    header.msg_namelen = sizeof target;
    header.msg_iov = &vector;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    if (route.interfaceIndex > 0) {
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        cmsghdr* message = CMSG_FIRSTHDR(&header);
        message->cmsg_level = IPPROTO_IP;
        message->cmsg_type = IP_PKTINFO;
        message->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = route.interfaceIndex;
        info.ipi_spec_dst.s_addr = htonl(route.sourceAddress);
        std::memcpy(CMSG_DATA(message), &info, sizeof info);
    }
    for (;;) {
        const ssize_t sent = sendmsg(descriptor, &header, MSG_NOSIGNAL);
        if (sent >= 0) {
            return static_cast<std::size_t>(sent) == datagram.size();
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

}  // namespace ordvane
