#include "sim/ModuleEmulator.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "config/PasswordEncoding.h"
#include "platform/AddressText.h"
#include "platform/WaitReadable.h"
#include "sim/FleetFile.h"
#include "sim/PasswordCheck.h"

namespace ordvane::sim {

namespace {

using std::chrono::milliseconds;
using zeva::CommandResult;
using zeva::MessageType;

// An unacknowledged scan answer is sent this many times in all, this far apart: with 30 % of
// datagrams lost, 12 copies leave about one module in two million unheard (0.3 to the 12th).
constexpr int kAnswerSends = 12;
constexpr milliseconds kAnswerRepeatInterval(250);
// A configure proves the password against one of the last few challenges, if recent enough.
constexpr std::size_t kRememberedChallenges = 8;
constexpr std::chrono::seconds kChallengeLifetime(300);
// Request ids remembered per module, so a repeated request is answered but not applied again.
constexpr std::size_t kRememberedCommands = 16;
constexpr int kReceiveBatch = 1024;
constexpr int kIdleWait = 200;

void CopyText(const std::optional<std::string>& text, char* field, std::size_t width,
              std::uint8_t& valid) {
    valid = text ? 1 : 0;
    if (text) {
        std::strncpy(field, text->c_str(), width - 1);
        field[width - 1] = '\0';
    }
}

void CopyValue(const std::optional<std::uint32_t>& value, std::uint32_t& field,
               std::uint8_t& valid) {
    valid = value ? 1 : 0;
    field = value.value_or(0);
}

// Control characters would break the event lines and the state file.
bool PrintableText(const char* text) {
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) < 0x20 || *text == 0x7F) {
            return false;
        }
    }
    return true;
}

// Answer delays, simulated loss and DHCP transaction ids: a generator seeded with 256 bits.
// Challenges and salts come straight from the system's random source instead.
std::mt19937_64 SeededGenerator() {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(),
                       device(), device(), device(), device()};
    return std::mt19937_64(seed);
}

}  // namespace

ModuleEmulator::ModuleEmulator(std::vector<EmulatedModule> fleet, EmulatorOptions options,
                               std::FILE* output)
    : m_fleet(std::move(fleet)),
      m_runtime(m_fleet.size()),
      m_options(std::move(options)),
      m_output(output),
      m_random(SeededGenerator()) {
    for (std::size_t index = 0; index < m_fleet.size(); ++index) {
        m_byMac[ordvane::MacAddress(m_fleet[index].mac).Key()] = index;
        const std::string& password = m_fleet[index].password;
        m_runtime[index].salt = m_fleet[index].hashedPasswords && !password.empty()
                                    ? password.substr(0, kSaltLength)
                                    : NewSalt();
    }
}

bool ModuleEmulator::Open(std::string& error) {
    if (!m_socket.Open(m_options.address, m_options.port, 16 * 1024 * 1024)) {
        error = "cannot listen on " + FormatIpv4(m_options.address) + ":" +
                std::to_string(m_options.port) + ": " + std::strerror(errno);
        return false;
    }
    if (!m_options.dhcpInterface.empty()) {
        if (const Status opened = m_dhcpClient.Open(m_options.dhcpInterface); !opened) {
            error = opened.Reason();
            return false;
        }
        if (m_options.dhcpRetryMilliseconds > 0) {
            m_dhcpClient.KeepAsking(std::chrono::milliseconds(m_options.dhcpRetryMilliseconds));
        }
        m_dhcpClient.Begin(m_fleet, Clock::now(), m_random);
    }
    return true;
}

void ModuleEmulator::Run(const std::atomic<bool>& stop) {
    const ModuleDhcpClient::OutcomeSink dhcpOutcome =
        [this](std::size_t index, DhcpOutcome outcome) { OnDhcpOutcome(index, outcome); };
    while (!stop.load()) {
        std::array<pollfd, 2> watched{pollfd{m_socket.Descriptor(), POLLIN, 0},
                                      pollfd{m_dhcpClient.Descriptor(), POLLIN, 0}};
        // Receiving does not block, so a failed wait (which has paused already) only means
        // the sockets are read once more for nothing.
        WaitReadable(std::span(watched.data(), m_dhcpClient.IsOpen() ? 2 : 1),
                     MillisecondsToNextEvent(Clock::now()));
        ReceiveWaiting();
        SendDueAnswers(Clock::now());
        m_dhcpClient.Service(m_fleet, Clock::now(), m_random, dhcpOutcome);
    }
}

int ModuleEmulator::MillisecondsToNextEvent(Clock::time_point now) const {
    return m_dhcpClient.MillisecondsToNextSend(now, MillisecondsToNextAnswer(now));
}

