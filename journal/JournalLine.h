#pragma once
// The change journal's line format: one JSON object per line, keys in a fixed order,
//
//   {"time":"2026-12-08T16:53:17Z","user":"ana","host":"cell4","program":"ordvane-cli",
//    "version":"1.4.0.0","pid":4711,"command":"configure","mac":"0A-51-4D-00-00-01",
//    "changes":[{"setting":"IP","before":"10.0.0.1","after":"10.0.4.11"}],
//    "password_changed":false,"result":"accepted"}
//
// written on one line. Reading takes the journal as untrusted input: a line that is not such
// an object is refused with the reason, unknown keys are skipped.

#include <string>
#include <string_view>

#include "journal/ChangeEntry.h"

namespace ordvane {

class JournalLine {
public:
    // The entry as one line of JSON, without the line end. Bytes that are not UTF-8 become
    // U+FFFD, control characters are escaped, so the line never breaks.
    static std::string Format(const ChangeEntry& entry);

    // The longest line Parse takes; longer ones are refused unread.
    static constexpr std::size_t kMaxLineLength = 64 * 1024;

    // Reads one line; false with the reason in error when it is not a journal entry.
    [[nodiscard]] static bool Parse(std::string_view line, ChangeEntry& entry, std::string& error);
};

}  // namespace ordvane
