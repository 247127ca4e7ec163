#pragma once
// Warnings about a scanned fleet that the table alone does not show: two modules on one IP
// address, two modules that the recovery DHCP server would give the same 10.200.1.N, and
// modules whose address is on none of this host's networks. Qt-free, for the window and the CLI.

#include "modsvc/ModuleRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ordvane {

// One IPv4 address of this host, in the module-side form of the scan answers: first octet in
// the most significant byte.
struct HostInterface {
    std::string name;
    std::uint32_t address = 0;
    std::uint32_t netmask = 0;
};

// The host's IPv4 addresses on interfaces that are up, loopback left out (a module is never on
// it). nullopt when the operating system cannot list them.
std::optional<std::vector<HostInterface>> ReadHostInterfaces();

enum class ModuleWarningKind : std::uint8_t {
    kDuplicateIp,            // another module answers with the same IP address
    kSharedRecoveryAddress,  // another module's MAC ends in the same byte: same 10.200.1.N
    kOffSubnet,              // the module's IP address is on none of the host's networks
    kMacClaimedTwice,        // a second device answered for the same MAC in the same scan
};

// One bit per kind, for a row colour that needs no text.
using ModuleWarningKinds = std::uint8_t;
constexpr ModuleWarningKinds KindBit(ModuleWarningKind kind) {
    return static_cast<ModuleWarningKinds>(1u << static_cast<unsigned>(kind));
}

// "duplicate-ip", "shared-recovery-address", "off-subnet" or "mac-claimed-twice": stable names
// for CLI output.
std::string_view MachineName(ModuleWarningKind kind);

// One of the host's networks, as an off-subnet warning names it.
struct WarningNetwork {
    std::string interfaceName;
    std::string network;    // the network's dotted address
    int prefixLength = -1;  // -1: the mask has holes and is given as mask
    std::string mask{};
};

struct ModuleWarning {
    ModuleWarningKind kind;
    std::string sentence{};  // in English, for a person; names others' MACs where that helps
    // What the sentence says, so that a window can say it in the user's language:
    std::string address{};                   // the module's IP address, or the recovery address
    std::size_t others = 0;                  // how many other modules share it
    std::vector<std::string> namedOthers{};  // the first of them by MAC; "" for one without MAC
    std::vector<WarningNetwork> networks{};  // off-subnet: the host's first networks; none and
    std::size_t moreNetworks = 0;            // no more: the host has no IPv4 network
    std::string reachedThrough{};            // off-subnet: the card its answer came in through
};

// The English sentence of a warning, from what it says.
std::string EnglishSentence(const ModuleWarning& warning);

// Warnings about a fleet of scanned modules, kept up to date one answer at a time.
//
// Modules are numbered in the order they were added, which is the order of the fleet's records
// (modlist/Fleet.h: the first answer per MAC), which drops repeated MACs before adding.
// Absent values give no warning of their kind: no IP, no duplicate-ip or off-subnet; no MAC, no
// shared-recovery-address. An IP address of 0.0.0.0 means "no address yet" (a module waiting for
// DHCP) and is never a duplicate, but it is on no network, so it is off-subnet.
//
// Adding a module costs constant expected time (hash map of addresses, one group per last MAC
// byte); sentences are built when asked for, from the current fleet.
class ModuleWarnings {
public:
    // hostInterfaces nullopt: the host's networks are unknown, so no off-subnet warnings.
    explicit ModuleWarnings(std::optional<std::vector<HostInterface>> hostInterfaces);

    // Adds the next module. reachedThrough names the interface its answer arrived on, when the
    // caller knows it (the off-subnet sentence then says so). Returns the new module's number
    // followed by the older modules whose kinds of warning changed: the rows to colour anew.
    // Other modules' sentences may change too (the count of others they give); read them when
    // they are shown.
    std::vector<std::size_t> Add(const ModuleRecord& record, std::string_view reachedThrough = {});

    // Forgets every module (a new scan); the host's networks stay.
    void Clear();

    std::size_t Count() const { return modules_.size(); }
    // A number past Count() has no warnings.
    ModuleWarningKinds KindsOf(std::size_t module) const;
    std::vector<ModuleWarning> WarningsOf(std::size_t module) const;

private:
    static constexpr std::uint32_t kNoGroup = UINT32_MAX;

    struct Module {
        MacAddress mac;
        bool hasMac = false;
        std::uint32_t ipAddress = 0;
        bool hasIp = false;
        bool offSubnet = false;
        std::uint32_t ipGroup = kNoGroup;
        std::string reachedThrough;
    };

    bool IsOffSubnet(std::uint32_t ipAddress) const;
    void NameOtherModules(const std::vector<std::uint32_t>& group, std::size_t self,
                          ModuleWarning& warning) const;
    ModuleWarning DuplicateIpWarning(std::size_t module) const;
    ModuleWarning SharedRecoveryWarning(std::size_t module) const;
    ModuleWarning OffSubnetWarning(std::size_t module) const;
    const std::vector<std::uint32_t>* RecoveryGroupOf(const Module& module) const;

    std::optional<std::vector<HostInterface>> hostInterfaces_;
    std::vector<Module> modules_;
    std::unordered_map<std::uint32_t, std::uint32_t> ipGroupByAddress_;
    std::vector<std::vector<std::uint32_t>> ipGroups_;
    std::array<std::vector<std::uint32_t>, 256> recoveryGroups_;  // by the MAC's last byte
};

// The warnings of a whole fleet at once, in the order of the answers.
std::vector<std::vector<ModuleWarning>> ComputeModuleWarnings(
    std::span<const ModuleRecord> records,
    std::optional<std::vector<HostInterface>> hostInterfaces);

}  // namespace ordvane
