#include "zeva/ScanDestinations.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/SaturatingAtoi.h"

namespace ordvane::zeva {

namespace {

std::vector<std::string_view> SplitList(std::string_view text) {
    std::vector<std::string_view> items;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        while (!item.empty() && item.front() == ' ') {
            item.remove_prefix(1);
        }
        while (!item.empty() && item.back() == ' ') {
            item.remove_suffix(1);
        }
        if (!item.empty()) {
            items.push_back(item);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return items;
}

bool ParsePort(std::string_view text, std::uint16_t& port) {
    std::size_t consumed = 0;
    const int value = SaturatingAtoi(text, &consumed);
    if (consumed != text.size() || text.empty() || text.front() < '0' || text.front() > '9' ||
        value < 1 || value > 65535) {
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

bool ParseTarget(std::string_view item, std::uint16_t defaultPort, Endpoint& endpoint) {
    const std::size_t colon = item.find(':');
    const std::string address(item.substr(0, colon));
    endpoint.port = defaultPort;
    if (colon != std::string_view::npos && !ParsePort(item.substr(colon + 1), endpoint.port)) {
        return false;
    }
    in_addr parsed{};
    if (inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
        return false;
    }
    endpoint.address = ntohl(parsed.s_addr);
    return true;
}

struct InterfaceFlags {
    std::string name;
    unsigned flags = 0;
};

// One entry per interface, whatever address families it carries: a link without any IPv4
// address still shows with its packet entry.
std::vector<InterfaceFlags> ReadInterfaceFlags() {
    std::vector<InterfaceFlags> interfaces;
    ifaddrs* entries = nullptr;
    if (getifaddrs(&entries) != 0) {
        return interfaces;
    }
    for (const ifaddrs* entry = entries; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_name == nullptr) {
            continue;
        }
        const std::string_view name(entry->ifa_name);
        const bool known =
            std::any_of(interfaces.begin(), interfaces.end(),
                        [&](const InterfaceFlags& seen) { return seen.name == name; });
        if (!known) {
            interfaces.push_back({std::string(name), entry->ifa_flags});
        }
    }
    freeifaddrs(entries);
    return interfaces;
}

std::optional<SkippedInterfaceReason> ReasonNotScanned(unsigned flags) {
    if ((flags & IFF_LOOPBACK) != 0) {
        return SkippedInterfaceReason::kLoopback;
    }
    if ((flags & IFF_UP) == 0) {
        return SkippedInterfaceReason::kDown;
    }
    if ((flags & IFF_BROADCAST) == 0) {
        return SkippedInterfaceReason::kNotBroadcast;
    }
    return std::nullopt;
}

}  // namespace

std::vector<Endpoint> ParseTargetList(std::string_view text, std::uint16_t defaultPort) {
    std::vector<Endpoint> targets;
    for (std::string_view item : SplitList(text)) {
        Endpoint endpoint;
        if (ParseTarget(item, defaultPort, endpoint)) {
            targets.push_back(endpoint);
        }
    }
    return targets;
}

bool InterfaceSelected(const char* selection, std::string_view name) {
    if (selection == nullptr || *selection == '\0') {
        return true;
    }
    for (std::string_view item : SplitList(selection)) {
        if (item == name) {
            return true;
        }
    }
    return false;
}

ScanInterfaces CollectScanInterfaces() {
    ScanInterfaces result;
    const char* selection = std::getenv("ZEVA_INTERFACES");
    const std::vector<InterfaceFlags> interfaces = ReadInterfaceFlags();
    for (const InterfaceFlags& interface : interfaces) {
        if (!InterfaceSelected(selection, interface.name)) {
            continue;
        }
        const auto reason = ReasonNotScanned(interface.flags);
        const int index = static_cast<int>(if_nametoindex(interface.name.c_str()));
        if (!reason && index > 0) {
            result.scanned.push_back({interface.name, index});
        } else if (selection != nullptr && *selection != '\0') {
            result.skipped.push_back(
                {interface.name, reason.value_or(SkippedInterfaceReason::kMissing)});
        }
    }
    if (selection != nullptr && *selection != '\0' && std::string_view(selection) != "none") {
        for (std::string_view name : SplitList(selection)) {
            const bool exists = std::any_of(
                interfaces.begin(), interfaces.end(),
                [&](const InterfaceFlags& interface) { return interface.name == name; });
            if (!exists) {
                result.skipped.push_back({std::string(name), SkippedInterfaceReason::kMissing});
            }
        }
    }
    return result;
}

std::vector<ScanDestination> CollectScanDestinations(std::uint16_t modulePort) {
    std::vector<ScanDestination> destinations;
    for (const ScanInterfaces::Scanned& interface : CollectScanInterfaces().scanned) {
        destinations.push_back({Endpoint{kLimitedBroadcast, modulePort}, interface.index});
    }
    if (const char* targets = std::getenv("ZEVA_TARGETS")) {
        for (const Endpoint& endpoint : ParseTargetList(targets, modulePort)) {
            destinations.push_back({endpoint, 0});
        }
    }
    return destinations;
}

}  // namespace ordvane::zeva
