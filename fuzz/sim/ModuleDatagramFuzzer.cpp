// The emulator's side: every datagram goes through the parser and, when it parses, through the
// module's handling (scan, acknowledge, configure, wink) of a small fleet. Nothing is sent: the
// emulator's socket is never opened.
#include <cstdio>

#include "sim/FleetGenerator.h"
#include "sim/ModuleEmulator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::FILE* sink = std::fopen("/dev/null", "w");
    static ordvane::sim::ModuleEmulator emulator(ordvane::sim::GenerateFleet(4, 1), {}, sink);
    ordvane::zeva::ReceivedDatagram received;
    received.size = size;
    received.source = {0x7F000001u, 40000};
    received.destination = 0x7F000001u;
    emulator.HandleDatagram(std::span(data, size), received);
    return 0;
}
