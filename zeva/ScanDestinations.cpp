#include "zeva/ScanDestinations.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstdlib>
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

std::uint32_t AddressOf(const sockaddr* address) {
    return address != nullptr && address->sa_family == AF_INET
               ? ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr)
               : 0;
}

// An address added without "brd" has no broadcast address: getifaddrs then reports 0.0.0.0 or
// the interface's own address in its place, and the kernel would treat even the subnet's
// broadcast address as an ordinary host on the link. Such an interface gets the limited
// broadcast, sent out of that interface.
std::uint32_t BroadcastAddressOf(const ifaddrs& entry) {
    const std::uint32_t broadcast = AddressOf(entry.ifa_broadaddr);
    const bool hasBroadcastAddress = broadcast != 0 && broadcast != AddressOf(entry.ifa_addr);
    return hasBroadcastAddress ? broadcast : kLimitedBroadcast;
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

std::vector<ScanDestination> CollectScanDestinations(std::uint16_t modulePort) {
    std::vector<ScanDestination> destinations;
    const char* selection = std::getenv("ZEVA_INTERFACES");
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) == 0) {
        for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
            const unsigned flags = entry->ifa_flags;
            if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
                (flags & IFF_UP) == 0 || (flags & IFF_BROADCAST) == 0 ||
                (flags & IFF_LOOPBACK) != 0 || !InterfaceSelected(selection, entry->ifa_name)) {
                continue;
            }
            ScanDestination destination;
            destination.endpoint = {BroadcastAddressOf(*entry), modulePort};
            destination.interfaceIndex = static_cast<int>(if_nametoindex(entry->ifa_name));
            destinations.push_back(destination);
        }
        freeifaddrs(interfaces);
    }
    if (const char* targets = std::getenv("ZEVA_TARGETS")) {
        for (const Endpoint& endpoint : ParseTargetList(targets, modulePort)) {
            destinations.push_back({endpoint, 0});
        }
    }
    return destinations;
}

}  // namespace ordvane::zeva
