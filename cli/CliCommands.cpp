#include "cli/CliCommand.h"
#include "cli/RecoveryServerCommand.h"

#include <array>

namespace ordvane::cli {

std::span<const CliCommand> Commands() {
    static constexpr std::array kCommands = {
        CliCommand{"scan", "[--seconds S] [--format table|csv|json] [--sort COLUMN[:desc]]",
                   "scan for modules for S seconds (default 3, at most 3600); one line per "
                   "module as it answers: MAC, IP, type, and the fleet's warnings on standard "
                   "error at the end; with --format or --sort a table at the end: the window's "
                   "seven columns (IP, SN, GW, DHCP, Version, Type, MAC) and Warnings, sorted by "
                   "COLUMN (default IP)",
                   RunScan},
        CliCommand{"configure",
                   "MAC [--ip A] [--mask A] [--gateway A] [--dns1 A] [--dns2 A] [--hostname H] "
                   "[--dhcp on|off] [--password-stdin] [--new-password-stdin]",
                   "change a module's settings as the configuration dialog does; passwords are "
                   "read from standard input (current, then new, one per line); exit 0 once the "
                   "rescan shows the module, 3 on an invalid password, 4 on timeout",
                   RunConfigure},
        CliCommand{"wink", "MAC", "ask a module (service 1.10 or later) to signal its presence",
                   RunWink},
        CliCommand{"recovery-server", "[--seconds S] [--trace]",
                   "run the recovery DHCP server on port 67 for S seconds or until interrupted, "
                   "printing one line per reply (--trace: also its trace)",
                   RunRecoveryServer},
    };
    return kCommands;
}

}  // namespace ordvane::cli
