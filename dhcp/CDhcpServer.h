#pragma once
// The socket side of the recovery DHCP server: one UDP socket on port 67, polled by a worker
// thread (DhcpThreadProc), answering each datagram by the reply rules and broadcasting the
// answer to port 68 out of the interface the request arrived on.
//
// The server answers only clients whose hardware address carries the maker's OUI, and always
// gives a client 10.200.1.N/24 where N is the last byte of its MAC address. It keeps no lease
// table: every datagram is judged on its own.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "dhcp/CDhcpPacket.h"

class CDhcpServer {
public:
    static constexpr std::uint16_t kServerPort = 67;
    static constexpr std::uint16_t kClientPort = 68;
    static constexpr int kNoSocket = -1;

    // Receives each trace text as it is formatted, on the worker thread.
    using TraceSink = std::function<void(std::string_view text)>;

    CDhcpServer();
    virtual ~CDhcpServer();
    CDhcpServer(const CDhcpServer&) = delete;
    CDhcpServer& operator=(const CDhcpServer&) = delete;

    // Opens the UDP socket on port 67 of every local address (broadcast allowed, arrival
    // interface reported, non-blocking). No address-reuse option is set, so this fails while
    // another program holds the port. On failure no socket stays open and FailureReason()
    // tells why.
    bool Start();
    // Closes the socket if it is open. Only call it once the worker has left its loop.
    bool Stop();
    // One poll: receives at most one waiting datagram, applies the reply rules and broadcasts
    // the answer. Returns 1 when a reply was sent, else 0. Allocates nothing.
    int ServiceOnce();

    // Applies the reply rules to one datagram as if it had just been received, leaving the
    // answer in Reply(). True when the datagram is answered. Not while the worker runs: the
    // worker alone uses the two message records then.
    bool AnswerDatagram(std::span<const std::uint8_t> datagram);
    const CDhcpPacket& Reply() const { return m_reply; }

    // The failing step of the last Start and the operating system's reason, e.g.
    // "bind to UDP port 67: Address already in use"; empty after a successful Start.
    const std::string& FailureReason() const { return m_failureReason; }
    bool IsOpen() const { return m_socket != kNoSocket; }

    // Trace texts go nowhere unless a sink is set. Set it while the server is switched off.
    void SetTraceSink(TraceSink sink) { m_traceSink = std::move(sink); }
    void Trace(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The worker's pause between polls: 50 ms, cut short as soon as enabled reads 0 and
    // WakeWorker() has been called, so that switching off never waits out a whole pause.
    void WaitBeforeNextPoll(const std::atomic<std::uint8_t>& enabled);
    void WakeWorker();

private:
    struct ArrivalInterface {
        bool known = false;
        int index = 0;
        std::uint8_t localAddress[4] = {};
    };

    bool ApplyReplyRules();
    void PrepareReplyFor(const CDhcpPacket& request);
    void ChooseDiscoverAnswer();
    void ChooseRequestAnswer();
    bool ReceiveRequest(ArrivalInterface& arrival);
    bool SendReply(const ArrivalInterface& arrival);
    bool FailStart(const char* step, int socketToClose);

    CDhcpPacket m_reply;
    CDhcpPacket m_request;
    int m_socket = kNoSocket;

    TraceSink m_traceSink;
    std::string m_failureReason;
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseWake;
};
