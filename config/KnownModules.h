#pragma once
// The modules this user's window and command line have seen, with the way each takes
// passwords, kept across runs in $XDG_STATE_HOME/ordvane/known-modules (default
// ~/.local/state/ordvane/known-modules). A module once seen asking for hashed passwords never
// gets a password in clear afterwards: a device that answers in its name claiming plain
// passwords is refused, until the user forgets the MAC ("ordvane-cli forget MAC") after a real
// firmware change.
//
// The file is one line per module, "0A-51-4D-00-00-01 hashed" or "... plain", written
// atomically with mode 0600. Reading it is defensive: a file that is not a regular one, or is
// larger than kMaxFileBytes, is not read at all; lines that do not parse are skipped; at most
// kMaxModules are kept.

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "modsvc/ModuleRecord.h"
#include "platform/AddressText.h"
#include "platform/Result.h"

namespace ordvane {

class KnownModules {
public:
    static constexpr std::size_t kMaxModules = 65536;
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

    // Takes every well-formed line of the file's text; returns the number of lines skipped.
    std::size_t Parse(std::string_view text);
    std::string Format() const;

    // Notes the way a module's answer asks for passwords. A module once known to ask for
    // hashed ones stays so; a new MAC beyond kMaxModules replaces a plain one if it asks for
    // hashed passwords, and is not kept otherwise. True when anything changed.
    bool Remember(const ModuleRecord& answer);
    bool Remember(const MacAddress& mac, bool hashed);
    // True when the MAC was known.
    bool Forget(const MacAddress& mac);

    bool KnownHashed(const MacAddress& mac) const;
    std::size_t Size() const { return m_hashed.size(); }

private:
    std::map<MacAddress, bool> m_hashed;  // MAC -> asks for hashed passwords
    std::set<MacAddress> m_plain;         // the MACs that do not, which make room first
};

// The window's store: read from KnownModulesPath() on first use. Save writes it back when it
// changed since it was read or last written.
KnownModules& ProgramKnownModules();
Status SaveProgramKnownModules();

// Where the file lives, from XDG_STATE_HOME (when absolute) or HOME; empty when neither is
// usable.
std::string KnownModulesPath();
inline constexpr const char* kNoKnownModulesPath =
    "no HOME or XDG_STATE_HOME for the known-modules file";

// Reads the file into modules; a missing file is no error (nothing known yet).
Status LoadKnownModules(const std::string& path, KnownModules& modules);
// Writes the file atomically (its folder is created, mode 0700, when missing).
Status SaveKnownModules(const std::string& path, const KnownModules& modules);

// What a configure may send to a module, given what is known of it.
enum class PasswordSending {
    kAllowed,          // hashed, or nothing secret goes in clear
    kNeedsConsent,     // the module asks for plain text and a password would travel in clear
    kRefusedDowngrade  // the module asked for hashed passwords before and now asks for plain
};
PasswordSending CheckPasswordSending(const KnownModules& known, const ModuleRecord& module,
                                     bool passwordGiven);

// What the window and the command line say about the two refusals; the MAC in MAC text.
std::string PlainPasswordRisk(const std::string& macText);
std::string PasswordDowngradeRefusal(const std::string& macText);

}  // namespace ordvane
