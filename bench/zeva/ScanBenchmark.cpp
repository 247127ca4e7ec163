// A scan of 10,000 emulated modules over loopback through libzeva.so: the time from
// ZEVA_SendModuleScan to the last response event, and how many modules were not heard.
// The argument is the emulator's --jitter-ms: 0 makes every module answer in one burst (the
// hardest case for the receive buffer), 300 spreads the answers as a large fleet does.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "modsvc/ModuleService.h"
#include "tests/support/SimProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kModules = 10000;
constexpr auto kGiveUpAfter = std::chrono::seconds(5);

std::atomic<std::int64_t> g_lastResponseNanoseconds{0};

void OnEvent(int eventCode) {
    if (eventCode == ZEVA_EVENT_RESPONSE) {
        g_lastResponseNanoseconds.store(Clock::now().time_since_epoch().count());
    }
}

std::uint64_t MacKey(const ZEVA_ModuleScanResponseType& response) {
    std::uint64_t key = 0;
    for (std::uint8_t byte : response.macId) {
        key = (key << 8) | byte;
    }
    return key;
}

void BM_ScanTenThousandModules(benchmark::State& state) {
    ordvane::testing::SimProcess sim({"--count", std::to_string(kModules), "--seed", "11",
                                      "--jitter-ms", std::to_string(state.range(0))});
    if (!sim.WaitReady()) {
        state.SkipWithError("quillmor-sim did not start");
        return;
    }
    ordvane::testing::PointLibraryAt(sim);
    ZEVA_RegisterCallBack(OnEvent);
    ZEVA_Start();
    double lostTotal = 0;
    for (auto _ : state) {
        std::set<std::uint64_t> heard;
        const auto start = Clock::now();
        ZEVA_SendModuleScan();
        ZEVA_ModuleScanResponseType response{};
        while (heard.size() < kModules && Clock::now() - start < kGiveUpAfter) {
            if (ZEVA_GetResponse(&response) != 0) {
                heard.insert(MacKey(response));
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        const Clock::time_point last{Clock::duration(g_lastResponseNanoseconds.load())};
        state.SetIterationTime(std::chrono::duration<double>(last - start).count());
        lostTotal += static_cast<double>(kModules - heard.size());
        // Let the answers' repeats and acknowledgements die down before the next scan.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        while (ZEVA_GetResponse(&response) != 0) {
        }
    }
    state.counters["modules"] = static_cast<double>(kModules);
    state.counters["lost_per_scan"] = lostTotal / static_cast<double>(state.iterations());
}

BENCHMARK(BM_ScanTenThousandModules)
    ->ArgName("jitter_ms")
    ->Arg(0)
    ->Arg(300)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
