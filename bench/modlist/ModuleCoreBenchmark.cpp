// Figures for the Qt-free part of the module table: formatting the column texts of one
// response, and sorting 65,536 rows by one column in byte order and in en_US.UTF-8 collation,
// by direct comparison of the texts and by precomputed sort keys.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "SampleFleet.h"
#include "modlist/ColumnTextOrder.h"
#include "modlist/ModuleColumns.h"
#include "modlist/ModuleRowSort.h"
#include "platform/ThreadLocale.h"

namespace ordvane {
namespace {

constexpr int kLargeFleet = 65536;
constexpr LCID kEnglishUnitedStates = 1033;

std::vector<ModuleColumnTexts> FleetRows(int count) {
    std::vector<ModuleColumnTexts> rows;
    for (const ModuleRecord& response : MakeSampleFleet(count)) {
        rows.push_back(FormatModuleColumns(response));
    }
    return rows;
}

// Switches the benchmark thread to the collation named by the argument: 0 byte order, 1 en_US.
bool UseCollation(benchmark::State& state) {
    const LCID locale = state.range(1) != 0 ? kEnglishUnitedStates : LOCALE_USER_DEFAULT;
    if (!SetThreadLocale(locale)) {
        state.SkipWithError("en_US.UTF-8 is not installed");
        return false;
    }
    state.SetLabel(state.range(1) != 0 ? "en_US.UTF-8" : "byte order");
    return true;
}

void BM_FormatModuleColumns(benchmark::State& state) {
    const std::vector<ModuleRecord> fleet = MakeSampleFleet(1024);
    std::size_t index = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatModuleColumns(fleet[index++ % fleet.size()]));
    }
}
BENCHMARK(BM_FormatModuleColumns);

// Args: column, collation.
void BM_SortRowsWithKeys(benchmark::State& state) {
    if (!UseCollation(state)) {
        return;
    }
    const std::vector<ModuleColumnTexts> fleetRows = FleetRows(kLargeFleet);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<ModuleColumnTexts> rows = fleetRows;
        state.ResumeTiming();
        SortModuleRows(rows, static_cast<int>(state.range(0)), true);
        benchmark::DoNotOptimize(rows.data());
    }
    SetThreadLocale(LOCALE_USER_DEFAULT);
    state.SetItemsProcessed(state.iterations() * kLargeFleet);
}
BENCHMARK(BM_SortRowsWithKeys)
    ->Args({kColumnIp, 0})
    ->Args({kColumnType, 0})
    ->Args({kColumnIp, 1})
    ->Args({kColumnType, 1})
    ->Unit(benchmark::kMillisecond);

// The same sort comparing the texts themselves on every step, for contrast.
void BM_SortRowsComparingTexts(benchmark::State& state) {
    if (!UseCollation(state)) {
        return;
    }
    const std::vector<ModuleColumnTexts> fleetRows = FleetRows(kLargeFleet);
    const std::size_t column = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<const ModuleColumnTexts*> rows;
        for (const ModuleColumnTexts& row : fleetRows) {
            rows.push_back(&row);
        }
        state.ResumeTiming();
        std::stable_sort(rows.begin(), rows.end(), [&](const auto* first, const auto* second) {
            return CompareColumnTexts((*first)[column].c_str(), (*second)[column].c_str(), true) <
                   0;
        });
        benchmark::DoNotOptimize(rows.data());
    }
    SetThreadLocale(LOCALE_USER_DEFAULT);
}
BENCHMARK(BM_SortRowsComparingTexts)
    ->Args({kColumnIp, 0})
    ->Args({kColumnType, 0})
    ->Args({kColumnIp, 1})
    ->Args({kColumnType, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ordvane

BENCHMARK_MAIN();
