#include "cli/CliCommand.h"

#include <array>

#include "cli/KnownModulesFile.h"

namespace ordvane::cli {

std::span<const CliCommand> Commands() {
    static constexpr std::array kCommands = {
        CliCommand{"scan",
                   "[--seconds S] [--format table|csv|json] [--sort COLUMN[:desc]] "
                   "[--baseline FILE]",
                   "scan for modules for S seconds (default 3, at most 3600); one line per "
                   "module as it answers: MAC, IP, type, and the fleet's warnings on standard "
                   "error at the end; with --format or --sort a table at the end: the window's "
                   "seven columns (IP, SN, GW, DHCP, Version, Type, MAC) and Warnings, sorted by "
                   "COLUMN (default IP); with --baseline FILE (an earlier scan --format json) "
                   "the modules that appeared, disappeared or changed instead, exit 5 when "
                   "any did",
                   RunScan},
        CliCommand{"configure",
                   "MAC [--ip A] [--mask A] [--gateway A] [--dns1 A] [--dns2 A] [--hostname H] "
                   "[--dhcp on|off] [--password-stdin] [--new-password-stdin | --remove-password] "
                   "[--plain-password]",
                   "change a module's settings as the configuration dialog does; passwords are "
                   "read from standard input (current, then new, one per line); a module that "
                   "takes passwords in plain text gets one only with --plain-password, one once "
                   "seen asking for hashed passwords never; exit 0 once the rescan shows the "
                   "module, 3 on an invalid password, 4 on timeout",
                   RunConfigure},
        CliCommand{"apply",
                   "PLAN [--dry-run] [--password-stdin] [--new-password-stdin | --remove-password] "
                   "[--plain-password] [--seconds S] [--format table|csv|json]",
                   "commission the modules of a CSV plan (MAC and any of IP, SN, GW, DHCP, "
                   "DNS1, DNS2, Hostname): scan for S seconds (default 3), show each module's "
                   "current and planned values and the problems found, then, unless --dry-run, "
                   "configure those off their plan as configure does, rescan and verify each; "
                   "exit 0 when all end at their plan, 3 when any refused the password, 4 when "
                   "any did not answer, 1 otherwise",
                   RunApply},
        CliCommand{"wink", "MAC", "ask a module (service 1.10 or later) to signal its presence",
                   RunWink},
        CliCommand{"forget", "MAC",
                   "forget that a module asked for hashed passwords (after a real firmware "
                   "change back to plain text); until then no password goes to it in clear",
                   RunForget},
        CliCommand{"recovery-server", "[--seconds S] [--only MAC[,MAC...]] [--trace]",
                   "run the recovery DHCP server on port 67 for S seconds or until interrupted, "
                   "printing one line per reply and the interface it left by (--trace: also its "
                   "trace); with --only, answer only the modules with those MAC addresses",
                   RunRecoveryServer},
        CliCommand{"recover",
                   "MAC --ip A [--mask A] [--gateway A] [--dns1 A] [--dns2 A] [--hostname H] "
                   "[--password-stdin] [--plain-password] [--seconds S]",
                   "recover a module set to DHCP by mistake in one step: serve DHCP for its MAC "
                   "only until it answers a scan at 10.200.1.N, configure it to the static "
                   "values with DHCP off as configure does, scan until it answers at the new "
                   "address; the server stops in every case, also on Ctrl+C; exit 0 when "
                   "verified, 3 on an invalid password, 4 when no DHCP request or answer came "
                   "within S seconds (default 120)",
                   RunRecover},
        CliCommand{"journal", "[--since TIME] [--format table|csv|json]",
                   "show the change journal: every configure, apply, recover and wink from this "
                   "user's account, oldest first, from TIME on (UTC, e.g. 2026-12-08T16:53)",
                   RunJournal},
    };
    return kCommands;
}

}  // namespace ordvane::cli
