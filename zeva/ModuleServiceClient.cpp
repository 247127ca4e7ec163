#include "zeva/ModuleServiceClient.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

namespace ordvane::zeva {

namespace {

using std::chrono::milliseconds;

// A scan request goes out at these offsets from the scan's start: a lost request loses no
// module, and modules that already answer ignore the repeats.
constexpr std::array<milliseconds, 6> kScanRepeatOffsets = {milliseconds(0),   milliseconds(100),
                                                            milliseconds(250), milliseconds(500),
                                                            milliseconds(800), milliseconds(1200)};
constexpr milliseconds kCommandRetransmitInterval(250);
constexpr milliseconds kCommandDeadline(4000);
constexpr milliseconds kIdleWait(1000);
// Datagrams handled before the timers get their turn again.
constexpr int kReceiveBatch = 512;

MacAddress ToMac(const std::uint8_t* bytes) {
    MacAddress mac{};
    std::copy(bytes, bytes + mac.size(), mac.begin());
    return mac;
}

template <typename Message>
std::vector<std::uint8_t> EncodeToVector(const Message& message) {
    std::vector<std::uint8_t> datagram(kMaxDatagramSize);
    datagram.resize(Encode(message, datagram));
    return datagram;
}

}  // namespace

ModuleServiceClient::ModuleServiceClient(ClientLimits limits)
    : m_limits(limits),
      m_responses(limits.responseQueueCapacity),
      m_invalidPasswordMacs(limits.invalidPasswordQueueCapacity) {
    std::random_device seed;
    // Identifiers start at a random point so that two programs never share request ids.
    m_nextIdentifier = seed();
}

ModuleServiceClient::~ModuleServiceClient() {
    Stop();
}

void ModuleServiceClient::RegisterCallback(ZEVA_CallBackType callback) {
    std::lock_guard lock(m_mutex);
    m_callback = callback;
}

bool ModuleServiceClient::Start() {
    std::lock_guard lock(m_mutex);
    if (m_worker.joinable()) {
        return true;
    }
    if (!m_socket.Open(0, 0, m_limits.receiveBufferBytes)) {
        return false;
    }
    m_wakeDescriptor = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeDescriptor < 0) {
        m_socket.Close();
        return false;
    }
    m_stopping = false;
    m_worker = std::thread([this] { Run(); });
    return true;
}

void ModuleServiceClient::Stop() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_worker.joinable()) {
            return;
        }
        m_stopping = true;
    }
    Wake();
    if (std::this_thread::get_id() == m_worker.get_id()) {
        // Stopped from inside the callback (for example exit() called there): the worker
        // cannot wait for itself; it ends when the callback returns.
        m_worker.detach();
        return;
    }
    m_worker.join();
    std::lock_guard lock(m_mutex);
    m_socket.Close();
    ::close(m_wakeDescriptor);
    m_wakeDescriptor = -1;
    m_scanning = false;
    m_pendingCommands.clear();
}

void ModuleServiceClient::Wake() const {
    if (m_wakeDescriptor >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeDescriptor, &one, sizeof one);
    }
}

std::uint32_t ModuleServiceClient::NextIdentifier() {
    return m_nextIdentifier++;
}

bool ModuleServiceClient::SendScan() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_worker.joinable()) {
            return false;
        }
        m_currentScanId = NextIdentifier();
        m_heardThisScan.clear();
        m_scanDestinations = CollectScanDestinations(kModulePort);
        m_scanDatagram = EncodeToVector(ScanRequest{m_currentScanId});
        m_scanRepeatsSent = 0;
        m_scanStarted = Clock::now();
        m_scanning = true;
        m_scanIssued = true;
        // The first copy leaves at once, from the caller's thread.
        SendToAll(m_scanDatagram, m_scanDestinations);
        m_scanRepeatsSent = 1;
    }
    Wake();
    return true;
}

bool ModuleServiceClient::TakeResponse(ZEVA_ModuleScanResponseType& response) {
    std::lock_guard lock(m_mutex);
    return m_responses.Pop(response);
}

bool ModuleServiceClient::PeekInvalidPasswordMac(std::uint8_t* mac) const {
    std::lock_guard lock(m_mutex);
    MacAddress head{};
    if (mac == nullptr || !m_invalidPasswordMacs.Peek(head)) {
        return false;
    }
    std::copy(head.begin(), head.end(), mac);
    return true;
}

void ModuleServiceClient::RemoveFirstInvalidPasswordMac() {
    std::lock_guard lock(m_mutex);
    m_invalidPasswordMacs.DropFront();
}

