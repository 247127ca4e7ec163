#pragma once
// Where a scan goes: the broadcast address of every up, broadcast-capable IPv4 interface (sent
// out of that interface), plus the extra targets of ZEVA_TARGETS.
//
//   ZEVA_TARGETS     comma-separated IPv4 addresses, unicast or broadcast, each optionally
//                    followed by ":port" (default: the module port). Entries that do not parse
//                    are skipped.
//   ZEVA_INTERFACES  comma-separated interface names to broadcast on; "none" broadcasts on no
//                    interface; unset or empty means every suitable interface.

#include <cstdint>
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

// Every destination of one scan, from the current interfaces and environment.
std::vector<ScanDestination> CollectScanDestinations(std::uint16_t modulePort);

}  // namespace ordvane::zeva
