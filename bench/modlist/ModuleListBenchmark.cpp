// Figures for the module table on the real list view (offscreen): a scan of 10,000 and 65,536
// answers through AddModule, and a click on a column heading of a table of 65,536 rows. Each
// figure includes showing the result: the view's batched update is delivered before the clock
// stops. The second argument picks the collation: 0 byte order (the thread's default), 1
// en_US.UTF-8.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <chrono>
#include <vector>

#include "SampleFleet.h"
#include "modlist/CModuleListCtrl.h"
#include "modlist/ModuleColumns.h"
#include "platform/ThreadLocale.h"
#include "platform/framework/Afx.h"
#include "tests/modlist/ModuleListHost.h"
#include "tests/support/ModalTestHooks.h"

namespace {

using ordvane::framework::PumpEvents;

constexpr int kLargeFleet = 65536;
constexpr LCID kEnglishUnitedStates = 1033;

ordvane::CModuleListCtrl* g_moduleList = nullptr;

bool UseCollation(benchmark::State& state) {
    const bool english = state.range(1) != 0;
    if (!SetThreadLocale(english ? kEnglishUnitedStates : LOCALE_USER_DEFAULT)) {
        state.SkipWithError("en_US.UTF-8 is not installed");
        return false;
    }
    state.SetLabel(english ? "en_US.UTF-8" : "byte order");
    return true;
}

void ListFleet(ordvane::CModuleListCtrl& list, const std::vector<ordvane::ModuleRecord>& fleet) {
    for (const ordvane::ModuleRecord& response : fleet) {
        list.AddModule(response);
    }
    PumpEvents();
}

using Clock = std::chrono::steady_clock;

// Time spent sorting (the click's handling) and showing (the view's update), summed over the
// clicks of one benchmark, in milliseconds.
struct ClickTimes {
    double sorting = 0;
    double showing = 0;
};

void ClickHeader(ordvane::CModuleListCtrl& list, int column, ClickTimes* times = nullptr) {
    auto* headerView = qobject_cast<QHeaderView*>(list.GetSortHeader().GetWidget());
    const Clock::time_point start = Clock::now();
    emit headerView->sectionClicked(column);
    const Clock::time_point sorted = Clock::now();
    PumpEvents();
    if (times != nullptr) {
        times->sorting += std::chrono::duration<double, std::milli>(sorted - start).count();
        times->showing += std::chrono::duration<double, std::milli>(Clock::now() - sorted).count();
    }
}

void ReportClickTimes(benchmark::State& state, const ClickTimes& times) {
    const auto clicks = static_cast<double>(state.iterations());
    state.counters["sort_ms"] = times.sorting / clicks;
    state.counters["show_ms"] = times.showing / clicks;
}

// Args: answers, collation. A scan from an empty table sorted by IP ascending.
void BM_ScanThroughAddModule(benchmark::State& state) {
    if (!UseCollation(state)) {
        return;
    }
    ordvane::CModuleListCtrl& list = *g_moduleList;
    const auto fleet = ordvane::MakeSampleFleet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        list.ClearModules();
        list.SortColumn(ordvane::kColumnIp, TRUE);
        PumpEvents();
        state.ResumeTiming();
        ListFleet(list, fleet);
    }
    if (list.GetItemCount() != state.range(0)) {
        state.SkipWithError("not every answer was listed");
    }
    state.counters["per_answer"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    list.ClearModules();
    PumpEvents();
    SetThreadLocale(LOCALE_USER_DEFAULT);
}
BENCHMARK(BM_ScanThroughAddModule)
    ->Args({10000, 0})
    ->Args({kLargeFleet, 0})
    ->Args({10000, 1})
    ->Args({kLargeFleet, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Args: column, collation. Clicks on the same heading of a full table: every click reverses
// the order of the whole table.
void BM_HeaderClickReversing(benchmark::State& state) {
    if (!UseCollation(state)) {
        return;
    }
    ordvane::CModuleListCtrl& list = *g_moduleList;
    list.ClearModules();
    ListFleet(list, ordvane::MakeSampleFleet(kLargeFleet));
    const int column = static_cast<int>(state.range(0));
    ClickHeader(list, column);
    ClickTimes times;
    for (auto _ : state) {
        ClickHeader(list, column, &times);
    }
    ReportClickTimes(state, times);
    list.ClearModules();
    PumpEvents();
    SetThreadLocale(LOCALE_USER_DEFAULT);
}
BENCHMARK(BM_HeaderClickReversing)
    ->Args({ordvane::kColumnIp, 0})
    ->Args({ordvane::kColumnType, 0})
    ->Args({ordvane::kColumnIp, 1})
    ->Args({ordvane::kColumnType, 1})
    ->Unit(benchmark::kMillisecond);

// Args: column, collation. The first click on a heading after a scan sorted by IP: the
// column's texts are prepared for sorting as part of the click.
void BM_HeaderClickFirstOnColumn(benchmark::State& state) {
    if (!UseCollation(state)) {
        return;
    }
    ordvane::CModuleListCtrl& list = *g_moduleList;
    const auto fleet = ordvane::MakeSampleFleet(kLargeFleet);
    const int column = static_cast<int>(state.range(0));
    ClickTimes times;
    for (auto _ : state) {
        state.PauseTiming();
        list.ClearModules();
        list.SortColumn(ordvane::kColumnIp, TRUE);
        ListFleet(list, fleet);
        state.ResumeTiming();
        ClickHeader(list, column, &times);
    }
    ReportClickTimes(state, times);
    list.ClearModules();
    PumpEvents();
    SetThreadLocale(LOCALE_USER_DEFAULT);
}
BENCHMARK(BM_HeaderClickFirstOnColumn)
    ->Args({ordvane::kColumnType, 0})
    ->Args({ordvane::kColumnMac, 0})
    ->Args({ordvane::kColumnType, 1})
    ->Args({ordvane::kColumnMac, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // The benchmarks run inside the main window's dialog, with the table bound to its list view.
    ordvane::samples::WithModuleList(ordvane::kModuleColumnList,
                                     [](ordvane::CModuleListCtrl& list) {
                                         g_moduleList = &list;
                                         benchmark::RunSpecifiedBenchmarks();
                                         g_moduleList = nullptr;
                                     });
    benchmark::Shutdown();
    return 0;
}
