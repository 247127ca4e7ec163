#include "dhcp/DhcpServerSocket.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ArrivalDatagram.h"

namespace ordvane {

namespace {

constexpr std::uint16_t kServerPort = 67;

DhcpSocketResult Fail(DhcpSocketStep step, int descriptor) {
    const int error = errno;
    if (descriptor >= 0) {
        close(descriptor);
    }
    return {-1, step, error};
}

}  // namespace

DhcpSocketResult OpenDhcpServerSocket() {
    const int descriptor = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_UDP);
    if (descriptor < 0) {
        return Fail(DhcpSocketStep::kCreate, -1);
    }
    if (!AllowBroadcast(descriptor)) {
        return Fail(DhcpSocketStep::kAllowBroadcast, descriptor);
    }
    // The arrival interface of each request tells which interface the reply must leave by and
    // which address names the server.
    if (!AskArrivalInterface(descriptor)) {
        return Fail(DhcpSocketStep::kAskArrivalInterface, descriptor);
    }
    // A larger queue rides out bursts of traffic the server does not answer; the kernel caps
    // the size, and a smaller queue still works.
    if (!RaiseReceiveBuffer(descriptor, 1 << 20)) {
        return Fail(DhcpSocketStep::kReceiveQueue, descriptor);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kServerPort);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return Fail(DhcpSocketStep::kBind, descriptor);
    }
    return {descriptor, DhcpSocketStep::kNone, 0};
}

const char* DescribeDhcpSocketStep(DhcpSocketStep step) {
    switch (step) {
        case DhcpSocketStep::kCreate:
            return "create a UDP socket";
        case DhcpSocketStep::kAllowBroadcast:
            return "allow broadcast";
        case DhcpSocketStep::kAskArrivalInterface:
            return "ask for arrival interfaces";
        case DhcpSocketStep::kBind:
            return "bind to UDP port 67";
        case DhcpSocketStep::kReceiveQueue:
            return "set the receive queue";
        case DhcpSocketStep::kNone:
            break;
    }
    return "open the server socket";
}

}  // namespace ordvane
