#pragma once
// The DHCP clients of the emulated modules that are in DHCP mode and have no address yet. They
// share one socket on port 68 and one link (an interface named by --dhcp-client): each module
// broadcasts DISCOVER with its own MAC, takes the first OFFER, broadcasts REQUEST for it and, on
// ACK, takes the address and mask. While no answer comes, each message is repeated with a
// doubling pause; a module that never gets a lease gives up after a bounded number of tries.
//
// Nothing is sent unless the emulator was asked to run the clients: the messages are
// broadcasts on a real link.

#include <chrono>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "sim/DhcpClientMessage.h"
#include "sim/EmulatedModule.h"
#include "zeva/UdpSocket.h"

namespace ordvane::sim {

enum class DhcpOutcome { kLeased, kGaveUp };

class ModuleDhcpClient {
public:
    using Clock = std::chrono::steady_clock;
    // Told when a module's client ends with a lease (address and mask already set in the
    // fleet) or gives up.
    using OutcomeSink = std::function<void(std::size_t module, DhcpOutcome outcome)>;

    // DISCOVERs a module sends before it gives up, and the longest pause between two tries.
    static constexpr int kMaxDiscovers = 10;
    static constexpr int kMaxRequests = 4;
    static constexpr std::chrono::milliseconds kFirstPause{500};
    static constexpr std::chrono::milliseconds kLongestPause{8000};

    // Opens the socket on port 68 for the named interface.
    Status Open(const std::string& interfaceName);
    bool IsOpen() const { return m_socket.IsOpen(); }
    // Repeats each message after this fixed pause and never gives up, as a module does that
    // keeps asking until a server answers. Before Begin.
    void KeepAsking(std::chrono::milliseconds pause) { m_fixedPause = pause; }
    int Descriptor() const { return m_socket.Descriptor(); }

    // Starts a client for every module in DHCP mode without an address.
    void Begin(const std::vector<EmulatedModule>& fleet, Clock::time_point now,
               std::mt19937_64& random);
    // Reads the waiting answers, then sends what is due. A module that got an address some
    // other way (a configure) meanwhile is left alone from then on.
    void Service(std::vector<EmulatedModule>& fleet, Clock::time_point now, std::mt19937_64& random,
                 const OutcomeSink& sink);
    // How long the caller may wait before the next send is due; limit when none is.
    int MillisecondsToNextSend(Clock::time_point now, int limit) const;

    // Service's two halves, which a harness drives without the socket (sends then go nowhere):
    // one datagram read from port 68 on interface `interfaceIndex`, and the sends due at `now`
    // followed by forgetting the clients that ended.
    void HandleDatagram(std::span<const std::uint8_t> datagram, int interfaceIndex,
                        std::vector<EmulatedModule>& fleet, std::mt19937_64& random,
                        const OutcomeSink& sink);
    void SendDueAndForgetEnded(const std::vector<EmulatedModule>& fleet, Clock::time_point now,
                               const OutcomeSink& sink);

private:
    enum class Phase { kDiscovering, kRequesting, kEnded };
    struct Client {
        std::size_t module = 0;
        Phase phase = Phase::kDiscovering;
        std::uint32_t transactionId = 0;
        int discoversSent = 0;
        int requestsSent = 0;
        std::chrono::milliseconds pause = kFirstPause;
        Clock::time_point nextSend;
        std::uint32_t offeredAddress = 0;
        std::uint32_t serverIdentifier = 0;
    };

    void ReceiveAnswers(std::vector<EmulatedModule>& fleet, std::mt19937_64& random,
                        const OutcomeSink& sink);
    void OnAnswer(const DhcpServerAnswer& answer, std::vector<EmulatedModule>& fleet,
                  std::mt19937_64& random, const OutcomeSink& sink);
    void SendDue(const std::vector<EmulatedModule>& fleet, Clock::time_point now,
                 const OutcomeSink& sink);
    void SendMessage(Client& client, const EmulatedModule& module, Clock::time_point now);
    static void RestartDiscovery(Client& client, std::mt19937_64& random);

    zeva::UdpSocket m_socket;
    int m_interfaceIndex = 0;
    std::chrono::milliseconds m_fixedPause{0};  // 0: doubling pauses and a bounded number
    std::vector<Client> m_clients;
};

// True for a module whose DHCP client should run: DHCP on and no address yet.
bool WantsLease(const EmulatedModule& module);

}  // namespace ordvane::sim