void ModuleEmulator::OnDhcpOutcome(std::size_t index, DhcpOutcome outcome) {
    const EmulatedModule& module = m_fleet[index];
    if (outcome == DhcpOutcome::kGaveUp) {
        PrintLine("dhcp-gave-up mac=" + FormatMacAddress(module.mac.data()));
        return;
    }
    PrintLine("lease mac=" + FormatMacAddress(module.mac.data()) +
              " ip=" + FormatIpv4(module.address.value_or(0)) +
              " mask=" + FormatIpv4(module.subnetMask.value_or(0)));
    std::string error;
    if (!m_options.stateFile.empty() && !SaveState(error)) {
        std::fprintf(stderr, "quillmor-sim: %s\n", error.c_str());
    }
}

void ModuleEmulator::ReceiveWaiting() {
    std::array<std::uint8_t, zeva::kMaxDatagramSize + 1> buffer{};
    zeva::ReceivedDatagram received;
    for (int handled = 0; handled < kReceiveBatch && m_socket.Receive(buffer, received);
         ++handled) {
        ++m_statistics.received;
        if (Chance(m_options.loss)) {
            ++m_statistics.droppedByLoss;
            continue;
        }
        const std::span datagram(buffer.data(), std::min(received.size, buffer.size()));
        HandleDatagram(datagram, received);
        if (Chance(m_options.duplication)) {
            ++m_statistics.duplicated;
            HandleDatagram(datagram, received);
        }
    }
}

void ModuleEmulator::HandleDatagram(std::span<const std::uint8_t> datagram,
                                    const zeva::ReceivedDatagram& received) {
    const auto decoded = zeva::DecodeModuleBound(datagram);
    if (!decoded.message) {
        ++m_statistics.decodeErrors[static_cast<std::size_t>(decoded.error)];
        return;
    }
    const zeva::ModuleBoundMessage& message = *decoded.message;
    if (const auto* scan = std::get_if<zeva::ScanRequest>(&message)) {
        OnScanRequest(*scan, received);
    } else if (const auto* acknowledge = std::get_if<zeva::ScanAcknowledge>(&message)) {
        OnAcknowledge(*acknowledge);
    } else if (const auto* configure = std::get_if<zeva::ConfigureRequest>(&message)) {
        OnConfigure(*configure, received);
    } else {
        OnWink(std::get<zeva::WinkRequest>(message), received);
    }
}

void ModuleEmulator::OnScanRequest(const zeva::ScanRequest& request,
                                   const zeva::ReceivedDatagram& received) {
    const auto now = Clock::now();
    std::uniform_int_distribution<int> jitter(0, std::max(0, m_options.jitterMilliseconds));
    const milliseconds delay(std::max(0, m_options.delayMilliseconds));
    for (std::size_t index = 0; index < m_fleet.size(); ++index) {
        ModuleRuntime& runtime = m_runtime[index];
        const Route route = RouteFor(index, received);
        // A repeat of the scan this module already answers changes nothing.
        if (runtime.answering && runtime.scanId == request.scanId &&
            runtime.scanRoute.endpoint == route.endpoint) {
            continue;
        }
        runtime.scanId = request.scanId;
        runtime.answering = true;
        runtime.acknowledged = false;
        runtime.sendsLeft = kAnswerSends;
        runtime.scanRoute = route;
        runtime.answerChallenge.clear();
        runtime.answerDatagram.clear();
        ++runtime.generation;
        m_dueAnswers.push(
            {now + delay + milliseconds(jitter(m_random)), index, runtime.generation});
    }
}

// An acknowledgement counts only once this module has answered the scan: one that arrives
// before is for a host answering in its name (broadcast acknowledgements reach every host on
// the link), and heeding it would leave that host the only answer the library hears.
void ModuleEmulator::OnAcknowledge(const zeva::ScanAcknowledge& acknowledge) {
    const int index = FindModule(acknowledge.hardwareAddress.data());
    if (index < 0) {
        return;
    }
    ModuleRuntime& runtime = m_runtime[static_cast<std::size_t>(index)];
    if (runtime.scanId == acknowledge.scanId && !runtime.answerChallenge.empty()) {
        runtime.acknowledged = true;
    }
}

