#include "config/KnownModules.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/BoundedFile.h"

namespace ordvane {

namespace {

constexpr std::string_view kHashed = "hashed";
constexpr std::string_view kPlain = "plain";

// One line: a MAC, one blank, the mode; a carriage return before the line end is allowed.
bool ParseLine(std::string_view line, MacAddress& mac, bool& hashed) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos || !ParseStrictMacAddress(line.substr(0, blank), mac)) {
        return false;
    }
    const std::string_view mode = line.substr(blank + 1);
    if (mode != kHashed && mode != kPlain) {
        return false;
    }
    hashed = mode == kHashed;
    return true;
}

// Creates each missing folder on the way, readable by this user only.
bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

}  // namespace

std::size_t KnownModules::Parse(std::string_view text) {
    std::size_t skipped = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        MacAddress mac{};
        bool hashed = false;
        if (line.empty()) {
            continue;
        }
        if (!ParseLine(line, mac, hashed)) {
            ++skipped;
            continue;
        }
        Remember(mac, hashed);
    }
    return skipped;
}

std::string KnownModules::Format() const {
    std::string text;
    for (const auto& [mac, hashed] : m_hashed) {
        text += FormatMacAddress(mac.data());
        text += ' ';
        text += hashed ? kHashed : kPlain;
        text += '\n';
    }
    return text;
}

bool KnownModules::Remember(const ModuleRecord& answer) {
    return answer.mac && Remember(*answer.mac, answer.hashedPasswords);
}

bool KnownModules::Remember(const MacAddress& mac, bool hashed) {
    const auto known = m_hashed.find(mac);
    if (known != m_hashed.end()) {
        const bool upgraded = hashed && !known->second;
        if (upgraded) {
            known->second = true;
            m_plain.erase(mac);
        }
        return upgraded;
    }
    if (m_hashed.size() >= kMaxModules) {
        // Full: only a module that asks for hashed passwords earns a place, a plain one's.
        if (!hashed || m_plain.empty()) {
            return false;
        }
        m_hashed.erase(*m_plain.begin());
        m_plain.erase(m_plain.begin());
    }
    m_hashed.emplace(mac, hashed);
    if (!hashed) {
        m_plain.insert(mac);
    }
    return true;
}

bool KnownModules::Forget(const MacAddress& mac) {
    m_plain.erase(mac);
    return m_hashed.erase(mac) != 0;
}

bool KnownModules::KnownHashed(const MacAddress& mac) const {
    const auto known = m_hashed.find(mac);
    return known != m_hashed.end() && known->second;
}

namespace {

struct ProgramStore {
    KnownModules modules;
    std::string saved;  // the text last read or written
};

ProgramStore& Store() {
    static ProgramStore store = [] {
        ProgramStore loaded;
        const std::string path = KnownModulesPath();
        if (!path.empty() && LoadKnownModules(path, loaded.modules).Ok()) {
            loaded.saved = loaded.modules.Format();
        }
        return loaded;
    }();
    return store;
}

}  // namespace

KnownModules& ProgramKnownModules() {
    return Store().modules;
}

Status SaveProgramKnownModules() {
    ProgramStore& store = Store();
    std::string text = store.modules.Format();
    if (text == store.saved) {
        return {};
    }
    const std::string path = KnownModulesPath();
    if (path.empty()) {
        return Failure{kNoKnownModulesPath};
    }
    if (Status saved = SaveKnownModules(path, store.modules); !saved) {
        return saved;
    }
    store.saved = std::move(text);
    return {};
}

std::string KnownModulesPath() {
    // Relative values are ignored, as the base-directory rules ask.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/ordvane/known-modules";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/state/ordvane/known-modules";
    }
    return {};
}

Status LoadKnownModules(const std::string& path, KnownModules& modules) {
    std::string text;
    std::string error;
    bool missing = false;
    if (!ReadBoundedRegularFile(path, KnownModules::kMaxFileBytes, text, error, &missing)) {
        if (missing) {
            return {};
        }
        return Failure{error};
    }
    modules.Parse(text);
    return {};
}

Status SaveKnownModules(const std::string& path, const KnownModules& modules) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) {
        return Failure{"cannot write " + path + ": cannot create its folder"};
    }
    std::string error;
    if (!WriteFileAtomically(path, modules.Format(), error)) {
        return Failure{error};
    }
    return {};
}

PasswordSending CheckPasswordSending(const KnownModules& known, const ModuleRecord& module,
                                     bool passwordGiven) {
    if (module.hashedPasswords) {
        return PasswordSending::kAllowed;
    }
    if (known.KnownHashed(module.AddressingMac())) {
        return PasswordSending::kRefusedDowngrade;
    }
    return passwordGiven ? PasswordSending::kNeedsConsent : PasswordSending::kAllowed;
}

std::string PlainPasswordRisk(const std::string& macText) {
    return macText +
           " takes its password in plain text: anyone on the network can read it on the way.";
}

std::string PasswordDowngradeRefusal(const std::string& macText) {
    return macText +
           " asked for hashed passwords before and now asks for its password in plain text; "
           "another device may be answering in its name. Nothing was sent. After a real "
           "firmware change, forget it with \"ordvane-cli forget " +
           macText + "\".";
}

}  // namespace ordvane
