#pragma once
// Where a scan goes: the limited broadcast 255.255.255.255, sent out of every interface that is
// up, broadcast-capable and not loopback, chosen by its index and whatever addresses it has
// (none at all included), plus the extra targets of ZEVA_TARGETS. A subnet's own broadcast
// address would not do: a module outside that subnet drops it.
//
//   ZEVA_TARGETS     comma-separated IPv4 addresses, unicast or broadcast, each optionally
//                    followed by ":port" (default: the module port). Entries that do not parse
//                    are skipped.
//   ZEVA_INTERFACES  comma-separated interface names to broadcast on; "none" broadcasts on no
//                    interface; unset or empty means every suitable interface.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zeva/UdpSocket.h"

namespace ordvane::zeva {

struct ScanDestination {
    Endpoint endpoint;
    int interfaceIndex = 0;  // 0: let routing choose
};

// Parses a ZEVA_TARGETS text; entries that are not "a.b.c.d" or "a.b.c.d:port" are skipped.
std::vector<Endpoint> ParseTargetList(std::string_view text, std::uint16_t defaultPort);

// Whether interface `name` may be broadcast on under a ZEVA_INTERFACES text (nullptr = unset).
bool InterfaceSelected(const char* selection, std::string_view name);

// Why a name listed in ZEVA_INTERFACES gets no scan.
enum class SkippedInterfaceReason { kMissing, kDown, kNotBroadcast, kLoopback };

struct SkippedInterface {
    std::string name;
    SkippedInterfaceReason reason = SkippedInterfaceReason::kMissing;
};

// The interfaces one scan broadcasts on, read afresh each time so that a link that came up or
// lost its address since the last scan is taken as it is now.
struct ScanInterfaces {
    struct Scanned {
        std::string name;
        int index = 0;
    };
    std::vector<Scanned> scanned;
    std::vector<SkippedInterface> skipped;  // named in ZEVA_INTERFACES, yet not scanned
};

// The interfaces the current ZEVA_INTERFACES and this host's links give.
ScanInterfaces CollectScanInterfaces();

// Every destination of one scan, from the current interfaces and environment.
std::vector<ScanDestination> CollectScanDestinations(std::uint16_t modulePort);

}  // namespace ordvane::zeva
