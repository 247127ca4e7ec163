// apply's options: refused with a message, or one plan path (which may start with "-" after
// "--"), a scan of 1 to 3600 s, and no password (those come from standard input).
#include "cli/CommandOptions.h"
#include "fuzz/cli/ArgumentWords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> words = ArgumentWords(data, size);
    ordvane::cli::ApplyArguments parsed;
    std::string error;
    if (!ordvane::cli::ParseApplyArguments(words, parsed, error)) {
        if (error.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    if (parsed.planPath.empty() || parsed.seconds < 1 || parsed.seconds > 3600 ||
        !parsed.password.empty() || !parsed.newPassword.empty()) {
        __builtin_trap();
    }
    return 0;
}
