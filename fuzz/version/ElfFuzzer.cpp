// ELF files: the section table and name table walk, then the block queries.
#include "fuzz/version/VersionFuzzQueries.h"
#include "platform/ElfVersionSection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> resource;
    if (ordvane::FindElfVersionSection({data, size}, resource)) {
        ordvane::fuzz::QueryEverything(resource);
    }
    return 0;
}
