#include "cli/CliCommand.h"

#include <array>

namespace ordvane::cli {

std::span<const CliCommand> Commands() {
    static constexpr std::array kCommands = {
        CliCommand{"scan", "[--seconds S] [--format table|csv|json] [--sort COLUMN[:desc]]",
                   "scan for modules for S seconds (default 3); one line per module: MAC, IP, "
                   "type; with --format or --sort the window's seven columns (IP, SN, GW, "
                   "DHCP, Version, Type, MAC) sorted by COLUMN (default IP)",
                   RunScan},
    };
    return kCommands;
}

}  // namespace ordvane::cli
