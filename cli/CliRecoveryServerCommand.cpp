// ordvane-cli recovery-server [--seconds S] [--trace]: runs the recovery DHCP server with the
// window's engine (the same switch and worker). It prints one line once it listens, naming the
// interfaces and the OUI it answers, then one line per reply; --trace adds the server's trace
// lines, which the window discards. Runs for S seconds, or until SIGINT or SIGTERM when S is not
// given.
//
// Exit status: 0 after the run, 2 for bad arguments, 1 when the server could not open its port
// ("DHCP server init failed: <reason>" on standard error; port 67 comes from the port-67
// helper when this program may not bind it).

#include "cli/CliCommand.h"

#include <ifaddrs.h>
#include <net/if.h>

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
#include "dhcp/CRecoveryDhcpServer.h"
#include "modsvc/QuillmorOui.h"
#include "platform/AddressText.h"
#include "platform/LongOptions.h"
#include "platform/SaturatingAtoi.h"

namespace ordvane::cli {

namespace {

constexpr const char* kUsage = "usage: ordvane-cli recovery-server [--seconds S] [--trace]";
constexpr int kLongestRunSeconds = 7 * 24 * 3600;

struct RunOptions {
    std::optional<int> seconds;  // empty: run until a stop signal
    bool trace = false;
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
};

// The interfaces a reply can leave by: up, broadcast-capable and not loopback, with or without
// an IPv4 address, as the socket listens on all of them.
std::string ListeningInterfaces() {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) {
        return "every interface";
    }
    std::string names;
    for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_PACKET ||
            (flags & IFF_UP) == 0 || (flags & IFF_LOOPBACK) != 0 || (flags & IFF_BROADCAST) == 0) {
            continue;
        }
        names += names.empty() ? "" : ", ";
        names += entry->ifa_name;
    }
    freeifaddrs(interfaces);
    return names.empty() ? "no interface yet (none is up)" : names;
}

const char* ReplyName(std::uint8_t messageType) {
    switch (messageType) {
        case 2:
            return "DHCPOFFER";
        case 5:
            return "DHCPACK";
        case 6:
            return "DHCPNAK";
        default:
            return "DHCP reply";
    }
}

// One line per reply, written on the worker thread without allocating.
void PrintReply(const CDhcpServer::ReplyReport& reply) {
    char interfaceName[IF_NAMESIZE] = "?";
    if (reply.interfaceIndex == 0 ||
        if_indextoname(reply.interfaceIndex, interfaceName) == nullptr) {
        std::snprintf(interfaceName, sizeof interfaceName, "?");
    }
    const auto& address = reply.address;
    const std::uint32_t given = (std::uint32_t{address[0]} << 24) |
                                (std::uint32_t{address[1]} << 16) |
                                (std::uint32_t{address[2]} << 8) | address[3];
    std::printf("%s %s to %s on %s\n", ReplyName(reply.messageType),
                ordvane::Ipv4Text(given).data(), ordvane::MacAddressText(reply.mac.data()).data(),
                interfaceName);
    std::fflush(stdout);
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
    if (!server.SetEnabled(true)) {
        const std::string reason = server.Server().FailureReason();
        server.SetEnabled(false);
        std::fprintf(stderr, "DHCP server init failed: %s\n",
                     reason.empty() ? "no worker thread" : reason.c_str());
        return kExitFailure;
    }
    const auto& oui = ordvane::kQuillmorOui;
    std::printf("Listening on UDP port 67 on %s; answering MAC addresses %02X-%02X-%02X-xx-xx-xx\n",
                ListeningInterfaces().c_str(), oui[0], oui[1], oui[2]);
    std::fflush(stdout);
    WaitForEnd(stopSignals, options.seconds);
    server.SetEnabled(false);
    return kExitSuccess;
}

}  // namespace ordvane::cli
