#pragma once
// The recovery server's worker: waits on the server's socket, works off everything queued,
// and ends as soon as it reads the owner's switch at 0.
//
// CRecoveryDhcpServer runs it over the server and the flag it owns (1 while the worker is to
// run). The flag is read afresh before every datagram, and switching off wakes the wait
// (CDhcpServer::WakeWorker), so the worker ends within one datagram's work.

#include <atomic>
#include <cstdint>

#include "dhcp/CDhcpServer.h"

namespace ordvane {

// The worker's loop over a server and the flag that keeps it running.
inline int RunDhcpWorker(CDhcpServer& server, const std::atomic<std::uint8_t>& enabled) {
    while (enabled.load() != 0) {
        server.ServiceQueue(enabled);
        if (enabled.load() != 0) {
            server.WaitForDatagram();
        }
    }
    return 0;
}

}  // namespace ordvane
