#include "cli/ScanBaseline.h"

#include <algorithm>
#include <map>

#include <array>
#include <exception>

#include "cli/JsonOutput.h"
#include "modlist/ColumnList.h"
#include "platform/BoundedFile.h"

namespace ordvane::cli {

namespace {

std::vector<std::string> ColumnHeadings() {
    std::vector<std::string> headings;
    for (const ColumnDefinition& column : ParseColumnList(kModuleColumnList)) {
        headings.push_back(column.heading);
    }
    return headings;
}

// Reads a scan's JSON as nlohmann-json's parser delivers it, event by event, so that a limit is
// enforced the moment it is passed and nothing of a refused file is kept. Reads the current
// document, {"format": 1, "modules": [{"ip": ..., "mac": ...}]}, and the array of modules keyed
// by the headings ("IP", "MAC") that version 1.4 wrote, so that older baselines still serve.
class BaselineReader final : public nlohmann::json_sax<nlohmann::json> {
public:
    BaselineReader(std::string_view fileName, std::vector<ModuleColumnTexts>& modules)
        : m_fileName(fileName), m_modules(modules), m_headings(ColumnHeadings()) {}

    bool Read(std::span<const std::uint8_t> text, std::string& error) {
        bool parsed = false;
        try {
            parsed = nlohmann::json::sax_parse(text.begin(), text.end(), this);
        } catch (const std::exception& exception) {
            m_error = std::string("unreadable: ") + exception.what();
        }
        if (parsed && m_legacy < 0) {
            parsed = Fail("empty");
        }
        if (parsed && m_legacy == 0 && (!m_sawFormat || !m_sawModules)) {
            parsed = Fail("no \"format\" or no \"modules\": not the output of scan --format json");
        }
        if (!parsed) {
            error = std::string(m_fileName) + ": " + (m_error.empty() ? "unreadable" : m_error);
        }
        return parsed;
    }

    bool null() override { return Value(Kind::kNull); }
    bool boolean(bool value) override { return Value(value ? Kind::kTrue : Kind::kFalse); }
    bool number_integer(number_integer_t value) override { return Number(value); }
    bool number_unsigned(number_unsigned_t value) override {
        return Number(static_cast<number_integer_t>(std::min<number_unsigned_t>(value, 1000)));
    }
    bool number_float(number_float_t, const string_t&) override { return Number(-1); }
    bool binary(binary_t&) override { return Fail("binary data"); }

    bool string(string_t& text) override {
        if (text.size() > kMaxStringBytes) {
            return Fail("a string longer than 4096 bytes");
        }
        m_text = &text;
        return Value(Kind::kString);
    }

    bool key(string_t& text) override {
        if (text.size() > kMaxStringBytes) {
            return Fail("a key longer than 4096 bytes");
        }
        if (m_depth == 1 && m_legacy == 0) {
            m_topKey = text;
        } else if (m_inModuleList && m_depth == ModuleDepth()) {
            m_column = ColumnOf(text);
            if (m_column >= 0 && m_seen[static_cast<std::size_t>(m_column)]) {
                return Fail(ModuleWhere() + "\"" + text + "\" twice");
            }
        }
        return true;
    }

    bool start_object(std::size_t) override { return Open(true); }
    bool start_array(std::size_t) override { return Open(false); }

    bool end_object() override {
        if (m_depth == ModuleDepth() && m_inModuleList) {
            if (!m_seen[kColumnMac]) {
                return Fail(ModuleWhere() + "no \"" + MacKey() + "\"");
            }
            m_modules.push_back(std::move(m_module));
        }
        return Close();
    }
    bool end_array() override {
        if (m_depth == ModuleDepth() - 1 && m_inModuleList) {
            m_inModuleList = false;
        }
        return Close();
    }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        return Fail("byte " + std::to_string(position) + ": not valid JSON");
    }

private:
    enum class Kind { kNull, kTrue, kFalse, kString, kNumber };

    // Our own output nests four deep (document, modules, module, warnings, warning).
    static constexpr int kMaxDepth = 8;
    // Far longer than any module text (128 bytes) even with every byte escaped.
    static constexpr std::size_t kMaxStringBytes = 4096;

    int ModuleDepth() const { return m_legacy == 1 ? 2 : 3; }
    std::string MacKey() const { return m_legacy == 1 ? "MAC" : "mac"; }
    std::string ModuleWhere() const {
        return "module " + std::to_string(m_modules.size() + 1) + ": ";
    }

    int ColumnOf(const std::string& key) const {
        for (std::size_t column = 0; column < m_headings.size(); ++column) {
            if (key == (m_legacy == 1 ? m_headings[column] : JsonKey(m_headings[column]))) {
                return static_cast<int>(column);
            }
        }
        return -1;
    }

    bool Fail(const std::string& what) {
        if (m_error.empty()) {
            m_error = what;
        }
        return false;
    }

