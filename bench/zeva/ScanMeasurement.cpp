#include "bench/zeva/ScanMeasurement.h"

#include <atomic>
#include <cstdint>
#include <set>
#include <thread>

#include "modsvc/ModuleRecord.h"
#include "modsvc/ModuleService.h"

namespace ordvane::bench {

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<std::int64_t> g_lastResponseTicks{0};

}  // namespace

void NoteLibraryEvent(int eventCode) {
    if (eventCode == ZEVA_EVENT_RESPONSE) {
        g_lastResponseTicks.store(Clock::now().time_since_epoch().count());
    }
}

ScanMeasurement MeasureScan(std::size_t modules, std::chrono::milliseconds giveUpAfter,
                            std::chrono::milliseconds settle) {
    std::set<MacAddress> heard;
    const auto start = Clock::now();
    ZEVA_SendModuleScan();
    ZEVA_ModuleScanResponseType response{};
    while (heard.size() < modules && Clock::now() - start < giveUpAfter) {
        if (ZEVA_GetResponse(&response) != 0) {
            heard.insert(ToModuleRecord(response).AddressingMac());
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    const Clock::time_point last{Clock::duration(g_lastResponseTicks.load())};
    ScanMeasurement measurement{std::chrono::duration<double>(last - start).count(), heard.size()};
    std::this_thread::sleep_for(settle);
    while (ZEVA_GetResponse(&response) != 0) {
    }
    return measurement;
}

void RunScans(benchmark::State& state, std::size_t modules, std::chrono::milliseconds giveUpAfter,
              std::chrono::milliseconds settle) {
    double lostTotal = 0;
    for (auto _ : state) {
        const ScanMeasurement measured = MeasureScan(modules, giveUpAfter, settle);
        state.SetIterationTime(measured.seconds);
        lostTotal += static_cast<double>(modules - measured.heard);
    }
    state.counters["modules"] = static_cast<double>(modules);
    state.counters["lost_per_scan"] = lostTotal / static_cast<double>(state.iterations());
}

}  // namespace ordvane::bench
