// Fleet warnings for 1,024 to 65,536 modules: adding every answer one at a time (the window's
// path) and the whole fleet with every sentence (the CLI's path). The time per module should
// stay flat as the fleet grows.
#include "modlist/ModuleWarnings.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using ordvane::HostInterface;

// Every module shares its last MAC byte with fleet/256 others; one in four shares its IP
// address with another module; one in eight is off the host's network.
std::vector<ordvane::ModuleRecord> MakeFleet(std::size_t count) {
    std::vector<ordvane::ModuleRecord> fleet(count);
    for (std::size_t module = 0; module < count; ++module) {
        ordvane::ModuleRecord& record = fleet[module];
        record.mac = ordvane::MacAddress(0x0A, 0x51, 0x4D, static_cast<std::uint8_t>(module >> 16),
                                         static_cast<std::uint8_t>(module >> 8),
                                         static_cast<std::uint8_t>(module));
        const std::size_t host = module % 4 == 0 ? module / 2 : module;
        const std::uint32_t network = module % 8 == 1 ? 0xAC100000u : 0x0A000000u;
        record.ipAddress =
            ordvane::Ipv4Address(network | static_cast<std::uint32_t>(host & 0xFFFFF));
    }
    return fleet;
}

const std::vector<HostInterface> kHost = {{"eth0", 0x0A000001u, 0xFF000000u}};

void AddOneAtATime(benchmark::State& state) {
    const auto fleet = MakeFleet(static_cast<std::size_t>(state.range(0)));
    std::size_t changedRows = 0;
    for (auto _ : state) {
        ordvane::ModuleWarnings warnings(kHost);
        for (const auto& response : fleet) {
            changedRows += warnings.Add(response).size();
        }
        benchmark::DoNotOptimize(changedRows);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["ns_per_module"] =
        benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void WholeFleetWithSentences(benchmark::State& state) {
    const auto fleet = MakeFleet(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto warnings = ordvane::ComputeModuleWarnings(fleet, kHost);
        benchmark::DoNotOptimize(warnings.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["ns_per_module"] =
        benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(AddOneAtATime)->RangeMultiplier(4)->Range(1024, 65536)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeFleetWithSentences)
    ->RangeMultiplier(4)
    ->Range(1024, 65536)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
