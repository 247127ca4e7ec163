// ordvane-cli configure MAC [--ip A] [--mask A] [--gateway A] [--dns1 A] [--dns2 A]
//                           [--hostname H] [--dhcp on|off] [--password-stdin]
//                           [--new-password-stdin | --remove-password] [--plain-password]
//
// Builds the request the Ethernet configuration dialog would send if the user typed exactly
// the given values into it: values not given keep what the module reported, the same checks
// refuse the same input with the same words, passwords are hashed the same way. Passwords are
// read from standard input (current first, then new, one per line; typed unseen at a
// terminal) and never printed. A password goes in clear to a module that asks for plain text
// only with --plain-password, and never to one once seen asking for hashed passwords.
//
// Exit status: 0 once a rescan shows the configured module (its line is printed), 3 when the
// module refused the password, 4 when no outcome came in time, 2 for bad arguments or input the
// dialog would refuse, 1 for other failures (the module did not answer the scan, the library
// did not start).

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "cli/CliCommand.h"
#include "cli/CommandOptions.h"
#include "cli/ExitStatus.h"
#include "cli/KnownModulesFile.h"
#include "cli/LibraryEventQueue.h"
#include "cli/ModuleLocator.h"
#include "cli/PasswordInput.h"
#include "config/ConfigureDialogValues.h"
#include "config/ConfigureOverrides.h"
#include "config/ConfigureRequestBuilder.h"
#include "config/ConfigureValidation.h"
#include "journal/ConfigureChange.h"
#include "journal/PendingChanges.h"
#include "platform/AddressText.h"
#include "platform/Utf8Text.h"

