#include "modlist/ModuleWarnings.h"
#include "modsvc/QuillmorOui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace ordvane {
namespace {

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

// A module whose MAC is the maker's prefix and the given three bytes, with an IP address.
ModuleRecord Module(std::uint8_t mac3, std::uint8_t mac4, std::uint8_t mac5,
                    std::uint32_t ipAddress) {
    ModuleRecord module;
    module.mac = MacAddress(kQuillmorOui[0], kQuillmorOui[1], kQuillmorOui[2], mac3, mac4, mac5);
    module.ipAddress = Ipv4Address(ipAddress);
    module.subnetMask = Ipv4Address(Ip(255, 255, 255, 0));
    return module;
}

const std::vector<HostInterface> kOfficeHost = {
    {"eth0", Ip(192, 168, 1, 10), Ip(255, 255, 255, 0)},
    {"eth1", Ip(10, 20, 0, 1), Ip(255, 255, 0, 0)},
};

std::vector<std::string> MachineNames(const std::vector<ModuleWarning>& warnings) {
    std::vector<std::string> names;
    for (const auto& warning : warnings) {
        names.emplace_back(MachineName(warning.kind));
    }
    return names;
}

using Names = std::vector<std::string>;

TEST(ModuleWarnings, EachKindIsProvokedByItsOwnFleetAndNamesTheOtherModules) {
    const std::vector<ModuleRecord> fleet = {
        Module(0, 0, 0x01, Ip(192, 168, 1, 50)),  // shares its IP with the next
        Module(0, 0, 0x02, Ip(192, 168, 1, 50)),
        Module(0, 1, 0x03, Ip(10, 20, 7, 7)),  // shares its last MAC byte with the next
        Module(0, 2, 0x03, Ip(192, 168, 1, 51)),
        Module(0, 0, 0x04, Ip(172, 16, 0, 9)),  // on neither of the host's networks
    };
    const auto warnings = ComputeModuleWarnings(fleet, kOfficeHost);
    ASSERT_EQ(warnings.size(), fleet.size());

    EXPECT_EQ(MachineNames(warnings[0]), Names{"duplicate-ip"});
    EXPECT_EQ(warnings[0][0].sentence,
              "The IP address 192.168.1.50 is also used by 1 other module: 0A-51-4D-00-00-02.");
    EXPECT_EQ(warnings[1][0].sentence,
              "The IP address 192.168.1.50 is also used by 1 other module: 0A-51-4D-00-00-01.");

    EXPECT_EQ(MachineNames(warnings[2]), Names{"shared-recovery-address"});
    EXPECT_EQ(warnings[3][0].sentence,
              "The recovery DHCP server would give the same address 10.200.1.3 to 1 other "
              "module: 0A-51-4D-00-01-03.");

    EXPECT_EQ(MachineNames(warnings[4]), Names{"off-subnet"});
    EXPECT_EQ(warnings[4][0].sentence,
              "The IP address 172.16.0.9 is on none of this computer's networks (eth0 "
              "192.168.1.0/24, eth1 10.20.0.0/16).");
}

TEST(ModuleWarnings, AHealthyFleetHasNoWarnings) {
    const std::vector<ModuleRecord> fleet = {
        Module(0, 0, 0x01, Ip(192, 168, 1, 0)),  // network edges are still on the network
        Module(0, 0, 0x02, Ip(192, 168, 1, 255)), Module(0, 0, 0x03, Ip(10, 20, 255, 255)),
        Module(0, 0, 0x04, Ip(192, 168, 1, 10)),  // the host's own address: on its network
        Module(1, 0, 0x05, Ip(10, 20, 0, 2)),
    };
    for (const auto& warnings : ComputeModuleWarnings(fleet, kOfficeHost)) {
        EXPECT_TRUE(warnings.empty()) << warnings.front().sentence;
    }
}

TEST(ModuleWarnings, JustOutsideANetworkIsOffSubnet) {
    const std::vector<ModuleRecord> fleet = {
        Module(0, 0, 0x01, Ip(192, 168, 2, 0)),
        Module(0, 0, 0x02, Ip(192, 168, 0, 255)),
        Module(0, 0, 0x03, Ip(10, 21, 0, 0)),
    };
    for (const auto& warnings : ComputeModuleWarnings(fleet, kOfficeHost)) {
        EXPECT_EQ(MachineNames(warnings), Names{"off-subnet"});
    }
}

TEST(ModuleWarnings, AbsentFieldsGiveNoWarningOfTheirKind) {
    auto noIp = Module(0, 0, 0x01, Ip(172, 16, 0, 9));
    noIp.ipAddress.reset();
    auto sameIpAbsent = Module(0, 0, 0x02, Ip(172, 16, 0, 9));
    sameIpAbsent.ipAddress.reset();
    auto noMac = Module(0, 0, 0x01, Ip(192, 168, 1, 60));
    noMac.mac.reset();
    const std::vector<ModuleRecord> fleet = {noIp, sameIpAbsent, noMac};
    for (const auto& warnings : ComputeModuleWarnings(fleet, kOfficeHost)) {
        EXPECT_TRUE(warnings.empty()) << warnings.front().sentence;
    }
}

TEST(ModuleWarnings, AModuleWithoutMacIsNamedAsSuch) {
    auto noMac = Module(0, 0, 0x01, Ip(192, 168, 1, 60));
    noMac.mac.reset();
    const std::vector<ModuleRecord> fleet = {noMac, Module(0, 0, 0x02, Ip(192, 168, 1, 60))};
    const auto warnings = ComputeModuleWarnings(fleet, kOfficeHost);
    ASSERT_EQ(MachineNames(warnings[1]), Names{"duplicate-ip"});
    EXPECT_EQ(warnings[1][0].sentence,
              "The IP address 192.168.1.60 is also used by 1 other module: a module without MAC.");
}

TEST(ModuleWarnings, ModulesWaitingForAnAddressAreNoDuplicatesButAreOffSubnet) {
    const std::vector<ModuleRecord> fleet = {Module(0, 0, 0x01, 0), Module(0, 0, 0x02, 0)};
    for (const auto& warnings : ComputeModuleWarnings(fleet, kOfficeHost)) {
        EXPECT_EQ(MachineNames(warnings), Names{"off-subnet"});
    }
}

TEST(ModuleWarnings, HostNetworksUnknownOrNoneDecideTheOffSubnetWarning) {
    const std::vector<ModuleRecord> fleet = {Module(0, 0, 0x01, Ip(10, 1, 1, 1))};

    EXPECT_TRUE(ComputeModuleWarnings(fleet, std::nullopt)[0].empty());

    const auto none = ComputeModuleWarnings(fleet, std::vector<HostInterface>{});
    ASSERT_EQ(MachineNames(none[0]), Names{"off-subnet"});
    EXPECT_EQ(none[0][0].sentence,
              "The IP address 10.1.1.1 is on none of this computer's networks (it has no IPv4 "
              "network).");
}

TEST(ModuleWarnings, OffSubnetSentenceSaysWhichCardTheAnswerCameThrough) {
    ModuleWarnings fleet(
        std::vector<HostInterface>{{"eth0", Ip(192, 168, 1, 10), Ip(255, 255, 255, 0)}});
    fleet.Add(Module(0, 0, 0x01, Ip(10, 1, 1, 1)), "eth0");
    const auto warnings = fleet.WarningsOf(0);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].sentence,
              "The IP address 10.1.1.1 is on none of this computer's networks (eth0 "
              "192.168.1.0/24); its answer came in through eth0.");
}

