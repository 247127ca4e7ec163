// ZEVA_TARGETS and ZEVA_INTERFACES as any environment may set them. Input: the text, then after
// a newline an interface name. Every target parsed has a port, and no more targets come out
// than the text has entries.
#include <algorithm>
#include <string>

#include "zeva/ScanDestinations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string text = input.substr(0, input.find('\n'));
    const std::string name = text.size() < input.size() ? input.substr(text.size() + 1) : "eth0";
    const auto targets = ordvane::zeva::ParseTargetList(text, 47470);
    const auto entries = static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1;
    if (targets.size() > entries ||
        std::any_of(targets.begin(), targets.end(), [](const auto& t) { return t.port == 0; })) {
        __builtin_trap();
    }
    (void)ordvane::zeva::InterfaceSelected(text.c_str(), name);  // as getenv gives it: to the NUL
    return 0;
}