void ModuleEmulator::SendDueAnswers(Clock::time_point now) {
    while (!m_dueAnswers.empty() && m_dueAnswers.top().due <= now) {
        const DueAnswer due = m_dueAnswers.top();
        m_dueAnswers.pop();
        ModuleRuntime& runtime = m_runtime[due.module];
        if (due.generation != runtime.generation) {
            continue;
        }
        if (runtime.acknowledged || runtime.sendsLeft <= 0) {
            runtime.answerDatagram = {};  // no more repeats: its memory goes
            continue;
        }
        SendScanAnswer(due.module);
        if (--runtime.sendsLeft > 0) {
            m_dueAnswers.push({now + kAnswerRepeatInterval, due.module, due.generation});
        } else {
            runtime.answerDatagram = {};
        }
    }
}

int ModuleEmulator::MillisecondsToNextAnswer(Clock::time_point now) const {
    if (m_dueAnswers.empty()) {
        return kIdleWait;
    }
    const auto wait = std::chrono::ceil<milliseconds>(m_dueAnswers.top().due - now).count();
    return static_cast<int>(std::clamp<long long>(wait, 0, kIdleWait));
}

void ModuleEmulator::SendScanAnswer(std::size_t index) {
    ModuleRuntime& runtime = m_runtime[index];
    // Each answer carries a fresh challenge; its repeats carry the same one.
    if (runtime.answerChallenge.empty()) {
        runtime.answerChallenge = NewChallenge(runtime.salt);
        runtime.challenges.push_back({runtime.answerChallenge, Clock::now()});
        if (runtime.challenges.size() > kRememberedChallenges) {
            runtime.challenges.erase(runtime.challenges.begin());
        }
    }
    // Repeats are the first copy byte for byte, even after a configure changed the module
    // meanwhile: the library takes a different answer from the same sender in one scan for a
    // second device claiming the MAC.
    if (runtime.answerDatagram.empty()) {
        zeva::ScanAnswer answer;
        answer.scanId = runtime.scanId;
        answer.hardwareAddress = m_fleet[index].mac;
        answer.record = BuildRecord(index);
        runtime.answerDatagram.resize(zeva::kMaxDatagramSize);
        runtime.answerDatagram.resize(zeva::Encode(answer, runtime.answerDatagram));
    }
    Send(runtime.answerDatagram, runtime.scanRoute);
    ++m_statistics.answersSent;
}

ZEVA_ModuleScanResponseType ModuleEmulator::BuildRecord(std::size_t index) const {
    const EmulatedModule& module = m_fleet[index];
    ZEVA_ModuleScanResponseType record{};
    record.serviceVersionMajor = module.serviceMajor;
    record.serviceVersionMinor = module.serviceMinor;
    CopyText(module.type, record.moduleType, sizeof record.moduleType, record.moduleTypeValid);
    if (module.firmware) {
        record.fwMajor = module.firmware->major;
        record.fwMinor = module.firmware->minor;
        record.fwBuild = module.firmware->build;
        record.fwVersionValid = 1;
    }
    if (module.reportsMac) {
        std::copy(module.mac.begin(), module.mac.end(), record.macId);
        record.macIdValid = 1;
    }
    CopyValue(module.address, record.ipAddress, record.ipAddressValid);
    CopyValue(module.subnetMask, record.subnetMask, record.subnetMaskValid);
    CopyValue(module.gateway, record.gateway, record.gatewayValid);
    record.dhcpValid = module.dhcp ? 1 : 0;
    record.dhcp = module.dhcp.value_or(false) ? 1 : 0;
    record.passwordSetValid = module.reportsPasswordSet ? 1 : 0;
    record.passwordSet = module.reportsPasswordSet && !module.password.empty() ? 1 : 0;
    CopyText(module.hostname, record.hostname, sizeof record.hostname, record.hostnameValid);
    CopyValue(module.primaryDns, record.dns1, record.dns1Valid);
    CopyValue(module.secondaryDns, record.dns2, record.dns2Valid);
    std::uint8_t unused = 0;
    CopyText(m_runtime[index].answerChallenge, record.challenge, sizeof record.challenge, unused);
    record.hashedPasswords = module.hashedPasswords ? 1 : 0;
    record.protocolRevision = module.protocolRevision;
    return record;
}

void ModuleEmulator::OnConfigure(const zeva::ConfigureRequest& request,
                                 const zeva::ReceivedDatagram& received) {
    const int found = FindModule(request.request.macId);
    if (found < 0) {
        ++m_statistics.unknownTargets;
        return;
    }
    const auto index = static_cast<std::size_t>(found);
    ModuleRuntime& runtime = m_runtime[index];
    // Taken before applying: the answer leaves the way the request came, whatever address
    // the configure gives the module.
    const Route route = CommandRouteFor(index, received);
    if (const CommandRecord* earlier = FindCommand(runtime, request.requestId)) {
        Answer(index, *earlier, route);
        return;
    }
    const CommandRecord record{request.requestId, MessageType::kConfigureRequest,
                               Configure(index, request.request)};
    RememberCommand(runtime, record);
    Answer(index, record, route);
}

