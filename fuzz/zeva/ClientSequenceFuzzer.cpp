// The library's client fed a sequence of datagrams in the order they arrive, from a few
// senders on two interfaces, interleaved with the program's scans, configures and winks. Ids
// come from a counter, so that answers can match them, and scan destinations from a fixed
// list, so that no run waits for the host's interface list. Input: a series of operations,
// each one byte, a datagram then being a sender byte, a 2-byte length and that many bytes.
#include <cstring>

#include "fuzz/FuzzInput.h"
#include "zeva/ModuleServiceClient.h"

namespace {

using namespace ordvane::zeva;

using Input = ordvane::fuzz::FuzzInput;

constexpr std::uint8_t kMacs[3][6] = {{0x0A, 0x51, 0x4D, 0x00, 0x00, 0x01},
                                      {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x02},
                                      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};

ZEVA_ConfigureRequestType Request(std::uint8_t choice) {
    ZEVA_ConfigureRequestType request{};
    std::memcpy(request.macId, kMacs[choice % 3], sizeof request.macId);
    std::strcpy(request.password, "secret");
    request.ipAddress = 0x0A000002;
    request.subnetMask = 0xFFFF0000;
    return request;
}

// A scan as on a host with two links and one ZEVA_TARGETS entry; nothing is sent.
std::vector<ScanDestination> ScanDestinations() {
    return {{{kLimitedBroadcast, kModulePort}, 1},
            {{kLimitedBroadcast, kModulePort}, 2},
            {{0x0A0000FFu, kModulePort}, 0}};
}

ReceivedDatagram From(std::uint8_t sender, std::size_t size) {
    ReceivedDatagram received;
    received.size = size;
    received.source = {0x0A000002u + (sender & 3u), kModulePort};
    received.interfaceIndex = 1 + ((sender >> 2) & 1);
    received.destination = (sender & 8) != 0 ? kLimitedBroadcast : 0x0A000001u;
    return received;
}

void CheckResponse(const ZEVA_ModuleScanResponseType& record) {
    if (::strnlen(record.moduleType, sizeof record.moduleType) == sizeof record.moduleType ||
        ::strnlen(record.hostname, sizeof record.hostname) == sizeof record.hostname) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input{data, size};
    std::uint32_t lastId = 0;
    // Small limits, so that full queues and tables are reached too.
    const ClientLimits limits{.responseQueueCapacity = 4,
                              .invalidPasswordQueueCapacity = 2,
                              .pendingCommandCapacity = 4,
                              .knownRouteCapacity = 8};
    ModuleServiceClient client(limits, {[&lastId] { return ++lastId; }, ScanDestinations});
    client.StartDetached();
    while (input.size > 0) {
        switch (input.Byte() % 6) {
            case 0:
                (void)client.SendScan();
                break;
            case 1:
                (void)client.SendConfigure(Request(input.Byte()));
                break;
            case 2:
                (void)client.SendWink(Request(input.Byte()));
                break;
            case 3: {
                const std::uint8_t sender = input.Byte();
                const std::size_t length =
                    (input.Byte() << 8 | input.Byte()) % (kMaxDatagramSize + 2);
                const auto datagram = input.Take(length);
                for (int event : client.HandleReceived(datagram, From(sender, datagram.size()))) {
                    if (event < ZEVA_EVENT_RESPONSE || event > ZEVA_EVENT_PASSWORD_DOWNGRADE) {
                        __builtin_trap();
                    }
                }
                break;
            }
            case 4: {
                ZEVA_ModuleScanResponseType record;
                while (client.TakeResponse(record)) {
                    CheckResponse(record);
                }
                break;
            }
            default: {
                std::uint8_t mac[6];
                if (client.PeekInvalidPasswordMac(mac)) {
                    client.RemoveFirstInvalidPasswordMac();
                }
            }
        }
    }
    return 0;
}
