#include "cli/JsonOutput.h"

#include <cctype>

#include "modlist/ModuleColumns.h"

namespace ordvane::cli {

Json JsonText(std::string_view text, bool isFlag) {
    if (text == kNotAvailableText) {
        return nullptr;
    }
    if (isFlag && (text == "On" || text == "Off")) {
        return text == "On";
    }
    return std::string(text);
}

std::string JsonKey(std::string_view heading) {
    std::string key(heading);
    for (char& character : key) {
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    }
    return key;
}

std::string DumpJson(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

JsonDocumentWriter::JsonDocumentWriter(std::string_view listKey)
    : m_text("{\"format\": " + std::to_string(kJsonFormatVersion) + ", " +
             DumpJson(std::string(listKey)) + ": [") {}

void JsonDocumentWriter::Add(const Json& item) {
    m_text += m_empty ? "\n  " : ",\n  ";
    m_text += DumpJson(item);
    m_empty = false;
}

std::string JsonDocumentWriter::Finish() {
    m_text += m_empty ? "]}\n" : "\n]}\n";
    return std::move(m_text);
}

}  // namespace ordvane::cli
