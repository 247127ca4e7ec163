// Cost of answering one datagram in process (decode, reply rules, encode), and the delay from
// a request to its reply on real sockets, by one ServiceOnce and by the running worker.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "dhcp/CDhcpServer.h"
#include "dhcp/CRecoveryDhcpServer.h"
#include "tests/dhcp/DhcpTestPackets.h"
#include "tests/support/NetworkNamespaces.h"

namespace {

using ordvane::CDhcpServer;
using ordvane::CRecoveryDhcpServer;

using Clock = std::chrono::steady_clock;

void BM_AnswerDiscover(benchmark::State& state) {
    CDhcpServer server;
    const dhcptest::Bytes discover = dhcptest::Discover(dhcptest::kOuiMac2A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(server.AnswerDatagram(discover));
    }
}

void BM_AnswerRequest(benchmark::State& state) {
    CDhcpServer server;
    const std::array<std::uint8_t, 4> asked = {10, 200, 1, 42};
    const dhcptest::Bytes request =
        dhcptest::ClientMessage(dhcptest::kOuiMac2A, dhcptest::kRequest, &asked);
    for (auto _ : state) {
        benchmark::DoNotOptimize(server.AnswerDatagram(request));
    }
}

// The benchmark thread moves into a namespace of its own once, so port 67 is ours.
bool EnterBenchNamespace(benchmark::State& state) {
    static const std::string failure = [] {
        std::string reason = ordvane::testing::NamespaceSkipReason(false);
        if (reason.empty() && !ordvane::testing::EnterFreshNamespace()) {
            reason = "could not enter a fresh network namespace";
        }
        return reason;
    }();
    if (!failure.empty()) {
        state.SkipWithError(failure.c_str());
        return false;
    }
    return true;
}

void SendToServer(int descriptor, const dhcptest::Bytes& request) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(CDhcpServer::kServerPort);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sendto(descriptor, request.data(), request.size(), 0,
           reinterpret_cast<const sockaddr*>(&server), sizeof server);
}

bool AwaitReply(int descriptor) {
    std::uint8_t reply[2048];
    pollfd waiting{descriptor, POLLIN, 0};
    return poll(&waiting, 1, 1000) == 1 && recv(descriptor, reply, sizeof reply, 0) == 300;
}

// Socket round trip without the worker: send, one ServiceOnce, receive the broadcast.
void BM_ServiceOnceRoundTrip(benchmark::State& state) {
    if (!EnterBenchNamespace(state)) {
        return;
    }
    CDhcpServer server;
    if (const ordvane::Status started = server.Start(); !started) {
        state.SkipWithError(started.Reason().c_str());
        return;
    }
    const int client = ordvane::testing::OpenBroadcastUdpSocket(CDhcpServer::kClientPort);
    const dhcptest::Bytes discover = dhcptest::Discover(dhcptest::kOuiMac2A);
    pollfd serverReady{};
    for (auto _ : state) {
        SendToServer(client, discover);
        while (server.ServiceOnce() == 0) {
            poll(&serverReady, 0, 0);  // the datagram is still on its way through loopback
        }
        if (!AwaitReply(client)) {
            state.SkipWithError("no reply");
            break;
        }
    }
    close(client);
    server.Stop();
}

// Request to reply with the running worker, which waits on its socket: each request goes out
// after a random pause of up to 5 ms, so that it finds the worker asleep as a module's request
// does. Measured by the client from its send to the broadcast reply's arrival over loopback,
// so it bounds the server's own arrival-to-reply time from above. The benchmark's time is the
// mean; longest_ms is the longest.
void BM_WorkerRequestToReply(benchmark::State& state) {
    if (!EnterBenchNamespace(state)) {
        return;
    }
    CRecoveryDhcpServer serverSwitch;
    if (const ordvane::Status on = serverSwitch.SwitchOn(); !on) {
        state.SkipWithError(on.Reason().c_str());
        return;
    }
    const int client = ordvane::testing::OpenBroadcastUdpSocket(CDhcpServer::kClientPort);
    const dhcptest::Bytes discover = dhcptest::Discover(dhcptest::kOuiMac2A);
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> phase(0, 5'000);
    double longest = 0;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(phase(generator)));
        const auto sent = Clock::now();
        SendToServer(client, discover);
        if (!AwaitReply(client)) {
            state.SkipWithError("no reply");
            break;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - sent).count();
        longest = std::max(longest, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["longest_ms"] = longest * 1000;
    close(client);
}

// Datagrams the server answers with nothing, as a flooded link carries them: another maker's
// DISCOVER and random bytes.
std::vector<dhcptest::Bytes> FloodTraffic() {
    dhcptest::Bytes noise(548);
    for (std::size_t index = 0; index < noise.size(); ++index) {
        noise[index] = static_cast<std::uint8_t>(index * 131 + 7);
    }
    return {dhcptest::Discover(dhcptest::kForeignMac), noise};
}

// The running worker while another thread floods its port as fast as it can send: each
// iteration asks once and waits up to a second for the reply. answered is the share of requests
// answered at the first try; flood_per_s the rate the flooding thread reached. The test suite
// checks a fixed flood rate with a client's retries instead; this is the figure without limits.
void BM_WorkerThroughUnlimitedFlood(benchmark::State& state) {
    if (!EnterBenchNamespace(state)) {
        return;
    }
    CRecoveryDhcpServer serverSwitch;
    serverSwitch.Server().SetTraceSink(nullptr);
    if (const ordvane::Status on = serverSwitch.SwitchOn(); !on) {
        state.SkipWithError(on.Reason().c_str());
        return;
    }
    const int client = ordvane::testing::OpenBroadcastUdpSocket(CDhcpServer::kClientPort);
    const int flooder = socket(AF_INET, SOCK_DGRAM, 0);
    std::atomic<bool> flooding{true};
    std::atomic<std::uint64_t> flooded{0};
    const auto floodStart = Clock::now();
    std::thread flood([&] {
        const std::vector<dhcptest::Bytes> traffic = FloodTraffic();
        std::uint64_t sent = 0;
        while (flooding.load(std::memory_order_relaxed)) {
            SendToServer(flooder, traffic[sent++ % traffic.size()]);
        }
        flooded.store(sent);
    });
    const dhcptest::Bytes discover = dhcptest::Discover(dhcptest::kOuiMac2A);
    std::int64_t answered = 0;
    for (auto _ : state) {
        SendToServer(client, discover);
        answered += AwaitReply(client) ? 1 : 0;
    }
    flooding.store(false);
    flood.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - floodStart).count();
    state.counters["answered"] = static_cast<double>(answered) /
                                 static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
    state.counters["flood_per_s"] = static_cast<double>(flooded.load()) / seconds;
    close(flooder);
    close(client);
}

}  // namespace

BENCHMARK(BM_AnswerDiscover);
BENCHMARK(BM_AnswerRequest);
BENCHMARK(BM_ServiceOnceRoundTrip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorkerRequestToReply)
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorkerThroughUnlimitedFlood)->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
