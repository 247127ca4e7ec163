#pragma once
// The engine behind the eight library functions: one UDP socket, one worker thread that
// receives answers and runs the timers (scan repeats, command retransmissions), and bounded
// queues of scan responses and of modules that rejected a password.
//
// The callback runs on the worker thread, never while the client's lock is held, so the
// program may call any function of the client from inside it.
//
// Answers that are not from the module must not steer the client: a scan answer counts only
// for the scan in progress, and only then sets the way back to its module (the sender and the
// interface it came in on); a command answer counts only with the id of the request in flight
// for that MAC and from that module's sender. When two senders answer for one MAC in one scan,
// or one sender answers it twice with records that differ (a host that copies the module's
// address and port),
// no configure or wink goes to that MAC (event ZEVA_EVENT_MAC_CONFLICT instead) until a later
// scan hears one sender only and has run long enough for a second one to have answered. A
// command for a MAC first heard in a scan that is still that young waits until it is not,
// so that a claimant answering first never gets it.

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "modsvc/ModuleService.h"
#include "platform/Mutex.h"
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
    std::uint64_t foreignCommandAnswers = 0;    // right id, but not from the module's sender
    std::uint64_t conflictingAnswers = 0;       // a second sender for a MAC in one scan
    std::uint64_t commandsRefusedForConflict = 0;
    std::uint64_t commandsRefusedForDowngrade = 0;  // plain text asked by a hashed module
    std::uint64_t unknownModulesDropped = 0;        // module table full of this scan's modules
    std::uint64_t modulesForgotten = 0;             // table full: a module unheard this scan went
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

    // Where scan and request ids come from (by default the system's random source) and where
    // a scan goes (by default the host's interfaces and ZEVA_TARGETS, read afresh each time).
    // A harness passes predictable ones.
    struct Sources {
        std::function<std::uint32_t()> ids;
        std::function<std::vector<ScanDestination>()> destinations;
    };

    explicit ModuleServiceClient(ClientLimits limits = {}, Sources sources = {});
    ~ModuleServiceClient();
    ModuleServiceClient(const ModuleServiceClient&) = delete;
    ModuleServiceClient& operator=(const ModuleServiceClient&) = delete;

    void RegisterCallback(ZEVA_CallBackType callback) EXCLUDES(m_mutex);
    // Opens the socket and starts the worker; true when running (also when already running).
    bool Start() EXCLUDES(m_mutex);
    // Ends the worker and closes the socket; the client may be started again.
    void Stop() EXCLUDES(m_mutex);

    bool SendScan() EXCLUDES(m_mutex);
    bool TakeResponse(ZEVA_ModuleScanResponseType& response) EXCLUDES(m_mutex);
    bool PeekInvalidPasswordMac(std::uint8_t* mac) const EXCLUDES(m_mutex);
    void RemoveFirstInvalidPasswordMac() EXCLUDES(m_mutex);
    bool SendConfigure(const ZEVA_ConfigureRequestType& request) EXCLUDES(m_mutex);
    bool SendWink(const ZEVA_ConfigureRequestType& request) EXCLUDES(m_mutex);

    ClientStatistics Statistics() const EXCLUDES(m_mutex);

    // Runs the client without a socket or worker, for a harness that hands it datagrams: the
    // calls above work, requests go nowhere, and HandleReceived takes the worker's part.
    void StartDetached() EXCLUDES(m_mutex);
    // One datagram as if it had arrived from `received`'s sender on its interface, then the
    // timers; returns the events the callback would have been given.
    std::vector<int> HandleReceived(std::span<const std::uint8_t> datagram,
                                    const ReceivedDatagram& received) EXCLUDES(m_mutex);

