// The emulated modules' DHCP client reads the server's answers from the link: any datagram on
// port 68 goes through this parser.
#include "sim/DhcpClientMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)ordvane::sim::DecodeDhcpServerAnswer(std::span(data, size));
    return 0;
}
