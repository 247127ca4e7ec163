#include "cli/ScanBaseline.h"

#include <algorithm>
#include <map>

#include "modlist/ColumnList.h"
#include "platform/BoundedFile.h"
#include "platform/ByteReader.h"

namespace ordvane::cli {

namespace {

// Our own output nests three deep (array, module, warnings, warning); more is not ours.
constexpr int kMaxDepth = 8;
// Far longer than any module text (128 bytes) even with every byte escaped.
constexpr std::size_t kMaxStringBytes = 4096;

std::vector<std::string> ColumnHeadings() {
    std::vector<std::string> headings;
    for (const ColumnDefinition& column : ParseColumnList(kModuleColumnList)) {
        headings.push_back(column.heading);
    }
    return headings;
}

void AppendUtf8(std::string& text, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | codePoint >> 6);
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | codePoint >> 12);
        text += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | codePoint >> 18);
        text += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

class BaselineReader {
public:
    BaselineReader(std::span<const std::uint8_t> text, std::string_view fileName)
        : m_reader(text), m_fileName(fileName), m_headings(ColumnHeadings()) {}

    bool Read(std::vector<ModuleColumnTexts>& modules, std::string& error) {
        if (!Expect('[')) {
            return Fail(error, "not a JSON array of modules");
        }
        if (!Consume(']')) {
            do {
                ModuleColumnTexts module;
                if (modules.size() == kMaxBaselineModules) {
                    return Fail(error, "more than 65536 modules");
                }
                if (!ReadModule(module, error)) {
                    return false;
                }
                modules.push_back(std::move(module));
            } while (Consume(','));
            if (!Expect(']')) {
                return Fail(error, "expected , or ] after a module");
            }
        }
        SkipBlanks();
        return m_reader.AtEnd() || Fail(error, "text after the array");
    }

private:
    bool Fail(std::string& error, const std::string& what) {
        error = std::string(m_fileName) + ": byte " + std::to_string(m_reader.Position()) + ": " +
                (m_problem.empty() ? what : m_problem);
        return false;
    }

    void SkipBlanks() {
        while (!m_reader.AtEnd()) {
            const char next = static_cast<char>(m_reader.RemainingSpan()[0]);
            if (next != ' ' && next != '\t' && next != '\n' && next != '\r') {
                return;
            }
            m_reader.Skip(1);
        }
    }

    bool Peek(char& next) {
        SkipBlanks();
        if (m_reader.AtEnd()) {
            return false;
        }
        next = static_cast<char>(m_reader.RemainingSpan()[0]);
        return true;
    }

    bool Consume(char wanted) {
        char next = 0;
        if (Peek(next) && next == wanted) {
            m_reader.Skip(1);
            return true;
        }
        return false;
    }

    bool Expect(char wanted) { return Consume(wanted); }

    bool ReadModule(ModuleColumnTexts& module, std::string& error) {
        if (!Expect('{')) {
            return Fail(error, "a module is not a JSON object");
        }
        std::vector<bool> seen(m_headings.size(), false);
        if (!Consume('}')) {
            do {
                std::string key;
                if (!ReadString(key) || !Expect(':')) {
                    return Fail(error, "expected \"key\": value in a module");
                }
                const auto heading = std::find(m_headings.begin(), m_headings.end(), key);
                if (heading == m_headings.end()) {
                    if (!SkipValue(2)) {
                        return Fail(error, "bad value for \"" + key + "\"");
                    }
                    continue;
                }
                const auto column = static_cast<std::size_t>(heading - m_headings.begin());
                if (seen[column] || !ReadString(module[column])) {
                    return Fail(error, "\"" + key + "\" twice or not a string");
                }
                seen[column] = true;
            } while (Consume(','));
            if (!Expect('}')) {
                return Fail(error, "expected , or } in a module");
            }
        }
        return seen[kColumnMac] || Fail(error, "a module without \"MAC\"");
    }

