// A scan of 10,000 emulated modules on a real link, not loopback: the library in a network
// namespace of its own, the emulator in another, a veth pair between them, addresses set with
// their broadcast address. The scan goes out as the limited broadcast of that link, and the
// modules (outside our subnet) answer by broadcast.
//
//   BM_LinkScan/jitter_ms:0/loss_percent:0   time from ZEVA_SendModuleScan to the last response
//                                            event, and modules not heard (target: 0, < 0.5 s)
//   BM_LinkScan/jitter_ms:0/loss_percent:30  the emulator drops 30 % of datagrams each way and
//                                            doubles 5 %; modules heard within 5 s, as one
//                                            "ordvane-cli scan --seconds 5" (target: all)
//
// The emulator's own --loss/--dup stand in for tc netem, which this kernel may lack. Needs root
// and iproute2.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "bench/zeva/ScanMeasurement.h"
#include "modsvc/ModuleService.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestNetwork.h"

namespace {

using Clock = std::chrono::steady_clock;
using ordvane::testing::SimProcess;
using ordvane::testing::TestNetwork;

constexpr std::size_t kModules = 10000;
constexpr auto kScanSeconds = std::chrono::seconds(5);

// The two namespaces and the library, made once for the whole run.
struct Link {
    TestNetwork network;
    std::string host;
    std::string modules;
    bool ready = false;

    Link() {
        if (!TestNetwork::SkipReason().empty()) {
            return;
        }
        host = network.AddNamespace("bh");
        modules = network.AddNamespace("bm");
        const auto [ours, theirs] = network.AddLink(host, modules);
        ready = !ours.empty() && network.AddAddress(host, ours, "10.99.0.1/24") &&
                network.AddAddress(modules, theirs, "172.31.0.2/16") &&
                TestNetwork::EnterNamespace(host);
        if (ready) {
            setenv("ZEVA_INTERFACES", ours.c_str(), 1);
            unsetenv("ZEVA_TARGETS");
            ZEVA_RegisterCallBack(ordvane::bench::NoteLibraryEvent);
            ready = ZEVA_Start() != 0;
        }
    }
};

Link& TheLink() {
    static Link link;
    return link;
}

void BM_LinkScan(benchmark::State& state) {
    Link& link = TheLink();
    if (!link.ready) {
        state.SkipWithError(("no link: " + TestNetwork::SkipReason()).c_str());
        return;
    }
    const double loss = static_cast<double>(state.range(1)) / 100.0;
    SimProcess sim({"--count", std::to_string(kModules), "--seed", "11", "--address", "0.0.0.0",
                    "--port", "47470", "--jitter-ms", std::to_string(state.range(0)), "--loss",
                    std::to_string(loss), "--dup", loss > 0 ? "0.05" : "0"},
                   TestNetwork::Launcher(link.modules));
    if (!sim.WaitReady()) {
        state.SkipWithError("quillmor-sim did not start");
        return;
    }
    ordvane::bench::RunScans(state, kModules, kScanSeconds, std::chrono::seconds(2));
}

BENCHMARK(BM_LinkScan)
    ->ArgNames({"jitter_ms", "loss_percent"})
    ->Args({0, 0})
    ->Args({300, 0})
    ->Args({0, 30})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
