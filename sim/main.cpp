// quillmor-sim: plays 1 to 65,536 Quillmor modules on the module protocol, so that the library,
// the command line and the window can be run and tested without hardware.

#include <csignal>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "sim/FleetFile.h"
#include "sim/FleetGenerator.h"
#include "sim/ModuleEmulator.h"
#include "sim/SimOptions.h"
#include "version/ProgramVersion.h"

namespace ordvane::sim {
namespace {

std::atomic<bool> g_stop{false};

void RequestStop(int) {
    g_stop.store(true);
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace
}  // namespace ordvane::sim

int main(int argc, char** argv) {
    using namespace ordvane::sim;
    const auto parsed = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed) {
        std::fprintf(stderr, "quillmor-sim: %s\n%s", parsed.Reason().c_str(), kUsage);
        return 2;
    }
    const SimOptions& options = parsed.Value();
    std::string error;
    if (options.version) {
        std::printf("%s\n", static_cast<LPCSTR>(ordvane::ProgramVersionLine("quillmor-sim")));
        return 0;
    }
    if (options.help) {
        std::printf("%s", kUsage);
        return 0;
    }
    std::mt19937_64 saltRandom(options.seed);
    std::vector<EmulatedModule> fleet;
    if (options.fleetFile.empty()) {
        fleet = GenerateFleet(options.count, options.seed);
    } else if (!LoadFleetFile(options.fleetFile, saltRandom, fleet, error)) {
        std::fprintf(stderr, "quillmor-sim: %s\n", error.c_str());
        return 1;
    }
    const std::size_t moduleCount = fleet.size();
    ModuleEmulator emulator(std::move(fleet), options.emulator, stdout);
    if (!emulator.Open(error)) {
        std::fprintf(stderr, "quillmor-sim: %s\n", error.c_str());
        return 1;
    }
    if (!options.emulator.stateFile.empty() && !emulator.SaveState(error)) {
        std::fprintf(stderr, "quillmor-sim: %s\n", error.c_str());
        return 1;
    }
    InstallStopHandlers();
    std::printf("ready port=%u modules=%zu\n", static_cast<unsigned>(emulator.Port()), moduleCount);
    std::fflush(stdout);
    emulator.Run(g_stop);
    const EmulatorStatistics& statistics = emulator.Statistics();
    std::fprintf(stderr,
                 "quillmor-sim: received=%llu answers-sent=%llu dropped-by-loss=%llu "
                 "duplicated=%llu unknown-targets=%llu",
                 static_cast<unsigned long long>(statistics.received),
                 static_cast<unsigned long long>(statistics.answersSent),
                 static_cast<unsigned long long>(statistics.droppedByLoss),
                 static_cast<unsigned long long>(statistics.duplicated),
                 static_cast<unsigned long long>(statistics.unknownTargets));
    ordvane::zeva::PrintDecodeErrorCounts(stderr, statistics.decodeErrors);
    std::fprintf(stderr, "\n");
    return 0;
}