TEST(ModuleWarnings, ManyHostNetworksAndOddMasksStayReadable) {
    std::vector<HostInterface> host;
    for (unsigned card = 0; card < 6; ++card) {
        host.push_back({"eth" + std::to_string(card), Ip(10, card, 0, 1), Ip(255, 255, 0, 0)});
    }
    host[0].netmask = Ip(255, 0, 255, 0);  // not contiguous: shown as a mask, still applied
    const std::vector<ModuleRecord> fleet = {
        Module(0, 0, 0x01, Ip(172, 16, 0, 1)),
        Module(0, 0, 0x02, Ip(10, 77, 0, 9)),  // on eth0 through the odd mask
    };
    const auto warnings = ComputeModuleWarnings(fleet, host);
    ASSERT_EQ(warnings[0].size(), 1u);
    EXPECT_EQ(warnings[0][0].sentence,
              "The IP address 172.16.0.1 is on none of this computer's networks (eth0 10.0.0.0 "
              "mask 255.0.255.0, eth1 10.1.0.0/16, eth2 10.2.0.0/16, eth3 10.3.0.0/16, and 2 "
              "more).");
    EXPECT_TRUE(warnings[1].empty());
}

TEST(ModuleWarnings, AModuleCanCarryEveryKindAtOnce) {
    const std::vector<ModuleRecord> fleet = {
        Module(0, 0, 0x09, Ip(172, 16, 0, 9)),
        Module(0, 1, 0x09, Ip(172, 16, 0, 9)),
    };
    for (const auto& warnings : ComputeModuleWarnings(fleet, kOfficeHost)) {
        EXPECT_EQ(MachineNames(warnings),
                  (Names{"duplicate-ip", "shared-recovery-address", "off-subnet"}));
    }
}

