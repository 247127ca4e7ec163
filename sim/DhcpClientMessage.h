#pragma once
// The DHCP messages an emulated module's client sends (DISCOVER, REQUEST) and the server
// answers it reads (OFFER, ACK, NAK), in the recovery server's own message codec: a datagram
// from the link is never read past its end.
//
// Addresses are host-order integers (first octet in the most significant byte), as in the rest
// of the emulator.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "dhcp/DhcpOptions.h"
#include "zeva/ModuleProtocol.h"

namespace ordvane::sim {

inline constexpr std::uint16_t kDhcpServerPort = 67;
inline constexpr std::uint16_t kDhcpClientPort = 68;
// A BOOTP message is at least 300 bytes; shorter requests are padded with zeros.
inline constexpr std::size_t kDhcpRequestSize = 300;

struct DhcpClientRequest {
    DhcpMessageType type = DhcpMessageType::kDiscover;
    std::uint32_t transactionId = 0;
    MacAddress mac{};
    std::uint32_t requestedAddress = 0;  // option 50, left out when 0
    std::uint32_t serverIdentifier = 0;  // option 54, left out when 0
};

// Writes the request into buffer: op 1, Ethernet hardware address, the broadcast flag (the
// client has no address to receive a unicast on), chaddr, the magic cookie, options 53, 50 and
// 54, the end option, zeros up to 300 bytes. Returns the size, 0 when the buffer is too small.
std::size_t EncodeDhcpClientRequest(const DhcpClientRequest& request,
                                    std::span<std::uint8_t> buffer);

struct DhcpServerAnswer {
    DhcpMessageType type = DhcpMessageType::kOffer;  // as sent, even outside the enum
    std::uint32_t transactionId = 0;
    MacAddress clientMac{};
    std::uint32_t yourAddress = 0;
    std::optional<std::uint32_t> subnetMask;
    std::optional<std::uint32_t> serverIdentifier;
};

// Reads a server's answer. Empty when the datagram is not one: op other than 2, hardware
// address not Ethernet, shorter than fixed part and cookie, no magic cookie, no message type,
// an option of the wrong length or one running past the datagram.
std::optional<DhcpServerAnswer> DecodeDhcpServerAnswer(std::span<const std::uint8_t> datagram);

}  // namespace ordvane::sim
