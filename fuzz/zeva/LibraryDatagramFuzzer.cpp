// The library's parser of datagrams from modules: never reads past the datagram, and every
// text it copies into a record ends inside its field.
#include <cstring>

#include "zeva/ModuleProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto decoded = ordvane::zeva::DecodeLibraryBound(std::span(data, size));
    if (decoded.message) {
        if (const auto* answer = std::get_if<ordvane::zeva::ScanAnswer>(&*decoded.message)) {
            const ZEVA_ModuleScanResponseType& record = answer->record;
            if (::strnlen(record.moduleType, sizeof record.moduleType) ==
                    sizeof record.moduleType ||
                ::strnlen(record.hostname, sizeof record.hostname) == sizeof record.hostname ||
                ::strnlen(record.challenge, sizeof record.challenge) == sizeof record.challenge) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
