// The change journal's line format, its reading of damaged lines, its time stamps, how it
// writes the file, and that no secret of a configure request reaches a line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "config/ConfigureRequestBuilder.h"
#include "journal/ChangeJournal.h"
#include "journal/ConfigureChange.h"
#include "journal/JournalLine.h"
#include "journal/JournalReader.h"
#include "journal/JournalTime.h"
#include "tests/support/TemporaryFolder.h"

namespace {

using namespace ordvane;

ChangeEntry SampleEntry() {
    ChangeEntry entry;
    entry.time = "2026-12-08T16:53:17Z";
    entry.user = "ana";
    entry.host = "cell4";
    entry.program = "ordvane-cli";
    entry.version = "1.4.0.0";
    entry.processId = 4711;
    entry.command = JournalCommand::kApply;
    entry.mac = "0A-51-4D-00-00-01";
    entry.changes = {{ModuleSetting::kIp, "10.0.0.1", "10.0.4.11"},
                     {ModuleSetting::kHostname, std::nullopt, "press\n1"}};
    entry.passwordChanged = true;
    entry.result = "verified";
    return entry;
}

TEST(JournalLine, FormatsOneLineInFixedOrderAndReadsItBack) {
    const std::string line = JournalLine::Format(SampleEntry());
    EXPECT_EQ(line,
              R"({"time":"2026-12-08T16:53:17Z","user":"ana","host":"cell4",)"
              R"("program":"ordvane-cli","version":"1.4.0.0","pid":4711,"command":"apply",)"
              R"("mac":"0A-51-4D-00-00-01","changes":[{"setting":"IP","before":"10.0.0.1",)"
              R"("after":"10.0.4.11"},{"setting":"Hostname","before":null,"after":"press\n1"}],)"
              R"("password_changed":true,"result":"verified"})");
    ChangeEntry read;
    std::string error;
    ASSERT_TRUE(JournalLine::Parse(line, read, error)) << error;
    EXPECT_EQ(JournalLine::Format(read), line);

    ChangeEntry foreign = SampleEntry();
    foreign.changes[0].after = std::string("\xff\x1b[2J", 5);  // not UTF-8, an escape sequence
    const std::string safe = JournalLine::Format(foreign);
    EXPECT_EQ(safe.find('\n'), std::string::npos);
    EXPECT_EQ(safe.find('\x1b'), std::string::npos);
    EXPECT_TRUE(JournalLine::Parse(safe, read, error)) << error;
}

TEST(JournalLine, RefusesWhatIsNotAnEntry) {
    const std::string good = JournalLine::Format(SampleEntry());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string line = good;
        return line.replace(line.find(from), from.size(), to);
    };
    const std::vector<std::string> bad = {
        "",
        "[1,2]",
        good.substr(0, good.size() - 1),
        replaced(R"("user":"ana",)", ""),
        replaced(R"("pid":4711)", R"("pid":"4711")"),
        replaced(R"("command":"apply")", R"("command":"erase")"),
        replaced(R"("setting":"IP")", R"("setting":"Password")"),
        replaced(R"("password_changed":true)", R"("password_changed":1)"),
        replaced(R"("after":"10.0.4.11")", R"("after":7)"),
        replaced(R"("changes":[)", R"("changes":{"a":[)") + "}",
        std::string(JournalLine::kMaxLineLength + 1, ' '),
    };
    for (const std::string& line : bad) {
        ChangeEntry entry;
        std::string error;
        EXPECT_FALSE(JournalLine::Parse(line, entry, error)) << line.substr(0, 200);
        EXPECT_FALSE(error.empty());
    }
}

// Reads every entry of the stream and closes it: the count and the skipped lines' report.
struct ReadCount {
    int entries = 0;
    std::size_t skipped = 0;
    std::string firstProblem;
};

ReadCount ReadAllEntries(std::FILE* stream) {
    ReadCount count;
    if (stream == nullptr) {
        return count;
    }
    JournalReader reader(stream);
    while (reader.Next()) {
        ++count.entries;
    }
    std::fclose(stream);
    count.skipped = reader.SkippedLines();
    count.firstProblem = reader.FirstProblem();
    return count;
}

TEST(JournalReader, SkipsDamagedAndOverlongLinesAndReadsTheRest) {
    const std::string good = JournalLine::Format(SampleEntry());
    std::string text = good + "\n{broken\n\n" + std::string(70000, 'x') + "\n" + good;
    const ReadCount count = ReadAllEntries(::fmemopen(text.data(), text.size(), "r"));
    EXPECT_EQ(count.entries, 2);
    EXPECT_EQ(count.skipped, 2u);
    EXPECT_EQ(count.firstProblem.rfind("line 2: ", 0), 0u) << count.firstProblem;
}

