#pragma once
// UDP over IPv4 with the arrival interface of every datagram: the library, the emulator and the
// recovery DHCP server each answer out of the interface a request came in on, because a
// limited broadcast has no route of its own and a host may have several cards.
//
// One error policy: every call reports failure as its return value, with errno telling why,
// and allocates nothing, so the DHCP worker may use it for each datagram.

#include <cstddef>
#include <cstdint>
#include <span>

namespace ordvane {

// One received datagram. Addresses in host order (first octet in the most significant byte).
struct DatagramArrival {
    std::size_t size = 0;    // bytes in the buffer
    bool truncated = false;  // the datagram was larger than the buffer
    std::uint32_t sourceAddress = 0;
    std::uint16_t sourcePort = 0;
    bool interfaceKnown = false;     // the kernel reported where it arrived
    int interfaceIndex = 0;          // where it arrived
    std::uint32_t destination = 0;   // the address it was sent to
    std::uint32_t localAddress = 0;  // this host's address on the arrival interface (may be 0)
};

// Allows sending to broadcast addresses.
[[nodiscard]] bool AllowBroadcast(int descriptor);

// Asks the kernel to report the arrival interface and destination of every datagram.
[[nodiscard]] bool AskArrivalInterface(int descriptor);

// Sets the receive queue to bytes, past the system's ordinary ceiling where the process may
// administer the network; without that right the kernel caps it at its ceiling. False only
// when the socket refuses both.
[[nodiscard]] bool RaiseReceiveBuffer(int descriptor, int bytes);

// Receives one waiting datagram into buffer without blocking. False when none is waiting (or
// the socket failed); arrival is rewritten only on success.
[[nodiscard]] bool ReceiveWithArrival(int descriptor, std::span<std::uint8_t> buffer,
                                      DatagramArrival& arrival);

// Where SendOutOf sends a datagram: to address:port, out of interfaceIndex when it is above 0,
// with sourceAddress as the datagram's source when it is not 0.
struct DatagramRoute {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    int interfaceIndex = 0;
    std::uint32_t sourceAddress = 0;
};

// Sends the whole datagram or reports failure; an empty datagram is a failure.
[[nodiscard]] bool SendOutOf(int descriptor, std::span<const std::uint8_t> datagram,
                             const DatagramRoute& route);

}  // namespace ordvane
