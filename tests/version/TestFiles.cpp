#include "tests/version/TestFiles.h"

namespace ordvane::test {

namespace {

constexpr std::uint32_t kSubdirectory = 0x80000000;
constexpr std::uint32_t kResourceRva = 0x1000;
constexpr std::size_t kResourceFileOffset = 0x200;

std::size_t AlignUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void PutU64(Bytes& bytes, std::size_t offset, std::uint64_t value) {
    PutU32(bytes, offset, static_cast<std::uint32_t>(value));
    PutU32(bytes, offset + 4, static_cast<std::uint32_t>(value >> 32));
}

// A resource directory with the given {name, target} entries, all counted as id entries.
void PutDirectory(Bytes& section, std::size_t offset,
                  std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> entries) {
    PutU16(section, offset + 14, static_cast<std::uint16_t>(entries.size()));
    std::size_t entry = offset + 16;
    for (const auto& [name, target] : entries) {
        PutU32(section, entry, name);
        PutU32(section, entry + 4, target);
        entry += 8;
    }
}

// The resource section: directories, data entries, then the icon's and the version's bytes.
Bytes ResourceSection(const Bytes& versionResource) {
    Bytes section(0xA8 + versionResource.size(), 0);
    PutDirectory(section, 0x00, {{3, kSubdirectory | 0x20}, {16, kSubdirectory | 0x38}});
    PutDirectory(section, 0x20, {{1, kSubdirectory | 0x50}});  // icon names
    PutDirectory(section, 0x38, {{1, kSubdirectory | 0x68}});  // version names
    PutDirectory(section, 0x50, {{0x0409, 0x80}});             // icon languages
    PutDirectory(section, 0x68, {{0x0409, 0x90}});             // version languages
    PutU32(section, 0x80, kResourceRva + 0xA0);                // icon data entry
    PutU32(section, 0x84, 4);
    PutU32(section, 0x90, kResourceRva + 0xA8);  // version data entry
    PutU32(section, 0x94, static_cast<std::uint32_t>(versionResource.size()));
    PutU32(section, 0xA0, 0x4E4F4349);  // "ICON"
    std::copy(versionResource.begin(), versionResource.end(), section.begin() + 0xA8);
    return section;
}

}  // namespace

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value & 0xFF);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    PutU16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    PutU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t GetU32(const Bytes& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= std::uint32_t{bytes.at(offset + i)} << (8 * i);
    }
    return value;
}

VersionResourceDescription TypicalDescription(const std::string& fileVersion) {
    VersionResourceDescription description;
    description.fileVersion = {1, 4, 0, 0};
    description.productVersion = {1, 4, 0, 0};
    description.translation = TranslationEntry(0x0409, 0x04B0);
    VersionStringTable table{"040904b0", {}};
    table.values = {{"FileVersion", fileVersion},
                    {"ProductVersion", "1, 4, 0, 0"},
                    {"CompanyName", "CompanyName"},
                    {"FileDescription", "FileDescription"},
                    {"InternalName", "InternalName"},
                    {"LegalCopyright", "LegalCopyright"},
                    {"OriginalFilename", "OriginalFilename"},
                    {"ProductName", "ProductName"},
                    {"Comments", "Comments"},
                    {"LegalTrademarks", "LegalTrademarks"},
                    {"PrivateBuild", "PrivateBuild"},
                    {"SpecialBuild", "SpecialBuild"}};
    description.stringTables.push_back(table);
    return description;
}

Bytes BlockOf(const VersionResourceDescription& description) {
    auto block = WriteVersionResource(description);
    return block ? std::move(block).Value() : Bytes{};
}

