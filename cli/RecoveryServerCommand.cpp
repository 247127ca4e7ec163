// ordvane-cli recovery-server [--seconds S]: runs the recovery DHCP server with the window's
// engine (the same switch and worker) and prints each trace line on standard output, which the
// window discards. Runs for S seconds, or until SIGINT or SIGTERM when S is not given.
//
// Exit status: 0 after the run, 2 for bad arguments, 1 when the server could not open its port
// ("DHCP server init failed: <reason>" on standard error; port 67 needs root or
// CAP_NET_BIND_SERVICE).

#include "cli/RecoveryServerCommand.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>

#include "cli/ModuleLocator.h"
#include "dhcp/CDhcpServerSwitch.h"
#include "platform/SaturatingAtoi.h"

namespace ordvane::cli {

namespace {

constexpr const char* kUsage = "usage: ordvane-cli recovery-server [--seconds S]";
constexpr int kLongestRunSeconds = 7 * 24 * 3600;

// What the switch and the worker expect of their owner.
struct RecoveryServerOwner {
    CDhcpServer m_dhcpServer;
    std::atomic<std::uint8_t> m_dhcpEnabled{0};
};

// Empty optional: run until a stop signal. False on a bad command line.
bool ParseRunTime(std::span<const std::string> arguments, std::optional<int>& seconds) {
    if (arguments.empty()) {
        return true;
    }
    if (arguments.size() != 2 || arguments[0] != "--seconds") {
        return false;
    }
    const std::string& value = arguments[1];
    std::size_t consumed = 0;
    const int parsed = SaturatingAtoi(value, &consumed);
    if (value.empty() || value[0] < '0' || value[0] > '9' || consumed != value.size() ||
        parsed < 1 || parsed > kLongestRunSeconds) {
        return false;
    }
    seconds = parsed;
    return true;
}

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
    if (WantsHelp(arguments)) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    std::optional<int> seconds;
    if (!ParseRunTime(arguments, seconds)) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    RecoveryServerOwner owner;
    owner.m_dhcpServer.SetTraceSink([](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    });
    CDhcpServerSwitch<RecoveryServerOwner> serverSwitch(owner);
    if (!serverSwitch.SetEnabled(true)) {
        const std::string reason = owner.m_dhcpServer.FailureReason();
        serverSwitch.SetEnabled(false);
        std::fprintf(stderr, "DHCP server init failed: %s\n",
                     reason.empty() ? "no worker thread" : reason.c_str());
        return 1;
    }
    WaitForEnd(stopSignals, seconds);
    serverSwitch.SetEnabled(false);
    return 0;
}

}  // namespace ordvane::cli