    bool ReadHex(std::uint32_t& value) {
        value = 0;
        for (int digit = 0; digit < 4; ++digit) {
            const char c = static_cast<char>(m_reader.ReadU8());
            const int nibble = c >= '0' && c <= '9'   ? c - '0'
                               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
            if (!m_reader.Ok() || nibble < 0) {
                return false;
            }
            value = value << 4 | static_cast<std::uint32_t>(nibble);
        }
        return true;
    }

    bool ReadEscape(std::string& text) {
        const char escaped = static_cast<char>(m_reader.ReadU8());
        static constexpr std::string_view kFrom = "\"\\/bfnrt";
        static constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
        if (const std::size_t at = kFrom.find(escaped); at != std::string_view::npos) {
            text += kTo[at];
            return m_reader.Ok();
        }
        std::uint32_t codePoint = 0;
        if (escaped != 'u' || !ReadHex(codePoint)) {
            return false;
        }
        if (codePoint >= 0xD800 && codePoint < 0xDC00) {
            std::uint32_t low = 0;
            const auto rest = m_reader.RemainingSpan();
            if (rest.size() >= 2 && rest[0] == '\\' && rest[1] == 'u') {
                m_reader.Skip(2);
                if (!ReadHex(low)) {
                    return false;
                }
            }
            codePoint = low >= 0xDC00 && low < 0xE000
                            ? 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00)
                            : 0xFFFD;
        } else if (codePoint >= 0xDC00 && codePoint < 0xE000) {
            codePoint = 0xFFFD;
        }
        AppendUtf8(text, codePoint);
        return true;
    }

    bool ReadString(std::string& text) {
        text.clear();
        if (!Expect('"')) {
            return false;
        }
        for (;;) {
            const char c = static_cast<char>(m_reader.ReadU8());
            if (!m_reader.Ok() || static_cast<unsigned char>(c) < 0x20) {
                return false;
            }
            if (c == '"') {
                return true;
            }
            if (c != '\\') {
                text += c;
            } else if (!ReadEscape(text)) {
                return false;
            }
            if (text.size() > kMaxStringBytes) {
                m_problem = "a string longer than 4096 bytes";
                return false;
            }
        }
    }

    bool SkipLiteral() {
        std::size_t length = 0;
        const auto rest = m_reader.RemainingSpan();
        while (length < rest.size() &&
               std::string_view("+-.0123456789eEtruefalsn").find(static_cast<char>(rest[length])) !=
                   std::string_view::npos) {
            ++length;
        }
        return length > 0 && m_reader.Skip(length);
    }

    // Any JSON value, for keys this version does not read.
    bool SkipValue(int depth) {
        if (depth > kMaxDepth) {
            m_problem = "nested deeper than 8";
            return false;
        }
        char next = 0;
        if (!Peek(next)) {
            return false;
        }
        std::string ignored;
        if (next == '"') {
            return ReadString(ignored);
        }
        if (next != '[' && next != '{') {
            return SkipLiteral();
        }
        const char close = next == '[' ? ']' : '}';
        m_reader.Skip(1);
        if (Consume(close)) {
            return true;
        }
        do {
            if (close == '}' && (!ReadString(ignored) || !Expect(':'))) {
                return false;
            }
            if (!SkipValue(depth + 1)) {
                return false;
            }
        } while (Consume(','));
        return Expect(close);
    }

    ByteReader m_reader;
    std::string_view m_fileName;
    std::vector<std::string> m_headings;
    std::string m_problem;  // a limit that was hit, said instead of the general message
};

std::string FieldsText(const BaselineChange& change) {
    std::string text;
    for (const BaselineFieldChange& field : change.fields) {
        text +=
            (text.empty() ? "" : "; ") + field.heading + " " + field.before + " -> " + field.after;
    }
    return text;
}

