#pragma once
// A UDP/IPv4 socket for the module protocol, shared by the library and the emulator: bound to
// one address and port, broadcast allowed, a large receive buffer, and the arrival interface
// and destination address of every datagram (platform/ArrivalDatagram) so that an answer can
// leave through the interface its request came in on.

#include <cstddef>
#include <cstdint>
#include <span>

namespace ordvane::zeva {

// IPv4 address in host order (first octet in the most significant byte) and port.
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    bool operator==(const Endpoint&) const = default;
};

struct ReceivedDatagram {
    std::size_t size = 0;    // bytes in the buffer
    bool truncated = false;  // the datagram was larger than the buffer
    Endpoint source;
    std::uint32_t destination = 0;  // the address the datagram was sent to
    int interfaceIndex = 0;         // where it arrived
};

inline constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFFu;

bool IsLoopback(std::uint32_t address);

class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Binds to address:port (port 0 picks a free one); receiveBufferBytes is a wish, raised
    // past the system's ordinary ceiling where the process is allowed to. False, with errno
    // set and no socket open, when any step fails.
    [[nodiscard]] bool Open(std::uint32_t address, std::uint16_t port, int receiveBufferBytes);
    void Close();
    bool IsOpen() const { return m_descriptor >= 0; }
    int Descriptor() const { return m_descriptor; }
    std::uint16_t LocalPort() const { return m_localPort; }

    // Sends to destination; with interfaceIndex > 0 the datagram leaves through that interface.
    bool SendTo(std::span<const std::uint8_t> datagram, const Endpoint& destination,
                int interfaceIndex = 0) const;

    // Receives one datagram without blocking; false when none is waiting.
    [[nodiscard]] bool Receive(std::span<std::uint8_t> buffer, ReceivedDatagram& received) const;

private:
    int m_descriptor = -1;
    std::uint16_t m_localPort = 0;
};

}  // namespace ordvane::zeva
