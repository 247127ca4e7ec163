#pragma once
// DHCP datagrams for the tests and benchmarks, built field by field in wire order.

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace dhcptest {

using Bytes = std::vector<std::uint8_t>;
using Mac = std::array<std::uint8_t, 6>;

inline constexpr Mac kOuiMac2A = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x2A};  // maker's OUI, ends 2A
inline constexpr Mac kForeignMac = {0x02, 0x00, 0x5E, 0x10, 0x20, 0x2A};
inline constexpr std::uint8_t kDiscover = 1;
inline constexpr std::uint8_t kRequest = 3;

// Byte by byte: GCC 12 at -O3 misreads a range insert here as an overflow.
inline void Append(Bytes& bytes, std::initializer_list<std::uint8_t> more) {
    for (const std::uint8_t byte : more) {
        bytes.push_back(byte);
    }
}

inline void AppendZeros(Bytes& bytes, std::size_t count) {
    bytes.insert(bytes.end(), count, 0);
}

// The 236-byte fixed part of a client's message.
inline Bytes FixedPart(const Mac& mac, std::uint8_t op = 1) {
    Bytes bytes;
    Append(bytes, {op});                                // op: 1 boot request
    Append(bytes, {0x01});                              // htype: Ethernet
    Append(bytes, {0x06});                              // hlen: 6
    Append(bytes, {0x01});                              // hops: 1 (the reply carries 0)
    Append(bytes, {0xDE, 0xAD, 0xBE, 0xEF});            // xid
    Append(bytes, {0x00, 0x07});                        // secs: 7
    Append(bytes, {0x80, 0x00});                        // flags: broadcast bit
    Append(bytes, {0, 0, 0, 0});                        // ciaddr: no address yet
    Append(bytes, {192, 0, 2, 11});                     // yiaddr
    Append(bytes, {192, 0, 2, 12});                     // siaddr
    Append(bytes, {192, 0, 2, 13});                     // giaddr: as if relayed
    bytes.insert(bytes.end(), mac.begin(), mac.end());  // chaddr bytes 0-5
    Append(bytes, {0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA});  // chaddr 6-15
    bytes.insert(bytes.end(), 64, 's');                                           // sname
    bytes.insert(bytes.end(), 128, 'f');                                          // file
    return bytes;
}

inline void AppendMagicCookie(Bytes& bytes) {
    Append(bytes, {99, 130, 83, 99});
}

// A DISCOVER or REQUEST as busybox sends one, optionally asking for an address (option 50).
inline Bytes ClientMessage(const Mac& mac, std::uint8_t type,
                           const std::array<std::uint8_t, 4>* requestedIp = nullptr) {
    Bytes bytes = FixedPart(mac);
    AppendMagicCookie(bytes);
    Append(bytes, {53, 1, type});  // DHCP message type
    Append(bytes, {61, 7, 0x01});  // client identifier: type 1 and the MAC
    bytes.insert(bytes.end(), mac.begin(), mac.end());
    if (requestedIp != nullptr) {
        Append(bytes, {50, 4});  // requested IP address
        bytes.insert(bytes.end(), requestedIp->begin(), requestedIp->end());
    }
    Append(bytes, {55, 3, 1, 3, 6});  // parameter request list: mask, router, DNS
    Append(bytes, {255});             // end
    return bytes;
}

inline Bytes Discover(const Mac& mac) {
    return ClientMessage(mac, kDiscover);
}

// Sets the client's own address (ciaddr) of a message built above.
inline void SetClientAddress(Bytes& message, const std::array<std::uint8_t, 4>& address) {
    std::copy(address.begin(), address.end(), message.begin() + 12);
}

// Clears the relay agent's address (giaddr): the client asked directly.
inline void ClearRelayAddress(Bytes& message) {
    std::fill(message.begin() + 24, message.begin() + 28, 0);
}

}  // namespace dhcptest
