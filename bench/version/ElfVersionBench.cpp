// The version reader's section walk on hostile ELF files: half the file is section headers
// that all name offset 0 of a name table, the other half is that name table with no
// terminator anywhere. The time per file should grow about linearly with its size.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/ElfVersionSection.h"

namespace {

constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kEntrySize = 64;

void PutU16(std::vector<std::uint8_t>& file, std::size_t at, std::uint16_t value) {
    std::memcpy(file.data() + at, &value, sizeof value);
}

void PutU64(std::vector<std::uint8_t>& file, std::size_t at, std::uint64_t value) {
    std::memcpy(file.data() + at, &value, sizeof value);
}

// A 64-bit little-endian ELF file of `size` bytes whose section count lives in section 0
// (e_shnum = 0) and whose name table is the last section, filled with 'A'.
std::vector<std::uint8_t> HostileElf(std::size_t size) {
    std::vector<std::uint8_t> file(size, 0);
    const std::uint8_t ident[] = {0x7F, 'E', 'L', 'F', 2, 1, 1};
    std::memcpy(file.data(), ident, sizeof ident);
    const std::size_t sections = (size / 2 - kHeaderSize) / kEntrySize;
    const std::size_t namesOffset = kHeaderSize + sections * kEntrySize;
    PutU64(file, 0x28, kHeaderSize);  // e_shoff
    PutU16(file, 0x3A, kEntrySize);   // e_shentsize
    PutU16(file, 0x3C, 0);            // e_shnum: the count is section 0's size
    PutU16(file, 0x3E, static_cast<std::uint16_t>(sections - 1));  // e_shstrndx
    PutU64(file, kHeaderSize + 0x20, sections);                    // section 0's size
    const std::size_t names = kHeaderSize + (sections - 1) * kEntrySize;
    PutU64(file, names + 0x18, namesOffset);         // sh_offset
    PutU64(file, names + 0x20, size - namesOffset);  // sh_size
    std::memset(file.data() + namesOffset, 'A', size - namesOffset);
    return file;
}

void BM_HostileSectionWalk(benchmark::State& state) {
    const auto file = HostileElf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::span<const std::uint8_t> resource;
        benchmark::DoNotOptimize(ordvane::FindElfVersionSection(file, resource));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(BM_HostileSectionWalk)
    ->RangeMultiplier(2)
    ->Range(1 << 20, 8 << 20)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
