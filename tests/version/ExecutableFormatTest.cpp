// Finding the version resource in PE images and ELF files that the tests build, whole and
// with every kind of lie in their headers.
#include <gtest/gtest.h>

#include "platform/ElfVersionSection.h"
#include "platform/PeVersionResource.h"
#include "platform/VersionInfo.h"
#include "tests/version/TestFiles.h"

namespace ordvane::test {
namespace {

bool Finds(const Bytes& file, const Bytes& expected) {
    std::span<const std::uint8_t> resource;
    if (!FindVersionResource(file, resource)) {
        return false;
    }
    EXPECT_TRUE(std::equal(resource.begin(), resource.end(), expected.begin(), expected.end()));
    return true;
}

// Every proper prefix that cuts into the resource or what leads to it must fail; copies make
// AddressSanitizer see any read past the cut.
void ExpectEveryCutBeforeFails(const Bytes& file, std::size_t neededEnd) {
    for (std::size_t size = 0; size < neededEnd; ++size) {
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        std::span<const std::uint8_t> resource;
        ASSERT_FALSE(FindVersionResource(cut, resource)) << "cut at " << size;
    }
}

class PeImages : public ::testing::TestWithParam<bool> {
protected:
    Bytes m_resource = BlockOf(TypicalDescription());
    PeTestImage m_image = BuildPeImage(m_resource, GetParam());
};

TEST_P(PeImages, FindsTypeSixteenPastOtherTypes) {
    EXPECT_TRUE(Finds(m_image.bytes, m_resource));
}

TEST_P(PeImages, TruncatedImagesFail) {
    ExpectEveryCutBeforeFails(m_image.bytes, m_image.resourceData + m_resource.size());
}

TEST_P(PeImages, LyingOffsetsAndSizesFail) {
    const auto lie = [this](std::size_t offset, std::uint32_t value) {
        Bytes bytes = m_image.bytes;
        PutU32(bytes, offset, value);
        std::span<const std::uint8_t> resource;
        return FindVersionResource(bytes, resource);
    };
    EXPECT_FALSE(lie(0x3C, 0x7FFFFFF0));                // e_lfanew past the end
    EXPECT_FALSE(lie(m_image.dataEntry + 4, 0x10000));  // size past the section
    EXPECT_FALSE(lie(m_image.dataEntry + 4, 0xFFFFFFFF));
    EXPECT_FALSE(lie(m_image.dataEntry, 0x5000));  // RVA in no section
    EXPECT_FALSE(lie(m_image.dataEntry, 0xFFFFFFF0));
    EXPECT_FALSE(lie(m_image.versionTypeEntry + 4, 0x80000000 | 0x7FFF0000));  // directory outside
    EXPECT_FALSE(lie(m_image.versionTypeEntry + 4, 0x90));  // data entry instead of directory
    EXPECT_FALSE(lie(m_image.versionTypeEntry, 17));        // no type 16 at all
    // Loops: the language level points back at the root, the name level at itself.
    EXPECT_FALSE(lie(m_image.languageEntry + 4, 0x80000000));
    EXPECT_FALSE(lie(m_image.nameEntry + 4, 0x80000000 | 0x38));
    EXPECT_FALSE(lie(m_image.languageEntry + 4, 0x80000000 | 0x90));  // flagged as directory
    const std::size_t directoryCount = m_image.optionalHeader + (GetParam() ? 108 : 92);
    EXPECT_FALSE(lie(directoryCount, 2));  // no resource directory
    Bytes shortOptional = m_image.bytes;
    PutU16(shortOptional, 0x54, 64);
    std::span<const std::uint8_t> resource;
    EXPECT_FALSE(FindVersionResource(shortOptional, resource));
}

TEST_P(PeImages, ResourceLongerThanItsDataEntryIsNotLoaded) {
    TemporaryFolder folder;
    Bytes bytes = m_image.bytes;
    PutU32(bytes, m_image.dataEntry + 4, static_cast<std::uint32_t>(m_resource.size() - 2));
    EXPECT_EQ(GetFileVersionInfoSizeA(folder.Write("short.exe", bytes).c_str(), nullptr), 0u);
    EXPECT_GT(GetFileVersionInfoSizeA(folder.Write("whole.exe", m_image.bytes).c_str(), nullptr),
              m_resource.size());
}

INSTANTIATE_TEST_SUITE_P(Bits, PeImages, ::testing::Values(false, true),
                         [](const auto& parameter) { return parameter.param ? "Pe64" : "Pe32"; });

class ElfFiles : public ::testing::TestWithParam<bool> {
protected:
    Bytes m_resource = BlockOf(TypicalDescription());
    ElfTestFile m_file = BuildElfFile(m_resource, GetParam());