CommandResult ModuleEmulator::Configure(std::size_t index,
                                        const ZEVA_ConfigureRequestType& request) {
    EmulatedModule& module = m_fleet[index];
    const std::string mac = FormatMacAddress(module.mac.data());
    const bool hashedNewPassword = module.hashedPasswords && request.changePassword != 0;
    if (!PrintableText(request.password) || !PrintableText(request.hostname) ||
        (request.changePassword != 0 && !PrintableText(request.newPassword)) ||
        (hashedNewPassword && request.newPassword[0] != '\0' &&
         !IsSaltedDigest(request.newPassword))) {
        PrintLine("reject mac=" + mac + " reason=bad-request");
        return CommandResult::kRefused;
    }
    const std::optional<std::string> proven = PasswordAccepted(index, request.password);
    if (!proven) {
        PrintLine("reject mac=" + mac + " reason=wrong-password");
        return CommandResult::kWrongPassword;
    }
    std::string newPassword = request.newPassword;
    if (hashedNewPassword && !newPassword.empty() &&
        module.protocolRevision >= zeva::kSealedPasswordRevision) {
        const auto key = SealingKey(index, *proven, request.password);
        if (!key) {
            PrintLine("reject mac=" + mac + " reason=bad-request");
            return CommandResult::kRefused;
        }
        newPassword = SealStoredForm(key->first, key->second, newPassword);
    }
    // A module in DHCP mode without a lease has an address and a mask, only none yet: switched
    // to a static address, it takes the one sent rather than ending up with none at all.
    if (module.dhcp.value_or(false) && !module.address && request.dhcp == 0 &&
        request.ipAddress != 0) {
        module.address = request.ipAddress;
        if (!module.subnetMask && request.subnetMask != 0) {
            module.subnetMask = request.subnetMask;
        }
    }
    SetIfSupported(module.address, request.ipAddress);
    SetIfSupported(module.subnetMask, request.subnetMask);
    SetIfSupported(module.gateway, request.gateway);
    SetIfSupported(module.dhcp, request.dhcp != 0);
    SetIfSupported(module.hostname, std::string(request.hostname));
    SetIfSupported(module.primaryDns, request.dns1);
    SetIfSupported(module.secondaryDns, request.dns2);
    if (request.changePassword != 0) {
        module.password = newPassword;
        if (hashedNewPassword && !module.password.empty()) {
            m_runtime[index].salt = module.password.substr(0, kSaltLength);
        }
    }
    PrintLine("configure mac=" + mac + " ip=" + FormatIpv4(request.ipAddress) + " mask=" +
              FormatIpv4(request.subnetMask) + " gateway=" + FormatIpv4(request.gateway) +
              " dhcp=" + (request.dhcp != 0 ? "on" : "off") + " dns1=" + FormatIpv4(request.dns1) +
              " dns2=" + FormatIpv4(request.dns2) + " password=" +
              (request.changePassword != 0 ? "changed" : "kept") + " hostname=" + request.hostname);
    std::string error;
    if (!m_options.stateFile.empty() && !SaveState(error)) {
        std::fprintf(stderr, "quillmor-sim: %s\n", error.c_str());
    }
    return CommandResult::kAccepted;
}

std::optional<std::string> ModuleEmulator::PasswordAccepted(std::size_t index,
                                                            const char* password) {
    const EmulatedModule& module = m_fleet[index];
    if (module.password.empty()) {
        return std::string();
    }
    if (!module.hashedPasswords) {
        return module.password == password ? std::optional(std::string()) : std::nullopt;
    }
    // A challenge proves the password once: a recorded response cannot be replayed.
    auto& challenges = m_runtime[index].challenges;
    const auto now = Clock::now();
    for (auto challenge = challenges.begin(); challenge != challenges.end(); ++challenge) {
        if (now - challenge->issued <= kChallengeLifetime &&
            ChallengeResponse(module.password, challenge->text) == password) {
            std::string proven = challenge->text;
            challenges.erase(challenge);
            return proven;
        }
    }
    return std::nullopt;
}

std::optional<std::pair<std::string, std::string>> ModuleEmulator::SealingKey(
    std::size_t index, const std::string& proven, const char* response) const {
    const EmulatedModule& module = m_fleet[index];
    if (!module.password.empty()) {
        return std::pair(module.password, proven);
    }
    // No password: the current one counts as empty, proven against a recent challenge.
    const ModuleRuntime& runtime = m_runtime[index];
    const std::string empty = SaltedDigest(runtime.salt, "");
    for (const IssuedChallenge& challenge : runtime.challenges) {
        if (ChallengeResponse(empty, challenge.text) == response) {
            return std::pair(empty, challenge.text);
        }
    }
    return std::nullopt;
}

