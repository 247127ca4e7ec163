#include "journal/ChangeJournal.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "journal/JournalLine.h"
#include "journal/JournalTime.h"
#include "platform/AddressText.h"
#include "version/ProgramVersion.h"

namespace ordvane {

namespace {

constexpr const char* kRelativePath = "ordvane/changes.jsonl";

std::string EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

struct UserRecord {
    std::string name;
    std::string home;
};

UserRecord CurrentUser() {
    std::vector<char> buffer(16384);
    passwd record{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &record, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr) {
        return {std::to_string(::getuid()), ""};
    }
    return {found->pw_name, found->pw_dir != nullptr ? found->pw_dir : ""};
}

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return "";
    }
    return name;
}

// The program's name and version, read once from its own version resource.
const std::pair<std::string, std::string>& ProgramIdentity() {
    static const std::pair<std::string, std::string> identity = [] {
        const std::string name = program_invocation_short_name;
        const std::string line(static_cast<LPCSTR>(ProgramVersionLine(name.c_str())));
        std::string version = line.size() > name.size() ? line.substr(name.size() + 1) : "";
        if (version.starts_with("(")) {
            version.clear();  // "(no version information)"
        }
        return std::pair(name, version);
    }();
    return identity;
}

std::string SystemError(const std::string& what, int number) {
    return what + ": " + std::strerror(number);
}

// Makes every missing folder of the path's parent, each 0700, and brings the journal's own
// folder to 0700 when this user owns it.
bool MakeParentFolders(const std::string& path, std::string& error) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            error = SystemError(folder, errno);
            return false;
        }
    }
    const std::string folder = path.substr(0, path.rfind('/'));
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0 && status.st_uid == ::geteuid() &&
        (status.st_mode & 077) != 0) {
        ::chmod(folder.c_str(), 0700);
    }
    return true;
}

}  // namespace

ChangeJournal::ChangeJournal() : ChangeJournal(DefaultPath(), SystemLogWanted()) {}

ChangeJournal::ChangeJournal(std::string path, bool toSystemLog)
    : m_path(std::move(path)), m_toSystemLog(toSystemLog) {}

std::string ChangeJournal::DefaultPath() {
    std::string base = EnvironmentPath("XDG_STATE_HOME");
    if (base.empty()) {
        std::string home = EnvironmentPath("HOME");
        if (home.empty()) {
            home = CurrentUser().home;
        }
        if (home.empty() || home[0] != '/') {
            return "";
        }
        base = home + "/.local/state";
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return base + "/" + kRelativePath;
}

bool ChangeJournal::SystemLogWanted() {
    const char* value = std::getenv("ORDVANE_JOURNAL_SYSLOG");
    if (value == nullptr) {
        return true;
    }
    const std::string_view text(value);
    return text != "0" && text != "no" && text != "off" && text != "false";
}

ChangeEntry ChangeJournal::NewEntry(JournalCommand command, const std::uint8_t* mac) {
    ChangeEntry entry;
    entry.time = JournalTime::Now();
    entry.user = CurrentUser().name;
    entry.host = HostName();
    entry.program = ProgramIdentity().first;
    entry.version = ProgramIdentity().second;
    entry.processId = static_cast<long>(::getpid());
    entry.command = command;
    entry.mac = FormatMacAddress(mac);
    return entry;
}

bool ChangeJournal::Append(const ChangeEntry& entry, std::string& error) const {
    const std::string line = JournalLine::Format(entry) + "\n";
    if (m_toSystemLog) {
        ::syslog(LOG_USER | LOG_NOTICE, "%.*s", static_cast<int>(line.size() - 1), line.data());
    }
    if (m_path.empty()) {
        error = "no home folder for the change journal";
        return false;
    }
    if (!MakeParentFolders(m_path, error)) {
        return false;
    }
    const int file = ::open(
        m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (file < 0) {
        error = SystemError(m_path, errno);
        return false;
    }
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(file);
        error = m_path + ": not a regular file";
        return false;
    }
    if (status.st_uid == ::geteuid() && (status.st_mode & 077) != 0) {
        ::fchmod(file, 0600);
    }
    const ssize_t written = ::write(file, line.data(), line.size());
    const int writeError = errno;
    ::close(file);
    if (written != static_cast<ssize_t>(line.size())) {
        error = written < 0 ? SystemError(m_path, writeError) : m_path + ": line cut short";
        return false;
    }
    return true;
}

void ChangeJournal::Record(const ChangeEntry& entry) const {
    std::string error;
    if (!Append(entry, error)) {
        std::fprintf(stderr, "warning: change journal: %s\n", error.c_str());
    }
}

}  // namespace ordvane

namespace ordvane {

void ChangeJournal::Record(JournalCommand command, const std::uint8_t* mac,
                           const std::string& result) const {
    ChangeEntry entry = NewEntry(command, mac);
    entry.result = result;
    Record(entry);
}

}  // namespace ordvane
