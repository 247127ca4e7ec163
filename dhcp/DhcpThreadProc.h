#pragma once
// The recovery server's worker: polls the server, pauses, and ends as soon as it reads the
// owner's switch at 0.
//
// Owner is the object that holds the server and its switch (the main window, or the command
// line's recovery-server command): it must offer `m_dhcpServer` (a CDhcpServer) and
// `m_dhcpEnabled` (a std::atomic<std::uint8_t>, 1 while the worker is to run). The flag is read
// afresh before every poll.

#include <atomic>
#include <cstdint>

#include "dhcp/CDhcpServer.h"

template <typename Owner>
int DhcpThreadProc(Owner* owner) {
    while (owner->m_dhcpEnabled.load() != 0) {
        owner->m_dhcpServer.ServiceOnce();
        owner->m_dhcpServer.WaitBeforeNextPoll(owner->m_dhcpEnabled);
    }
    return 0;
}
