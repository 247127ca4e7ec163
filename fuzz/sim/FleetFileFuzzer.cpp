// The fleet-file reader: any text gives a fleet or an error, and a fleet it gives is written
// back and read again to the same text.
#include <random>

#include "sim/FleetFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::mt19937_64 salts(1);
    std::vector<ordvane::sim::EmulatedModule> fleet;
    std::string error;
    if (!ordvane::sim::ParseFleet(std::span(data, size), salts, fleet, error)) {
        return 0;
    }
    const std::string text = ordvane::sim::FormatFleet(fleet);
    std::vector<ordvane::sim::EmulatedModule> again;
    if (!ordvane::sim::ParseFleet(
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), salts,
            again, error) ||
        ordvane::sim::FormatFleet(again) != text) {
        __builtin_trap();
    }
    return 0;
}
