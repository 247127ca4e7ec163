#include "modlist/ModuleWarnings.h"

#include "platform/AddressText.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace ordvane {
namespace {

// A tooltip names this many other modules at most; a fleet of 65,536 has groups of hundreds.
constexpr std::size_t kNamedModulesAtMost = 3;
constexpr std::size_t kNamedNetworksAtMost = 4;

WarningNetwork NetworkOf(const HostInterface& host) {
    const std::uint32_t network = host.address & host.netmask;
    const bool contiguous = std::countl_one(host.netmask) + std::countr_zero(host.netmask) >= 32;
    return {host.name, FormatIpv4(network), contiguous ? std::popcount(host.netmask) : -1,
            contiguous ? std::string() : FormatIpv4(host.netmask)};
}

std::string NetworkText(const WarningNetwork& network) {
    if (network.prefixLength >= 0) {
        return network.interfaceName + " " + network.network + "/" +
               std::to_string(network.prefixLength);
    }
    return network.interfaceName + " " + network.network + " mask " + network.mask;
}

bool OnNetwork(std::uint32_t address, const HostInterface& host) {
    return (address & host.netmask) == (host.address & host.netmask);
}

std::string CountedModules(std::size_t count) {
    return count == 1 ? std::string("1 other module") : std::to_string(count) + " other modules";
}

// "1 other module: A" / "3 other modules: A, B, C" / "9 other modules, among them A, B, C".
std::string OtherModulesText(const ModuleWarning& warning) {
    std::string names;
    for (const std::string& mac : warning.namedOthers) {
        names += names.empty() ? "" : ", ";
        names += mac.empty() ? std::string("a module without MAC") : mac;
    }
    return CountedModules(warning.others) +
           (warning.namedOthers.size() == warning.others ? ": " : ", among them ") + names;
}

std::uint32_t HostOrder(const sockaddr* address) {
    sockaddr_in internet;
    std::memcpy(&internet, address, sizeof internet);
    return ntohl(internet.sin_addr.s_addr);
}

}  // namespace

std::optional<std::vector<HostInterface>> ReadHostInterfaces() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return std::nullopt;
    }
    std::vector<HostInterface> interfaces;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        const bool usable = entry->ifa_addr != nullptr && entry->ifa_netmask != nullptr &&
                            entry->ifa_addr->sa_family == AF_INET &&
                            (entry->ifa_flags & IFF_UP) != 0 &&
                            (entry->ifa_flags & IFF_LOOPBACK) == 0;
        if (usable) {
            interfaces.push_back(
                {entry->ifa_name, HostOrder(entry->ifa_addr), HostOrder(entry->ifa_netmask)});
        }
    }
    freeifaddrs(list);
    return interfaces;
}

std::string_view MachineName(ModuleWarningKind kind) {
    switch (kind) {
        case ModuleWarningKind::kDuplicateIp:
            return "duplicate-ip";
        case ModuleWarningKind::kSharedRecoveryAddress:
            return "shared-recovery-address";
        case ModuleWarningKind::kOffSubnet:
            return "off-subnet";
        case ModuleWarningKind::kMacClaimedTwice:
            return "mac-claimed-twice";
    }
    return "unknown";
}

ModuleWarnings::ModuleWarnings(std::optional<std::vector<HostInterface>> hostInterfaces)
    : hostInterfaces_(std::move(hostInterfaces)) {}

std::vector<std::size_t> ModuleWarnings::Add(const ModuleRecord& record,
                                             std::string_view reachedThrough) {
    const auto index = static_cast<std::uint32_t>(modules_.size());
    Module module;
    module.hasMac = record.mac.has_value();
    module.mac = record.AddressingMac();
    module.hasIp = record.ipAddress.has_value();
    module.ipAddress = record.ipAddress.value_or(Ipv4Address()).Value();
    module.offSubnet = module.hasIp && IsOffSubnet(module.ipAddress);
    module.reachedThrough = reachedThrough;

    std::vector<std::size_t> changed{index};
    // An older member gains a kind only when its group grows from one module to two; larger
    // groups change only in the count their sentences give.
    const auto join = [&](std::vector<std::uint32_t>& group) {
        if (group.size() == 1 && changed.back() != group.front()) {
            changed.push_back(group.front());
        }
        group.push_back(index);
    };
    if (module.hasIp && module.ipAddress != 0) {
        const auto [found, inserted] = ipGroupByAddress_.try_emplace(
            module.ipAddress, static_cast<std::uint32_t>(ipGroups_.size()));
        if (inserted) {
            ipGroups_.emplace_back();
        }
        module.ipGroup = found->second;
        join(ipGroups_[module.ipGroup]);
    }
    if (module.hasMac) {
        join(recoveryGroups_[module.mac[5]]);
    }
    modules_.push_back(std::move(module));
    return changed;
}

void ModuleWarnings::Clear() {
    modules_.clear();
    ipGroupByAddress_.clear();
    ipGroups_.clear();
    for (auto& group : recoveryGroups_) {
        group.clear();
    }
}

bool ModuleWarnings::IsOffSubnet(std::uint32_t ipAddress) const {
    if (!hostInterfaces_) {
        return false;
    }
    for (const HostInterface& host : *hostInterfaces_) {
        if (OnNetwork(ipAddress, host)) {
            return false;
        }
    }
    return true;
}

const std::vector<std::uint32_t>* ModuleWarnings::RecoveryGroupOf(const Module& module) const {
    return module.hasMac ? &recoveryGroups_[module.mac[5]] : nullptr;
}

