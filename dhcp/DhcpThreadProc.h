#pragma once
// The recovery server's worker: waits on the server's socket, works off everything queued,
// and ends as soon as it reads the owner's switch at 0.
//
// Owner is the object that holds the server and its switch (the main window, or the command
// line's recovery-server command): it must offer `m_dhcpServer` (a CDhcpServer) and
// `m_dhcpEnabled` (a std::atomic<std::uint8_t>, 1 while the worker is to run). The flag is read
// afresh before every datagram, and switching off wakes the wait (CDhcpServer::WakeWorker), so
// the worker ends within one datagram's work.

#include <atomic>
#include <cstdint>

#include "dhcp/CDhcpServer.h"

template <typename Owner>
int DhcpThreadProc(Owner* owner) {
    while (owner->m_dhcpEnabled.load() != 0) {
        owner->m_dhcpServer.ServiceQueue(owner->m_dhcpEnabled);
        if (owner->m_dhcpEnabled.load() != 0) {
            owner->m_dhcpServer.WaitForDatagram();
        }
    }
    return 0;
}