bool ModuleServiceClient::SendConfigure(const ZEVA_ConfigureRequestType& request) {
    std::lock_guard lock(m_mutex);
    ConfigureRequest message;
    message.requestId = NextIdentifier();
    message.request = request;
    return QueueCommand(MessageType::ConfigureRequest, ToMac(request.macId), message.requestId,
                        EncodeToVector(message));
}

bool ModuleServiceClient::SendWink(const ZEVA_ConfigureRequestType& request) {
    std::lock_guard lock(m_mutex);
    WinkRequest message;
    message.requestId = NextIdentifier();
    message.target = ToMac(request.macId);
    return QueueCommand(MessageType::WinkRequest, message.target, message.requestId,
                        EncodeToVector(message));
}

// Called with the lock held. The first copy leaves at once; the worker retransmits.
bool ModuleServiceClient::QueueCommand(MessageType kind, const MacAddress& target,
                                       std::uint32_t requestId,
                                       std::vector<std::uint8_t> datagram) {
    if (!m_worker.joinable() || datagram.empty()) {
        return false;
    }
    if (m_pendingCommands.size() >= m_limits.pendingCommandCapacity) {
        ++m_statistics.commandsDropped;
        return false;
    }
    PendingCommand command;
    command.kind = kind;
    command.target = target;
    command.datagram = std::move(datagram);
    command.destinations = DestinationsFor(target);
    const auto now = Clock::now();
    command.nextSend = now + kCommandRetransmitInterval;
    command.deadline = now + kCommandDeadline;
    SendToAll(command.datagram, command.destinations);
    m_pendingCommands[requestId] = std::move(command);
    Wake();
    return true;
}

// A module that answered goes back the way its answer came; one never heard is looked for
// wherever a scan would look.
std::vector<ScanDestination> ModuleServiceClient::DestinationsFor(const MacAddress& target) const {
    const auto route = m_routes.find(MacKey(target.data()));
    if (route != m_routes.end()) {
        return {ScanDestination{route->second.endpoint, route->second.interfaceIndex}};
    }
    return CollectScanDestinations(kModulePort);
}

void ModuleServiceClient::SendToAll(std::span<const std::uint8_t> datagram,
                                    const std::vector<ScanDestination>& destinations) const {
    for (const ScanDestination& destination : destinations) {
        m_socket.SendTo(datagram, destination.endpoint, destination.interfaceIndex);
    }
}

void ModuleServiceClient::Run() {
    std::vector<int> events;
    for (;;) {
        int timeout = 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping) {
                return;
            }
            timeout = MillisecondsToNextTimer(Clock::now());
        }
        pollfd watched[2] = {{m_socket.Descriptor(), POLLIN, 0}, {m_wakeDescriptor, POLLIN, 0}};
        poll(watched, 2, timeout);
        if ((watched[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeDescriptor, &count, sizeof count);
        }
        ReceiveWaiting(events);
        ZEVA_CallBackType callback = nullptr;
        {
            std::lock_guard lock(m_mutex);
            RunTimers(Clock::now());
            callback = m_callback;
        }
        // The lock is released: the program may call back into the library from here.
        if (callback != nullptr) {
            for (int event : events) {
                callback(event);
            }
        }
        events.clear();
    }
}

void ModuleServiceClient::ReceiveWaiting(std::vector<int>& events) {
    // One byte more than the largest datagram, so an oversized one shows as such.
    std::array<std::uint8_t, kMaxDatagramSize + 1> buffer{};
    ReceivedDatagram received;
    for (int handled = 0; handled < kReceiveBatch && m_socket.Receive(buffer, received);
         ++handled) {
        const std::size_t size = received.truncated ? buffer.size() : received.size;
        HandleDatagram(std::span(buffer.data(), std::min(size, buffer.size())), received, events);
    }
}

void ModuleServiceClient::HandleDatagram(std::span<const std::uint8_t> datagram,
                                         const ReceivedDatagram& received,
                                         std::vector<int>& events) {
    auto decoded = DecodeLibraryBound(datagram);
    std::lock_guard lock(m_mutex);
    if (!decoded.message) {
        ++m_statistics.decodeErrors[static_cast<std::size_t>(decoded.error)];
        return;
    }
    if (const auto* answer = std::get_if<ScanAnswer>(&*decoded.message)) {
        // An answer sent by broadcast came from a module that cannot reach us by unicast, so
        // whatever we send it goes back by broadcast through the same interface.
        Route route{received.source, 0};
        if (received.destination == kLimitedBroadcast) {
            route = {Endpoint{kLimitedBroadcast, received.source.port}, received.interfaceIndex};
        }
        HandleScanAnswer(*answer, route, events);
    } else {
        HandleCommandAnswer(std::get<CommandAnswer>(*decoded.message), events);
    }
}

