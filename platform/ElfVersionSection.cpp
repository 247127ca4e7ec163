#include "platform/ElfVersionSection.h"

#include <cstring>
#include <string_view>

#include "platform/ByteReader.h"

namespace ordvane {

namespace {

constexpr std::uint8_t kElfClass32 = 1;
constexpr std::uint8_t kElfClass64 = 2;
constexpr std::uint8_t kLittleEndian = 1;
constexpr std::uint32_t kNoBitsSection = 8;       // SHT_NOBITS: takes no room in the file
constexpr std::uint16_t kExtendedIndex = 0xFFFF;  // SHN_XINDEX

// The fields of a section header that we need; the layout differs between the two classes.
struct SectionHeader {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint32_t link = 0;
};

class ElfFile {
public:
    explicit ElfFile(std::span<const std::uint8_t> file) : m_file(file) {}

    bool ReadHeader() {
        ByteReader reader(m_file);
        const std::uint8_t magic[4] = {0x7F, 'E', 'L', 'F'};
        std::uint8_t ident[16] = {};
        if (!reader.ReadBytes(ident, sizeof ident) || std::memcmp(ident, magic, 4) != 0 ||
            ident[5] != kLittleEndian) {
            return false;
        }
        m_is64 = ident[4] == kElfClass64;
        if (!m_is64 && ident[4] != kElfClass32) {
            return false;
        }
        reader.Seek(m_is64 ? 0x28 : 0x20);
        m_tableOffset = m_is64 ? reader.ReadU64Le() : reader.ReadU32Le();
        reader.Seek(m_is64 ? 0x3A : 0x2E);
        m_entrySize = reader.ReadU16Le();
        m_count = reader.ReadU16Le();
        std::uint32_t namesIndex = reader.ReadU16Le();
        if (!reader.Ok() || m_entrySize < (m_is64 ? 64u : 40u)) {
            return false;
        }
        // With many sections the real count and name-table index live in section 0.
        if (m_count == 0 || namesIndex == kExtendedIndex) {
            SectionHeader first;
            if (!ReadSection(0, first)) {
                return false;
            }
            m_count = m_count == 0 ? first.size : m_count;
            namesIndex = namesIndex == kExtendedIndex ? first.link : namesIndex;
        }
        return namesIndex < m_count && ReadSection(namesIndex, m_names);
    }

    bool FindSection(std::string_view wanted, SectionHeader& found) const {
        // A count taken from a lying header stops at the first header outside the file.
        for (std::uint64_t index = 0; index < m_count; ++index) {
            if (!ReadSection(index, found)) {
                return false;
            }
            if (HasName(found, wanted)) {
                return true;
            }
        }
        return false;
    }

    bool Contents(const SectionHeader& section, std::span<const std::uint8_t>& bytes) const {
        if (section.type == kNoBitsSection || section.offset > m_file.size() ||
            section.size > m_file.size() - section.offset) {
            return false;
        }
        bytes = m_file.subspan(section.offset, section.size);
        return true;
    }

private:
    bool ReadSection(std::uint64_t index, SectionHeader& section) const {
        if (m_tableOffset > m_file.size() ||
            index >= (m_file.size() - m_tableOffset) / m_entrySize) {
            return false;
        }
        ByteReader reader(m_file);
        reader.Seek(m_tableOffset + index * m_entrySize);
        ByteReader header = reader.ReadSubReader(m_entrySize);
        section.name = header.ReadU32Le();
        section.type = header.ReadU32Le();
        if (m_is64) {
            header.Skip(16);  // flags, address
            section.offset = header.ReadU64Le();
            section.size = header.ReadU64Le();
        } else {
            header.Skip(8);
            section.offset = header.ReadU32Le();
            section.size = header.ReadU32Le();
        }
        section.link = header.ReadU32Le();
        return header.Ok();
    }

    // Whether the section's name in the name table is exactly `wanted`. It reads at most the
    // wanted name's length plus its terminator, never up to the next terminator: a name table
    // without terminators would otherwise be scanned to its end once per section header.
    bool HasName(const SectionHeader& section, std::string_view wanted) const {
        std::span<const std::uint8_t> names;
        if (!Contents(m_names, names) || section.name >= names.size() ||
            names.size() - section.name <= wanted.size()) {
            return false;
        }
        const auto name = names.subspan(section.name, wanted.size() + 1);
        return std::memcmp(name.data(), wanted.data(), wanted.size()) == 0 &&
               name[wanted.size()] == 0;
    }

    std::span<const std::uint8_t> m_file;
    bool m_is64 = false;
    std::uint64_t m_tableOffset = 0;
    std::uint64_t m_entrySize = 0;
    std::uint64_t m_count = 0;
    SectionHeader m_names;
};

}  // namespace

bool FindElfVersionSection(std::span<const std::uint8_t> file,
                           std::span<const std::uint8_t>& resource) {
    ElfFile elf(file);
    SectionHeader section;
    return elf.ReadHeader() && elf.FindSection(kVersionSectionName, section) &&
           elf.Contents(section, resource);
}

}  // namespace ordvane
