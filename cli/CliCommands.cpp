#include "cli/CliCommand.h"

#include <array>

namespace ordvane::cli {

std::span<const CliCommand> Commands() {
    static constexpr std::array kCommands = {
        CliCommand{"scan", "[--seconds S]",
                   "scan for modules for S seconds (default 3); one line per module: MAC, IP, type",
                   RunScan},
    };
    return kCommands;
}

}  // namespace ordvane::cli
