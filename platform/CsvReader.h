#pragma once
// Reads comma-separated records one at a time from untrusted text, through the bounds-checked
// reader: cells optionally in double quotes, with "" standing for one quote inside them. Lines
// starting with '#' and blank lines are skipped; a quoted cell may not span lines, and a cell
// longer than the limit is an error, so a hostile file cannot make one cell grow without end.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/ByteReader.h"

namespace ordvane {

struct CsvCell {
    std::string text;
    bool quoted = false;
    // Empty and unquoted: "" is a known, empty text, nothing at all is no value.
    bool Empty() const { return text.empty() && !quoted; }
};

class CsvReader {
public:
    CsvReader(std::span<const std::uint8_t> text, std::size_t maxCellLength)
        : m_reader(text), m_maxCellLength(maxCellLength) {}

    // The line of the record read last, from 1.
    std::size_t Line() const { return m_line; }

    // False at the end of the text or on an error (then error is set).
    bool Next(std::vector<CsvCell>& cells, std::string& error) {
        for (;;) {
            if (m_reader.AtEnd()) {
                return false;
            }
            ++m_line;
            const char first = PeekCharacter();
            if (first == '#' || first == '\n' || first == '\r') {
                SkipLine();
                continue;
            }
            return ReadRecord(cells, error);
        }
    }

private:
    char PeekCharacter() const { return static_cast<char>(m_reader.RemainingSpan()[0]); }
    char ReadCharacter() { return static_cast<char>(m_reader.ReadU8()); }

    void SkipLine() {
        while (!m_reader.AtEnd() && ReadCharacter() != '\n') {
        }
    }

    bool ReadRecord(std::vector<CsvCell>& cells, std::string& error) {
        cells.assign(1, CsvCell{});
        bool inQuotes = false;
        while (!m_reader.AtEnd()) {
            const char character = ReadCharacter();
            CsvCell& cell = cells.back();
            if (inQuotes) {
                if (character == '"' && !m_reader.AtEnd() && PeekCharacter() == '"') {
                    ReadCharacter();
                    cell.text += '"';
                } else if (character == '"') {
                    inQuotes = false;
                } else if (character == '\n') {
                    error = "unterminated quote";
                    return false;
                } else {
                    cell.text += character;
                }
            } else if (character == ',') {
                cells.emplace_back();
            } else if (character == '\n') {
                break;
            } else if (character == '\r') {
                continue;
            } else if (character == '"' && cell.Empty()) {
                inQuotes = true;
                cell.quoted = true;
            } else {
                cell.text += character;
            }
            if (cells.back().text.size() > m_maxCellLength) {
                error = "cell longer than " + std::to_string(m_maxCellLength) + " characters";
                return false;
            }
        }
        if (inQuotes) {
            error = "unterminated quote";
            return false;
        }
        return true;
    }

    ByteReader m_reader;
    std::size_t m_maxCellLength;
    std::size_t m_line = 0;
};

}  // namespace ordvane
