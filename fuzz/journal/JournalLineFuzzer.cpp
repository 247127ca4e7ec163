// The journal line reader: any text gives an entry or a reason, and an entry it gives is
// written back as a line that reads as the same entry.
#include <cstdint>
#include <string>
#include <string_view>

#include "journal/JournalLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ordvane::ChangeEntry entry;
    std::string error;
    if (!ordvane::JournalLine::Parse(std::string_view(reinterpret_cast<const char*>(data), size),
                                     entry, error)) {
        if (error.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    const std::string line = ordvane::JournalLine::Format(entry);
    ordvane::ChangeEntry again;
    if (!ordvane::JournalLine::Parse(line, again, error) ||
        ordvane::JournalLine::Format(again) != line) {
        __builtin_trap();
    }
    return 0;
}