void ModuleServiceClient::HandleScanAnswer(const ScanAnswer& answer, const Route& route,
                                           std::vector<int>& events) {
    // Always acknowledged, even when already heard: the earlier acknowledgement may be lost.
    Acknowledge(answer, route);
    RememberRoute(answer.hardwareAddress, route);
    if (!m_scanIssued || answer.scanId != m_currentScanId) {
        ++m_statistics.staleAnswers;
        return;
    }
    const std::uint64_t key = MacKey(answer.hardwareAddress.data());
    if (m_heardThisScan.contains(key)) {
        ++m_statistics.repeatedAnswers;
        return;
    }
    if (m_heardThisScan.size() < m_limits.knownRouteCapacity) {
        m_heardThisScan.insert(key);
    }
    if (!m_responses.Push(answer.record)) {
        ++m_statistics.responsesDropped;
        return;
    }
    ++m_statistics.answersQueued;
    events.push_back(ZEVA_EVENT_RESPONSE);
}

void ModuleServiceClient::Acknowledge(const ScanAnswer& answer, const Route& route) const {
    std::array<std::uint8_t, kMaxDatagramSize> datagram{};
    const std::size_t size =
        Encode(ScanAcknowledge{answer.scanId, answer.hardwareAddress}, datagram);
    m_socket.SendTo(std::span(datagram.data(), size), route.endpoint, route.interfaceIndex);
}

void ModuleServiceClient::RememberRoute(const MacAddress& mac, const Route& route) {
    if (m_routes.size() >= m_limits.knownRouteCapacity) {
        m_routes.clear();
    }
    m_routes[MacKey(mac.data())] = route;
}

void ModuleServiceClient::HandleCommandAnswer(const CommandAnswer& answer,
                                              std::vector<int>& events) {
    const auto pending = m_pendingCommands.find(answer.requestId);
    if (pending == m_pendingCommands.end() || pending->second.target != answer.hardwareAddress ||
        pending->second.kind != answer.command) {
        ++m_statistics.unmatchedCommandAnswers;
        return;
    }
    m_pendingCommands.erase(pending);
    if (answer.command != MessageType::ConfigureRequest) {
        return;
    }
    switch (answer.result) {
        case CommandResult::Accepted:
            events.push_back(ZEVA_EVENT_RESCAN);
            break;
        case CommandResult::WrongPassword:
            if (m_invalidPasswordMacs.Push(answer.hardwareAddress)) {
                events.push_back(ZEVA_EVENT_INVALID_PASSWORD);
            } else {
                ++m_statistics.invalidPasswordsDropped;
            }
            break;
        case CommandResult::Refused:
            ++m_statistics.refusedCommands;
            break;
    }
}

void ModuleServiceClient::RunTimers(Clock::time_point now) {
    if (m_scanning) {
        while (m_scanRepeatsSent < kScanRepeatOffsets.size() &&
               now >= m_scanStarted + kScanRepeatOffsets[m_scanRepeatsSent]) {
            SendToAll(m_scanDatagram, m_scanDestinations);
            ++m_scanRepeatsSent;
        }
        m_scanning = m_scanRepeatsSent < kScanRepeatOffsets.size();
    }
    for (auto command = m_pendingCommands.begin(); command != m_pendingCommands.end();) {
        if (now >= command->second.deadline) {
            ++m_statistics.commandsTimedOut;
            command = m_pendingCommands.erase(command);
            continue;
        }
        if (now >= command->second.nextSend) {
            SendToAll(command->second.datagram, command->second.destinations);
            command->second.nextSend = now + kCommandRetransmitInterval;
        }
        ++command;
    }
}

int ModuleServiceClient::MillisecondsToNextTimer(Clock::time_point now) const {
    Clock::time_point next = now + kIdleWait;
    if (m_scanning && m_scanRepeatsSent < kScanRepeatOffsets.size()) {
        next = std::min(next, m_scanStarted + kScanRepeatOffsets[m_scanRepeatsSent]);
    }
    for (const auto& [requestId, command] : m_pendingCommands) {
        next = std::min({next, command.nextSend, command.deadline});
    }
    const auto wait = std::chrono::ceil<milliseconds>(next - now).count();
    return static_cast<int>(std::clamp<long long>(wait, 0, kIdleWait.count()));
}

ClientStatistics ModuleServiceClient::Statistics() const {
    std::lock_guard lock(m_mutex);
    ClientStatistics statistics = m_statistics;
    return statistics;
}

}  // namespace ordvane::zeva