std::string JsonChange(const BaselineChange& change) {
    std::string fields;
    for (const BaselineFieldChange& field : change.fields) {
        fields += (fields.empty() ? "" : ", ") + std::string("{\"field\": ") +
                  FormatJsonString(field.heading) +
                  ", \"before\": " + FormatJsonString(field.before) +
                  ", \"after\": " + FormatJsonString(field.after) + "}";
    }
    return "{\"mac\": " + FormatJsonString(change.mac) +
           ", \"change\": " + FormatJsonString(BaselineChangeName(change.kind)) +
           ", \"fields\": [" + fields + "]}";
}

}  // namespace

bool ParseScanBaseline(std::span<const std::uint8_t> text, std::string_view fileName,
                       std::vector<ModuleColumnTexts>& modules, std::string& error) {
    modules.clear();
    if (!BaselineReader(text, fileName).Read(modules, error)) {
        modules.clear();
        return false;
    }
    return true;
}

bool LoadScanBaseline(const std::string& path, std::vector<ModuleColumnTexts>& modules,
                      std::string& error) {
    std::string text;
    if (!ReadBoundedFile(path, kMaxBaselineFileBytes, text, error)) {
        return false;
    }
    return ParseScanBaseline(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), path, modules,
        error);
}

std::vector<BaselineChange> CompareWithBaseline(const std::vector<ModuleColumnTexts>& baseline,
                                                const std::vector<ModuleColumnTexts>& current) {
    // The first module of a MAC counts, as in the table.
    std::map<std::string, const ModuleColumnTexts*> before;
    std::map<std::string, const ModuleColumnTexts*> after;
    for (const ModuleColumnTexts& module : baseline) {
        before.try_emplace(FormatJsonString(module[kColumnMac]), &module);
    }
    for (const ModuleColumnTexts& module : current) {
        after.try_emplace(FormatJsonString(module[kColumnMac]), &module);
    }
    const std::vector<std::string> headings = ColumnHeadings();
    std::map<std::string, BaselineChange> changes;
    for (const auto& [key, module] : before) {
        if (!after.contains(key)) {
            changes[key] = {(*module)[kColumnMac], BaselineChangeKind::kDisappeared, {}};
        }
    }
    for (const auto& [key, module] : after) {
        const auto old = before.find(key);
        if (old == before.end()) {
            changes[key] = {(*module)[kColumnMac], BaselineChangeKind::kAppeared, {}};
            continue;
        }
        BaselineChange change{(*module)[kColumnMac], BaselineChangeKind::kChanged, {}};
        for (std::size_t column = 0; column < kModuleColumnCount; ++column) {
            const std::string& was = (*old->second)[column];
            const std::string& is = (*module)[column];
            if (FormatJsonString(was) != FormatJsonString(is)) {
                change.fields.push_back({headings[column], was, is});
            }
        }
        if (!change.fields.empty()) {
            changes[key] = std::move(change);
        }
    }
    std::vector<BaselineChange> sorted;
    for (auto& [key, change] : changes) {
        sorted.push_back(std::move(change));
    }
    return sorted;
}

const char* BaselineChangeName(BaselineChangeKind kind) {
    switch (kind) {
        case BaselineChangeKind::kAppeared:
            return "appeared";
        case BaselineChangeKind::kDisappeared:
            return "disappeared";
        case BaselineChangeKind::kChanged:
            return "changed";
    }
    return "changed";
}

std::string FormatBaselineChanges(const std::vector<BaselineChange>& changes, TableFormat format) {
    if (format == TableFormat::kJson) {
        std::string output = "[";
        for (std::size_t index = 0; index < changes.size(); ++index) {
            output += (index == 0 ? "\n  " : ",\n  ") + JsonChange(changes[index]);
        }
        return output + (changes.empty() ? "]\n" : "\n]\n");
    }
    std::vector<std::vector<std::string>> lines = {{"MAC", "Change", "Fields"}};
    for (const BaselineChange& change : changes) {
        lines.push_back({change.mac, BaselineChangeName(change.kind), FieldsText(change)});
    }
    if (format == TableFormat::kTable) {
        return FormatAlignedCells(lines);
    }
    std::string output;
    for (const auto& cells : lines) {
        output += FormatCsvRecord(cells);
    }
    return output;
}

}  // namespace ordvane::cli
