#include "journal/JournalReader.h"

#include "journal/JournalLine.h"

namespace ordvane {

bool JournalReader::ReadLine(bool& tooLong) {
    m_line.clear();
    tooLong = false;
    int character = 0;
    bool any = false;
    while ((character = std::getc(m_stream)) != EOF) {
        any = true;
        if (character == '\n') {
            break;
        }
        if (m_line.size() < JournalLine::kMaxLineLength) {
            m_line.push_back(static_cast<char>(character));
        } else {
            tooLong = true;
        }
    }
    if (any) {
        ++m_lineNumber;
    }
    return any;
}

void JournalReader::Skip(const std::string& reason) {
    if (m_skipped++ == 0) {
        m_firstProblem = "line " + std::to_string(m_lineNumber) + ": " + reason;
    }
}

std::optional<ChangeEntry> JournalReader::Next() {
    bool tooLong = false;
    while (ReadLine(tooLong)) {
        if (tooLong) {
            Skip("longer than 64 KiB");
            continue;
        }
        if (m_line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        ChangeEntry entry;
        std::string error;
        if (JournalLine::Parse(m_line, entry, error)) {
            return entry;
        }
        Skip(error);
    }
    return std::nullopt;
}

}  // namespace ordvane