TEST(ModuleWarnings, LargeGroupsNameThreeOthersAndCountTheRest) {
    ModuleWarnings fleet(kOfficeHost);
    for (std::uint8_t module = 0; module < 4; ++module) {
        fleet.Add(Module(0, module, 0x10 + module, Ip(192, 168, 1, 77)));
    }
    EXPECT_EQ(fleet.WarningsOf(0)[0].sentence,
              "The IP address 192.168.1.77 is also used by 3 other modules: 0A-51-4D-00-01-11, "
              "0A-51-4D-00-02-12, 0A-51-4D-00-03-13.");
    fleet.Add(Module(0, 9, 0x20, Ip(192, 168, 1, 77)));
    EXPECT_EQ(fleet.WarningsOf(0)[0].sentence,
              "The IP address 192.168.1.77 is also used by 4 other modules, among them "
              "0A-51-4D-00-01-11, 0A-51-4D-00-02-12, 0A-51-4D-00-03-13.");
    EXPECT_EQ(fleet.WarningsOf(4)[0].sentence,
              "The IP address 192.168.1.77 is also used by 4 other modules, among them "
              "0A-51-4D-00-00-10, 0A-51-4D-00-01-11, 0A-51-4D-00-02-12.");
}

TEST(ModuleWarnings, AddReportsTheNewModuleAndOnlyOlderModulesWhoseKindsChanged) {
    ModuleWarnings fleet(kOfficeHost);
    EXPECT_EQ(fleet.Add(Module(0, 0, 0x01, Ip(192, 168, 1, 5))), (std::vector<std::size_t>{0}));
    EXPECT_EQ(fleet.KindsOf(0), 0);

    // Same IP and same last MAC byte as module 0: it is reported once, not per group.
    EXPECT_EQ(fleet.Add(Module(0, 1, 0x01, Ip(192, 168, 1, 5))), (std::vector<std::size_t>{1, 0}));
    const ModuleWarningKinds both = KindBit(ModuleWarningKind::kDuplicateIp) |
                                    KindBit(ModuleWarningKind::kSharedRecoveryAddress);
    EXPECT_EQ(fleet.KindsOf(0), both);
    EXPECT_EQ(fleet.KindsOf(1), both);

    // A third member changes no older module's kinds.
    EXPECT_EQ(fleet.Add(Module(0, 2, 0x01, Ip(192, 168, 1, 5))), (std::vector<std::size_t>{2}));

    // Joining two different single-member groups reports both older modules.
    fleet.Add(Module(0, 3, 0x30, Ip(192, 168, 1, 6)));  // 3
    fleet.Add(Module(0, 4, 0x40, Ip(192, 168, 1, 7)));  // 4
    EXPECT_EQ(fleet.Add(Module(0, 5, 0x40, Ip(192, 168, 1, 6))),
              (std::vector<std::size_t>{5, 3, 4}));
    EXPECT_EQ(fleet.KindsOf(3), KindBit(ModuleWarningKind::kDuplicateIp));
    EXPECT_EQ(fleet.KindsOf(4), KindBit(ModuleWarningKind::kSharedRecoveryAddress));
}