namespace ordvane::cli {

namespace {

constexpr auto kScanTimeout = std::chrono::seconds(5);
constexpr auto kOutcomeTimeout = std::chrono::seconds(10);

constexpr const char* kConfigureUsage =
    "usage: ordvane-cli configure MAC [--ip A] [--mask A] [--gateway A] [--dns1 A] [--dns2 A]\n"
    "                              [--hostname H] [--dhcp on|off] [--password-stdin]\n"
    "                              [--new-password-stdin | --remove-password] [--plain-password]\n"
    "Passwords are read from standard input: the current one, then the new one, one per line.";

bool Refuse(const std::string& message) {
    std::fprintf(stderr, "ordvane-cli configure: %s\n%s\n", message.c_str(), kConfigureUsage);
    return false;
}

// One line of standard input without its line end (typed unseen at a terminal); nothing at the
// end of input or when the line is longer than the dialog's password edits take.
bool ReadPasswordLine(const char* what, const char* prompt, std::string& password) {
    if (!ReadSecretLine(prompt, password)) {
        return Refuse(std::string("no ") + what + " on standard input");
    }
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    if (CountUtf8Characters(password) > kDialogTextLimit) {
        return Refuse(std::string("the ") + what + " has more than 29 characters");
    }
    return true;
}

bool ReadPasswords(ConfigureArguments& parsed) {
    std::string password;
    if (parsed.passwordFromInput) {
        if (!ReadPasswordLine("password", "Password: ", password)) {
            return false;
        }
        parsed.overrides.password = password;
    }
    if (parsed.newPasswordFromInput) {
        if (!ReadPasswordLine("new password", "New password: ", password)) {
            return false;
        }
        // Typed unseen, a typo would lock the technician out: it is typed twice.
        std::string again;
        if (InputIsTerminal()) {
            if (!ReadPasswordLine("new password", "New password again: ", again)) {
                return false;
            }
            if (again != password) {
                return Refuse("the two new passwords differ; nothing was sent");
            }
        }
        if (password.empty()) {
            return Refuse("the new password is empty; --remove-password removes the password");
        }
        parsed.overrides.newPassword = password;
    }
    if (parsed.removePassword) {
        parsed.overrides.newPassword = std::string();
    }
    return true;
}

// How a configure ended, in the change journal's words.
const char* OutcomeName(int status) {
    switch (status) {
        case kExitSuccess:
            return "accepted";
        case kExitInvalidPassword:
            return "refused-password";
        case kExitTimeout:
            return "no-answer";
        default:
            return "not-sent";  // two devices claim the MAC: the library sent nothing
    }
}

// accepted tells the journal that the module took the request even when the rescan that
// should show it then times out.
int AwaitOutcome(const MacAddress& mac, bool& accepted) {
    const auto deadline = LibraryEventQueue::Clock::now() + kOutcomeTimeout;
    while (const std::optional<int> eventCode = LibraryEventQueue::WaitForEvent(deadline)) {
        if (*eventCode == ZEVA_EVENT_NO_ANSWER) {
            break;  // the library gave up sending: no need to wait out our own deadline
        }
        if (*eventCode == ZEVA_EVENT_INVALID_PASSWORD && TakeOwnInvalidPassword(mac)) {
            std::fprintf(stderr, "Invalid password\n");
            return kExitInvalidPassword;
        }
        if (*eventCode == ZEVA_EVENT_PASSWORD_DOWNGRADE) {
            std::fprintf(stderr, "ordvane-cli configure: %s\n",
                         PasswordDowngradeRefusal(FormatMacAddress(mac.data())).c_str());
            return kExitFailure;
        }
        if (*eventCode == ZEVA_EVENT_MAC_CONFLICT) {
            std::fprintf(stderr, "ordvane-cli configure: two devices claim %s; nothing was sent\n",
                         FormatMacAddress(mac.data()).c_str());
            return kExitFailure;
        }
        if (*eventCode == ZEVA_EVENT_RESCAN) {
            accepted = true;
            TakeOwnInvalidPassword(mac);
            const std::optional<ModuleRecord> module = ScanForModule(mac, kScanTimeout);
            if (!module) {
                break;
            }
            PrintModuleLine(*module);
            return kExitSuccess;
        }
    }
    std::fprintf(stderr,
                 "ordvane-cli configure: no answer from %s in time (exit status 4); scan again "
                 "to see whether it took the settings\n",
                 FormatMacAddress(mac.data()).c_str());
    return kExitTimeout;
}

}  // namespace

int RunConfigure(std::span<const std::string> arguments) {
    ConfigureArguments parsed;
    std::string error;
    if (!ParseConfigureArguments(arguments, parsed, error)) {
        Refuse(error);
        return kExitUsage;
    }
    if (!ReadPasswords(parsed)) {
        return kExitUsage;
    }
    if (!StartModuleService()) {
        return kExitFailure;
    }
    const std::vector<ModuleRecord> answers = ScanForModuleAnswers(parsed.mac, kScanTimeout);
    if (answers.empty()) {
        std::fprintf(stderr, "ordvane-cli configure: %s did not answer the scan\n",
                     FormatMacAddress(parsed.mac.data()).c_str());
        return kExitFailure;
    }
    if (RefuseMacClaimedTwice("ordvane-cli configure", parsed.mac, answers)) {
        return kExitFailure;
    }
    KnownModules known = LoadKnownModulesFile("ordvane-cli configure");
    const ModuleRecord& module = answers.front();
    const ConfigureDialogInput prefill = PrefillFromModule(module);
    const ConfigureDialogOutput values = ApplyConfigureOverrides(prefill, parsed.overrides);
    if (const char* refusal =
            FirstConfigureRefusal(values.hostname, values.ipAddress, ReportedHostname(prefill))) {
        std::fprintf(stderr, "%s\n", refusal);
        return kExitUsage;
    }
    const bool passwordGiven =
        !values.password.empty() || (values.changePassword == 1 && !values.newPassword.empty());
    if (!MayConfigure("ordvane-cli configure", known, module, passwordGiven,
                      parsed.plainPasswordConsent)) {
        return kExitFailure;
    }
    RememberKnownModules("ordvane-cli configure", known, answers);
    ZEVA_ConfigureRequestType request;
    if (!BuildConfigureRequest(module, values, request)) {
        std::fprintf(stderr, "ordvane-cli configure: no random salt for the new password\n");
        return kExitFailure;
    }
    PendingChanges journal;
    journal.Hold(ConfigureChange(JournalCommand::kConfigure, module, values, request));
    ZEVA_SendConfigure(&request);
    bool accepted = false;
    const int status = AwaitOutcome(parsed.mac, accepted);
    journal.FinishAll(accepted ? "accepted" : OutcomeName(status));
    return status;
}

}  // namespace ordvane::cli
