#include "platform/VersionBlock.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/ByteReader.h"

namespace ordvane {

namespace {

constexpr std::uint32_t kSideAreaMagic = 0x4153564F;  // "OVSA" in file order
constexpr std::size_t kSideAreaHeaderSize = 12;
constexpr std::size_t kNodeHeaderSize = 6;
constexpr std::size_t kFixedFileInfoSize = 52;
constexpr std::uint16_t kBinaryValue = 0;
constexpr std::uint16_t kTextValue = 1;

std::size_t AlignTo4(std::size_t offset) {
    return (offset + 3) & ~static_cast<std::size_t>(3);
}

// One node of the tree: wLength, wValueLength, wType, a NUL-terminated UTF-16LE key, padding,
// the value, padding, then child nodes up to wLength. Offsets count from the resource start,
// so the 32-bit alignment of the format is alignment in these offsets.
struct VersionNode {
    std::size_t end = 0;
    std::size_t keyOffset = 0;
    std::size_t keyUnits = 0;
    std::uint16_t type = 0;
    std::size_t valueOffset = 0;
    std::size_t valueBytes = 0;
    std::size_t childrenOffset = 0;
};

// Reads the node at start, which must lie within [start, limit). Fails on a length that does
// not fit, a key or text value without terminator, a value past the node, or an unknown type.
bool ParseNode(std::span<const std::uint8_t> resource, std::size_t start, std::size_t limit,
               VersionNode& node) {
    if (start % 4 != 0 || limit > resource.size() || start >= limit ||
        limit - start < kNodeHeaderSize) {
        return false;
    }
    ByteReader reader(resource.first(limit));
    reader.Seek(start);
    const std::uint16_t length = reader.ReadU16Le();
    const std::uint16_t valueLength = reader.ReadU16Le();
    node.type = reader.ReadU16Le();
    if (!reader.Ok() || length < kNodeHeaderSize || length > limit - start ||
        (node.type != kBinaryValue && node.type != kTextValue)) {
        return false;
    }
    node.end = start + length;
    ByteReader inside(resource.first(node.end));
    inside.Seek(reader.Position());
    node.keyOffset = inside.Position();
    while (inside.ReadU16Le() != 0) {
    }
    if (!inside.Ok()) {  // a failed read yields 0 too: the key ran out of the node
        return false;
    }
    node.keyUnits = (inside.Position() - node.keyOffset) / 2 - 1;
    node.valueBytes = node.type == kTextValue ? std::size_t{valueLength} * 2 : valueLength;
    node.valueOffset = AlignTo4(inside.Position());
    if (node.valueBytes == 0) {
        // Without a value the padding after the key may run past a childless node's end.
        node.valueOffset = std::min(node.valueOffset, node.end);
    }
    if (!inside.Seek(node.valueOffset) || !inside.Skip(node.valueBytes)) {
        return false;
    }
    node.childrenOffset = std::min(AlignTo4(inside.Position()), node.end);
    return true;
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool KeyMatches(std::span<const std::uint8_t> resource, const VersionNode& node,
                std::string_view name) {
    if (node.keyUnits != name.size()) {
        return false;
    }
    ByteReader reader(resource.first(node.end));
    reader.Seek(node.keyOffset);
    for (char expected : name) {
        const std::uint16_t unit = reader.ReadU16Le();
        if (unit > 0x7F || FoldAscii(static_cast<char>(unit)) != FoldAscii(expected)) {
            return false;
        }
    }
    return reader.Ok();
}

bool FindChild(std::span<const std::uint8_t> resource, const VersionNode& parent,
               std::string_view name, VersionNode& child) {
    std::size_t offset = parent.childrenOffset;
    // Every node is at least a header long, so each step moves forward and the walk ends.
    while (parent.end - offset >= kNodeHeaderSize) {
        if (!ParseNode(resource, offset, parent.end, child)) {
            return false;
        }
        if (KeyMatches(resource, child, name)) {
            return true;
        }
        offset = AlignTo4(child.end);
        if (offset >= parent.end) {
            return false;
        }
    }
    return false;
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// The text value of a node as UTF-8, up to its terminator; a text without terminator within
// its stated length fails. An unpaired surrogate becomes U+FFFD, so no unit is dropped silently
// and the result never takes more than three bytes per UTF-16 unit.
bool DecodeText(std::span<const std::uint8_t> resource, const VersionNode& node,
                std::string& text) {
    text.clear();
    if (node.valueBytes == 0) {
        return true;
    }
    ByteReader reader(resource.subspan(node.valueOffset, node.valueBytes));
    std::uint32_t pendingHigh = 0;
    while (reader.Remaining() >= 2) {
        const std::uint16_t unit = reader.ReadU16Le();
        if (pendingHigh != 0) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                AppendUtf8(text, 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
                pendingHigh = 0;
                continue;
            }
            AppendUtf8(text, 0xFFFD);
            pendingHigh = 0;
        }
        if (unit == 0) {
            return true;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            pendingHigh = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendUtf8(text, 0xFFFD);
        } else {
            AppendUtf8(text, unit);
        }
    }
    return false;
}

// The key of a node as UTF-8 (its terminator is known to be inside the node).
bool DecodeKey(std::span<const std::uint8_t> resource, const VersionNode& node, std::string& key) {
    VersionNode keyAsText = node;
    keyAsText.valueOffset = node.keyOffset;
    keyAsText.valueBytes = 2 * (node.keyUnits + 1);
    return DecodeText(resource, keyAsText, key);
}

std::uint32_t LoadU32(const std::uint8_t* at) {
    std::uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void StoreU32(std::uint8_t* at, std::uint32_t value) {
    std::memcpy(at, &value, sizeof value);
}

// The side area: after its header a list of records, each the offset of the source value,
// the text's byte count with terminator, the text, and padding to four bytes.
class SideArea {
public:
    explicit SideArea(std::uint8_t* header) : m_header(header) {}

    bool Valid() const { return LoadU32(m_header) == kSideAreaMagic && Used() <= Capacity(); }

    // The converted text of the value at sourceOffset, converting it on first use.
    const char* TextFor(std::size_t sourceOffset, const std::string& text, unsigned* length) {
        const std::uint32_t bytes = static_cast<std::uint32_t>(text.size() + 1);
        std::uint8_t* records = m_header + kSideAreaHeaderSize;
        std::size_t position = 0;
        while (Used() - position >= 8) {
            const std::uint32_t recordBytes = LoadU32(records + position + 4);
            if (LoadU32(records + position) == sourceOffset && recordBytes == bytes) {
                *length = bytes;
                return reinterpret_cast<const char*>(records + position + 8);
            }
            position += AlignTo4(8 + std::size_t{recordBytes});
        }
        const std::size_t needed = AlignTo4(8 + std::size_t{bytes});
        if (Capacity() - Used() < needed) {
            return nullptr;
        }
        std::uint8_t* record = records + Used();
        StoreU32(record, static_cast<std::uint32_t>(sourceOffset));
        StoreU32(record + 4, bytes);
        std::memcpy(record + 8, text.c_str(), bytes);
        StoreU32(m_header + 8, static_cast<std::uint32_t>(Used() + needed));
        *length = bytes;
        return reinterpret_cast<const char*>(record + 8);
    }

private:
    std::uint32_t Capacity() const { return LoadU32(m_header + 4); }
    std::uint32_t Used() const { return LoadU32(m_header + 8); }

    std::uint8_t* m_header;
};

std::size_t ResourceLengthOf(std::span<const std::uint8_t> resource) {
    ByteReader reader(resource);
    const std::uint16_t length = reader.ReadU16Le();
    if (!reader.Ok() || length < kNodeHeaderSize || length > resource.size()) {
        return 0;
    }
    return length;
}

std::size_t SideAreaCapacity(std::size_t resourceLength) {
    // Each text takes at least 2 bytes per unit in the resource and at most 3 bytes per unit
    // plus an 8-byte record header and padding here; every node is at least 8 bytes long.
    return 2 * resourceLength;
}

}  // namespace

std::size_t VersionInfoBlockSize(std::span<const std::uint8_t> resource) {
    const std::size_t length = ResourceLengthOf(resource);
    if (length == 0) {
        return 0;
    }
    return AlignTo4(length) + kSideAreaHeaderSize + SideAreaCapacity(length);
}

bool CopyIntoVersionInfoBlock(std::span<const std::uint8_t> resource, void* block,
                              std::size_t blockSize) {
    const std::size_t length = ResourceLengthOf(resource);
    const std::size_t sideOffset = AlignTo4(length);
    if (length == 0 || block == nullptr || blockSize < sideOffset + kSideAreaHeaderSize) {
        return false;
    }
    auto* bytes = static_cast<std::uint8_t*>(block);
    std::memcpy(bytes, resource.data(), length);
    std::memset(bytes + length, 0, sideOffset - length);
    const std::size_t capacity =
        std::min(SideAreaCapacity(length), blockSize - sideOffset - kSideAreaHeaderSize);
    StoreU32(bytes + sideOffset, kSideAreaMagic);
    StoreU32(bytes + sideOffset + 4, static_cast<std::uint32_t>(capacity));
    StoreU32(bytes + sideOffset + 8, 0);
    return true;
}

namespace {

// The resource at the start of a block from CopyIntoVersionInfoBlock. The block came from
// GetFileVersionInfoA, which checked that its first wLength bytes are the resource and that the
// side area follows them; nothing else tells us its size.
std::span<const std::uint8_t> ResourceOfBlock(const void* block) {
    std::uint16_t resourceLength = 0;
    std::memcpy(&resourceLength, block, sizeof resourceLength);
    return {static_cast<const std::uint8_t*>(block), resourceLength};
}

// Walks from the root along the path's non-empty components; atRoot tells whether there were
// none.
bool FindNode(std::span<const std::uint8_t> resource, std::string_view path, VersionNode& node,
              bool& atRoot) {
    if (!ParseNode(resource, 0, resource.size(), node)) {
        return false;
    }
    atRoot = true;
    while (!path.empty()) {
        const std::size_t separator = path.find('\\');
        const std::string_view name = path.substr(0, separator);
        path =
            separator == std::string_view::npos ? std::string_view{} : path.substr(separator + 1);
        if (name.empty()) {
            continue;
        }
        VersionNode child;
        if (!FindChild(resource, node, name, child)) {
            return false;
        }
        node = child;
        atRoot = false;
    }
    return true;
}

}  // namespace

bool QueryVersionInfoBlock(const void* block, const char* subBlock, void** buffer,
                           unsigned* length) {
    if (block == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr) {
        return false;
    }
    *buffer = nullptr;
    *length = 0;
    auto* bytes = const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(block));
    const auto resource = ResourceOfBlock(block);
    VersionNode node;
    bool atRoot = true;
    if (!FindNode(resource, subBlock, node, atRoot)) {
        return false;
    }
    if (atRoot) {
        if (node.type != kBinaryValue || node.valueBytes < kFixedFileInfoSize) {
            return false;
        }
        *buffer = bytes + node.valueOffset;
        *length = kFixedFileInfoSize;
        return true;
    }
    if (node.type == kBinaryValue) {
        *buffer = bytes + node.valueOffset;
        *length = static_cast<unsigned>(node.valueBytes);
        return true;
    }
    std::string text;
    if (!DecodeText(resource, node, text)) {
        return false;
    }
    SideArea side(bytes + AlignTo4(resource.size()));
    if (!side.Valid()) {
        return false;
    }
    const char* converted = side.TextFor(node.valueOffset, text, length);
    if (converted == nullptr) {
        return false;
    }
    *buffer = const_cast<char*>(converted);
    return true;
}

bool ListVersionInfoChildren(const void* block, const char* path, std::vector<std::string>& keys) {
    keys.clear();
    if (block == nullptr || path == nullptr) {
        return false;
    }
    const auto resource = ResourceOfBlock(block);
    VersionNode parent;
    bool atRoot = true;
    if (!FindNode(resource, path, parent, atRoot)) {
        return false;
    }
    std::size_t offset = parent.childrenOffset;
    while (parent.end - offset >= kNodeHeaderSize) {
        VersionNode child;
        std::string key;
        if (!ParseNode(resource, offset, parent.end, child) || !DecodeKey(resource, child, key)) {
            return false;
        }
        keys.push_back(key);
        offset = AlignTo4(child.end);
        if (offset >= parent.end) {
            break;
        }
    }
    return true;
}

}  // namespace ordvane
