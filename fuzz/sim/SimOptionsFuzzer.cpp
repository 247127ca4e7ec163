// The emulator's options (through getopt_long): refused with a message, or values inside their
// ranges.
#include "fuzz/cli/ArgumentWords.h"
#include "sim/FleetGenerator.h"
#include "sim/SimOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> words = ArgumentWords(data, size);
    const auto parsed = ordvane::sim::ParseSimOptions(words);
    if (!parsed) {
        if (parsed.Reason().empty()) {
            __builtin_trap();
        }
        return 0;
    }
    const auto& options = parsed.Value();
    const auto& emulator = options.emulator;
    if (options.count < 1 || options.count > ordvane::sim::kMaxModules || !(emulator.loss >= 0) ||
        emulator.loss > 1 || !(emulator.duplication >= 0) || emulator.duplication > 1 ||
        emulator.jitterMilliseconds < 0 || emulator.delayMilliseconds < 0) {
        __builtin_trap();
    }
    return 0;
}
