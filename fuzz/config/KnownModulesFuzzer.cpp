// The known-modules file as the window and ordvane-cli read it: any bytes parse without a
// fault, and what was taken formats back into text that parses to the same modules.
#include <cstdint>
#include <string_view>

#include "config/KnownModules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ordvane::KnownModules known;
    known.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string text = known.Format();
    ordvane::KnownModules again;
    if (again.Parse(text) != 0 || again.Format() != text) {
        __builtin_trap();
    }
    return 0;
}
