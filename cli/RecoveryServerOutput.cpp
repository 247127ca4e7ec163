#include "cli/RecoveryServerOutput.h"

#include <ifaddrs.h>
#include <net/if.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "modsvc/QuillmorOui.h"

namespace ordvane::cli {

namespace {

// The interfaces a reply can leave by: up, broadcast-capable and not loopback, with or without
// an IPv4 address, as the socket listens on all of them.
std::string ListeningInterfaces() {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) {
        return "every interface";
    }
    std::string names;
    for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_PACKET ||
            (flags & IFF_UP) == 0 || (flags & IFF_LOOPBACK) != 0 || (flags & IFF_BROADCAST) == 0) {
            continue;
        }
        names += names.empty() ? "" : ", ";
        names += entry->ifa_name;
    }
    freeifaddrs(interfaces);
    return names.empty() ? "no interface yet (none is up)" : names;
}

const char* ReplyName(std::uint8_t messageType) {
    switch (messageType) {
        case 2:
            return "DHCPOFFER";
        case 5:
            return "DHCPACK";
        default:
            return "DHCP reply";
    }
}

// The interface's name, or "?" when the kernel did not say or it is gone.
void InterfaceName(int index, char (&name)[IF_NAMESIZE]) {
    if (index <= 0 || if_indextoname(static_cast<unsigned>(index), name) == nullptr) {
        std::snprintf(name, sizeof name, "?");
    }
}

std::uint32_t AddressValue(const CDhcpServer::Address& address) {
    return (std::uint32_t{address[0]} << 24) | (std::uint32_t{address[1]} << 16) |
           (std::uint32_t{address[2]} << 8) | address[3];
}

}  // namespace

void PrintListening(std::span<const MacAddress> onlyMacs) {
    std::string answered;
    for (const MacAddress& mac : onlyMacs) {
        answered += answered.empty() ? "" : ", ";
        answered += FormatMacAddress(mac.data());
    }
    const auto& oui = kQuillmorOui;
    char everyModule[40];
    std::snprintf(everyModule, sizeof everyModule, "MAC addresses %02X-%02X-%02X-xx-xx-xx", oui[0],
                  oui[1], oui[2]);
    std::printf("Listening on UDP port 67 on %s; answering %s%s\n", ListeningInterfaces().c_str(),
                answered.empty() ? everyModule : answered.c_str(), answered.empty() ? "" : " only");
    std::fflush(stdout);
}

void PrintReply(const CDhcpServer::ReplyReport& reply) {
    char interfaceName[IF_NAMESIZE] = "?";
    InterfaceName(reply.interfaceIndex, interfaceName);
    std::printf("%s %s to %s on %s\n", ReplyName(reply.messageType),
                Ipv4Text(AddressValue(reply.address)).data(),
                MacAddressText(reply.mac.data()).data(), interfaceName);
    std::fflush(stdout);
}

void PrintNotice(const CDhcpServer::LinkNotice& notice) {
    char interfaceName[IF_NAMESIZE] = "?";
    InterfaceName(notice.interfaceIndex, interfaceName);
    if (notice.kind == CDhcpServer::LinkNotice::Kind::kOtherServer) {
        std::printf(
            "Warning: another DHCP server (%s) serves the network on %s. Its clients are left "
            "alone, but every module there that asks without naming a server gets 10.200.1.N; "
            "to answer only the modules to recover, run with --only MAC[,MAC...]\n",
            Ipv4Text(AddressValue(notice.otherServer)).data(), interfaceName);
    } else {
        std::printf(
            "Warning: %s has no IPv4 address: the module cannot renew its lease (its renewal "
            "goes to 10.200.1.1, which nothing answers). Give the card that address: "
            "ip addr add 10.200.1.1/24 brd + dev %s\n",
            interfaceName, interfaceName);
    }
    std::fflush(stdout);
}

bool ParseOnlyMacs(const std::string& text, std::vector<MacAddress>& macs, std::string& error) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        MacAddress mac{};
        if (!ParseStrictMacAddress(item, mac)) {
            error = "takes MAC addresses such as 0A-51-4D-00-00-2A, separated by commas";
            return false;
        }
        if (!std::equal(kQuillmorOui.begin(), kQuillmorOui.end(), mac.begin())) {
            error = "takes only Quillmor modules' MACs (0A-51-4D-xx-xx-xx): " + item + " is none";
            return false;
        }
        macs.push_back(mac);
        if (comma == text.size()) {
            return true;
        }
        start = comma + 1;
    }
}

}  // namespace ordvane::cli
