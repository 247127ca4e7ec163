#pragma once
// The queries every version fuzz harness runs on a resource it found: load it into a block as
// GetFileVersionInfoA does, then ask for the root, the translation and texts.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/VersionBlock.h"

namespace ordvane::fuzz {

inline void QueryEverything(std::span<const std::uint8_t> resource) {
    const std::size_t size = VersionInfoBlockSize(resource);
    if (size == 0) {
        return;
    }
    std::vector<std::uint8_t> block(size);
    if (!CopyIntoVersionInfoBlock(resource, block.data(), block.size())) {
        return;
    }
    static const char* const kPaths[] = {
        "\\",
        "\\VarFileInfo\\Translation",
        "\\StringFileInfo\\040904b0\\FileVersion",
        "\\StringFileInfo\\040904B0\\ProductVersion",
        "\\StringFileInfo\\040904b0\\LegalCopyright",
        "\\StringFileInfo\\040904b0",
        "\\StringFileInfo",
        "\\StringFileInfo\\040704b0\\FileVersion",
    };
    std::vector<std::string> keys;
    ListVersionInfoChildren(block.data(), "\\StringFileInfo", keys);
    ListVersionInfoChildren(block.data(), "\\", keys);
    for (int round = 0; round < 2; ++round) {  // the second round finds the converted texts
        for (const char* path : kPaths) {
            void* value = nullptr;
            unsigned length = 0;
            if (QueryVersionInfoBlock(block.data(), path, &value, &length) && length > 0) {
                // Touch every byte handed out, so that a wrong length shows under ASan.
                volatile std::uint8_t sink = 0;
                for (unsigned i = 0; i < length; ++i) {
                    sink = sink ^ static_cast<const std::uint8_t*>(value)[i];
                }
            }
        }
    }
}

}  // namespace ordvane::fuzz
