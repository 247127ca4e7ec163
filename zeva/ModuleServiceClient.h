#pragma once
// The engine behind the eight library functions: one UDP socket, one worker thread that
// receives answers and runs the timers (scan repeats, command retransmissions), and bounded
// queues of scan responses and of modules that rejected a password.
//
// The callback runs on the worker thread, never while the client's lock is held, so the
// program may call any function of the client from inside it.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "modsvc/ModuleService.h"
#include "zeva/BoundedQueue.h"
#include "zeva/ModuleProtocol.h"
#include "zeva/ScanDestinations.h"
#include "zeva/UdpSocket.h"

namespace ordvane::zeva {

struct ClientStatistics {
    std::uint64_t decodeErrors[kDecodeErrorCount] = {};
    std::uint64_t answersQueued = 0;
    std::uint64_t repeatedAnswers = 0;   // a module already heard in this scan
    std::uint64_t staleAnswers = 0;      // answers to an earlier scan
    std::uint64_t responsesDropped = 0;  // response queue full
    std::uint64_t invalidPasswordsDropped = 0;
    std::uint64_t unmatchedCommandAnswers = 0;  // duplicates or answers to nothing pending
    std::uint64_t refusedCommands = 0;
    std::uint64_t commandsTimedOut = 0;
    std::uint64_t commandsDropped = 0;  // too many commands in flight
};

struct ClientLimits {
    std::size_t responseQueueCapacity = 65536;
    std::size_t invalidPasswordQueueCapacity = 4096;
    std::size_t pendingCommandCapacity = 1024;
    std::size_t knownRouteCapacity = 262144;
    int receiveBufferBytes = 32 * 1024 * 1024;
};

class ModuleServiceClient {
public:
    using Clock = std::chrono::steady_clock;

    explicit ModuleServiceClient(ClientLimits limits = {});
    ~ModuleServiceClient();
    ModuleServiceClient(const ModuleServiceClient&) = delete;
    ModuleServiceClient& operator=(const ModuleServiceClient&) = delete;

    void RegisterCallback(ZEVA_CallBackType callback);
    // Opens the socket and starts the worker; true when running (also when already running).
    bool Start();
    // Ends the worker and closes the socket; the client may be started again.
    void Stop();

    bool SendScan();
    bool TakeResponse(ZEVA_ModuleScanResponseType& response);
    bool PeekInvalidPasswordMac(std::uint8_t* mac) const;
    void RemoveFirstInvalidPasswordMac();
    bool SendConfigure(const ZEVA_ConfigureRequestType& request);
    bool SendWink(const ZEVA_ConfigureRequestType& request);

    ClientStatistics Statistics() const;

private:
    struct Route {
        Endpoint endpoint;
        int interfaceIndex = 0;
    };
    struct PendingCommand {
        MessageType kind = MessageType::ConfigureRequest;
        MacAddress target{};
        std::vector<std::uint8_t> datagram;
        std::vector<ScanDestination> destinations;
        Clock::time_point nextSend;
        Clock::time_point deadline;
    };

    void Run();
    void Wake() const;
    void ReceiveWaiting(std::vector<int>& events);
    void HandleDatagram(std::span<const std::uint8_t> datagram, const ReceivedDatagram& received,
                        std::vector<int>& events);
    void HandleScanAnswer(const ScanAnswer& answer, const Route& route, std::vector<int>& events);
    void HandleCommandAnswer(const CommandAnswer& answer, std::vector<int>& events);
    void Acknowledge(const ScanAnswer& answer, const Route& route) const;
    void RunTimers(Clock::time_point now);
    int MillisecondsToNextTimer(Clock::time_point now) const;
    bool QueueCommand(MessageType kind, const MacAddress& target, std::uint32_t requestId,
                      std::vector<std::uint8_t> datagram);
    std::vector<ScanDestination> DestinationsFor(const MacAddress& target) const;
    void SendToAll(std::span<const std::uint8_t> datagram,
                   const std::vector<ScanDestination>& destinations) const;
    void RememberRoute(const MacAddress& mac, const Route& route);
    std::uint32_t NextIdentifier();

    const ClientLimits m_limits;
    mutable std::mutex m_mutex;
    ZEVA_CallBackType m_callback = nullptr;
    UdpSocket m_socket;
    int m_wakeDescriptor = -1;
    std::thread m_worker;
    bool m_stopping = false;

    BoundedQueue<ZEVA_ModuleScanResponseType> m_responses;
    BoundedQueue<MacAddress> m_invalidPasswordMacs;
    ClientStatistics m_statistics;

    std::uint32_t m_nextIdentifier = 0;
    std::uint32_t m_currentScanId = 0;
    bool m_scanning = false;    // repeats still to send
    bool m_scanIssued = false;  // a scan has been sent since start
    std::unordered_set<std::uint64_t> m_heardThisScan;
    std::vector<ScanDestination> m_scanDestinations;
    std::vector<std::uint8_t> m_scanDatagram;
    std::size_t m_scanRepeatsSent = 0;
    Clock::time_point m_scanStarted;

    std::unordered_map<std::uint64_t, Route> m_routes;
    std::unordered_map<std::uint32_t, PendingCommand> m_pendingCommands;
};

}  // namespace ordvane::zeva
