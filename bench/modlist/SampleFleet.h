#pragma once
// Scan responses of a made-up fleet for the benchmarks: distinct MAC addresses, addresses and
// versions drawn at random (a fixed seed, so every run sees the same fleet), a few values
// missing, in no particular order - the way answers arrive from the wire.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "modsvc/ModuleService.h"

namespace ordvane {

inline std::vector<ZEVA_ModuleScanResponseType> MakeSampleFleet(int count) {
    static const char* const kTypes[] = {"QM-Gateway 4", "QM-Gateway 8", "QM-Bridge",
                                         "qm-sensor hub", "QM-Gateway 4 PoE"};
    std::mt19937 generator(20261207);
    std::uniform_int_distribution<std::uint32_t> anyValue;
    std::vector<ZEVA_ModuleScanResponseType> fleet(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        ZEVA_ModuleScanResponseType& response = fleet[static_cast<std::size_t>(index)];
        std::memset(&response, 0, sizeof response);
        const std::uint32_t random = anyValue(generator);
        std::snprintf(response.moduleType, sizeof response.moduleType, "%s",
                      kTypes[random % (sizeof kTypes / sizeof kTypes[0])]);
        response.moduleTypeValid = 1;
        response.fwMajor = static_cast<std::uint8_t>(1 + random % 3);
        response.fwMinor = static_cast<std::uint8_t>(random >> 8);
        response.fwBuild = static_cast<std::uint16_t>(random >> 16);
        response.fwVersionValid = 1;
        const std::uint32_t serial = static_cast<std::uint32_t>(index) * 2654435761U;
        const std::uint8_t mac[6] = {0x00,
                                     0x1B,
                                     0xC5,
                                     static_cast<std::uint8_t>(serial >> 16),
                                     static_cast<std::uint8_t>(serial >> 8),
                                     static_cast<std::uint8_t>(serial)};
        std::memcpy(response.macId, mac, sizeof mac);
        response.macIdValid = 1;
        response.ipAddress = 0x0A000000U | (anyValue(generator) & 0x00FFFFFFU);
        response.ipAddressValid = index % 97 == 0 ? 0 : 1;
        response.subnetMask = 0xFFFF0000U;
        response.subnetMaskValid = 1;
        response.gateway = 0x0A000001U;
        response.gatewayValid = 1;
        response.dhcp = static_cast<std::uint8_t>(random & 1U);
        response.dhcpValid = 1;
    }
    return fleet;
}

}  // namespace ordvane
