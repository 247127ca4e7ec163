// ordvane-port67-helper: the one program that holds CAP_NET_BIND_SERVICE. It opens the
// recovery server's socket on UDP port 67, hands it over the socket pair its caller gave it as
// file descriptor 3 (SCM_RIGHTS), and exits. It reads no argument and no environment variable,
// and keeps nothing else open.

#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "dhcp/DhcpServerSocket.h"
#include "dhcp/Port67Helper.h"

int main() {
    // Whatever else the caller left open is not ours to hold with a capability.
    close_range(ordvane::kPort67HelperChannel + 1, UINT_MAX, 0);

    const ordvane::DhcpSocketResult opened = ordvane::OpenDhcpServerSocket();
    ordvane::Port67HelperReport report;
    report.failedStep = static_cast<std::int32_t>(opened.failedStep);
    report.error = opened.error;

    iovec data{&report, sizeof report};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    if (opened.descriptor >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &opened.descriptor, sizeof opened.descriptor);
    }
    const bool handedOver = sendmsg(ordvane::kPort67HelperChannel, &message, MSG_NOSIGNAL) ==
                            static_cast<ssize_t>(sizeof report);
    return handedOver && opened.descriptor >= 0 ? 0 : 1;
}