PeTestImage BuildPeImage(const Bytes& versionResource, bool is64) {
    const Bytes section = ResourceSection(versionResource);
    const std::size_t rawSize = AlignUp(section.size(), 0x200);
    PeTestImage image;
    image.bytes.assign(kResourceFileOffset + rawSize, 0);
    Bytes& bytes = image.bytes;
    PutU16(bytes, 0, 0x5A4D);  // "MZ"
    PutU32(bytes, 0x3C, 0x40);
    PutU32(bytes, 0x40, 0x00004550);  // "PE\0\0"
    const std::size_t optionalSize = is64 ? 240 : 224;
    PutU16(bytes, 0x44, is64 ? 0x8664 : 0x014C);  // machine
    PutU16(bytes, 0x46, 1);                       // one section
    PutU16(bytes, 0x54, static_cast<std::uint16_t>(optionalSize));
    PutU16(bytes, 0x56, is64 ? 0x0022 : 0x0102);  // executable image
    image.optionalHeader = 0x58;
    const std::size_t optional = image.optionalHeader;
    PutU16(bytes, optional, is64 ? 0x20B : 0x10B);
    PutU32(bytes, optional + 32, 0x1000);  // section alignment
    PutU32(bytes, optional + 36, 0x200);   // file alignment
    PutU32(bytes, optional + 56, 0x2000);  // size of image
    PutU32(bytes, optional + 60, 0x200);   // size of headers
    PutU16(bytes, optional + 68, 2);       // GUI subsystem
    const std::size_t directories = optional + (is64 ? 112 : 96);
    PutU32(bytes, directories - 4, 16);  // number of data directories
    PutU32(bytes, directories + 2 * 8, kResourceRva);
    PutU32(bytes, directories + 2 * 8 + 4, static_cast<std::uint32_t>(section.size()));
    const std::size_t sectionHeader = optional + optionalSize;
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    std::copy(name, name + 8, bytes.begin() + static_cast<std::ptrdiff_t>(sectionHeader));
    PutU32(bytes, sectionHeader + 8, static_cast<std::uint32_t>(section.size()));
    PutU32(bytes, sectionHeader + 12, kResourceRva);
    PutU32(bytes, sectionHeader + 16, static_cast<std::uint32_t>(rawSize));
    PutU32(bytes, sectionHeader + 20, kResourceFileOffset);
    PutU32(bytes, sectionHeader + 36, 0x40000040);  // initialised data, readable
    std::copy(section.begin(), section.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(kResourceFileOffset));
    image.versionTypeEntry = kResourceFileOffset + 0x18;
    image.nameEntry = kResourceFileOffset + 0x48;
    image.languageEntry = kResourceFileOffset + 0x78;
    image.dataEntry = kResourceFileOffset + 0x90;
    image.resourceData = kResourceFileOffset + 0xA8;
    return image;
}

ElfTestFile BuildElfFile(const Bytes& versionResource, bool is64, const std::string& sectionName) {
    ElfTestFile file;
    file.is64 = is64;
    const std::size_t headerSize = is64 ? 64 : 52;
    const std::size_t entrySize = is64 ? 64 : 40;
    std::string names = std::string(1, '\0') + ".shstrtab" + '\0' + ".comment" + '\0';
    const std::size_t versionName = names.size();
    names += sectionName + '\0';
    const std::string comment = "test";
    const bool withVersion = !sectionName.empty();

    const std::size_t namesOffset = headerSize;
    const std::size_t commentOffset = namesOffset + names.size();
    const std::size_t versionOffset = AlignUp(commentOffset + comment.size(), 4);
    file.sectionTable = AlignUp(versionOffset + versionResource.size(), 8);
    const std::size_t count = withVersion ? 4 : 3;
    Bytes& bytes = file.bytes;
    bytes.assign(file.sectionTable + count * entrySize, 0);

    const std::uint8_t ident[] = {0x7F, 'E', 'L', 'F', static_cast<std::uint8_t>(is64 ? 2 : 1),
                                  1,    1};
    std::copy(std::begin(ident), std::end(ident), bytes.begin());
    PutU16(bytes, 16, 3);                   // shared object
    PutU16(bytes, 18, is64 ? 0x3E : 0x03);  // machine
    PutU32(bytes, 20, 1);                   // version
    if (is64) {
        PutU64(bytes, 0x28, file.sectionTable);
    } else {
        PutU32(bytes, 0x20, static_cast<std::uint32_t>(file.sectionTable));
    }
    const std::size_t fields = is64 ? 0x34 : 0x28;  // e_ehsize onwards
    PutU16(bytes, fields, static_cast<std::uint16_t>(headerSize));
    PutU16(bytes, fields + 6, static_cast<std::uint16_t>(entrySize));
    PutU16(bytes, fields + 8, static_cast<std::uint16_t>(count));
    PutU16(bytes, fields + 10, 1);  // .shstrtab
    std::copy(names.begin(), names.end(), bytes.begin() + static_cast<std::ptrdiff_t>(namesOffset));
    std::copy(comment.begin(), comment.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(commentOffset));
    std::copy(versionResource.begin(), versionResource.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(versionOffset));

    auto putSection = [&](std::size_t index, std::uint32_t name, std::uint32_t type,
                          std::size_t offset, std::size_t size) {
        const std::size_t header = file.sectionTable + index * entrySize;
        PutU32(bytes, header, name);
        PutU32(bytes, header + 4, type);
        if (is64) {
            PutU64(bytes, header + 24, offset);
            PutU64(bytes, header + 32, size);
        } else {
            PutU32(bytes, header + 16, static_cast<std::uint32_t>(offset));
            PutU32(bytes, header + 20, static_cast<std::uint32_t>(size));
        }
    };
    putSection(1, 1, 3, namesOffset, names.size());       // SHT_STRTAB
    putSection(2, 11, 1, commentOffset, comment.size());  // SHT_PROGBITS
    if (withVersion) {
        putSection(3, static_cast<std::uint32_t>(versionName), 1, versionOffset,
                   versionResource.size());
        file.versionHeader = file.sectionTable + 3 * entrySize;
    }
    return file;
}

}  // namespace ordvane::test
