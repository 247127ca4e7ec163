// ordvane-cli journal [--since TIME] [--format table|csv|json]
//
// Shows the change journal of the running user (journal/ChangeJournal.h): every configure,
// apply, recover and wink, oldest first, from TIME on (UTC, ISO 8601). The journal is read as
// untrusted input: lines that are not entries are skipped and counted on standard error.
//
// Exit status: 0 (also when there is no journal yet), 2 for bad arguments, 1 when the journal
// exists but cannot be read.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/ExitStatus.h"
#include "cli/JsonOutput.h"
#include "cli/ModuleTableFormat.h"
#include "journal/ChangeJournal.h"
#include "journal/JournalLine.h"
#include "journal/JournalReader.h"
#include "journal/JournalTime.h"
#include "platform/LongOptions.h"

namespace ordvane::cli {

namespace {

constexpr const char* kJournalUsage =
    "usage: ordvane-cli journal [--since TIME] [--format table|csv|json]  (TIME in UTC: "
    "2026-12-08, 2026-12-08T16:53 or 2026-12-08T16:53:17Z)";

struct JournalArguments {
    std::optional<JournalTime::Seconds> since;
    TableFormat format = TableFormat::kTable;
};

constexpr LongOption<JournalArguments> kJournalOptions[] = {
    {"since", true,
     [](JournalArguments& parsed, const std::string& value, std::string& reason) {
         parsed.since = JournalTime::Parse(value);
         reason = "takes a time in UTC such as 2026-12-08T16:53";
         return parsed.since.has_value();
     }},
    {"format", true,
     [](JournalArguments& parsed, const std::string& value, std::string& reason) {
         reason = "takes table, csv or json";
         return ParseTableFormat(value, &parsed.format);
     }},
};

std::string Value(const std::optional<std::string>& text) {
    return text ? *text : "N/A";
}

// "IP 10.0.0.1 -> 10.0.4.11; Hostname a -> b; password changed"
std::string ChangesText(const ChangeEntry& entry) {
    std::string text;
    for (const SettingChange& change : entry.changes) {
        text += (text.empty() ? "" : "; ") + std::string(ModuleSettingName(change.setting)) + " " +
                Value(change.before) + " -> " + Value(change.after);
    }
    if (entry.passwordChanged) {
        text += text.empty() ? "password changed" : "; password changed";
    }
    return text;
}

std::vector<std::string> Cells(const ChangeEntry& entry) {
    return {entry.time,    entry.user,         entry.host,
            entry.program, entry.version,      JournalCommandName(entry.command),
            entry.mac,     ChangesText(entry), entry.result};
}

std::string FormatEntries(const std::vector<ChangeEntry>& entries, TableFormat format) {
    if (format == TableFormat::kJson) {
        // Each entry as the journal holds its line, in the document every JSON output has.
        JsonDocumentWriter document("entries");
        for (const ChangeEntry& entry : entries) {
            document.Add(Json::parse(JournalLine::Format(entry), nullptr, false));
        }
        return document.Finish();
    }
    std::vector<std::vector<std::string>> lines = {
        {"Time", "User", "Host", "Program", "Version", "Command", "MAC", "Changes", "Result"}};
    for (const ChangeEntry& entry : entries) {
        lines.push_back(Cells(entry));
    }
    return FormatCellLines(lines, format);
}

bool AtOrAfter(const ChangeEntry& entry, const std::optional<JournalTime::Seconds>& since) {
    if (!since) {
        return true;
    }
    const std::optional<JournalTime::Seconds> time = JournalTime::Parse(entry.time);
    return time && *time >= *since;
}

}  // namespace

int RunJournal(std::span<const std::string> arguments) {
    JournalArguments parsed;
    std::vector<std::string> operands;
    std::string error;
    if (ParseLongOptions<JournalArguments>(arguments, kJournalOptions, parsed, operands, error) &&
        !operands.empty()) {
        error = "unexpected argument \"" + operands[0] + "\"";
    }
    if (!error.empty()) {
        std::fprintf(stderr, "ordvane-cli journal: %s\n%s\n", error.c_str(), kJournalUsage);
        return kExitUsage;
    }
    const std::string path = ChangeJournal::DefaultPath();
    std::vector<ChangeEntry> entries;
    std::FILE* stream = path.empty() ? nullptr : std::fopen(path.c_str(), "r");
    if (stream == nullptr && errno != ENOENT) {
        std::fprintf(stderr, "ordvane-cli journal: %s: %s\n",
                     path.empty() ? "no home folder" : path.c_str(), std::strerror(errno));
        return kExitFailure;
    }
    if (stream != nullptr) {
        JournalReader reader(stream);
        while (std::optional<ChangeEntry> entry = reader.Next()) {
            if (AtOrAfter(*entry, parsed.since)) {
                entries.push_back(std::move(*entry));
            }
        }
        std::fclose(stream);
        if (reader.SkippedLines() > 0) {
            std::fprintf(stderr,
                         "ordvane-cli journal: %s: skipped %zu lines that are not entries (%s)\n",
                         path.c_str(), reader.SkippedLines(), reader.FirstProblem().c_str());
        }
    }
    std::fputs(FormatEntries(entries, parsed.format).c_str(), stdout);
    return kExitSuccess;
}

}  // namespace ordvane::cli
