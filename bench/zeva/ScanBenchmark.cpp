// A scan of 10,000 emulated modules over loopback through libzeva.so: the time from
// ZEVA_SendModuleScan to the last response event, and how many modules were not heard.
// The argument is the emulator's --jitter-ms: 0 makes every module answer in one burst (the
// hardest case for the receive buffer), 300 spreads the answers as a large fleet does.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "bench/zeva/ScanMeasurement.h"
#include "modsvc/ModuleService.h"
#include "tests/support/SimProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kModules = 10000;
constexpr auto kGiveUpAfter = std::chrono::seconds(5);

void BM_ScanTenThousandModules(benchmark::State& state) {
    ordvane::testing::SimProcess sim({"--count", std::to_string(kModules), "--seed", "11",
                                      "--jitter-ms", std::to_string(state.range(0))});
    if (!sim.WaitReady()) {
        state.SkipWithError("quillmor-sim did not start");
        return;
    }
    ordvane::testing::PointLibraryAt(sim);
    ZEVA_RegisterCallBack(ordvane::bench::NoteLibraryEvent);
    ZEVA_Start();
    ordvane::bench::RunScans(state, kModules, kGiveUpAfter, std::chrono::milliseconds(500));
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
