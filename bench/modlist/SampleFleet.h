#pragma once
// Module records of a made-up fleet for the benchmarks: distinct MAC addresses, addresses and
// versions drawn at random (a fixed seed, so every run sees the same fleet), a few values
// missing, in no particular order - the way answers arrive from the wire.

#include <cstdint>
#include <random>
#include <vector>

#include "modsvc/ModuleRecord.h"

namespace ordvane {

inline std::vector<ModuleRecord> MakeSampleFleet(int count) {
    static const char* const kTypes[] = {"QM-Gateway 4", "QM-Gateway 8", "QM-Bridge",
                                         "qm-sensor hub", "QM-Gateway 4 PoE"};
    std::mt19937 generator(20261207);
    std::uniform_int_distribution<std::uint32_t> anyValue;
    std::vector<ModuleRecord> fleet(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        ModuleRecord& record = fleet[static_cast<std::size_t>(index)];
        const std::uint32_t random = anyValue(generator);
        record.moduleType = kTypes[random % (sizeof kTypes / sizeof kTypes[0])];
        record.firmware = FirmwareVersion{static_cast<std::uint8_t>(1 + random % 3),
                                          static_cast<std::uint8_t>(random >> 8),
                                          static_cast<std::uint16_t>(random >> 16)};
        const std::uint32_t serial = static_cast<std::uint32_t>(index) * 2654435761U;
        record.mac =
            MacAddress(0x00, 0x1B, 0xC5, static_cast<std::uint8_t>(serial >> 16),
                       static_cast<std::uint8_t>(serial >> 8), static_cast<std::uint8_t>(serial));
        const Ipv4Address address(0x0A000000U | (anyValue(generator) & 0x00FFFFFFU));
        if (index % 97 != 0) {
            record.ipAddress = address;
        }
        record.subnetMask = Ipv4Address(0xFFFF0000U);
        record.gateway = Ipv4Address(0x0A000001U);
        record.dhcp = (random & 1U) == 1U;
    }
    return fleet;
}

}  // namespace ordvane
