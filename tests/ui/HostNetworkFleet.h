#pragma once
// Fleet file lines whose addresses are made from this host's own first network, so that the
// window's check "on none of this host's networks" marks only the modules meant to be off them.
// The emulator still answers on loopback: the addresses are only what the modules report.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "modlist/ModuleWarnings.h"
#include "platform/AddressText.h"

namespace ordvane::testing {

class HostNetworkFleet {
public:
    static constexpr const char* kHeader =
        "mac,report_mac,service,type,firmware,ip,mask,gateway,dhcp,hostname\n";

    HostNetworkFleet() {
        m_hosts = ReadHostInterfaces().value_or(std::vector<HostInterface>{});
        for (const HostInterface& host : m_hosts) {
            if (host.netmask != 0 && ~host.netmask >= 64) {
                m_host = host;
                break;
            }
        }
        for (std::uint32_t candidate : {0xC6336407u, 0xCB007107u, 0x0AD54D07u}) {
            if (!IsOnHostNetwork(candidate)) {
                m_offNetwork = Quad(candidate);
                break;
            }
        }
    }

    // False when the host has no network with room for a few modules besides loopback: then
    // every module is off this host's networks.
    bool HasHostNetwork() const { return m_host.has_value(); }

    // The number-th address (1 to 62) on the host's first network, never the host's own; on
    // 10.0.0.0/24 when the host has no network.
    std::string OnNetwork(std::uint32_t number) const {
        if (!m_host) {
            return Quad(0x0A000000u | number);
        }
        std::uint32_t address = (m_host->address & m_host->netmask) | number;
        if (address >= m_host->address) {
            address += 1;  // numbers stay distinct addresses around the host's own
        }
        return Quad(address);
    }
    std::string Mask() const { return Quad(m_host ? m_host->netmask : 0xFFFFFF00u); }
    // An address on none of the host's networks (from the documentation ranges).
    const std::string& OffNetwork() const { return m_offNetwork; }

    // One module of the fleet file whose header is kHeader.
    static std::string Line(const std::string& mac, const std::string& ip, const std::string& mask,
                            const std::string& type = "QM-100", const std::string& dhcp = "0",
                            const std::string& reportMac = "1", const std::string& gateway = "") {
        return mac + "," + reportMac + ",2.0," + type + ",2.5.17," + ip + "," + mask + "," +
               gateway + "," + dhcp + ",unit\n";
    }

    static std::string Quad(std::uint32_t address) { return FormatIpv4(address); }

private:
    bool IsOnHostNetwork(std::uint32_t address) const {
        for (const HostInterface& host : m_hosts) {
            if ((address & host.netmask) == (host.address & host.netmask)) {
                return true;
            }
        }
        return false;
    }

    std::vector<HostInterface> m_hosts;
    std::optional<HostInterface> m_host;
    std::string m_offNetwork;
};

}  // namespace ordvane::testing
