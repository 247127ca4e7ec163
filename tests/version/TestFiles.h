#pragma once
// Test files for the version tests: a PE writer (32- and 64-bit images with one resource
// section), an ELF writer (a section table with the version section), a typical version
// description, and the shared temporary folder the tests write them into.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TemporaryFolder.h"
#include "version/VersionResourceWriter.h"

namespace ordvane::test {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value);
std::uint32_t GetU32(const Bytes& bytes, std::size_t offset);

// A description with one translation 0409/04B0 and the twelve string values, FileVersion and
// ProductVersion as given, the others filled with their own names.
VersionResourceDescription TypicalDescription(const std::string& fileVersion = "1, 4, 0, 0");
Bytes BlockOf(const VersionResourceDescription& description);

// A PE image whose resource section holds an icon (type 3) and then the version resource
// (type 16, name 1, language 0x0409). The offsets name places tests overwrite to make the
// image lie; all are file offsets.
struct PeTestImage {
    Bytes bytes;
    std::size_t optionalHeader = 0;
    std::size_t versionTypeEntry = 0;  // the root entry {16, subdirectory}
    std::size_t nameEntry = 0;         // the first name entry under type 16
    std::size_t languageEntry = 0;     // the first language entry under the version's name
    std::size_t dataEntry = 0;         // {RVA, size, code page, reserved}
    std::size_t resourceData = 0;
};
PeTestImage BuildPeImage(const Bytes& versionResource, bool is64);

// An ELF file (little-endian) with sections: none, .shstrtab, .comment and, unless
// sectionName is empty, a section of that name holding the block.
struct ElfTestFile {
    Bytes bytes;
    std::size_t sectionTable = 0;   // file offset of the section headers
    std::size_t versionHeader = 0;  // file offset of the version section's header
    bool is64 = true;
};
ElfTestFile BuildElfFile(const Bytes& versionResource, bool is64,
                         const std::string& sectionName = ".ordvane.version");

using ordvane::testing::TemporaryFolder;

}  // namespace ordvane::test
