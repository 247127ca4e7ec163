#include "version/VersionResourceWriter.h"

#include <cstdlib>

#include "platform/SaturatingAtoi.h"

namespace ordvane {

namespace {

constexpr WORD kBinaryValue = 0;
constexpr WORD kTextValue = 1;

struct Node {
    std::string key;
    WORD type = kTextValue;
    std::vector<std::uint8_t> value;
    WORD valueLength = 0;  // units for a text, bytes for a binary value
    std::vector<Node> children;
};

void AppendU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    AppendU16(out, value & 0xFFFF);
    AppendU16(out, value >> 16);
}

void PadTo4(std::vector<std::uint8_t>& out) {
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
}

// Decodes one code point from UTF-8; a malformed sequence gives U+FFFD and moves one byte on.
std::uint32_t NextCodePoint(std::string_view text, std::size_t& position) {
    const auto lead = static_cast<std::uint8_t>(text[position++]);
    std::size_t extra = 0;
    std::uint32_t codePoint = 0;
    if (lead < 0x80) {
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        codePoint = lead & 0x07;
    } else {
        return 0xFFFD;
    }
    if (text.size() - position < extra) {
        return 0xFFFD;
    }
    for (std::size_t i = 0; i < extra; ++i) {
        const auto next = static_cast<std::uint8_t>(text[position + i]);
        if ((next & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    position += extra;
    return codePoint > 0x10FFFF ? 0xFFFD : codePoint;
}

// UTF-16LE with its terminator; returns the number of units written.
std::size_t AppendUtf16(std::vector<std::uint8_t>& out, std::string_view text) {
    std::size_t units = 0;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::uint32_t codePoint = NextCodePoint(text, position);
        if (codePoint >= 0x10000) {
            AppendU16(out, 0xD800 + ((codePoint - 0x10000) >> 10));
            AppendU16(out, 0xDC00 + ((codePoint - 0x10000) & 0x3FF));
            units += 2;
        } else {
            AppendU16(out, codePoint);
            ++units;
        }
    }
    AppendU16(out, 0);
    return units + 1;
}

Node TextNode(const std::string& key, const std::string& text) {
    Node node;
    node.key = key;
    node.valueLength = static_cast<WORD>(AppendUtf16(node.value, text));
    return node;
}

bool Serialize(const Node& node, std::vector<std::uint8_t>& out) {
    out.clear();
    AppendU16(out, 0);  // wLength, filled in at the end
    AppendU16(out, node.valueLength);
    AppendU16(out, node.type);
    AppendUtf16(out, node.key);
    PadTo4(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    std::vector<std::uint8_t> child;
    for (const Node& each : node.children) {
        PadTo4(out);
        if (!Serialize(each, child)) {
            return false;
        }
        out.insert(out.end(), child.begin(), child.end());
    }
    if (out.size() > 0xFFFF) {
        return false;
    }
    out[0] = static_cast<std::uint8_t>(out.size() & 0xFF);
    out[1] = static_cast<std::uint8_t>(out.size() >> 8);
    return true;
}

std::vector<std::uint8_t> FixedFileInfo(const VersionResourceDescription& description) {
    const auto& file = description.fileVersion;
    const auto& product = description.productVersion;
    std::vector<std::uint8_t> value;
    AppendU32(value, 0xFEEF04BD);  // signature
    AppendU32(value, 0x00010000);  // structure version
    AppendU32(value, (std::uint32_t{file[0]} << 16) | file[1]);
    AppendU32(value, (std::uint32_t{file[2]} << 16) | file[3]);
    AppendU32(value, (std::uint32_t{product[0]} << 16) | product[1]);
    AppendU32(value, (std::uint32_t{product[2]} << 16) | product[3]);
    AppendU32(value, 0x3F);        // file flags mask
    AppendU32(value, 0);           // file flags
    AppendU32(value, 0x00040004);  // VOS_NT_WINDOWS32
    AppendU32(value, description.fileType);
    AppendU32(value, 0);  // subtype
    AppendU32(value, 0);  // date, most significant
    AppendU32(value, 0);  // date, least significant
    return value;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Up to four numbers separated by '.' or ',' (blanks allowed), each cut to 16 bits.
std::array<WORD, 4> ParseVersionNumbers(std::string_view text) {
    std::array<WORD, 4> parts{};
    std::size_t index = 0;
    std::size_t position = 0;
    while (index < parts.size() && position < text.size()) {
        const std::size_t end = text.find_first_of(".,", position);
        const int number = SaturatingAtoi(text.substr(position, end - position));
        parts[index++] = static_cast<WORD>(number < 0 ? 0 : (number > 0xFFFF ? 0xFFFF : number));
        position = end == std::string_view::npos ? text.size() : end + 1;
    }
    return parts;
}

bool IsHexDigits(std::string_view text) {
    return text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

bool ParseTranslation(std::string_view text, VersionResourceDescription& description) {
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos) {
        return false;
    }
    const std::string language(Trimmed(text.substr(0, blank)));
    const std::string codePage(Trimmed(text.substr(blank + 1)));
    if (language.size() != 4 || codePage.size() != 4 || !IsHexDigits(language) ||
        !IsHexDigits(codePage)) {
        return false;
    }
    description.translation =
        TranslationEntry(static_cast<WORD>(std::strtoul(language.c_str(), nullptr, 16)),
                         static_cast<WORD>(std::strtoul(codePage.c_str(), nullptr, 16)));
    return true;
}

Status ApplySetting(std::string_view key, std::string_view value,
                    VersionResourceDescription& description) {
    if (key == "FixedFileVersion") {
        description.fileVersion = ParseVersionNumbers(value);
    } else if (key == "FixedProductVersion") {
        description.productVersion = ParseVersionNumbers(value);
    } else if (key == "FileType") {
        if (value != "application" && value != "library") {
            return Failure{"FileType is application or library"};
        }
        description.fileType = value == "application" ? 1 : 2;
    } else if (key == "Translation") {
        if (!ParseTranslation(value, description)) {
            return Failure{"Translation is a language and a code page in four hex digits each"};
        }
    } else if (key == "StringTable") {
        if (value.size() != 8 || !IsHexDigits(value)) {
            return Failure{"StringTable is eight hex digits"};
        }
        description.stringTables.push_back({std::string(value), {}});
    } else if (description.stringTables.empty()) {
        return Failure{"a string value comes after a StringTable line"};
    } else {
        description.stringTables.back().values.emplace_back(key, value);
    }
    return {};
}

}  // namespace

std::vector<std::uint8_t> TranslationEntry(WORD language, WORD codePage) {
    std::vector<std::uint8_t> entry;
    AppendU16(entry, language);
    AppendU16(entry, codePage);
    return entry;
}

Result<std::vector<std::uint8_t>> WriteVersionResource(
    const VersionResourceDescription& description) {
    const Failure tooLong{"the block exceeds the format's 64 KiB"};
    Node root;
    root.key = "VS_VERSION_INFO";
    root.type = kBinaryValue;
    root.value = FixedFileInfo(description);
    root.valueLength = static_cast<WORD>(root.value.size());

    Node strings;
    strings.key = "StringFileInfo";
    for (const auto& table : description.stringTables) {
        Node tableNode;
        tableNode.key = table.key;
        for (const auto& [name, text] : table.values) {
            tableNode.children.push_back(TextNode(name, text));
        }
        strings.children.push_back(std::move(tableNode));
    }
    root.children.push_back(std::move(strings));

    if (description.translation) {
        Node translation;
        translation.key = "Translation";
        translation.type = kBinaryValue;
        translation.value = *description.translation;
        if (translation.value.size() > 0xFFFF) {
            return tooLong;
        }
        translation.valueLength = static_cast<WORD>(translation.value.size());
        Node variables;
        variables.key = "VarFileInfo";
        variables.children.push_back(std::move(translation));
        root.children.push_back(std::move(variables));
    }
    std::vector<std::uint8_t> block;
    if (!Serialize(root, block)) {
        return tooLong;
    }
    return block;
}

Result<VersionResourceDescription> ParseVersionDescription(std::string_view text) {
    VersionResourceDescription description;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = Trimmed(line.substr(0, equals));
        if (equals == std::string_view::npos || key.empty()) {
            return Failure{"line " + std::to_string(lineNumber) + ": expected Name = value"};
        }
        if (const Status applied = ApplySetting(key, Trimmed(line.substr(equals + 1)), description);
            !applied) {
            return Failure{"line " + std::to_string(lineNumber) + ": " + applied.Reason()};
        }
    }
    return description;
}

void OverrideFileVersion(VersionResourceDescription& description, std::string_view text) {
    description.fileVersion = ParseVersionNumbers(text);
    for (auto& table : description.stringTables) {
        bool found = false;
        for (auto& [name, value] : table.values) {
            if (name == "FileVersion") {
                value = std::string(text);
                found = true;
            }
        }
        if (!found) {
            table.values.emplace_back("FileVersion", std::string(text));
        }
    }
}

}  // namespace ordvane
