// ordvane-cli recover MAC --ip A [--mask A] [--gateway A] [--dns1 A] [--dns2 A] [--hostname H]
//                         [--password-stdin] [--seconds S]
//
// Recovers one module that was switched to DHCP by mistake, in one step: serves DHCP for its
// MAC only (on whichever link its request arrives), waits until it answers a scan at its
// recovery address 10.200.1.N, configures it to the given static values with DHCP off (with the
// configure command's checks and password handling), and scans until it answers at its new
// address. It prints one line per step and one per DHCP reply with the interface it left by.
// The recovery server is stopped in every case: success, failure, time up, SIGINT or SIGTERM.
//
// Exit status: 0 once the module answers at its new address, 3 when it refused the password, 4
// when no DHCP request or no answer came within S seconds (default 120), 2 for bad arguments or
// values the configuration dialog refuses, 1 otherwise (also when interrupted).

#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>

#include "cli/CliCommand.h"
#include "cli/CommandOptions.h"
#include "cli/ExitStatus.h"
#include "cli/KnownModulesFile.h"
#include "cli/LibraryEventQueue.h"
#include "cli/ModuleLocator.h"
#include "cli/PasswordInput.h"
#include "cli/RecoveryServerOutput.h"
#include "dhcp/RecoveryFlow.h"
#include "journal/ConfigureChange.h"
#include "journal/PendingChanges.h"

