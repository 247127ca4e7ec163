#pragma once
// Switches the recovery server of an owner on and off (see DhcpThreadProc.h for what the owner
// offers). New code uses CRecoveryDhcpServer, which owns the server and its flag so that no
// member order matters; this form stays only until the command line's recovery-server command
// has moved to it.
//
// On: Start the server, set the flag, start the worker. When Start fails the server stays off
// (no worker, flag 0), so that whoever shows the switch shows it off and switching on again
// retries. Off: clear the flag, wake the worker and wait for it to end, then close the socket,
// so the worker never uses a closed socket. Switching to the state the server is already in
// does nothing.
//
// At most one worker runs. Declare the switch after the owner's server and flag: it switches
// off when destroyed, before they go away.

#include <cstdint>
#include <system_error>
#include <thread>

#include "dhcp/DhcpThreadProc.h"

template <typename Owner>
class CDhcpServerSwitch {
public:
    explicit CDhcpServerSwitch(Owner& owner) : m_owner(owner) {}
    ~CDhcpServerSwitch() { SwitchOff(); }
    CDhcpServerSwitch(const CDhcpServerSwitch&) = delete;
    CDhcpServerSwitch& operator=(const CDhcpServerSwitch&) = delete;

    bool IsEnabled() const { return m_owner.m_dhcpEnabled.load() != 0; }

    // False only when switching on and the server could not open its socket (its
    // FailureReason() says why) or no worker thread could be started.
    bool SetEnabled(bool enable) {
        if (enable == IsEnabled()) {
            return true;
        }
        if (enable) {
            return SwitchOn();
        }
        SwitchOff();
        return true;
    }

private:
    bool SwitchOn() {
        if (!m_owner.m_dhcpServer.Start()) {
            return false;
        }
        m_owner.m_dhcpEnabled.store(1);
        try {
            m_worker = std::thread(DhcpThreadProc<Owner>, &m_owner);
        } catch (const std::system_error&) {
            m_owner.m_dhcpEnabled.store(0);
            m_owner.m_dhcpServer.Stop();
            return false;
        }
        return true;
    }

    void SwitchOff() {
        m_owner.m_dhcpEnabled.store(0);
        m_owner.m_dhcpServer.WakeWorker();
        if (m_worker.joinable()) {
            m_worker.join();
        }
        m_owner.m_dhcpServer.Stop();
    }

    Owner& m_owner;
    std::thread m_worker;
};
