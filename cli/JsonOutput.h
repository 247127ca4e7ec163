#pragma once
// The one convention of every JSON document ordvane-cli writes: an object whose "format" is the
// document's version (kJsonFormatVersion) and whose one list holds the items, one item a line;
// lowercase keys; null for a value a module does not report; booleans as booleans. Texts are
// UTF-8: bytes that are not become U+FFFD. docs/*.schema.json describe each document.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace ordvane::cli {

// Keys keep the order they are set in, which the documentation fixes.
using Json = nlohmann::ordered_json;

// Raised when a document's shape changes in a way a reader must know about.
inline constexpr int kJsonFormatVersion = 1;

// A column or setting text as JSON: null for "N/A" or no text, true/false for "On"/"Off" where
// the value is a flag (DHCP), else the text.
[[nodiscard]] Json JsonText(std::string_view text, bool isFlag = false);

// A heading as a key: "IP" -> "ip", "Hostname" -> "hostname".
[[nodiscard]] std::string JsonKey(std::string_view heading);

// Writes {"format": 1, "<listKey>": [ item, ... ]} with a line per item, ending in a newline,
// one item at a time, so that a large list is never held twice.
class JsonDocumentWriter {
public:
    explicit JsonDocumentWriter(std::string_view listKey);
    void Add(const Json& item);
    [[nodiscard]] std::string Finish();

private:
    std::string m_text;
    bool m_empty = true;
};

// One value as compact JSON text, bytes that are not UTF-8 as U+FFFD.
[[nodiscard]] std::string DumpJson(const Json& value);

}  // namespace ordvane::cli
