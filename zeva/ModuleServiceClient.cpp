#include "zeva/ModuleServiceClient.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

#include "platform/SystemRandom.h"
#include "platform/WaitReadable.h"

namespace ordvane::zeva {

namespace {

using std::chrono::milliseconds;

// A scan request goes out at these offsets from the scan's start: a lost request loses no
// module, and modules that already answer ignore the repeats.
constexpr std::array<milliseconds, 6> kScanRepeatOffsets = {milliseconds(0),   milliseconds(100),
                                                            milliseconds(250), milliseconds(500),
                                                            milliseconds(800), milliseconds(1200)};
// After a scan that heard two senders for a MAC, a later scan clears the conflict only once it
// has run this long: past its last repeat and the modules' answer delay, so that a second
// sender had its chance to answer.
constexpr milliseconds kConflictSettleTime(2000);
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

// Scan and request ids come from the system's random source: a counter would let anyone who
// saw one broadcast scan predict the next ids and answer in a module's name.
std::uint32_t RandomIdentifier() {
    std::array<std::uint8_t, sizeof(std::uint32_t)> bytes{};
    if (!FillFromSystemRandom(bytes)) {
        // No getrandom (very old kernel): the C++ library's own non-deterministic source.
        return static_cast<std::uint32_t>(std::random_device{}());
    }
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

// FNV-1a over a decoded record (its padding is zero): a module repeats its answer byte for
// byte, so a different fingerprint from the same sender in one scan is another claimant. The
// record carries a fresh challenge, unknown to a claimant that answers first, so it cannot aim
// at a collision.
std::uint64_t RecordFingerprint(const ZEVA_ModuleScanResponseType& record) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    for (std::size_t index = 0; index < sizeof record; ++index) {
        hash = (hash ^ bytes[index]) * 0x100000001B3ull;
    }
    return hash;
}

std::vector<ScanDestination> HostScanDestinations() {
    return CollectScanDestinations(kModulePort);
}

}  // namespace

ModuleServiceClient::ModuleServiceClient(ClientLimits limits, Sources sources)
    : m_limits(limits),
      m_ids(sources.ids ? std::move(sources.ids) : RandomIdentifier),
      m_destinations(sources.destinations ? std::move(sources.destinations) : HostScanDestinations),
      m_responses(limits.responseQueueCapacity),
      m_invalidPasswordMacs(limits.invalidPasswordQueueCapacity) {}

ModuleServiceClient::~ModuleServiceClient() {
    Stop();
}

void ModuleServiceClient::RegisterCallback(ZEVA_CallBackType callback) {
    MutexLock lock(m_mutex);
    m_callback = callback;
}

bool ModuleServiceClient::Start() {
    MutexLock lock(m_mutex);
    if (Running()) {
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
        MutexLock lock(m_mutex);
        if (m_detached) {
            m_detached = false;
            m_scanning = false;
            m_pendingCommands.clear();
            m_deferredEvents.clear();
            return;
        }
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
    MutexLock lock(m_mutex);
    m_socket.Close();
    ::close(m_wakeDescriptor);
    m_wakeDescriptor = -1;
    m_scanning = false;
    m_pendingCommands.clear();
    m_deferredEvents.clear();
}

void ModuleServiceClient::Wake() const {
    if (m_wakeDescriptor >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeDescriptor, &one, sizeof one);
    }
}

// An id that no command in flight uses.
std::uint32_t ModuleServiceClient::NewRequestId() const {
    std::uint32_t id = m_ids();
    while (m_pendingCommands.contains(id)) {
        id = m_ids();
    }
    return id;
}

bool ModuleServiceClient::SendScan() {
    {
        MutexLock lock(m_mutex);
        if (!Running()) {
            return false;
        }
        std::uint32_t scanId = m_ids();
        while (scanId == m_currentScanId) {
            scanId = m_ids();
        }
        m_currentScanId = scanId;
        ++m_scanSerial;
        m_scanDestinations = m_destinations();
        m_scanDatagram = EncodeToVector(ScanRequest{m_currentScanId});
        m_scanRepeatsSent = 0;
        m_scanStarted = Clock::now();
        m_scanning = true;
        // The first copy leaves at once, from the caller's thread.
        SendToAll(m_scanDatagram, m_scanDestinations);
        m_scanRepeatsSent = 1;
    }
    Wake();
    return true;
}

bool ModuleServiceClient::TakeResponse(ZEVA_ModuleScanResponseType& response) {
    MutexLock lock(m_mutex);
    QueuedResponse queued;
    if (!m_responses.Pop(queued)) {
        return false;
    }
    response = queued.record;
    return true;
}

bool ModuleServiceClient::PeekInvalidPasswordMac(std::uint8_t* mac) const {
    MutexLock lock(m_mutex);
    MacAddress head{};
    if (mac == nullptr || !m_invalidPasswordMacs.Peek(head)) {
        return false;
    }
    std::copy(head.begin(), head.end(), mac);
    return true;
}

void ModuleServiceClient::RemoveFirstInvalidPasswordMac() {
    MutexLock lock(m_mutex);
    m_invalidPasswordMacs.DropFront();
}

bool ModuleServiceClient::SendConfigure(const ZEVA_ConfigureRequestType& request) {
    MutexLock lock(m_mutex);
    return QueueCommand(MessageType::kConfigureRequest, ToMac(request.macId),
                        [&request](std::uint32_t requestId) {
                            ConfigureRequest message;
                            message.requestId = requestId;
                            message.request = request;
                            return EncodeToVector(message);
                        });
}

bool ModuleServiceClient::SendWink(const ZEVA_ConfigureRequestType& request) {
    MutexLock lock(m_mutex);
    return QueueCommand(MessageType::kWinkRequest, ToMac(request.macId),
                        [&request](std::uint32_t requestId) {
                            WinkRequest message;
                            message.requestId = requestId;
                            message.target = ToMac(request.macId);
                            return EncodeToVector(message);
                        });
}

// The first copy leaves at once, or, for a module first heard in a
// scan that is still young, once the scan has run long enough for a second claimant of the
// MAC to have answered; the worker retransmits. A module that answered goes back the way its
// answer came; one never heard is looked for wherever a scan would look.
bool ModuleServiceClient::QueueCommand(
    MessageType kind, const MacAddress& target,
    const std::function<std::vector<std::uint8_t>(std::uint32_t)>& encode) {
    if (!Running()) {
        return false;
    }
    const auto now = Clock::now();
    PendingCommand command;
    Clock::time_point firstSend = now;
    const auto known = m_modules.find(ordvane::MacAddress(target).Key());
    if (known != m_modules.end() && RefusedForConflict(known->second, now)) {
        // A password or challenge response must never reach a host that answers in a
        // module's name.
        ++m_statistics.commandsRefusedForConflict;
        m_deferredEvents.push_back(ZEVA_EVENT_MAC_CONFLICT);
        Wake();
        return false;
    }
    const auto hashed = m_hashedModules.find(ordvane::MacAddress(target).Key());
    if (kind == MessageType::kConfigureRequest && hashed != m_hashedModules.end() &&
        hashed->second) {
        // The program built the request from the answer that asks for plain text: its
        // password would travel in clear to whatever answered in the module's name.
        ++m_statistics.commandsRefusedForDowngrade;
        m_deferredEvents.push_back(ZEVA_EVENT_PASSWORD_DOWNGRADE);
        Wake();
        return false;
    }
    if (known != m_modules.end()) {
        command.destinations = {known->second.route};
        command.expectedSender = known->second.sender;
        if (known->second.scanSerial == m_scanSerial) {
            firstSend = std::max(now, m_scanStarted + kConflictSettleTime);
        }
    } else {
        command.destinations = m_destinations();
    }
    if (m_pendingCommands.size() >= m_limits.pendingCommandCapacity) {
        ++m_statistics.commandsDropped;
        return false;
    }
    const std::uint32_t requestId = NewRequestId();
    command.kind = kind;
    command.target = target;
    command.datagram = encode(requestId);
    if (command.datagram.empty()) {
        return false;
    }
    command.deadline = firstSend + kCommandDeadline;
    if (firstSend > now) {
        command.nextSend = firstSend;
    } else {
        command.nextSend = now + kCommandRetransmitInterval;
        SendToAll(command.datagram, command.destinations);
    }
    m_pendingCommands[requestId] = std::move(command);
    Wake();
    return true;
}

// Refused while the last scan that heard the MAC had two senders, and after such a scan until
// a later one has heard one sender only and run long enough for a second to have answered.
bool ModuleServiceClient::RefusedForConflict(KnownModule& module, Clock::time_point now) const {
    if (module.conflictInScan) {
        return true;
    }
    if (!module.conflictEarlier) {
        return false;
    }
    const bool settled =
        module.scanSerial == m_scanSerial && now >= m_scanStarted + kConflictSettleTime;
    if (settled) {
        module.conflictEarlier = false;
    }
    return !settled;
}

// Each command dropped raises event 5, as a refused one does.
void ModuleServiceClient::DropPendingCommandsFor(const MacAddress& target,
                                                 std::vector<int>& events) {
    const std::size_t dropped = std::erase_if(
        m_pendingCommands, [&target](const auto& entry) { return entry.second.target == target; });
    m_statistics.commandsRefusedForConflict += dropped;
    events.insert(events.end(), dropped, ZEVA_EVENT_MAC_CONFLICT);
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
            MutexLock lock(m_mutex);
            if (m_stopping) {
                return;
            }
            timeout = MillisecondsToNextTimer(Clock::now());
        }
        pollfd watched[2] = {{m_socket.Descriptor(), POLLIN, 0}, {m_wakeDescriptor, POLLIN, 0}};
        // A failed wait has paused already; the timers below run either way.
        const bool waited = WaitReadable(watched, timeout);
        if (waited && (watched[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeDescriptor, &count, sizeof count);
        }
        ReceiveWaiting(events);
        ZEVA_CallBackType callback = nullptr;
        {
            MutexLock lock(m_mutex);
            FinishRound(events);
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

// What the worker does after reading the socket.
void ModuleServiceClient::FinishRound(std::vector<int>& events) {
    RunTimers(Clock::now(), events);
    events.insert(events.end(), m_deferredEvents.begin(), m_deferredEvents.end());
    m_deferredEvents.clear();
}

void ModuleServiceClient::StartDetached() {
    MutexLock lock(m_mutex);
    if (!Running()) {
        m_detached = true;
    }
}

std::vector<int> ModuleServiceClient::HandleReceived(std::span<const std::uint8_t> datagram,
                                                     const ReceivedDatagram& received) {
    std::vector<int> events;
    HandleDatagram(datagram, received, events);
    MutexLock lock(m_mutex);
    FinishRound(events);
    return events;
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
    MutexLock lock(m_mutex);
    if (!decoded.message) {
        ++m_statistics.decodeErrors[static_cast<std::size_t>(decoded.error)];
        return;
    }
    if (const auto* answer = std::get_if<ScanAnswer>(&*decoded.message)) {
        HandleScanAnswer(*answer, received, events);
    } else {
        HandleCommandAnswer(std::get<CommandAnswer>(*decoded.message), received, events);
    }
}

void ModuleServiceClient::HandleScanAnswer(const ScanAnswer& answer,
                                           const ReceivedDatagram& received,
                                           std::vector<int>& events) {
    // Only an answer to the scan in progress may tell us anything, even where a module is.
    if (m_scanSerial == 0 || answer.scanId != m_currentScanId) {
        ++m_statistics.staleAnswers;
        return;
    }
    const Sender sender{received.source, received.interfaceIndex};
    // Every request goes back through the interface the answer came in on, whatever the
    // addresses: by broadcast when the module broadcast its answer (it cannot reach us by
    // unicast, or has no address), else to its address.
    ScanDestination route{received.source, received.interfaceIndex};
    if (received.destination == kLimitedBroadcast) {
        route.endpoint = {kLimitedBroadcast, received.source.port};
    }
    // Always acknowledged, even when already heard: the earlier acknowledgement may be lost.
    Acknowledge(answer, route);
    const std::uint64_t key = ordvane::MacAddress(answer.hardwareAddress).Key();
    const auto known = m_modules.find(key);
    KnownModule* const found = known == m_modules.end() ? AddKnownModule(key) : &known->second;
    if (found == nullptr) {
        ++m_statistics.unknownModulesDropped;
        return;
    }
    KnownModule& module = *found;
    if (module.scanSerial != m_scanSerial) {
        NotePasswordMode(key, answer.record);
        m_heardOrder.splice(m_heardOrder.end(), m_heardOrder, module.heardPlace);
        module.conflictEarlier = module.conflictEarlier || module.conflictInScan;
        module.conflictInScan = false;
        module.scanSerial = m_scanSerial;
        module.sender = sender;
        module.fingerprint = RecordFingerprint(answer.record);
        module.route = route;
        QueueResponse(answer, events);
        return;
    }
    if (module.conflictInScan ||
        (module.sender == sender && module.fingerprint == RecordFingerprint(answer.record))) {
        ++m_statistics.repeatedAnswers;
        return;
    }
    // A second claimant for the MAC (another sender, or the same sender with another record):
    // nothing more goes to it, not even a command already under way, and the program sees
    // this answer too so that it can name both.
    ++m_statistics.conflictingAnswers;
    module.conflictInScan = true;
    NotePasswordMode(key, answer.record);
    DropPendingCommandsFor(answer.hardwareAddress, events);
    QueueResponse(answer, events);
}

// For each answer that reaches the program.
void ModuleServiceClient::NotePasswordMode(std::uint64_t key,
                                           const ZEVA_ModuleScanResponseType& record) {
    const bool asksHashed = record.hashedPasswords == 1;
    const auto known = m_hashedModules.find(key);
    if (known != m_hashedModules.end()) {
        known->second = !asksHashed;
    } else if (asksHashed && m_hashedModules.size() < m_limits.knownRouteCapacity) {
        m_hashedModules.emplace(key, false);
    }
}

// A full table forgets the module heard longest ago, unless this
// scan has heard every one of them; nothing: the new MAC is not taken.
ModuleServiceClient::KnownModule* ModuleServiceClient::AddKnownModule(std::uint64_t key) {
    if (m_modules.size() >= m_limits.knownRouteCapacity) {
        if (m_heardOrder.empty() || m_modules.at(m_heardOrder.front()).scanSerial == m_scanSerial) {
            return nullptr;
        }
        m_modules.erase(m_heardOrder.front());
        m_heardOrder.pop_front();
        ++m_statistics.modulesForgotten;
    }
    KnownModule& module = m_modules[key];
    module.heardPlace = m_heardOrder.insert(m_heardOrder.end(), key);
    return &module;
}

// Responses of an earlier scan that the program has not taken yet
// make room for this scan's.
bool ModuleServiceClient::QueueResponse(const ScanAnswer& answer, std::vector<int>& events) {
    QueuedResponse oldest;
    if (m_responses.Size() >= m_responses.Capacity() && m_responses.Peek(oldest) &&
        oldest.scanSerial != m_scanSerial) {
        m_responses.DropFront();
        ++m_statistics.responsesDropped;
    }
    if (!m_responses.Push({answer.record, m_scanSerial})) {
        ++m_statistics.responsesDropped;
        return false;
    }
    ++m_statistics.answersQueued;
    events.push_back(ZEVA_EVENT_RESPONSE);
    return true;
}

void ModuleServiceClient::Acknowledge(const ScanAnswer& answer,
                                      const ScanDestination& route) const {
    std::array<std::uint8_t, kMaxDatagramSize> datagram{};
    const std::size_t size =
        Encode(ScanAcknowledge{answer.scanId, answer.hardwareAddress}, datagram);
    m_socket.SendTo(std::span(datagram.data(), size), route.endpoint, route.interfaceIndex);
}

void ModuleServiceClient::HandleCommandAnswer(const CommandAnswer& answer,
                                              const ReceivedDatagram& received,
                                              std::vector<int>& events) {
    const auto pending = m_pendingCommands.find(answer.requestId);
    if (pending == m_pendingCommands.end() || pending->second.target != answer.hardwareAddress ||
        pending->second.kind != answer.command) {
        ++m_statistics.unmatchedCommandAnswers;
        return;
    }
    const auto& expected = pending->second.expectedSender;
    if (expected && *expected != Sender{received.source, received.interfaceIndex}) {
        ++m_statistics.foreignCommandAnswers;
        return;
    }
    m_pendingCommands.erase(pending);
    if (answer.command != MessageType::kConfigureRequest) {
        return;
    }
    switch (answer.result) {
        case CommandResult::kAccepted:
            events.push_back(ZEVA_EVENT_RESCAN);
            break;
        case CommandResult::kWrongPassword:
            if (m_invalidPasswordMacs.Push(answer.hardwareAddress)) {
                events.push_back(ZEVA_EVENT_INVALID_PASSWORD);
            } else {
                ++m_statistics.invalidPasswordsDropped;
            }
            break;
        case CommandResult::kRefused:
            ++m_statistics.refusedCommands;
            break;
    }
}

void ModuleServiceClient::RunTimers(Clock::time_point now, std::vector<int>& events) {
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
            events.push_back(ZEVA_EVENT_NO_ANSWER);
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
    MutexLock lock(m_mutex);
    ClientStatistics statistics = m_statistics;
    return statistics;
}

}  // namespace ordvane::zeva