    bool Open(bool isObject) {
        if (++m_depth > kMaxDepth) {
            return Fail("nested deeper than 8");
        }
        if (m_depth == 1) {
            // The document: an object (current) or an array of modules (1.4).
            m_legacy = isObject ? 0 : 1;
            m_inModuleList = !isObject;
            return true;
        }
        if (m_depth == 2 && m_legacy == 0 && m_topKey == "modules") {
            if (isObject) {
                return Fail("\"modules\" is not an array");
            }
            m_sawModules = true;
            m_inModuleList = true;
            return true;
        }
        if (m_inModuleList && m_depth == ModuleDepth()) {
            if (!isObject) {
                return Fail(ModuleWhere() + "not a JSON object");
            }
            if (m_modules.size() == kMaxBaselineModules) {
                return Fail("more than 65536 modules");
            }
            m_module = {};
            m_seen.fill(false);
            m_column = -1;
            return true;
        }
        if (m_inModuleList && m_depth == ModuleDepth() + 1 && m_column >= 0) {
            return Fail(ModuleWhere() + "\"" + ColumnKey() + "\" is not a text");
        }
        return true;
    }

    bool Close() {
        --m_depth;
        return true;
    }

    std::string ColumnKey() const {
        const std::string& heading = m_headings[static_cast<std::size_t>(m_column)];
        return m_legacy == 1 ? heading : JsonKey(heading);
    }

    bool Number(number_integer_t value) {
        if (m_depth == 1 && m_legacy == 0 && m_topKey == "format") {
            if (value != kJsonFormatVersion) {
                return Fail("format " + std::to_string(value) +
                            " is not one this version of ordvane-cli reads");
            }
            m_sawFormat = true;
            return true;
        }
        return Value(Kind::kNumber);
    }

    bool Value(Kind kind) {
        if (m_depth == 0) {
            return Fail("not a JSON object or array");
        }
        if (m_depth == 1 && m_legacy == 0 && (m_topKey == "format" || m_topKey == "modules")) {
            return Fail("\"" + m_topKey + "\" has the wrong type");
        }
        if (m_inModuleList && m_depth == ModuleDepth() - 1) {
            return Fail(ModuleWhere() + "not a JSON object");
        }
        if (!m_inModuleList || m_depth != ModuleDepth() || m_column < 0) {
            return true;  // a key of no column, such as "warnings"
        }
        const auto column = static_cast<std::size_t>(m_column);
        std::string& text = m_module[column];
        const bool current = m_legacy == 0;
        if (kind == Kind::kString) {
            text = *m_text;
        } else if (current && kind == Kind::kNull && m_column != kColumnMac) {
            text = kNotAvailableText;
        } else if (current && (kind == Kind::kTrue || kind == Kind::kFalse) &&
                   m_column == kColumnDhcp) {
            text = kind == Kind::kTrue ? "On" : "Off";
        } else {
            return Fail(ModuleWhere() + "\"" + ColumnKey() + "\" has the wrong type");
        }
        m_seen[column] = true;
        return true;
    }

    std::string_view m_fileName;
    std::vector<ModuleColumnTexts>& m_modules;
    std::vector<std::string> m_headings;
    std::string m_error;
    int m_depth = 0;
    int m_legacy = -1;  // not yet known; 0 the current document; 1 the array of version 1.4
    std::string m_topKey;
    bool m_sawFormat = false;
    bool m_sawModules = false;
    bool m_inModuleList = false;
    ModuleColumnTexts m_module;
    std::array<bool, kModuleColumnCount> m_seen{};
    int m_column = -1;
    const std::string* m_text = nullptr;
};

std::string FieldsText(const BaselineChange& change) {
    std::string text;
    for (const BaselineFieldChange& field : change.fields) {
        text +=
            (text.empty() ? "" : "; ") + field.heading + " " + field.before + " -> " + field.after;
    }
    return text;
}

Json JsonChange(const BaselineChange& change) {
    Json fields = Json::array();
    for (const BaselineFieldChange& field : change.fields) {
        const bool isFlag = field.heading == "DHCP";
        fields.push_back({{"field", JsonKey(field.heading)},
                          {"before", JsonText(field.before, isFlag)},
                          {"after", JsonText(field.after, isFlag)}});
    }
    return {{"mac", change.mac},
            {"change", BaselineChangeName(change.kind)},
            {"fields", std::move(fields)}};
}

}  // namespace

bool ParseScanBaseline(std::span<const std::uint8_t> text, std::string_view fileName,
                       std::vector<ModuleColumnTexts>& modules, std::string& error) {
    modules.clear();
    if (!BaselineReader(fileName, modules).Read(text, error)) {
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
        JsonDocumentWriter document("changes");
        for (const BaselineChange& change : changes) {
            document.Add(JsonChange(change));
        }
        return document.Finish();
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
