// The JSON of `scan --format json` for the largest fleet (65,536 modules): writing it from the
// table's rows, and reading it back as `scan --baseline` does. Prints the output's size too.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bench/modlist/SampleFleet.h"
#include "cli/ScanBaseline.h"
#include "cli/ScanTable.h"

namespace {

constexpr int kModules = 65536;

const std::vector<ordvane::cli::ModuleTableRow>& SampleRows() {
    static const std::vector<ordvane::cli::ModuleTableRow> rows = [] {
        ordvane::cli::ScanTable table;
        for (const ordvane::ModuleRecord& response : ordvane::MakeSampleFleet(kModules)) {
            table.Add(response);
        }
        return table.Rows({});
    }();
    return rows;
}

void BM_WriteScanJson(benchmark::State& state) {
    const auto& rows = SampleRows();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string json = FormatModuleTable(rows, ordvane::cli::TableFormat::kJson);
        bytes = json.size();
        benchmark::DoNotOptimize(json.data());
    }
    state.counters["modules"] = static_cast<double>(rows.size());
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteScanJson)->Unit(benchmark::kMillisecond);

void BM_ReadScanBaseline(benchmark::State& state) {
    const std::string json = FormatModuleTable(SampleRows(), ordvane::cli::TableFormat::kJson);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(json.data()),
                                              json.size());
    std::vector<ordvane::ModuleColumnTexts> modules;
    std::string error;
    for (auto _ : state) {
        if (!ordvane::cli::ParseScanBaseline(bytes, "bench.json", modules, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(modules.data());
    }
    state.counters["modules"] = static_cast<double>(modules.size());
}
BENCHMARK(BM_ReadScanBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
