#pragma once
// Plays a fleet of modules on one UDP socket: answers scans after a random delay, repeats each
// answer until the library acknowledges it, applies configure requests once per request id,
// winks, and drops or duplicates a share of datagrams when asked to.
//
// Standard output gets one line per event (formats in docs/module-protocol.md):
//   ready port=<port> modules=<count>
//   wink mac=<MAC>
//   configure mac=<MAC> ip=<a.b.c.d> mask=<a.b.c.d> gateway=<a.b.c.d> dhcp=<on|off>
//             dns1=<a.b.c.d> dns2=<a.b.c.d> password=<kept|changed> hostname=<text>
//   reject mac=<MAC> reason=<wrong-password|bad-request>
//   lease mac=<MAC> ip=<a.b.c.d> mask=<a.b.c.d>
//   dhcp-gave-up mac=<MAC>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <queue>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sim/EmulatedModule.h"
#include "sim/ModuleDhcpClient.h"
#include "zeva/ModuleProtocol.h"
#include "zeva/UdpSocket.h"

namespace ordvane::sim {

struct EmulatorOptions {
    // Loopback unless told otherwise: thousands of modules answering one small scan must not be
    // heard on a real network by accident. 0 listens on every address.
    std::uint32_t address = 0x7F000001;
    std::uint16_t port = zeva::kModulePort;
    int jitterMilliseconds = 200;
    int delayMilliseconds = 0;  // a fixed wait before the jitter, to order answers in tests
    double loss = 0.0;          // share of datagrams dropped, each way
    double duplication = 0.0;   // share of datagrams doubled, each way
    std::string stateFile;      // empty: no state kept
    // The link on which modules in DHCP mode without an address run their DHCP clients;
    // empty: no client runs and no DHCP message is ever sent.
    std::string dhcpInterface;
    // A fixed pause between a DHCP client's tries, without giving up; 0: the doubling pause.
    int dhcpRetryMilliseconds = 0;
};

struct EmulatorStatistics {
    std::uint64_t received = 0;
    std::uint64_t decodeErrors[zeva::kDecodeErrorCount] = {};
    std::uint64_t unknownTargets = 0;  // commands for a MAC we do not play
    std::uint64_t answersSent = 0;
    std::uint64_t droppedByLoss = 0;
    std::uint64_t duplicated = 0;
};

class ModuleEmulator {
public:
    using Clock = std::chrono::steady_clock;

    ModuleEmulator(std::vector<EmulatedModule> fleet, EmulatorOptions options, std::FILE* output);

    bool Open(std::string& error);
    std::uint16_t Port() const { return m_socket.LocalPort(); }
    // Serves until stop becomes true.
    void Run(const std::atomic<bool>& stop);
    // Handles one datagram as if it had arrived; the receive path and the fuzzer use it.
    void HandleDatagram(std::span<const std::uint8_t> datagram,
                        const zeva::ReceivedDatagram& received);

    const std::vector<EmulatedModule>& Fleet() const { return m_fleet; }
    const EmulatorStatistics& Statistics() const { return m_statistics; }
    bool SaveState(std::string& error) const;

private:
    struct Route {
        zeva::Endpoint endpoint;
        int interfaceIndex = 0;
    };
    struct IssuedChallenge {
        std::string text;
        Clock::time_point issued;
    };
    struct CommandRecord {
        std::uint32_t requestId = 0;
        zeva::MessageType kind = zeva::MessageType::kConfigureRequest;
        zeva::CommandResult result = zeva::CommandResult::kAccepted;
    };
    struct ModuleRuntime {
        std::string salt;  // of the password, or of the module when it has none
        std::uint32_t scanId = 0;
        bool answering = false;
        bool acknowledged = false;
        int sendsLeft = 0;
        std::uint64_t generation = 0;
        Route scanRoute;
        std::string answerChallenge;
        std::vector<std::uint8_t> answerDatagram;  // while the answer is being repeated
        // Small and bounded; vectors, since an empty one costs no allocation across 65,536
        // modules.
        std::vector<IssuedChallenge> challenges;
        std::vector<CommandRecord> recentCommands;
    };
    struct DueAnswer {
        Clock::time_point due;
        std::size_t module = 0;
        std::uint64_t generation = 0;
        bool operator>(const DueAnswer& other) const { return due > other.due; }
    };

    void ReceiveWaiting();
    void SendDueAnswers(Clock::time_point now);
    int MillisecondsToNextAnswer(Clock::time_point now) const;
    void OnScanRequest(const zeva::ScanRequest& request, const zeva::ReceivedDatagram& received);
    void OnAcknowledge(const zeva::ScanAcknowledge& acknowledge);
    void OnConfigure(const zeva::ConfigureRequest& request, const zeva::ReceivedDatagram& received);
    void OnWink(const zeva::WinkRequest& request, const zeva::ReceivedDatagram& received);
    void SendScanAnswer(std::size_t index);
    zeva::CommandResult Configure(std::size_t index, const ZEVA_ConfigureRequestType& request);
    // The challenge the password was proven against ("" in plain mode or without a password,
    // where none is needed); nothing when the password is wrong.
    std::optional<std::string> PasswordAccepted(std::size_t index, const char* password);
    // The current stored form and challenge a sealed new password was sealed with; nothing
    // when the response proves neither (a module without a password takes the empty one).
    std::optional<std::pair<std::string, std::string>> SealingKey(std::size_t index,
                                                                  const std::string& proven,
                                                                  const char* response) const;
    const CommandRecord* FindCommand(const ModuleRuntime& runtime, std::uint32_t requestId) const;
    void RememberCommand(ModuleRuntime& runtime, const CommandRecord& record);
    void Answer(std::size_t index, const CommandRecord& record, const Route& route);
    Route RouteFor(std::size_t index, const zeva::ReceivedDatagram& received) const;
    Route CommandRouteFor(std::size_t index, const zeva::ReceivedDatagram& received) const;
    ZEVA_ModuleScanResponseType BuildRecord(std::size_t index) const;
    void Send(std::span<const std::uint8_t> datagram, const Route& route);
    bool Chance(double share);
    int FindModule(const std::uint8_t* mac) const;
    void PrintLine(const std::string& line);
    void OnDhcpOutcome(std::size_t index, DhcpOutcome outcome);
    int MillisecondsToNextEvent(Clock::time_point now) const;

    std::vector<EmulatedModule> m_fleet;
    std::vector<ModuleRuntime> m_runtime;
    std::unordered_map<std::uint64_t, std::size_t> m_byMac;
    EmulatorOptions m_options;
    std::FILE* m_output;
    zeva::UdpSocket m_socket;
    ModuleDhcpClient m_dhcpClient;
    std::mt19937_64 m_random;
    std::priority_queue<DueAnswer, std::vector<DueAnswer>, std::greater<>> m_dueAnswers;
    EmulatorStatistics m_statistics;
};

}  // namespace ordvane::sim