private:
    // Who sent an answer: its source address and port and the interface it arrived on.
    struct Sender {
        Endpoint source;
        int interfaceIndex = 0;
        bool operator==(const Sender&) const = default;
    };
    // What the client knows of one module from the scans that heard it.
    struct KnownModule {
        Sender sender;                  // of the first answer in the last scan that heard it
        std::uint64_t fingerprint = 0;  // of that answer's record; its repeats carry the same
        ScanDestination route;          // where requests for it go
        std::uint64_t scanSerial = 0;   // that scan
        bool conflictInScan = false;    // a second sender answered in that scan
        bool conflictEarlier = false;   // an earlier scan had two senders, not yet settled
        std::list<std::uint64_t>::iterator heardPlace;  // in m_heardOrder
    };
    struct QueuedResponse {
        ZEVA_ModuleScanResponseType record{};
        std::uint64_t scanSerial = 0;
    };
    struct PendingCommand {
        MessageType kind = MessageType::kConfigureRequest;
        MacAddress target{};
        std::vector<std::uint8_t> datagram;
        std::vector<ScanDestination> destinations;
        std::optional<Sender> expectedSender;  // none for a module no scan has heard
        Clock::time_point nextSend;
        Clock::time_point deadline;
    };

    bool Running() const REQUIRES(m_mutex) { return m_worker.joinable() || m_detached; }
    void Run() EXCLUDES(m_mutex);
    void FinishRound(std::vector<int>& events) REQUIRES(m_mutex);
    void Wake() const;
    void ReceiveWaiting(std::vector<int>& events) EXCLUDES(m_mutex);
    void HandleDatagram(std::span<const std::uint8_t> datagram, const ReceivedDatagram& received,
                        std::vector<int>& events) EXCLUDES(m_mutex);
    void HandleScanAnswer(const ScanAnswer& answer, const ReceivedDatagram& received,
                          std::vector<int>& events) REQUIRES(m_mutex);
    bool QueueResponse(const ScanAnswer& answer, std::vector<int>& events) REQUIRES(m_mutex);
    void NotePasswordMode(std::uint64_t key, const ZEVA_ModuleScanResponseType& record)
        REQUIRES(m_mutex);
    KnownModule* AddKnownModule(std::uint64_t key) REQUIRES(m_mutex);
    void HandleCommandAnswer(const CommandAnswer& answer, const ReceivedDatagram& received,
                             std::vector<int>& events) REQUIRES(m_mutex);
    void Acknowledge(const ScanAnswer& answer, const ScanDestination& route) const;
    void RunTimers(Clock::time_point now, std::vector<int>& events) REQUIRES(m_mutex);
    int MillisecondsToNextTimer(Clock::time_point now) const REQUIRES(m_mutex);
    bool QueueCommand(MessageType kind, const MacAddress& target,
                      const std::function<std::vector<std::uint8_t>(std::uint32_t)>& encode)
        REQUIRES(m_mutex);
    bool RefusedForConflict(KnownModule& module, Clock::time_point now) const REQUIRES(m_mutex);
    void DropPendingCommandsFor(const MacAddress& target, std::vector<int>& events)
        REQUIRES(m_mutex);
    void SendToAll(std::span<const std::uint8_t> datagram,
                   const std::vector<ScanDestination>& destinations) const;
    std::uint32_t NewRequestId() const REQUIRES(m_mutex);

    const ClientLimits m_limits;
    const std::function<std::uint32_t()> m_ids;
    const std::function<std::vector<ScanDestination>()> m_destinations;
    mutable Mutex m_mutex;
    ZEVA_CallBackType m_callback GUARDED_BY(m_mutex) = nullptr;
    // Opened by Start and closed by Stop while no worker runs; in between the worker and the
    // callers use them without the lock (sending and waking are safe from any thread).
    UdpSocket m_socket;
    int m_wakeDescriptor = -1;
    std::thread m_worker;
    bool m_stopping GUARDED_BY(m_mutex) = false;
    bool m_detached GUARDED_BY(m_mutex) = false;

    BoundedQueue<QueuedResponse> m_responses GUARDED_BY(m_mutex);
    BoundedQueue<MacAddress> m_invalidPasswordMacs GUARDED_BY(m_mutex);
    ClientStatistics m_statistics GUARDED_BY(m_mutex);

    std::uint32_t m_currentScanId GUARDED_BY(m_mutex) = 0;
    std::uint64_t m_scanSerial GUARDED_BY(m_mutex) = 0;  // counts scans; 0: none sent yet
    bool m_scanning GUARDED_BY(m_mutex) = false;         // repeats still to send
    // Events raised on the caller's thread, handed to the callback by the worker.
    std::vector<int> m_deferredEvents GUARDED_BY(m_mutex);
    std::vector<ScanDestination> m_scanDestinations GUARDED_BY(m_mutex);
    std::vector<std::uint8_t> m_scanDatagram GUARDED_BY(m_mutex);
    std::size_t m_scanRepeatsSent GUARDED_BY(m_mutex) = 0;
    Clock::time_point m_scanStarted GUARDED_BY(m_mutex);

    // Every MAC heard asking for hashed passwords since the client was made, and whether its
    // last answer asks for plain text instead: no configure goes to it then, since it would
    // carry a password in clear. Kept apart from m_modules, which forgets, and bounded by the
    // same capacity; a MAC beyond it is not remembered.
    std::unordered_map<std::uint64_t, bool> m_hashedModules GUARDED_BY(m_mutex);
    std::unordered_map<std::uint64_t, KnownModule> m_modules GUARDED_BY(m_mutex);
    // The known modules' keys, the one heard longest ago first: a full table makes room by
    // forgetting modules no scan has heard lately, so a flood of made-up MACs cannot keep a
    // real module out for good.
    std::list<std::uint64_t> m_heardOrder GUARDED_BY(m_mutex);
    std::unordered_map<std::uint32_t, PendingCommand> m_pendingCommands GUARDED_BY(m_mutex);
};

}  // namespace ordvane::zeva
