// CListCtrl with its Qt view shown offscreen: n rows of seven texts, each inserted at its sorted
// place found by binary search over the item data (as a table that stays sorted does), then
// published to the view, in one go or with an event-loop turn after every row; and a SortItems
// of every row followed by the view's update.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/framework/Afx.h"
#include "platform/framework/ListViewWidget.h"

namespace {

struct Row {
    std::string key;
};

int CompareKeys(LPARAM first, LPARAM second, LPARAM) {
    return reinterpret_cast<const Row*>(first)->key.compare(
        reinterpret_cast<const Row*>(second)->key);
}

class ShownList {
public:
    ShownList() : m_widget(new ordvane::framework::detail::ListViewWidget(nullptr, LVS_REPORT)) {
        m_widget->resize(640, 400);
        m_widget->show();
        m_list.SubclassWindow(CWnd::HandleFromWidget(m_widget.get()));
        for (int column = 0; column < 7; ++column) {
            m_list.InsertColumn(column, "Column", LVCFMT_LEFT, 90);
        }
    }
    ~ShownList() { m_list.Detach(); }
    CListCtrl& List() { return m_list; }

private:
    std::unique_ptr<QWidget> m_widget;
    CListCtrl m_list;
};

std::vector<Row> MakeRows(int count) {
    std::mt19937 random(11);
    std::vector<Row> rows(static_cast<std::size_t>(count));
    for (Row& row : rows) {
        char text[32];
        const auto octet = [&random]() { return static_cast<unsigned>(random() % 256); };
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", octet(), octet(), octet(), octet());
        row.key = text;
    }
    return rows;
}

int SortedPlace(CListCtrl& list, const Row& row) {
    int low = 0;
    int high = list.GetItemCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        const auto* there = reinterpret_cast<const Row*>(list.GetItemData(middle));
        if (there->key.compare(row.key) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// Empties the list and lets the view catch up, outside the timing.
void EmptyAndSettle(benchmark::State& state, CListCtrl& list) {
    state.PauseTiming();
    list.DeleteAllItems();
    list.FlushPendingChanges();
    QApplication::processEvents();
    state.ResumeTiming();
}

int InsertAtSortedPlace(CListCtrl& list, const Row& row) {
    const int item = list.InsertItem(SortedPlace(list, row), row.key.c_str());
    list.SetItemData(item, reinterpret_cast<DWORD_PTR>(&row));
    return item;
}

void BM_InsertAtSortedPlaces(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<Row> rows = MakeRows(count);
    ShownList shown;
    CListCtrl& list = shown.List();
    for (auto _ : state) {
        EmptyAndSettle(state, list);
        for (const Row& row : rows) {
            const int item = InsertAtSortedPlace(list, row);
            for (int column = 1; column < 7; ++column) {
                list.SetItemText(item, column, row.key.c_str());
            }
        }
        list.FlushPendingChanges();
        QApplication::processEvents();  // the view lays the rows out and paints
    }
    state.counters["rows"] = count;
    state.counters["per_row"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_InsertAtSortedPlaces)->Arg(10000)->Arg(65536)->Unit(benchmark::kMillisecond);

// The answers trickle in: the event loop turns once after every row, as when the window keeps
// up with the network. The view is shown at most once per flush interval.
void BM_InsertWithAnEventLoopTurnPerRow(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<Row> rows = MakeRows(count);
    ShownList shown;
    CListCtrl& list = shown.List();
    for (auto _ : state) {
        EmptyAndSettle(state, list);
        for (const Row& row : rows) {
            InsertAtSortedPlace(list, row);
            QApplication::processEvents();
        }
        list.FlushPendingChanges();
        QApplication::processEvents();
    }
    state.counters["rows"] = count;
}
BENCHMARK(BM_InsertWithAnEventLoopTurnPerRow)->Arg(65536)->Unit(benchmark::kMillisecond);

void BM_SortItems(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<Row> rows = MakeRows(count);
    ShownList shown;
    CListCtrl& list = shown.List();
    for (int index = 0; index < count; ++index) {
        const int item = list.InsertItem(index, rows[static_cast<std::size_t>(index)].key.c_str());
        list.SetItemData(item, reinterpret_cast<DWORD_PTR>(&rows[static_cast<std::size_t>(index)]));
    }
    list.FlushPendingChanges();
    bool descending = false;
    for (auto _ : state) {
        descending = !descending;
        list.SortItems(descending
                           ? [](LPARAM a, LPARAM b, LPARAM c) { return CompareKeys(b, a, c); }
                           : CompareKeys,
                       0);
        list.FlushPendingChanges();
        QApplication::processEvents();
    }
    state.counters["rows"] = count;
}
BENCHMARK(BM_SortItems)->Arg(65536)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
