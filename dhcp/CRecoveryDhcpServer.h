#pragma once
// The recovery DHCP server with its switch and its worker thread, owned together, so that the
// worker can never outlive the server or the flag it reads, whatever object holds this one and
// in whatever order: switching off, and the destructor before anything is destroyed, clear the
// flag, wake the worker, wait for it to end, and only then close the socket.
//
// On: Start the server, set the flag, start the worker. When Start fails the server stays off
// (no worker, flag 0), so that whoever shows the switch shows it off and switching on again
// retries. Switching to the state the server is already in does nothing. At most one worker
// runs.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <thread>

#include "dhcp/CDhcpServer.h"
#include "dhcp/DhcpThreadProc.h"

namespace ordvane {

class CRecoveryDhcpServer {
public:
    CRecoveryDhcpServer() = default;
    ~CRecoveryDhcpServer() { SwitchOff(); }
    CRecoveryDhcpServer(const CRecoveryDhcpServer&) = delete;
    CRecoveryDhcpServer& operator=(const CRecoveryDhcpServer&) = delete;

    // The server, to set its sinks; switch it here only.
    CDhcpServer& Server() { return m_dhcpServer; }
    const CDhcpServer& Server() const { return m_dhcpServer; }

    bool IsEnabled() const { return m_dhcpEnabled.load() != 0; }

    // Starts the server and its worker unless it runs; a failure says why: the server could
    // not open its socket, or no worker thread could be started.
    Status SwitchOn() {
        if (IsEnabled()) {
            return {};
        }
        if (Status started = m_dhcpServer.Start(); !started) {
            return started;
        }
        m_dhcpEnabled.store(1);
        try {
            m_worker = std::thread(RunDhcpWorker, std::ref(m_dhcpServer), std::cref(m_dhcpEnabled));
        } catch (const std::system_error& error) {
            m_dhcpEnabled.store(0);
            m_dhcpServer.Stop();
            return Failure{std::string("start the server's worker thread: ") + error.what()};
        }
        return {};
    }

    // Ends the worker, then closes the socket. Does nothing to a server that is off.
    void SwitchOff() {
        m_dhcpEnabled.store(0);
        m_dhcpServer.WakeWorker();
        if (m_worker.joinable()) {
            m_worker.join();
        }
        m_dhcpServer.Stop();
    }

    // The window's switch: SwitchOn or SwitchOff.
    Status SetEnabled(bool enable) {
        if (enable) {
            return SwitchOn();
        }
        SwitchOff();
        return {};
    }

private:
    // Shared with the worker thread: the server, and the flag (1 while the worker is to run).
    CDhcpServer m_dhcpServer;
    std::atomic<std::uint8_t> m_dhcpEnabled{0};
    std::thread m_worker;
};

}  // namespace ordvane