    bool Lie(std::size_t offset, std::uint64_t value, std::size_t width) {
        Bytes bytes = m_file.bytes;
        if (width == 2) {
            PutU16(bytes, offset, static_cast<std::uint16_t>(value));
        } else {
            PutU32(bytes, offset, static_cast<std::uint32_t>(value));
            if (width == 8) {
                PutU32(bytes, offset + 4, static_cast<std::uint32_t>(value >> 32));
            }
        }
        std::span<const std::uint8_t> resource;
        return FindVersionResource(bytes, resource);
    }
    std::size_t Field(std::size_t offset64, std::size_t offset32) const {
        return m_file.is64 ? offset64 : offset32;
    }
};

TEST_P(ElfFiles, FindsTheSectionByName) {
    EXPECT_TRUE(Finds(m_file.bytes, m_resource));
    std::span<const std::uint8_t> resource;
    for (const char* other : {".other", ".ordvane.versio", ".ordvane.version.old"}) {
        EXPECT_FALSE(
            FindVersionResource(BuildElfFile(m_resource, GetParam(), other).bytes, resource))
            << other;
    }
    // Without the section, a count that claims more sections than the file has ends the search.
    ElfTestFile without = BuildElfFile(m_resource, GetParam(), "");
    EXPECT_FALSE(FindVersionResource(without.bytes, resource));
    PutU16(without.bytes, Field(0x3C, 0x30), 0xFFF0);
    EXPECT_FALSE(FindVersionResource(without.bytes, resource));
}

TEST_P(ElfFiles, TruncatedFilesFail) {
    ExpectEveryCutBeforeFails(m_file.bytes, m_file.bytes.size());
}

TEST_P(ElfFiles, LyingHeadersFail) {
    const std::size_t width = m_file.is64 ? 8 : 4;
    const std::size_t sectionOffset = m_file.versionHeader + Field(24, 16);
    const std::size_t sectionSize = m_file.versionHeader + Field(32, 20);
    EXPECT_FALSE(Lie(sectionOffset, m_file.bytes.size(), width));
    EXPECT_FALSE(Lie(sectionSize, m_file.bytes.size(), width));
    EXPECT_FALSE(Lie(sectionSize, m_file.is64 ? ~std::uint64_t{0} : 0xFFFFFFFF, width));
    EXPECT_FALSE(Lie(m_file.versionHeader + 4, 8, 4));     // SHT_NOBITS has no bytes
    EXPECT_FALSE(Lie(m_file.versionHeader, 0xFFFFFF, 4));  // name outside the name table
    EXPECT_FALSE(Lie(Field(0x28, 0x20), m_file.is64 ? ~std::uint64_t{0} - 8 : 0xFFFFFFF0, width));
    EXPECT_FALSE(Lie(Field(0x3A, 0x2E), 16, 2));  // headers too small
    EXPECT_FALSE(Lie(Field(0x3E, 0x32), 9, 2));   // name table beyond the count
    EXPECT_FALSE(Lie(5, 2, 2));                   // big-endian is not read
}

TEST_P(ElfFiles, ExtendedSectionNumberingIsFollowed) {
    // e_shnum 0 and e_shstrndx SHN_XINDEX: section 0 carries the count and the index.
    Bytes bytes = m_file.bytes;
    PutU16(bytes, Field(0x3C, 0x30), 0);
    PutU16(bytes, Field(0x3E, 0x32), 0xFFFF);
    PutU32(bytes, m_file.sectionTable + Field(32, 20), 4);
    PutU32(bytes, m_file.sectionTable + Field(40, 24), 1);
    EXPECT_TRUE(Finds(bytes, m_resource));
}

INSTANTIATE_TEST_SUITE_P(Bits, ElfFiles, ::testing::Values(false, true),
                         [](const auto& parameter) { return parameter.param ? "Elf64" : "Elf32"; });

TEST(ExecutableFormats, OtherFilesHaveNoResource) {
    std::span<const std::uint8_t> resource;
    EXPECT_FALSE(FindVersionResource(Bytes{}, resource));
    EXPECT_FALSE(FindVersionResource(Bytes{'M', 'Z'}, resource));
    const std::string text = "#!/bin/sh\necho hello\n";
    EXPECT_FALSE(FindVersionResource(Bytes(text.begin(), text.end()), resource));
}

}  // namespace
}  // namespace ordvane::test
