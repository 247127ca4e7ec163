// configure's options: refused with a message, or overrides the dialog's checks can take (a
// hostname of at most 29 characters, DHCP on or off).
#include "cli/CommandOptions.h"
#include "fuzz/cli/ArgumentWords.h"
#include "platform/Utf8Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> words = ArgumentWords(data, size);
    ordvane::cli::ConfigureArguments parsed;
    std::string error;
    if (!ordvane::cli::ParseConfigureArguments(words, parsed, error)) {
        if (error.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    const auto& overrides = parsed.overrides;
    if ((overrides.hostname && ordvane::CountUtf8Characters(*overrides.hostname) > 29) ||
        (overrides.dhcpChoice && *overrides.dhcpChoice != 0 && *overrides.dhcpChoice != 1) ||
        overrides.password || overrides.newPassword) {
        __builtin_trap();  // passwords come from standard input only, never from argv
    }
    return 0;
}
