// The emulated modules' DHCP clients fed a sequence of server answers, interleaved with time
// passing and configures that give a module its address meanwhile. Transaction ids come from
// a fixed seed, so that answers can match them. Input: one to four modules, then operations of
// one byte each: an answer (interface byte, 2-byte length, bytes), a step in time, a configure.
#include <map>

#include "fuzz/FuzzInput.h"
#include "sim/ModuleDhcpClient.h"

namespace {

using namespace ordvane::sim;

using Input = ordvane::fuzz::FuzzInput;

std::vector<EmulatedModule> Fleet(std::size_t count) {
    std::vector<EmulatedModule> fleet(count);
    for (std::size_t index = 0; index < count; ++index) {
        fleet[index].mac = {0x0A, 0x51, 0x4D, 0x00, 0x00, static_cast<std::uint8_t>(index + 1)};
        fleet[index].dhcp = true;
    }
    return fleet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input{data, size};
    auto fleet = Fleet(1 + input.Byte() % 4);
    std::mt19937_64 random;  // default seed: the ids are the same every run
    auto now = ModuleDhcpClient::Clock::time_point{} + std::chrono::hours(1);
    ModuleDhcpClient clients;
    clients.Begin(fleet, now, random);
    std::map<std::size_t, int> outcomes;
    const auto sink = [&](std::size_t module, DhcpOutcome outcome) {
        // One outcome per module, and a lease leaves the module with its address.
        if (module >= fleet.size() || ++outcomes[module] > 1 ||
            (outcome == DhcpOutcome::kLeased && !fleet[module].address)) {
            __builtin_trap();
        }
    };
    while (input.size > 0) {
        switch (input.Byte() % 3) {
            case 0: {
                const int interfaceIndex = input.Byte() % 2;  // 0 is the link's: no socket here
                const std::size_t length = (input.Byte() << 8 | input.Byte()) % 1501;
                clients.HandleDatagram(input.Take(length), interfaceIndex, fleet, random, sink);
                break;
            }
            case 1:
                now += std::chrono::milliseconds(100) * input.Byte();
                clients.SendDueAndForgetEnded(fleet, now, sink);
                break;
            default:
                fleet[input.Byte() % fleet.size()].address = 0x0A000063;
        }
    }
    return 0;
}
