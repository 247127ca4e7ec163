#pragma once
// The emulator's command line.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "sim/ModuleEmulator.h"

namespace ordvane::sim {

struct SimOptions {
    std::size_t count = 1;
    std::uint64_t seed = 1;
    std::string fleetFile;  // when given, replaces --count
    EmulatorOptions emulator;
    bool help = false;
    bool version = false;
};

inline constexpr const char* kUsage =
    "usage: quillmor-sim [--help | --version]\n"
    "       quillmor-sim [--count N | --fleet FILE] [--seed S] [--address A] [--port P]\n"
    "                    [--jitter-ms MS] [--delay-ms MS] [--state FILE] [--loss SHARE]\n"
    "                    [--dup SHARE] [--dhcp-client INTERFACE [--dhcp-retry-ms MS]]\n"
    "  --count N       play N generated modules, 1 to 65536 (default 1)\n"
    "  --fleet FILE    play the modules of a fleet file (CSV, see docs/fleet-file.md)\n"
    "  --seed S        seed of the generated fleet and of password salts (default 1)\n"
    "  --address A     IPv4 address to listen on (default 127.0.0.1; 0.0.0.0 is every\n"
    "                  address, for modules played on a real link)\n"
    "  --port P        UDP port to listen on, 0 for any free one (default 47470)\n"
    "  --jitter-ms MS  answer a scan after a random delay of up to MS ms (default 200)\n"
    "  --delay-ms MS   wait MS ms more before the first copy of each scan answer (default 0)\n"
    "  --state FILE    keep the fleet's state in FILE (a fleet file), written atomically\n"
    "  --loss SHARE    drop this share (0 to 1, or a percentage such as 20%) of datagrams\n"
    "  --dup SHARE     duplicate this share of datagrams\n"
    "  --dhcp-client INTERFACE\n"
    "                  modules in DHCP mode without an address (fleet file: dhcp 1, ip empty)\n"
    "                  ask for a lease by DHCP broadcasts on INTERFACE (port 68, needs root);\n"
    "                  without it no DHCP message is ever sent\n"
    "  --dhcp-retry-ms MS\n"
    "                  repeat each DHCP message every MS ms and never give up, as a module\n"
    "                  that keeps asking (default: 500 ms doubling to 8 s, 10 DISCOVERs)\n"
    "  --help          print this text; --version prints the program's version\n";

// Parses argv (without the program's name); a failure says what is wrong with it.
Result<SimOptions> ParseSimOptions(const std::vector<std::string>& arguments);

}  // namespace ordvane::sim
