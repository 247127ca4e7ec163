#include "zeva/UdpSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ArrivalDatagram.h"

namespace ordvane::zeva {

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
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    local.sin_port = htons(port);
    sockaddr_in bound{};
    socklen_t boundLength = sizeof bound;
    if (!AllowBroadcast(descriptor) || !AskArrivalInterface(descriptor) ||
        !RaiseReceiveBuffer(descriptor, receiveBufferBytes) ||
        bind(descriptor, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        getsockname(descriptor, reinterpret_cast<sockaddr*>(&bound), &boundLength) != 0) {
        const int error = errno;  // the caller reports why; close must not overwrite it
        ::close(descriptor);
        errno = error;
        return false;
    }
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
    if (m_descriptor < 0) {
        return false;
    }
    return SendOutOf(m_descriptor, datagram,
                     {destination.address, destination.port, interfaceIndex, 0});
}

bool UdpSocket::Receive(std::span<std::uint8_t> buffer, ReceivedDatagram& received) const {
    DatagramArrival arrival;
    if (m_descriptor < 0 || !ReceiveWithArrival(m_descriptor, buffer, arrival)) {
        return false;
    }
    received = ReceivedDatagram{};
    received.size = arrival.size;
    received.truncated = arrival.truncated;
    received.source = {arrival.sourceAddress, arrival.sourcePort};
    received.destination = arrival.destination;
    received.interfaceIndex = arrival.interfaceIndex;
    return true;
}

}  // namespace ordvane::zeva
