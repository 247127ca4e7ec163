// ordvane-cli apply of a plan for 1,000 emulated modules over loopback with 10 % of the
// datagrams lost in each direction: the time from starting the command to its verified end,
// and how many modules end at their plan (by the command's own report and by a dry run after
// it). The argument is the first scan's --seconds. Every iteration starts a fresh fleet, so
// every module has something to change.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "sim/FleetGenerator.h"

#include "tests/support/SimProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kModules = 1000;
constexpr std::uint64_t kFleetSeed = 11;

// The plan names, for each generated module, only the settings it reports: a planned value the
// module does not report stops its row before sending, and the run would never end at its plan.
// The fleet is the one the emulator generates from the same count and seed. Half of it takes
// passwords in plain text, so the runs consent to that (--plain-password) on the loopback.
std::string WritePlan(const std::string& path) {
    const std::vector<ordvane::sim::EmulatedModule> fleet =
        ordvane::sim::GenerateFleet(kModules, kFleetSeed);
    std::ofstream plan(path);
    plan << "MAC,IP,SN,DHCP,Hostname\n";
    for (std::size_t index = 0; index < fleet.size(); ++index) {
        const ordvane::sim::EmulatedModule& module = fleet[index];
        const auto number = static_cast<int>(index + 1);
        char mac[32];
        std::snprintf(mac, sizeof mac, "0A-51-4D-%02X-%02X-%02X", module.mac[3], module.mac[4],
                      module.mac[5]);
        char ip[32];
        std::snprintf(ip, sizeof ip, "10.1.%d.%d", number / 200, number % 200 + 1);
        plan << mac << ',' << (module.address ? ip : "") << ','
             << (module.subnetMask ? "255.255.0.0" : "") << ',' << (module.dhcp ? "Off" : "") << ','
             << (module.hostname ? "cell" + std::to_string(number) : "") << '\n';
    }
    return path;
}

struct ApplyRun {
    int status = -1;
    std::string output;
};

ApplyRun RunApply(const ordvane::testing::SimProcess& sim, const std::string& options) {
    const std::string command =
        "printf 'quillmor\\n' | ZEVA_INTERFACES=none ZEVA_TARGETS=" + sim.Target() +
        " '" ORDVANE_CLI_PATH "' apply " + options +
        " --format csv --password-stdin --plain-password 2>/dev/null";
    ApplyRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t length = 0;
    while ((length = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, length);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

double Count(const std::string& text, const std::string& part) {
    double count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

void BM_ApplyThousandModulePlan(benchmark::State& state) {
    const std::string plan =
        WritePlan("/tmp/ordvane-apply-bench-" + std::to_string(::getpid()) + ".csv");
    const std::string seconds = std::to_string(state.range(0));
    double verified = 0;
    double atPlanAfterwards = 0;
    double exitZero = 0;
    for (auto _ : state) {
        ordvane::testing::SimProcess sim({"--count", std::to_string(kModules), "--seed",
                                          std::to_string(kFleetSeed), "--loss", "10%"});
        if (!sim.WaitReady()) {
            state.SkipWithError("quillmor-sim did not start");
            break;
        }
        const auto start = Clock::now();
        const ApplyRun applied = RunApply(sim, "'" + plan + "' --seconds " + seconds);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        verified += Count(applied.output, ",verified\r\n");
        exitZero += applied.status == 0 ? 1 : 0;
        const ApplyRun check = RunApply(sim, "'" + plan + "' --dry-run --seconds 3");
        atPlanAfterwards += Count(check.output, ",unchanged\r\n");
    }
    ::unlink(plan.c_str());
    const double iterations = static_cast<double>(state.iterations());
    state.counters["modules"] = static_cast<double>(kModules);
    state.counters["verified"] = verified / iterations;
    state.counters["at_plan_after"] = atPlanAfterwards / iterations;
    state.counters["exit_0"] = exitZero / iterations;
}

BENCHMARK(BM_ApplyThousandModulePlan)
    ->ArgName("scan_seconds")
    ->Arg(1)
    ->Arg(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
