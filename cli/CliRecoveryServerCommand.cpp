// ordvane-cli recovery-server [--seconds S] [--only MAC[,MAC...]] [--trace]: runs the recovery
// DHCP server with the window's engine (the same switch and worker). It prints one line once it
// listens, naming the interfaces and the modules it answers (every module with the maker's OUI,
// or only those given with --only), then one line per reply with the interface it left by, and
// a warning once per link when that link has a DHCP server of its own or a lease left by a card
// without an IPv4 address; --trace adds the server's trace lines, which the window discards.
// Runs for S seconds, or until SIGINT or SIGTERM when S is not given.
//
// Exit status: 0 after the run, 2 for bad arguments, 1 when the server could not open its port
// ("DHCP server init failed: <reason>" on standard error; port 67 comes from the port-67
// helper when this program may not bind it).

#include "cli/CliCommand.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/RecoveryServerOutput.h"
#include "dhcp/CRecoveryDhcpServer.h"
#include "platform/LongOptions.h"
#include "platform/SaturatingAtoi.h"

namespace ordvane::cli {

namespace {

constexpr const char* kUsage =
    "usage: ordvane-cli recovery-server [--seconds S] [--only MAC[,MAC...]] [--trace]";
constexpr int kLongestRunSeconds = 7 * 24 * 3600;

struct RunOptions {
    std::optional<int> seconds;  // empty: run until a stop signal
    bool trace = false;
    std::vector<MacAddress> onlyMacs;  // empty: every module
};

constexpr LongOption<RunOptions> kRunOptions[] = {
    {"seconds", true,
     [](RunOptions& options, const std::string& value, std::string& reason) {
         std::size_t consumed = 0;
         const int parsed = SaturatingAtoi(value, &consumed);
         if (value.empty() || value[0] < '0' || value[0] > '9' || consumed != value.size() ||
             parsed < 1 || parsed > kLongestRunSeconds) {
             reason = "takes a number of seconds from 1 to 604800";
             return false;
         }
         options.seconds = parsed;
         return true;
     }},
    {"trace", false, SetFlag<RunOptions, &RunOptions::trace>},
    {"only", true,
     [](RunOptions& options, const std::string& value, std::string& reason) {
         return ParseOnlyMacs(value, options.onlyMacs, reason);
     }},
};

// Waits for the run time to pass or a stop signal, whichever comes first. The signals are
// blocked in every thread (the worker inherits the mask), so they are taken here alone.
void WaitForEnd(const sigset_t& stopSignals, std::optional<int> seconds) {
    if (!seconds) {
        int received = 0;
        sigwait(&stopSignals, &received);
        return;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(*seconds);
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
        const timespec wait{static_cast<time_t>(left / 1000),
                            static_cast<long>(left % 1000) * 1000000};
        if (sigtimedwait(&stopSignals, nullptr, &wait) >= 0) {
            return;  // a stop signal
        }
        // EAGAIN: the time is up; EINTR: another signal interrupted, wait for the rest
    }
}

}  // namespace

int RunRecoveryServer(std::span<const std::string> arguments) {
    RunOptions options;
    std::vector<std::string> operands;
    std::string error;
    const bool parsed =
        ParseLongOptions<RunOptions>(arguments, kRunOptions, options, operands, error);
    if (parsed && !operands.empty()) {
        error = "unexpected argument \"" + operands[0] + "\"";
    }
    if (!parsed || !operands.empty()) {
        std::fprintf(stderr, "ordvane-cli recovery-server: %s\n%s\n", error.c_str(), kUsage);
        return kExitUsage;
    }
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    CRecoveryDhcpServer server;
    if (options.trace) {
        server.Server().SetTraceSink([](std::string_view text) {
            std::fwrite(text.data(), 1, text.size(), stdout);
            std::fflush(stdout);
        });
    }
    server.Server().SetReplySink(PrintReply);
    server.Server().SetNoticeSink(PrintNotice);
    server.Server().SetAnsweredMacs(
        std::vector<CDhcpServer::Mac>(options.onlyMacs.begin(), options.onlyMacs.end()));
    if (const Status on = server.SwitchOn(); !on) {
        std::fprintf(stderr, "DHCP server init failed: %s\n", on.Reason().c_str());
        return kExitFailure;
    }
    PrintListening(options.onlyMacs);
    WaitForEnd(stopSignals, options.seconds);
    server.SwitchOff();
    return kExitSuccess;
}

}  // namespace ordvane::cli
