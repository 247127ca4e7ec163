#include "platform/PeVersionResource.h"

#include <algorithm>

#include "platform/ByteReader.h"

namespace ordvane {

namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kDosNewHeaderOffset = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kVersionResourceType = 16;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;

struct DataDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

// The headers of one image and the RVA-to-file mapping through its section table.
class PeImage {
public:
    explicit PeImage(std::span<const std::uint8_t> image) : m_image(image) {}

    bool ReadHeaders(DataDirectory& resources) {
        ByteReader reader(m_image);
        if (reader.ReadU16Le() != kDosMagic || !reader.Seek(kDosNewHeaderOffset)) {
            return false;
        }
        const std::size_t ntOffset = reader.ReadU32Le();
        if (!reader.Seek(ntOffset) || reader.ReadU32Le() != kPeSignature) {
            return false;
        }
        reader.Skip(2);  // machine
        m_sectionCount = reader.ReadU16Le();
        reader.Skip(12);  // time stamp, symbol table, symbol count
        const std::size_t optionalSize = reader.ReadU16Le();
        reader.Skip(2);  // characteristics
        if (!reader.Ok()) {
            return false;
        }
        const std::size_t optionalOffset = ntOffset + 4 + kFileHeaderSize;
        m_sectionTableOffset = optionalOffset + optionalSize;
        ByteReader optional = reader.ReadSubReader(optionalSize);
        return ReadResourceDirectory(optional, resources);
    }

    // The file bytes of [rva, rva + size); they must lie in one section's raw data.
    bool Map(std::uint32_t rva, std::uint32_t size, std::span<const std::uint8_t>& bytes) const {
        std::size_t fileOffset = 0;
        std::size_t available = 0;
        if (!Locate(rva, fileOffset, available) || size > available) {
            return false;
        }
        ByteReader reader(m_image);
        reader.Seek(fileOffset);
        bytes = reader.ReadSpan(size);
        return reader.Ok();
    }

    // From rva to the end of its section's raw data (cut at the end of the file).
    bool MapToSectionEnd(std::uint32_t rva, std::span<const std::uint8_t>& bytes) const {
        std::size_t fileOffset = 0;
        std::size_t available = 0;
        if (!Locate(rva, fileOffset, available) || fileOffset > m_image.size()) {
            return false;
        }
        bytes = m_image.subspan(fileOffset, std::min(available, m_image.size() - fileOffset));
        return true;
    }

private:
    static bool ReadResourceDirectory(ByteReader& optional, DataDirectory& resources) {
        const std::uint16_t magic = optional.ReadU16Le();
        std::size_t countOffset = 0;
        if (magic == kPe32Magic) {
            countOffset = 92;
        } else if (magic == kPe32PlusMagic) {
            countOffset = 108;
        } else {
            return false;
        }
        optional.Seek(countOffset);
        const std::uint32_t directoryCount = optional.ReadU32Le();
        if (!optional.Ok() || directoryCount <= kResourceDirectoryIndex) {
            return false;
        }
        optional.Skip(8 * kResourceDirectoryIndex);
        resources.rva = optional.ReadU32Le();
        resources.size = optional.ReadU32Le();
        return optional.Ok() && resources.rva != 0;
    }

    bool Locate(std::uint32_t rva, std::size_t& fileOffset, std::size_t& available) const {
        ByteReader table(m_image);
        if (!table.Seek(m_sectionTableOffset)) {
            return false;
        }
        for (std::size_t index = 0; index < m_sectionCount; ++index) {
            ByteReader header = table.ReadSubReader(kSectionHeaderSize);
            if (!header.Ok()) {
                return false;
            }
            header.Skip(12);  // name, virtual size
            const std::uint32_t virtualAddress = header.ReadU32Le();
            const std::uint32_t rawSize = header.ReadU32Le();
            const std::uint32_t rawOffset = header.ReadU32Le();
            if (rva >= virtualAddress && rva - virtualAddress < rawSize) {
                fileOffset = std::size_t{rawOffset} + (rva - virtualAddress);
                available = rawSize - (rva - virtualAddress);
                return true;
            }
        }
        return false;
    }

    std::span<const std::uint8_t> m_image;
    std::size_t m_sectionCount = 0;
    std::size_t m_sectionTableOffset = 0;
};

struct DirectoryEntry {
    std::uint32_t name = 0;
    std::uint32_t target = 0;
};

// Entry of a resource directory at offset: the one named by id, or the first when id is 0.
// Named entries come before id entries; ids are never 0 for the version resource's type.
bool FindEntry(std::span<const std::uint8_t> root, std::uint32_t offset, std::uint32_t id,
               DirectoryEntry& found) {
    ByteReader reader(root);
    reader.Seek(offset);
    reader.Skip(12);  // characteristics, time stamp, version
    const std::size_t count = std::size_t{reader.ReadU16Le()} + reader.ReadU16Le();
    for (std::size_t index = 0; index < count && reader.Ok(); ++index) {
        found.name = reader.ReadU32Le();
        found.target = reader.ReadU32Le();
        if (reader.Ok() && (id == 0 || found.name == id)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool FindPeVersionResource(std::span<const std::uint8_t> image,
                           std::span<const std::uint8_t>& resource) {
    PeImage pe(image);
    DataDirectory directory;
    std::span<const std::uint8_t> root;
    if (!pe.ReadHeaders(directory) || !pe.MapToSectionEnd(directory.rva, root)) {
        return false;
    }
    // Type, then name, then language: exactly three levels, the first two subdirectories and
    // the last a data entry. Any other shape, such as an entry that points back at a directory
    // above it, ends the walk, so a loop in the tree cannot make us circle.
    std::uint32_t offset = 0;
    const std::uint32_t wanted[3] = {kVersionResourceType, 0, 0};
    for (int level = 0; level < 3; ++level) {
        DirectoryEntry entry;
        if (!FindEntry(root, offset, wanted[level], entry)) {
            return false;
        }
        const bool isDirectory = (entry.target & kSubdirectoryFlag) != 0;
        if (isDirectory != (level < 2)) {
            return false;
        }
        offset = entry.target & ~kSubdirectoryFlag;
    }
    ByteReader dataEntry(root);
    dataEntry.Seek(offset);
    const std::uint32_t dataRva = dataEntry.ReadU32Le();
    const std::uint32_t dataSize = dataEntry.ReadU32Le();
    return dataEntry.Ok() && pe.Map(dataRva, dataSize, resource);
}

}  // namespace ordvane
