#include "sim/ModuleDhcpClient.h"

#include <net/if.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace ordvane::sim {

namespace {

constexpr int kReceiveBatch = 256;

std::uint32_t NewTransactionId(std::mt19937_64& random) {
    return static_cast<std::uint32_t>(random());
}

}  // namespace

bool WantsLease(const EmulatedModule& module) {
    return module.dhcp.value_or(false) && !module.address;
}

Status ModuleDhcpClient::Open(const std::string& interfaceName) {
    m_interfaceIndex = static_cast<int>(if_nametoindex(interfaceName.c_str()));
    if (m_interfaceIndex == 0) {
        return Failure{"no interface \"" + interfaceName + "\" for the DHCP clients"};
    }
    if (!m_socket.Open(0, kDhcpClientPort, 256 * 1024)) {
        return Failure{"cannot open the DHCP clients' UDP port " + std::to_string(kDhcpClientPort) +
                       ": " + std::strerror(errno)};
    }
    return {};
}

void ModuleDhcpClient::Begin(const std::vector<EmulatedModule>& fleet, Clock::time_point now,
                             std::mt19937_64& random) {
    m_clients.clear();
    for (std::size_t index = 0; index < fleet.size(); ++index) {
        if (WantsLease(fleet[index])) {
            Client client;
            client.module = index;
            client.transactionId = NewTransactionId(random);
            client.nextSend = now;
            m_clients.push_back(client);
        }
    }
}

void ModuleDhcpClient::Service(std::vector<EmulatedModule>& fleet, Clock::time_point now,
                               std::mt19937_64& random, const OutcomeSink& sink) {
    if (!m_socket.IsOpen()) {
        return;
    }
    ReceiveAnswers(fleet, random, sink);
    SendDueAndForgetEnded(fleet, now, sink);
}

void ModuleDhcpClient::SendDueAndForgetEnded(const std::vector<EmulatedModule>& fleet,
                                             Clock::time_point now, const OutcomeSink& sink) {
    SendDue(fleet, now, sink);
    std::erase_if(m_clients, [](const Client& client) { return client.phase == Phase::kEnded; });
}

int ModuleDhcpClient::MillisecondsToNextSend(Clock::time_point now, int limit) const {
    int wait = limit;
    for (const Client& client : m_clients) {
        const auto due = std::chrono::ceil<std::chrono::milliseconds>(client.nextSend - now);
        wait = std::min<int>(wait, static_cast<int>(std::max<long long>(due.count(), 0)));
    }
    return wait;
}

void ModuleDhcpClient::ReceiveAnswers(std::vector<EmulatedModule>& fleet, std::mt19937_64& random,
                                      const OutcomeSink& sink) {
    std::array<std::uint8_t, 1500> buffer{};
    zeva::ReceivedDatagram received;
    // Bounded, so that a flood on the link cannot starve the module protocol's socket.
    for (int handled = 0; handled < kReceiveBatch && m_socket.Receive(buffer, received);
         ++handled) {
        HandleDatagram(std::span(buffer.data(), std::min(received.size, buffer.size())),
                       received.interfaceIndex, fleet, random, sink);
    }
}

void ModuleDhcpClient::HandleDatagram(std::span<const std::uint8_t> datagram, int interfaceIndex,
                                      std::vector<EmulatedModule>& fleet, std::mt19937_64& random,
                                      const OutcomeSink& sink) {
    if (interfaceIndex != m_interfaceIndex) {
        return;  // another link's DHCP traffic is not ours
    }
    if (const auto answer = DecodeDhcpServerAnswer(datagram)) {
        OnAnswer(*answer, fleet, random, sink);
    }
}

void ModuleDhcpClient::OnAnswer(const DhcpServerAnswer& answer, std::vector<EmulatedModule>& fleet,
                                std::mt19937_64& random, const OutcomeSink& sink) {
    for (Client& client : m_clients) {
        EmulatedModule& module = fleet[client.module];
        if (client.phase == Phase::kEnded || client.transactionId != answer.transactionId ||
            module.mac != answer.clientMac) {
            continue;
        }
        if (client.phase == Phase::kDiscovering && answer.type == DhcpMessageType::kOffer) {
            client.phase = Phase::kRequesting;
            client.offeredAddress = answer.yourAddress;
            client.serverIdentifier = answer.serverIdentifier.value_or(0);
            client.requestsSent = 0;
            client.pause = kFirstPause;
            client.nextSend = Clock::time_point{};  // request at once
        } else if (client.phase == Phase::kRequesting && answer.type == DhcpMessageType::kAck) {
            if (!WantsLease(module)) {
                client.phase = Phase::kEnded;
                return;
            }
            module.address = answer.yourAddress;
            if (answer.subnetMask) {
                module.subnetMask = *answer.subnetMask;
            }
            client.phase = Phase::kEnded;
            sink(client.module, DhcpOutcome::kLeased);
        } else if (client.phase == Phase::kRequesting && answer.type == DhcpMessageType::kNak) {
            RestartDiscovery(client, random);
        }
        return;
    }
}

void ModuleDhcpClient::SendDue(const std::vector<EmulatedModule>& fleet, Clock::time_point now,
                               const OutcomeSink& sink) {
    for (Client& client : m_clients) {
        if (client.phase == Phase::kEnded || client.nextSend > now) {
            continue;
        }
        const EmulatedModule& module = fleet[client.module];
        if (!WantsLease(module)) {
            client.phase = Phase::kEnded;  // configured meanwhile
            continue;
        }
        if (client.phase == Phase::kRequesting && client.requestsSent >= kMaxRequests) {
            // The server offered but never acknowledged: start over with a DISCOVER.
            client.phase = Phase::kDiscovering;
        }
        if (client.phase == Phase::kDiscovering && client.discoversSent >= kMaxDiscovers &&
            m_fixedPause.count() == 0) {
            client.phase = Phase::kEnded;
            sink(client.module, DhcpOutcome::kGaveUp);
            continue;
        }
        SendMessage(client, module, now);
    }
}

void ModuleDhcpClient::SendMessage(Client& client, const EmulatedModule& module,
                                   Clock::time_point now) {
    DhcpClientRequest request;
    request.transactionId = client.transactionId;
    request.mac = module.mac;
    if (client.phase == Phase::kRequesting) {
        request.type = DhcpMessageType::kRequest;
        request.requestedAddress = client.offeredAddress;
        request.serverIdentifier = client.serverIdentifier;
        ++client.requestsSent;
    } else {
        ++client.discoversSent;
    }
    std::array<std::uint8_t, kDhcpRequestSize> datagram{};
    const std::size_t size = EncodeDhcpClientRequest(request, datagram);
    // From 0.0.0.0:68 to 255.255.255.255:67, out of the link's interface: the module has no
    // address and the host may have no route.
    m_socket.SendTo(std::span(datagram.data(), size), {zeva::kLimitedBroadcast, kDhcpServerPort},
                    m_interfaceIndex);
    if (m_fixedPause.count() > 0) {
        client.nextSend = now + m_fixedPause;
        return;
    }
    client.nextSend = now + client.pause;
    client.pause = std::min(client.pause * 2, kLongestPause);
}

void ModuleDhcpClient::RestartDiscovery(Client& client, std::mt19937_64& random) {
    client.phase = Phase::kDiscovering;
    client.transactionId = NewTransactionId(random);
    client.pause = kFirstPause;
    client.nextSend = Clock::time_point{};
}

}  // namespace ordvane::sim
