// scan's options (through getopt_long): refused with a message, or a scan of 1 to 3600 s.
#include "cli/CommandOptions.h"
#include "fuzz/cli/ArgumentWords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> words = ArgumentWords(data, size);
    ordvane::cli::ScanArguments parsed;
    std::string error;
    const bool accepted = ordvane::cli::ParseScanArguments(words, parsed, error);
    if (accepted ? parsed.seconds < 1 || parsed.seconds > 3600 || !error.empty() : error.empty()) {
        __builtin_trap();
    }
    return 0;
}
