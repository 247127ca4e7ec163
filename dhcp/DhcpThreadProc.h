#pragma once
// The recovery server's worker: waits on the server's socket, works off everything queued,
// and ends as soon as it reads the owner's switch at 0.
//
// CRecoveryDhcpServer runs it over the server and the flag it owns. DhcpThreadProc is the
// older form for an owner that holds them itself (the command line's recovery-server command):
// it must offer `m_dhcpServer` (a CDhcpServer) and `m_dhcpEnabled` (a
// std::atomic<std::uint8_t>, 1 while the worker is to run). The flag is read afresh before
// every datagram, and switching off wakes the wait (CDhcpServer::WakeWorker), so
// the worker ends within one datagram's work.

#include <atomic>
#include <cstdint>

#include "dhcp/CDhcpServer.h"

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

template <typename Owner>
int DhcpThreadProc(Owner* owner) {
    return RunDhcpWorker(owner->m_dhcpServer, owner->m_dhcpEnabled);
}
