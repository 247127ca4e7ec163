#include "dhcp/RecoveryFlow.h"

#include <algorithm>

#include "config/ConfigureDialogValues.h"
#include "config/ConfigureRequestBuilder.h"
#include "config/ConfigureValidation.h"

namespace ordvane {

namespace {

// How often to scan while waiting for the module: before it has a lease it may already have
// one from an earlier run; after configuring, until it answers at its new address.
constexpr auto kServingScanInterval = std::chrono::seconds(3);
constexpr auto kVerifyingScanInterval = std::chrono::seconds(2);
// A module takes a moment after the lease to put the address on its card (and may probe for
// it first); a scan at once may be answered both before and after, from two addresses.
constexpr auto kLeaseSettleTime = std::chrono::milliseconds(500);
// The library sends a password to a MAC only once the scan that heard it has run long enough
// for a second claimant to have answered too, and refuses before; the configure waits as long.
constexpr auto kSecondClaimantWindow = std::chrono::milliseconds(2100);
constexpr std::uint8_t kAck = 5;

}  // namespace

RecoveryFlow::RecoveryFlow(Settings settings, CRecoveryDhcpServer& server)
    : m_settings(std::move(settings)), m_server(server) {
    m_settings.overrides.dhcpChoice = 1;  // off: the point of recovering
}

bool RecoveryFlow::Start(Clock::time_point now) {
    const ConfigureOverrides& overrides = m_settings.overrides;
    // The hostname is checked against the module's own once it answers; what can be refused
    // now is refused before anything is served.
    const char* refusal =
        overrides.ipAddress
            ? FirstConfigureRefusal(overrides.hostname.value_or(""), *overrides.ipAddress,
                                    overrides.hostname.value_or(""))
            : nullptr;
    if (refusal != nullptr) {
        Finish(Result::kRefusedValues, refusal, Failure::kRefusedValue, refusal);
        return false;
    }
    m_server.SwitchOff();  // the list of MACs and the sinks change only while it is off
    CDhcpServer& server = m_server.Server();
    server.SetAnsweredMacs({m_settings.mac.GetBytes()});
    // The driver's reply sink still hears every reply; the flow only notes the lease.
    server.SetReplySink([this](const CDhcpServer::ReplyReport& reply) {
        if (reply.messageType == kAck &&
            std::equal(reply.mac.begin(), reply.mac.end(), m_settings.mac.begin())) {
            m_leased.store(true);
        }
        if (m_replySink) {
            m_replySink(reply);
        }
    });
    m_stopped = false;
    if (const Status on = m_server.SwitchOn(); !on) {
        Finish(Result::kFailed, "DHCP server init failed: " + on.Reason(),
               Failure::kServerNotStarted, on.Reason());
        return false;
    }
    m_deadline = now + m_settings.limit;
    m_nextScan = now;
    Say("Serving DHCP for " + FormatMacAddress(m_settings.mac.data()) +
        " only; waiting for its request");
    return true;
}

RecoveryFlow::Action RecoveryFlow::Poll(Clock::time_point now) {
    if (m_result != Result::kRunning) {
        return Action::kFinished;
    }
    if (now >= m_deadline) {
        Finish(Result::kTimedOut, m_phase == Phase::kServing && !m_leased.load()
                                      ? "no DHCP request from the module in time"
                                      : "no answer from the module in time");
        return Action::kFinished;
    }
    switch (m_phase) {
        case Phase::kServing:
            if (m_leased.load() && !m_leaseAnnounced) {
                m_leaseAnnounced = true;
                m_nextScan = now + kLeaseSettleTime;  // it has its address: look for it soon
            }
            return ScanWhenDue(now, kServingScanInterval);
        case Phase::kConfiguring:
            if (now < m_lastScan + kSecondClaimantWindow) {
                return Action::kWait;
            }
            m_phase = Phase::kAwaitingOutcome;
            return Action::kSendConfigure;
        case Phase::kAwaitingValues:
            if (m_askedForValues) {
                return Action::kWait;
            }
            m_askedForValues = true;
            return Action::kAskForValues;
        case Phase::kAwaitingOutcome:
            return Action::kWait;
        case Phase::kVerifying:
            return ScanWhenDue(now, kVerifyingScanInterval);
        case Phase::kDone:
            break;
    }
    return Action::kFinished;
}

RecoveryFlow::Action RecoveryFlow::ScanWhenDue(Clock::time_point now, Clock::duration interval) {
    if (now < m_nextScan) {
        return Action::kWait;
    }
    m_nextScan = now + interval;
    m_lastScan = now;
    return Action::kSendScan;
}

std::uint32_t RecoveryFlow::RecoveryAddress() const {
    return (10u << 24) | (200u << 16) | (1u << 8) | m_settings.mac[5];
}

void RecoveryFlow::OnScanAnswer(const ModuleRecord& answer) {
    if (m_result != Result::kRunning || answer.mac != m_settings.mac || !answer.ipAddress) {
        return;
    }
    if (m_phase == Phase::kServing && answer.ipAddress->Value() == RecoveryAddress()) {
        Say("Found " + FormatMacAddress(m_settings.mac.data()) + " at " + answer.ipAddress->Text());
        m_found = answer;
        if (m_settings.overrides.ipAddress) {
            PrepareConfigure();
        } else {
            m_phase = Phase::kAwaitingValues;
            m_askedForValues = false;
        }
        return;
    }
    if (m_phase == Phase::kVerifying &&
        answer.ipAddress->Value() == *m_settings.overrides.ipAddress) {
        Say("Verified: " + FormatMacAddress(m_settings.mac.data()) + " answers at " +
            answer.ipAddress->Text());
        Finish(Result::kVerified);
    }
}

bool RecoveryFlow::ProvideStaticValues(const ConfigureOverrides& values) {
    if (m_phase != Phase::kAwaitingValues || m_result != Result::kRunning) {
        return false;
    }
    m_settings.overrides = values;
    m_settings.overrides.dhcpChoice = 1;
    if (!m_settings.overrides.ipAddress) {
        Finish(Result::kRefusedValues, "no static address to configure", Failure::kNoStaticAddress);
        return false;
    }
    PrepareConfigure();
    return m_result == Result::kRunning;
}

void RecoveryFlow::PrepareConfigure() {
    const ConfigureDialogInput prefill = PrefillFromModule(m_found);
    const ConfigureDialogOutput values = ApplyConfigureOverrides(prefill, m_settings.overrides);
    if (const char* refusal =
            FirstConfigureRefusal(values.hostname, values.ipAddress, ReportedHostname(prefill))) {
        Finish(Result::kRefusedValues, refusal, Failure::kRefusedValue, refusal);
        return;
    }
    if (!BuildConfigureRequest(m_found, values, m_request)) {
        Finish(Result::kFailed, "no random salt for the password", Failure::kNoRandomSalt);
        return;
    }
    m_values = values;  // what the request was built from, for the password guard and journal
    Say("Configuring it to " + FormatIpv4(values.ipAddress) + " with DHCP off");
    m_phase = Phase::kConfiguring;
}

void RecoveryFlow::OnConfigureAccepted(Clock::time_point now) {
    if (m_phase != Phase::kAwaitingOutcome || m_result != Result::kRunning) {
        return;
    }
    Say("The module took the settings; scanning for it at its new address");
    m_phase = Phase::kVerifying;
    m_nextScan = now;
}

void RecoveryFlow::OnPasswordRefused() {
    if (m_phase == Phase::kAwaitingOutcome && m_result == Result::kRunning) {
        Finish(Result::kRefusedPassword, "Invalid password");
    }
}

void RecoveryFlow::OnConfigureNotDelivered(const char* reason) {
    if (m_phase == Phase::kAwaitingOutcome && m_result == Result::kRunning) {
        Finish(Result::kFailed, reason, Failure::kNotDelivered, reason);
    }
}

void RecoveryFlow::OnMacClaimedTwice(Clock::time_point now) {
    if (m_phase != Phase::kAwaitingOutcome || m_result != Result::kRunning) {
        return;
    }
    if (m_claimedTwiceBefore) {
        Finish(Result::kFailed, "two devices claim the MAC address; nothing was sent",
               Failure::kMacClaimedTwice);
        return;
    }
    m_claimedTwiceBefore = true;
    Say("Two answers for the module's MAC address; nothing was sent, scanning again");
    m_phase = Phase::kServing;
    m_nextScan = now;
}

void RecoveryFlow::Finish(Result result, std::string reason, Failure failure, std::string detail) {
    m_result = result;
    m_failureReason = std::move(reason);
    m_failure = failure;
    m_failureDetail = std::move(detail);
    m_phase = Phase::kDone;
    Stop();
}

void RecoveryFlow::Stop() {
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    const bool wasServing = m_server.IsEnabled();
    m_server.SwitchOff();
    m_server.Server().SetAnsweredMacs({});
    m_server.Server().SetReplySink(m_replySink);
    if (wasServing) {
        Say("Recovery DHCP server stopped");
    }
}

void RecoveryFlow::Say(const std::string& line) const {
    if (m_progress) {
        m_progress(line);
    }
}

}  // namespace ordvane