ModuleWarningKinds ModuleWarnings::KindsOf(std::size_t module) const {
    if (module >= modules_.size()) {
        return 0;
    }
    const Module& entry = modules_[module];
    ModuleWarningKinds kinds = 0;
    if (entry.ipGroup != kNoGroup && ipGroups_[entry.ipGroup].size() > 1) {
        kinds |= KindBit(ModuleWarningKind::kDuplicateIp);
    }
    const auto* recoveryGroup = RecoveryGroupOf(entry);
    if (recoveryGroup != nullptr && recoveryGroup->size() > 1) {
        kinds |= KindBit(ModuleWarningKind::kSharedRecoveryAddress);
    }
    if (entry.offSubnet) {
        kinds |= KindBit(ModuleWarningKind::kOffSubnet);
    }
    return kinds;
}

std::vector<ModuleWarning> ModuleWarnings::WarningsOf(std::size_t module) const {
    const ModuleWarningKinds kinds = KindsOf(module);
    std::vector<ModuleWarning> warnings;
    if (kinds & KindBit(ModuleWarningKind::kDuplicateIp)) {
        warnings.push_back(DuplicateIpWarning(module));
    }
    if (kinds & KindBit(ModuleWarningKind::kSharedRecoveryAddress)) {
        warnings.push_back(SharedRecoveryWarning(module));
    }
    if (kinds & KindBit(ModuleWarningKind::kOffSubnet)) {
        warnings.push_back(OffSubnetWarning(module));
    }
    for (ModuleWarning& warning : warnings) {
        warning.sentence = EnglishSentence(warning);
    }
    return warnings;
}

void ModuleWarnings::NameOtherModules(const std::vector<std::uint32_t>& group, std::size_t self,
                                      ModuleWarning& warning) const {
    warning.others = group.size() - 1;
    for (std::size_t position = 0;
         position < group.size() && warning.namedOthers.size() < kNamedModulesAtMost; ++position) {
        if (group[position] == self) {
            continue;
        }
        const Module& other = modules_[group[position]];
        warning.namedOthers.push_back(other.hasMac ? FormatMacAddress(other.mac.data())
                                                   : std::string());
    }
}

ModuleWarning ModuleWarnings::DuplicateIpWarning(std::size_t module) const {
    const Module& entry = modules_[module];
    ModuleWarning warning{ModuleWarningKind::kDuplicateIp, {}};
    warning.address = FormatIpv4(entry.ipAddress);
    NameOtherModules(ipGroups_[entry.ipGroup], module, warning);
    return warning;
}

ModuleWarning ModuleWarnings::SharedRecoveryWarning(std::size_t module) const {
    const Module& entry = modules_[module];
    ModuleWarning warning{ModuleWarningKind::kSharedRecoveryAddress, {}};
    warning.address = "10.200.1." + std::to_string(entry.mac[5]);
    NameOtherModules(*RecoveryGroupOf(entry), module, warning);
    return warning;
}

ModuleWarning ModuleWarnings::OffSubnetWarning(std::size_t module) const {
    const Module& entry = modules_[module];
    ModuleWarning warning{ModuleWarningKind::kOffSubnet, {}};
    warning.address = FormatIpv4(entry.ipAddress);
    for (const HostInterface& host : *hostInterfaces_) {
        if (warning.networks.size() == kNamedNetworksAtMost) {
            warning.moreNetworks = hostInterfaces_->size() - kNamedNetworksAtMost;
            break;
        }
        warning.networks.push_back(NetworkOf(host));
    }
    warning.reachedThrough = entry.reachedThrough;
    return warning;
}

std::string EnglishSentence(const ModuleWarning& warning) {
    switch (warning.kind) {
        case ModuleWarningKind::kDuplicateIp:
            return "The IP address " + warning.address + " is also used by " +
                   OtherModulesText(warning) + ".";
        case ModuleWarningKind::kSharedRecoveryAddress:
            return "The recovery DHCP server would give the same address " + warning.address +
                   " to " + OtherModulesText(warning) + ".";
        case ModuleWarningKind::kOffSubnet:
            break;
        case ModuleWarningKind::kMacClaimedTwice:
            return warning.sentence;  // told by whoever saw the second device
    }
    std::string sentence =
        "The IP address " + warning.address + " is on none of this computer's networks";
    if (warning.networks.empty()) {
        sentence += " (it has no IPv4 network)";
    } else {
        sentence += " (";
        for (std::size_t named = 0; named < warning.networks.size(); ++named) {
            sentence += (named == 0 ? "" : ", ") + NetworkText(warning.networks[named]);
        }
        if (warning.moreNetworks > 0) {
            sentence += ", and " + std::to_string(warning.moreNetworks) + " more";
        }
        sentence += ")";
    }
    if (!warning.reachedThrough.empty()) {
        sentence += "; its answer came in through " + warning.reachedThrough;
    }
    return sentence + ".";
}

std::vector<std::vector<ModuleWarning>> ComputeModuleWarnings(
    std::span<const ModuleRecord> records,
    std::optional<std::vector<HostInterface>> hostInterfaces) {
    ModuleWarnings fleet(std::move(hostInterfaces));
    for (const ModuleRecord& record : records) {
        fleet.Add(record);
    }
    std::vector<std::vector<ModuleWarning>> warnings;
    warnings.reserve(records.size());
    for (std::size_t module = 0; module < fleet.Count(); ++module) {
        warnings.push_back(fleet.WarningsOf(module));
    }
    return warnings;
}

}  // namespace ordvane