void ModuleEmulator::OnWink(const zeva::WinkRequest& request,
                            const zeva::ReceivedDatagram& received) {
    const int found = FindModule(request.target.data());
    if (found < 0) {
        ++m_statistics.unknownTargets;
        return;
    }
    const auto index = static_cast<std::size_t>(found);
    ModuleRuntime& runtime = m_runtime[index];
    const CommandRecord* earlier = FindCommand(runtime, request.requestId);
    const CommandRecord record =
        earlier != nullptr
            ? *earlier
            : CommandRecord{request.requestId, MessageType::kWinkRequest, CommandResult::kAccepted};
    if (earlier == nullptr) {
        RememberCommand(runtime, record);
        PrintLine("wink mac=" + FormatMacAddress(m_fleet[index].mac.data()));
    }
    Answer(index, record, CommandRouteFor(index, received));
}

const ModuleEmulator::CommandRecord* ModuleEmulator::FindCommand(const ModuleRuntime& runtime,
                                                                 std::uint32_t requestId) const {
    for (const CommandRecord& record : runtime.recentCommands) {
        if (record.requestId == requestId) {
            return &record;
        }
    }
    return nullptr;
}

void ModuleEmulator::RememberCommand(ModuleRuntime& runtime, const CommandRecord& record) {
    runtime.recentCommands.push_back(record);
    if (runtime.recentCommands.size() > kRememberedCommands) {
        runtime.recentCommands.erase(runtime.recentCommands.begin());
    }
}

void ModuleEmulator::Answer(std::size_t index, const CommandRecord& record, const Route& route) {
    zeva::CommandAnswer answer;
    answer.requestId = record.requestId;
    answer.hardwareAddress = m_fleet[index].mac;
    answer.command = record.kind;
    answer.result = record.result;
    std::array<std::uint8_t, zeva::kMaxDatagramSize> datagram{};
    const std::size_t size = zeva::Encode(answer, datagram);
    Send(std::span(datagram.data(), size), route);
}

// Unicast reaches the sender when it is on loopback or in the module's own subnet; otherwise
// the module broadcasts on the link the request came in on.
ModuleEmulator::Route ModuleEmulator::RouteFor(std::size_t index,
                                               const zeva::ReceivedDatagram& received) const {
    const EmulatedModule& module = m_fleet[index];
    const zeva::Endpoint sender = received.source;
    if (zeva::IsLoopback(sender.address) || zeva::IsLoopback(received.destination)) {
        return {sender, 0};
    }
    if (module.address && module.subnetMask &&
        ((*module.address ^ sender.address) & *module.subnetMask) == 0) {
        return {sender, 0};
    }
    return {{zeva::kLimitedBroadcast, sender.port}, received.interfaceIndex};
}

// A request that came as a limited broadcast comes from a library that cannot reach us by
// unicast (or a module without an address): the answer goes back by broadcast on that link.
ModuleEmulator::Route ModuleEmulator::CommandRouteFor(
    std::size_t index, const zeva::ReceivedDatagram& received) const {
    if (received.destination == zeva::kLimitedBroadcast) {
        return {{zeva::kLimitedBroadcast, received.source.port}, received.interfaceIndex};
    }
    return RouteFor(index, received);
}

void ModuleEmulator::Send(std::span<const std::uint8_t> datagram, const Route& route) {
    if (Chance(m_options.loss)) {
        ++m_statistics.droppedByLoss;
        return;
    }
    m_socket.SendTo(datagram, route.endpoint, route.interfaceIndex);
    if (Chance(m_options.duplication)) {
        ++m_statistics.duplicated;
        m_socket.SendTo(datagram, route.endpoint, route.interfaceIndex);
    }
}

bool ModuleEmulator::Chance(double share) {
    return share > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < share;
}

int ModuleEmulator::FindModule(const std::uint8_t* mac) const {
    const auto found = m_byMac.find(ordvane::MacAddress::FromBytes(mac).Key());
    return found == m_byMac.end() ? -1 : static_cast<int>(found->second);
}

void ModuleEmulator::PrintLine(const std::string& line) {
    std::fprintf(m_output, "%s\n", line.c_str());
    std::fflush(m_output);
}

bool ModuleEmulator::SaveState(std::string& error) const {
    return SaveFleetFileAtomically(m_options.stateFile, m_fleet, error);
}

}  // namespace ordvane::sim