TEST(JournalTime, FormatsUtcAndReadsTheAcceptedForms) {
    using namespace std::chrono;
    const JournalTime::Seconds moment = sys_days(2026y / 12 / 8) + 16h + 53min + 17s;
    EXPECT_EQ(JournalTime::Format(moment), "2026-12-08T16:53:17Z");
    const std::vector<std::pair<std::string, std::optional<JournalTime::Seconds>>> cases = {
        {"2026-12-08T16:53:17Z", moment},   {"2026-12-08 16:53:17", moment},
        {"2026-12-08T16:53", moment - 17s}, {"2026-12-08", sys_days(2026y / 12 / 8)},
        {"2026-02-30", std::nullopt},       {"2026-12-08T24:00", std::nullopt},
        {"2026-12-08T16", std::nullopt},    {"2026-12-8", std::nullopt},
        {"yesterday", std::nullopt},        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(JournalTime::Parse(text), expected) << text;
    }
}

TEST(ChangeJournal, AppendsWholeLinesToAPrivateFileFromManyWritersAtOnce) {
    const ordvane::testing::TemporaryFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string path = folder.Path() + "/state/ordvane/changes.jsonl";
    constexpr int kWriters = 4;
    constexpr int kLinesEach = 100;
    std::vector<pid_t> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = ::fork();
        if (child == 0) {
            ChangeEntry entry = SampleEntry();
            entry.changes.push_back(
                {ModuleSetting::kHostname, std::string(2000, 'a' + writer), {}});
            std::string error;
            for (int line = 0; line < kLinesEach; ++line) {
                if (!ChangeJournal(path, false).Append(entry, error)) {
                    ::_exit(1);
                }
            }
            ::_exit(0);
        }
        writers.push_back(child);
    }
    for (const pid_t child : writers) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    struct stat file {};
    struct stat parent {};
    ASSERT_EQ(::stat(path.c_str(), &file), 0);
    ASSERT_EQ(::stat((folder.Path() + "/state/ordvane").c_str(), &parent), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    EXPECT_EQ(parent.st_mode & 0777, 0700u);

    const ReadCount count = ReadAllEntries(std::fopen(path.c_str(), "r"));
    EXPECT_EQ(count.entries, kWriters * kLinesEach);
    EXPECT_EQ(count.skipped, 0u) << count.firstProblem;
}

struct SecretCase {
    const char* name;
    bool hashed;
};

TEST(ConfigureChange, LeavesNoPasswordDigestOrChallengeResponseInTheLine) {
    for (const SecretCase& secretCase : {SecretCase{"plain", false}, SecretCase{"hashed", true}}) {
        ZEVA_ModuleScanResponseType module{};
        const std::uint8_t mac[6] = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x07};
        std::copy(std::begin(mac), std::end(mac), module.macId);
        module.macIdValid = 1;
        module.ipAddress = 0x0A000001;
        module.ipAddressValid = 1;
        std::snprintf(module.hostname, sizeof module.hostname, "press1");
        module.hostnameValid = 1;
        module.passwordSet = 1;
        module.passwordSetValid = 1;
        module.hashedPasswords = secretCase.hashed ? 1 : 0;
        std::snprintf(module.challenge, sizeof module.challenge, "Qx81736451234");

        ConfigureDialogOutput values;
        values.ipAddress = 0x0A000002;
        values.password = "Hunter2old";
        values.newPassword = "Tr0ub4dor";
        values.changePassword = 1;
        values.hostname = "cellTr0ub4dor";  // the new password typed into the wrong field
        ZEVA_ConfigureRequestType request;
        BuildConfigureRequestWithSalt(ToModuleRecord(module), values, PasswordSalt{'Z', 'q'},
                                      request);

        const std::string line = JournalLine::Format(
            ConfigureChange(JournalCommand::kConfigure, ToModuleRecord(module), values, request));
        for (const std::string& secret :
             {values.password, values.newPassword, std::string(request.password),
              std::string(request.newPassword)}) {
            EXPECT_EQ(line.find(secret), std::string::npos) << secretCase.name << ": " << line;
        }
        EXPECT_NE(line.find(R"({"setting":"IP","before":"10.0.0.1","after":"10.0.0.2"})"),
                  std::string::npos)
            << line;
        EXPECT_NE(line.find(R"({"setting":"Hostname","before":"press1","after":null})"),
                  std::string::npos)
            << line;
        EXPECT_NE(line.find(R"("password_changed":true)"), std::string::npos) << line;
    }
}

}  // namespace