namespace ordvane::cli {

namespace {

constexpr const char* kRecoverUsage =
    "usage: ordvane-cli recover MAC --ip A [--mask A] [--gateway A] [--dns1 A] [--dns2 A]\n"
    "                            [--hostname H] [--password-stdin] [--plain-password]\n"
    "                            [--seconds S]";

// How long one turn of the loop waits for the library before it looks at the clock and the
// stop signals again.
constexpr auto kTurn = std::chrono::milliseconds(100);

int Refuse(const std::string& message) {
    std::fprintf(stderr, "ordvane-cli recover: %s\n%s\n", message.c_str(), kRecoverUsage);
    return kExitUsage;
}

bool StopSignalPending(const sigset_t& stopSignals) {
    const timespec none{0, 0};
    return sigtimedwait(&stopSignals, nullptr, &none) > 0;
}

void FeedScanAnswers(RecoveryFlow& flow) {
    while (const std::optional<ModuleRecord> answer = NextModuleRecord()) {
        flow.OnScanAnswer(*answer);
    }
}

// Feeds a library event to the flow and closes the configure's journal entry with it.
void FeedEvent(RecoveryFlow& flow, int eventCode, const MacAddress& mac, PendingChanges& journal) {
    switch (eventCode) {
        case ZEVA_EVENT_RESCAN:
            TakeOwnInvalidPassword(mac);
            journal.Finish(mac.data(), "accepted");
            flow.OnConfigureAccepted(RecoveryFlow::Clock::now());
            break;
        case ZEVA_EVENT_INVALID_PASSWORD:
            if (TakeOwnInvalidPassword(mac)) {
                journal.Finish(mac.data(), "refused-password");
                flow.OnPasswordRefused();
            }
            break;
        case ZEVA_EVENT_NO_ANSWER:
            journal.Finish(mac.data(), "no-answer");
            flow.OnConfigureNotDelivered("the module did not answer the configure request");
            break;
        case ZEVA_EVENT_MAC_CONFLICT:
            journal.Finish(mac.data(), "not-sent");  // the library sent nothing
            flow.OnMacClaimedTwice(RecoveryFlow::Clock::now());
            break;
        default:
            break;
    }
}

int ExitStatusOf(const RecoveryFlow& flow) {
    switch (flow.CurrentResult()) {
        case RecoveryFlow::Result::kVerified:
            return kExitSuccess;
        case RecoveryFlow::Result::kRefusedPassword:
            std::fprintf(stderr, "Invalid password\n");
            return kExitInvalidPassword;
        case RecoveryFlow::Result::kTimedOut:
            std::fprintf(stderr, "ordvane-cli recover: %s (exit status 4)\n",
                         flow.FailureReason().c_str());
            return kExitTimeout;
        case RecoveryFlow::Result::kRefusedValues:
            std::fprintf(stderr, "%s\n", flow.FailureReason().c_str());
            return kExitUsage;
        case RecoveryFlow::Result::kRunning:
        case RecoveryFlow::Result::kFailed:
            break;
    }
    std::fprintf(stderr, "ordvane-cli recover: %s\n", flow.FailureReason().c_str());
    return kExitFailure;
}

}  // namespace

int RunRecover(std::span<const std::string> arguments) {
    RecoverArguments parsed;
    std::string error;
    if (!ParseRecoverArguments(arguments, parsed, error)) {
        return Refuse(error);
    }
    ConfigureArguments& configure = parsed.configure;
    if (configure.passwordFromInput) {
        std::string password;
        if (!ReadPasswordLine("password", "Password: ", password, error)) {
            return Refuse(error);
        }
        configure.overrides.password = password;
    }
    // Blocked before any thread starts, so that every thread inherits the mask and the signals
    // are taken here alone: the loop below then stops the server on its way out.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    if (!StartModuleService()) {
        return kExitFailure;
    }
    RecoveryFlow::Settings settings;
    settings.mac = configure.mac;
    settings.overrides = configure.overrides;
    settings.limit = std::chrono::seconds(parsed.seconds);
    CRecoveryDhcpServer server;
    server.Server().SetNoticeSink(PrintNotice);
    RecoveryFlow flow(std::move(settings), server);
    flow.SetProgressSink([](std::string_view line) {
        std::printf("%.*s\n", static_cast<int>(line.size()), line.data());
        std::fflush(stdout);
    });
    flow.SetReplySink(PrintReply);
    if (!flow.Start(RecoveryFlow::Clock::now())) {
        return ExitStatusOf(flow);
    }
    KnownModules known = LoadKnownModulesFile("ordvane-cli recover");
    // Every configure sent leaves a journal line; one still open at the end says "no-outcome".
    PendingChanges journal;
    for (;;) {
        if (StopSignalPending(stopSignals)) {
            flow.Stop();
            std::fprintf(stderr, "ordvane-cli recover: interrupted\n");
            return kExitFailure;
        }
        const RecoveryFlow::Action action = flow.Poll(RecoveryFlow::Clock::now());
        if (action == RecoveryFlow::Action::kFinished) {
            return ExitStatusOf(flow);
        }
        if (action == RecoveryFlow::Action::kSendScan) {
            ZEVA_SendModuleScan();
        } else if (action == RecoveryFlow::Action::kSendConfigure) {
            // The same guard as configure's: never a password in clear to a module once seen
            // asking for hashed ones, and to a plain one only with --plain-password.
            RememberKnownModules("ordvane-cli recover", known, {flow.FoundModule()});
            if (!MayConfigure("ordvane-cli recover", known, flow.FoundModule(),
                              !configure.overrides.password.value_or("").empty(),
                              configure.plainPasswordConsent)) {
                flow.Stop();
                return kExitFailure;
            }
            ZEVA_ConfigureRequestType request = flow.ConfigureRequest();
            journal.Hold(ConfigureChange(JournalCommand::kRecover, flow.FoundModule(),
                                         flow.ConfiguredValues(), request));
            ZEVA_SendConfigure(&request);
        }
        FeedScanAnswers(flow);
        if (const auto eventCode =
                LibraryEventQueue::WaitForEvent(LibraryEventQueue::Clock::now() + kTurn)) {
            if (*eventCode == ZEVA_EVENT_PASSWORD_DOWNGRADE) {
                journal.Finish(configure.mac.data(), "not-sent");
                flow.Stop();
                std::fprintf(
                    stderr, "ordvane-cli recover: %s\n",
                    PasswordDowngradeRefusal(FormatMacAddress(configure.mac.data())).c_str());
                return kExitFailure;
            }
            FeedEvent(flow, *eventCode, configure.mac, journal);
            FeedScanAnswers(flow);
        }
    }
}

}  // namespace ordvane::cli
