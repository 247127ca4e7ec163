#pragma once
// Scan responses for the module table's tests.

#include <cstdint>
#include <cstring>

#include "modsvc/ModuleService.h"

namespace ordvane::samples {

// A response with every value present: 192.168.0.1/24 via .254, DHCP on, firmware 2.05.17,
// type "QM-Gateway 4", MAC 00-1B-C5-0A-FF-01.
inline ZEVA_ModuleScanResponseType SampleResponse() {
    ZEVA_ModuleScanResponseType response{};
    std::strcpy(response.moduleType, "QM-Gateway 4");
    response.moduleTypeValid = 1;
    response.fwMajor = 2;
    response.fwMinor = 5;
    response.fwBuild = 17;
    response.fwVersionValid = 1;
    const std::uint8_t mac[6] = {0x00, 0x1b, 0xc5, 0x0a, 0xff, 0x01};
    std::memcpy(response.macId, mac, sizeof mac);
    response.macIdValid = 1;
    response.ipAddress = 0xC0A80001;
    response.ipAddressValid = 1;
    response.subnetMask = 0xFFFFFF00;
    response.subnetMaskValid = 1;
    response.gateway = 0xC0A800FE;
    response.gatewayValid = 1;
    response.dhcp = 1;
    response.dhcpValid = 1;
    return response;
}

// The sample with the MAC's last three bytes taken from serial and the given IPv4 value.
inline ZEVA_ModuleScanResponseType SampleResponse(std::uint32_t serial, std::uint32_t ipAddress) {
    ZEVA_ModuleScanResponseType response = SampleResponse();
    response.macId[3] = static_cast<std::uint8_t>(serial >> 16);
    response.macId[4] = static_cast<std::uint8_t>(serial >> 8);
    response.macId[5] = static_cast<std::uint8_t>(serial);
    response.ipAddress = ipAddress;
    return response;
}

}  // namespace ordvane::samples
