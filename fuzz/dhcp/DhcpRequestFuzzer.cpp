// Feeds arbitrary datagrams through decoding, the reply rules and encoding, exactly as the
// worker does after a receive.
#include <cstddef>
#include <cstdint>
#include <span>

#include "dhcp/CDhcpServer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ordvane::CDhcpServer server;  // no socket: only the message handling runs
    server.AnswerDatagram(std::span<const std::uint8_t>(data, size));
    return 0;
}
