#pragma once
// One scan through libzeva.so, measured for the scan benchmarks: the time from
// ZEVA_SendModuleScan to the last response event, and how many distinct modules answered.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>

namespace ordvane::bench {

struct ScanMeasurement {
    double seconds = 0;  // to the last response event
    std::size_t heard = 0;
};

// The callback to register before ZEVA_Start; it notes when the last response arrived.
void NoteLibraryEvent(int eventCode);

// Scans until `modules` distinct MACs answered or giveUpAfter passed; then waits `settle` for
// repeats and acknowledgements to die down and empties the queue, ready for the next scan.
ScanMeasurement MeasureScan(std::size_t modules, std::chrono::milliseconds giveUpAfter,
                            std::chrono::milliseconds settle);

// One MeasureScan per benchmark iteration, timed manually; reports the modules and the mean
// number that went unheard per scan as the counters "modules" and "lost_per_scan".
void RunScans(benchmark::State& state, std::size_t modules, std::chrono::milliseconds giveUpAfter,
              std::chrono::milliseconds settle);

}  // namespace ordvane::bench
