#pragma once
// Recovering one module in one step: serve DHCP for its MAC only until it answers a scan at its
// recovery address 10.200.1.N, configure it to static values with DHCP off, scan again until it
// answers at its new address, and stop serving whatever happens.
//
// The flow never calls the module-service library itself and starts no thread of its own
// (the server's worker aside), so that the command line and the window can each drive it with
// their own way of receiving the library's events. Its driver, on one thread:
//
//     flow.Start(now)                        // the server, for this MAC only
//     loop:
//         switch (flow.Poll(now)):           // what to do next
//             kSendScan:      ZEVA_SendModuleScan()
//             kSendConfigure: ZEVA_SendConfigure(&flow.ConfigureRequest())
//             kAskForValues:  (only without an address in the settings) let the user fill the
//                             configuration dialog from flow.FoundModule() with DHCP off, then
//                             flow.ProvideStaticValues(...)
//             kFinished:      leave the loop (flow.Result() says how it ended)
//         feed what the library reported: OnScanAnswer for each scan answer, OnConfigureAccepted
//         (rescan event), OnPasswordRefused (invalid-password event for this MAC),
//         OnMacClaimedTwice (the library sent nothing: two senders answered for the MAC) and
//         OnConfigureNotDelivered (no answer)
//
// Poll runs the clock: the deadline, rescans, and the server's lease report (which arrives on
// the server's worker thread). Every step is announced through the progress sink, on the
// driver's thread. Stop (also the destructor) switches the server off; any Result other than
// kRunning has already done so.
//
// The server is the caller's (the window passes its own, so that its caption mark and Advanced
// Settings show it running): Start switches it off if it was on, limits it to the module's MAC
// and switches it on; Stop switches it off, lifts the limit and gives the server back the reply
// sink set with SetReplySink.

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "config/ConfigureDialogValues.h"
#include "config/ConfigureOverrides.h"
#include "dhcp/CRecoveryDhcpServer.h"
#include "modsvc/ModuleService.h"
#include "platform/AddressText.h"

namespace ordvane {

class RecoveryFlow {
public:
    using Clock = std::chrono::steady_clock;

    struct Settings {
        MacAddress mac{};
        // The static values; DHCP is always switched off. A password, when the module has one,
        // goes in overrides.password. Without ipAddress the flow asks for the values once the
        // module is found (Action::kAskForValues).
        ConfigureOverrides overrides;
        std::chrono::seconds limit{120};
    };

    enum class Action { kWait, kSendScan, kAskForValues, kSendConfigure, kFinished };
    enum class Result {
        kRunning,
        kVerified,         // the module answers at its new address
        kRefusedPassword,  // the module refused the password
        kTimedOut,         // no DHCP request, or no answer, before the limit
        kRefusedValues,    // values the configuration dialog refuses; FailureReason() says why
        kFailed,           // anything else; FailureReason() says what
    };

    // What went wrong, for a driver that says it in its own words (FailureReason() says it in
    // English).
    enum class Failure {
        kNone,
        kRefusedValue,      // FailureDetail(): the configuration dialog's refusal text
        kNoStaticAddress,   // the values asked for had no address
        kServerNotStarted,  // FailureDetail(): the server's reason
        kNoRandomSalt,      // no salt for a new password
        kNotDelivered,      // FailureDetail(): what the driver said about the configure
        kMacClaimedTwice,   // twice two senders for the MAC; nothing was sent
    };

    using ProgressSink = std::function<void(std::string_view line)>;

    RecoveryFlow(Settings settings, CRecoveryDhcpServer& server);
    ~RecoveryFlow() { Stop(); }
    RecoveryFlow(const RecoveryFlow&) = delete;
    RecoveryFlow& operator=(const RecoveryFlow&) = delete;

    // Lines such as "Found 0A-51-4D-00-00-2A at 10.200.1.42"; set before Start.
    void SetProgressSink(ProgressSink sink) { m_progress = std::move(sink); }
    // Told of each reply the server sends, on the server's worker thread; set before Start.
    void SetReplySink(CDhcpServer::ReplySink sink) { m_replySink = std::move(sink); }

    // Refuses values the configuration dialog would refuse before anything is served; then
    // switches the server on for this MAC only. False with Result() kFailed (or the refusal in
    // FailureReason()) when either fails.
    bool Start(Clock::time_point now);
    Action Poll(Clock::time_point now);

    void OnScanAnswer(const ModuleRecord& answer);
    void OnConfigureAccepted(Clock::time_point now);
    void OnPasswordRefused();
    void OnConfigureNotDelivered(const char* reason);
    // The first time, the module may have answered once before and once after putting its new
    // address on its card: the flow scans again and configures once the library trusts the
    // MAC again. The second time, it gives up.
    void OnMacClaimedTwice(Clock::time_point now);

    // The module's scan answer at its recovery address, once found: the dialog's pre-fill.
    const ModuleRecord& FoundModule() const { return m_found; }
    // The values asked for with kAskForValues (ipAddress needed); false when they are refused
    // (Result kRefusedValues, the server stopped) or were not asked for.
    bool ProvideStaticValues(const ConfigureOverrides& values);

    // The request to send when Poll said kSendConfigure, and the dialog's values it was built
    // from (for the change journal).
    const ZEVA_ConfigureRequestType& ConfigureRequest() const { return m_request; }
    const ConfigureDialogOutput& ConfiguredValues() const { return m_values; }
    Result CurrentResult() const { return m_result; }
    const std::string& FailureReason() const { return m_failureReason; }
    Failure FailureKind() const { return m_failure; }
    const std::string& FailureDetail() const { return m_failureDetail; }
    // True once the module has been given its lease; the window then lets the user configure.
    bool LeaseGiven() const { return m_leased.load(); }

    // Switches the server off (once; later calls do nothing) and says so.
    void Stop();

private:
    enum class Phase {
        kServing,
        kAwaitingValues,
        kConfiguring,
        kAwaitingOutcome,
        kVerifying,
        kDone
    };

    std::uint32_t RecoveryAddress() const;
    void PrepareConfigure();
    void Finish(Result result, std::string reason = {}, Failure failure = Failure::kNone,
                std::string detail = {});
    void Say(const std::string& line) const;
    Action ScanWhenDue(Clock::time_point now, Clock::duration interval);

    Settings m_settings;
    CRecoveryDhcpServer& m_server;
    ProgressSink m_progress;
    CDhcpServer::ReplySink m_replySink;
    Phase m_phase = Phase::kServing;
    Result m_result = Result::kRunning;
    std::string m_failureReason;
    Failure m_failure = Failure::kNone;
    std::string m_failureDetail;
    ZEVA_ConfigureRequestType m_request{};
    ConfigureDialogOutput m_values;
    ModuleRecord m_found;
    bool m_askedForValues = false;
    Clock::time_point m_deadline;
    Clock::time_point m_nextScan;
    Clock::time_point m_lastScan;
    bool m_leaseAnnounced = false;
    bool m_claimedTwiceBefore = false;
    bool m_stopped = true;
    std::atomic<bool> m_leased{false};  // set on the server's worker thread
};

}  // namespace ordvane
