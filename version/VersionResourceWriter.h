#pragma once
// Writes VS_VERSIONINFO blocks in the Windows binary format: the build uses it for the blocks
// our files carry, and the tests use it to build files with every shape a reader may meet.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Result.h"
#include "platform/WinTypes.h"

namespace ordvane {

struct VersionStringTable {
    std::string key;  // eight hex digits, language then code page, such as "040904b0"
    std::vector<std::pair<std::string, std::string>> values;  // name and UTF-8 text, in order
};

struct VersionResourceDescription {
    std::array<WORD, 4> fileVersion{};
    std::array<WORD, 4> productVersion{};
    DWORD fileType = 1;  // VFT_APP; VFT_DLL is 2
    std::vector<VersionStringTable> stringTables;
    // The raw value of "\VarFileInfo\Translation"; none leaves VarFileInfo out.
    std::optional<std::vector<std::uint8_t>> translation;
};

// The four bytes of one translation entry: language in the low word, code page in the high.
std::vector<std::uint8_t> TranslationEntry(WORD language, WORD codePage);

// The block; fails when a part does not fit the format's 16-bit lengths.
Result<std::vector<std::uint8_t>> WriteVersionResource(
    const VersionResourceDescription& description);

// Reads the description format of res/version/*.txt (see docs/version-resources.md).
// A failure names the line and what is wrong with it.
Result<VersionResourceDescription> ParseVersionDescription(std::string_view text);

// Sets the "FileVersion" text of every string table and the fixed file version from the
// numbers in it ("1, 2, 0, 0" gives 1.2.0.0).
void OverrideFileVersion(VersionResourceDescription& description, std::string_view text);

}  // namespace ordvane