TEST(ModuleWarnings, IncrementalAndWholeFleetAgreeAndClearStartsAfresh) {
    // 600 modules on 300 addresses (module m and m + 300 share one), every seventh address off
    // the host's networks, last MAC bytes 0..255, 0..255, 0..87.
    std::vector<ModuleRecord> answers;
    for (unsigned module = 0; module < 600; ++module) {
        const unsigned address = module % 300;
        const unsigned first = address % 7 == 0 ? 172 : 10;
        const unsigned second = address % 7 == 0 ? 16 : 20;
        answers.push_back(Module(0, static_cast<std::uint8_t>(module >> 8),
                                 static_cast<std::uint8_t>(module),
                                 Ip(first, second, address >> 8, address & 0xFF)));
    }
    const auto whole = ComputeModuleWarnings(answers, kOfficeHost);
    EXPECT_EQ(MachineNames(whole[7]),
              (Names{"duplicate-ip", "shared-recovery-address", "off-subnet"}));
    EXPECT_EQ(MachineNames(whole[590]), (Names{"duplicate-ip", "shared-recovery-address"}));

    ModuleWarnings fleet(kOfficeHost);
    for (int round = 0; round < 2; ++round) {
        for (const auto& answer : answers) {
            fleet.Add(answer);
        }
        ASSERT_EQ(fleet.Count(), answers.size());
        for (std::size_t module = 0; module < answers.size(); ++module) {
            const auto warnings = fleet.WarningsOf(module);
            ASSERT_EQ(warnings.size(), whole[module].size());
            for (std::size_t kind = 0; kind < warnings.size(); ++kind) {
                EXPECT_EQ(warnings[kind].sentence, whole[module][kind].sentence);
            }
        }
        fleet.Clear();
        EXPECT_EQ(fleet.Count(), 0u);
        EXPECT_EQ(fleet.KindsOf(7), 0);
        EXPECT_TRUE(fleet.WarningsOf(7).empty());
    }
}

TEST(ModuleWarnings, AFullFleetOfSharedRecoveryAddresses) {
    ModuleWarnings fleet(kOfficeHost);
    for (unsigned module = 0; module < 65536; ++module) {
        fleet.Add(Module(0, static_cast<std::uint8_t>(module >> 8),
                         static_cast<std::uint8_t>(module),
                         Ip(10, 20, module >> 8, module & 0xFF)));
    }
    for (std::size_t module = 0; module < fleet.Count(); ++module) {
        ASSERT_EQ(fleet.KindsOf(module), KindBit(ModuleWarningKind::kSharedRecoveryAddress));
    }
    EXPECT_EQ(fleet.WarningsOf(65535)[0].sentence,
              "The recovery DHCP server would give the same address 10.200.1.255 to 255 other "
              "modules, among them 0A-51-4D-00-00-FF, 0A-51-4D-00-01-FF, 0A-51-4D-00-02-FF.");
}

TEST(ReadHostInterfaces, ListsUpIpv4InterfacesWithoutLoopback) {
    const auto interfaces = ReadHostInterfaces();
    ASSERT_TRUE(interfaces.has_value());
    for (const auto& host : *interfaces) {
        EXPECT_FALSE(host.name.empty());
        EXPECT_NE(host.address >> 24, 127u) << host.name;
    }
}

}  // namespace
}  // namespace ordvane
