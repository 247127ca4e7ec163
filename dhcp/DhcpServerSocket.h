#pragma once
// Opening the recovery server's socket, shared by the server and by the port-67 helper program,
// so that a socket handed over by the helper is exactly the one the server would have opened.
//
// Kept to the C library and platform/ArrivalDatagram: the helper holds a capability and links
// nothing else of ours.

#include <cstdint>

namespace ordvane {

enum class DhcpSocketStep : std::int32_t {
    kNone = 0,
    kCreate,
    kAllowBroadcast,
    kAskArrivalInterface,
    kBind,
    kReceiveQueue,
};

struct DhcpSocketResult {
    int descriptor = -1;  // -1 on failure
    DhcpSocketStep failedStep = DhcpSocketStep::kNone;
    int error = 0;  // errno of the failed step
};

// A UDP socket on 0.0.0.0:67, broadcast allowed, arrival interface reported, non-blocking and
// closed on exec. No address-reuse option: this fails while another program holds the port.
[[nodiscard]] DhcpSocketResult OpenDhcpServerSocket();

// "bind to UDP port 67" and the like, for failure messages.
const char* DescribeDhcpSocketStep(DhcpSocketStep step);

}  // namespace ordvane
