#pragma once
// Reads a change journal line by line with bounded memory: a line longer than
// JournalLine::kMaxLineLength is skipped without being held, and so is every line that is
// not an entry, each counted, so that one damaged line never hides the rest.

#include <cstdio>
#include <optional>
#include <string>

#include "journal/ChangeEntry.h"

namespace ordvane {

class JournalReader {
public:
    // Reads from an open stream; the caller keeps it open while reading and closes it.
    explicit JournalReader(std::FILE* stream) : m_stream(stream) {}

    // The next entry; nothing at the end of the stream.
    std::optional<ChangeEntry> Next();

    // Lines skipped so far, and the line number and reason of the first.
    std::size_t SkippedLines() const { return m_skipped; }
    const std::string& FirstProblem() const { return m_firstProblem; }

private:
    // Reads the next line into m_line; false at the end. A line over the limit is read to its
    // end and reported as too long.
    bool ReadLine(bool& tooLong);
    void Skip(const std::string& reason);

    std::FILE* m_stream;
    std::string m_line;
    std::size_t m_lineNumber = 0;
    std::size_t m_skipped = 0;
    std::string m_firstProblem;
};

}  // namespace ordvane
