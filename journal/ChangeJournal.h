#pragma once
// The change journal of the running user: one line per change to a module, appended to
//
//     $XDG_STATE_HOME/ordvane/changes.jsonl     (default ~/.local/state/ordvane/changes.jsonl)
//
// (folder 0700, file 0600) and sent to the system log (syslog(3), facility user, level
// notice) unless ORDVANE_JOURNAL_SYSLOG=0. Each line goes out in one write(2) on a file
// opened for appending, so lines of programs writing at the same time never interleave.
// docs/journal.md describes the format.
//
//     ChangeJournal().Record(JournalCommand::kWink, mac, "sent");

#include <cstdint>
#include <string>

#include "journal/ChangeEntry.h"

namespace ordvane {

class ChangeJournal {
public:
    // The journal at the default path, to the system log unless the environment switches it off.
    ChangeJournal();
    ChangeJournal(std::string path, bool toSystemLog);

    // $XDG_STATE_HOME/ordvane/changes.jsonl when XDG_STATE_HOME is an absolute path, else
    // <home>/.local/state/ordvane/changes.jsonl with home from HOME (when absolute) or the
    // user database; empty when there is no home either.
    static std::string DefaultPath();

    // False when ORDVANE_JOURNAL_SYSLOG is "0", "no", "off" or "false".
    static bool SystemLogWanted();

    // An entry with this moment, this user, host, program, version and process filled in.
    static ChangeEntry NewEntry(JournalCommand command, const std::uint8_t* mac);

    const std::string& Path() const { return m_path; }

    // Appends the entry as one line (making the folders as needed) and logs it; false with the
    // reason when the line could not be written whole.
    [[nodiscard]] bool Append(const ChangeEntry& entry, std::string& error) const;

    // Append, with one warning line on standard error when it fails: a change goes ahead
    // even when its record cannot be written, but never unnoticed.
    void Record(const ChangeEntry& entry) const;

    // Records an act that changes no setting (a wink) with its result.
    void Record(JournalCommand command, const std::uint8_t* mac, const std::string& result) const;

private:
    std::string m_path;
    bool m_toSystemLog;
};

}  // namespace ordvane
