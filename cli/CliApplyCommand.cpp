// ordvane-cli apply PLAN [--dry-run] [--password-stdin] [--new-password-stdin] [--seconds S]
//                        [--format table|csv|json]
//
// Commissions a whole cell from a plan (PlanFile.h): one scan, every plan row set against it
// (ApplyPlan.h), then every module that needs a change configured exactly as `configure` would
// do it, a bounded number at a time, and a rescan that checks each against its plan. One
// password from standard input serves every module; a module without a password ignores it.
//
// Exit status: 0 when every planned module ends at its plan (dry run: nothing stands in the
// way), 3 when any refused the password, 4 when any did not answer, 2 for a bad command line or
// plan file (nothing is sent), 1 otherwise.

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli/ApplyPlan.h"
#include "cli/CliCommand.h"
#include "cli/CommandOptions.h"
#include "cli/ExitStatus.h"
#include "cli/KnownModulesFile.h"
#include "cli/LibraryEventQueue.h"
#include "cli/ModuleLocator.h"
#include "cli/PasswordInput.h"
#include "cli/PlanFile.h"
#include "cli/TerminalText.h"
#include "config/ConfigureRequestBuilder.h"
#include "journal/ConfigureChange.h"
#include "journal/PendingChanges.h"
#include "platform/AddressText.h"
#include "platform/Utf8Text.h"

namespace ordvane::cli {

namespace {

using Clock = LibraryEventQueue::Clock;

// Configure requests out at once: enough to keep loopback and a real segment busy, few enough
// that the library's pending-command table (1024) never overflows and drops one.
constexpr std::size_t kMaxInFlight = 64;
// The library gives up on a request after 4 s; a request without any event by then is over.
constexpr auto kRequestDeadline = std::chrono::milliseconds(5000);
// How often a scan is sent again while a wanted module has not answered.
constexpr auto kScanRound = std::chrono::seconds(1);

constexpr const char* kApplyUsage =
    "usage: ordvane-cli apply PLAN [--dry-run] [--password-stdin] [--new-password-stdin]\n"
    "                          [--seconds S] [--format table|csv|json]\n"
    "Passwords are read from standard input: the current one, then the new one, one per line.";

bool Refuse(const std::string& message) {
    std::fprintf(stderr, "ordvane-cli apply: %s\n%s\n", TerminalSafe(message).c_str(), kApplyUsage);
    return false;
}

// One line of standard input; on a terminal with a prompt on standard error and without echo.
// The limit counts characters, as the configuration dialog and `configure` do.
bool ReadSecret(bool wanted, const char* what, const char* prompt, std::string& secret) {
    if (!wanted) {
        return true;
    }
    const std::string promptText = std::string(prompt) + " for every planned module: ";
    if (!ReadSecretLine(promptText.c_str(), secret)) {
        return Refuse(std::string("no ") + what + " on standard input");
    }
    if (!secret.empty() && secret.back() == '\r') {
        secret.pop_back();
    }
    return CountUtf8Characters(secret) <= kDialogTextLimit ||
           Refuse(std::string("the ") + what + " has more than 29 characters");
}

std::vector<ModuleRecord> TakeQueuedResponses() {
    std::vector<ModuleRecord> responses;
    while (std::optional<ModuleRecord> answer = NextModuleRecord()) {
        responses.push_back(std::move(*answer));
    }
    return responses;
}

// Scans until the deadline (or, with stopWhenAllHeard, until every wanted module answered) and
// scans again each second while a wanted module is still missing, since on a lossy segment a
// module may miss every repeat of one scan. A module heard in an earlier round is not taken
// again; within one round every answer counts, so two devices with one MAC both show.
std::vector<ModuleRecord> ScanRounds(std::set<MacAddress> wanted, Clock::time_point deadline,
                                     bool stopWhenAllHeard) {
    std::vector<ModuleRecord> scanned;
    std::set<MacAddress> heardEarlier;
    std::set<MacAddress> heardThisRound;
    ZEVA_SendModuleScan();
    auto nextRound = Clock::now() + kScanRound;
    for (;;) {
        for (ModuleRecord& response : TakeQueuedResponses()) {
            if (response.mac && !heardEarlier.contains(*response.mac)) {
                heardThisRound.insert(*response.mac);
                wanted.erase(*response.mac);
                scanned.push_back(std::move(response));
            }
        }
        const auto now = Clock::now();
        if (now >= deadline || (stopWhenAllHeard && wanted.empty())) {
            return scanned;
        }
        if (now >= nextRound) {
            heardEarlier.merge(heardThisRound);
            heardThisRound.clear();
            if (!wanted.empty()) {
                ZEVA_SendModuleScan();
            }
            nextRound = now + kScanRound;
        }
        LibraryEventQueue::WaitForEvent(std::min(deadline, nextRound));
    }
}

std::set<MacAddress> PlannedMacs(const std::vector<PlanRow>& plan) {
    std::set<MacAddress> macs;
    for (const PlanRow& row : plan) {
        macs.insert(row.mac);
    }
    return macs;
}

class PlanSender {
public:
    PlanSender(const ApplyArguments& arguments, PendingChanges& journal)
        : m_arguments(arguments), m_journal(journal) {}

    // Configures every item to change; returns the MACs that refused the password.
    std::set<MacAddress> Send(std::vector<ApplyItem*>& toSend) {
        std::size_t next = 0;
        while (next < toSend.size() || !m_inFlight.empty()) {
            while (next < toSend.size() && m_inFlight.size() < kMaxInFlight) {
                SendOne(*toSend[next++]);
            }
            if (!m_inFlight.empty()) {
                AwaitOneOutcome();
            }
        }
        TakeRefusals();
        return m_refused;
    }

private:
    void SendOne(const ApplyItem& item) {
        ConfigureOverrides overrides = PlanOverrides(item.plan);
        if (m_arguments.passwordFromInput) {
            overrides.password = m_arguments.password;
        }
        if (m_arguments.newPasswordFromInput || m_arguments.removePassword) {
            overrides.newPassword = m_arguments.newPassword;  // empty for --remove-password
        }
        const ConfigureDialogOutput values =
            ApplyConfigureOverrides(PrefillFromModule(*item.before), overrides);
        ZEVA_ConfigureRequestType request;
        if (!BuildConfigureRequest(*item.before, values, request)) {
            std::fprintf(stderr, "ordvane-cli apply: no random salt for the new password of %s\n",
                         item.before->AddressingMac().Text().c_str());
            return;  // the rescan shows it unchanged: no answer
        }
        m_journal.Hold(ConfigureChange(JournalCommand::kApply, *item.before, values, request));
        ZEVA_SendConfigure(&request);
        m_inFlight.push_back(Clock::now() + kRequestDeadline);
    }

    // Events do not name their module, so each ends the oldest request still out; the verifying
    // rescan tells the modules' results apart.
    void AwaitOneOutcome() {
        const std::optional<int> event = LibraryEventQueue::WaitForEvent(m_inFlight.front());
        if (!event) {
            m_inFlight.pop_front();
            return;
        }
        switch (*event) {
            case ZEVA_EVENT_INVALID_PASSWORD:
                TakeRefusals();
                [[fallthrough]];
            case ZEVA_EVENT_RESCAN:
            case ZEVA_EVENT_NO_ANSWER:
            case ZEVA_EVENT_MAC_CONFLICT:
            case ZEVA_EVENT_PASSWORD_DOWNGRADE:
                m_inFlight.pop_front();
                break;
            default:
                break;
        }
    }

    void TakeRefusals() {
        std::uint8_t mac[6] = {};
        while (ZEVA_GetInvPswdMacId(mac) == 1) {
            m_refused.insert(MacAddress::FromBytes(mac));
            ZEVA_RemoveFirstInvPswdMacId();
        }
    }

    const ApplyArguments& m_arguments;
    PendingChanges& m_journal;
    std::deque<Clock::time_point> m_inFlight;
    std::set<MacAddress> m_refused;
};

// Rescans until every configured module has answered or the time is up.
std::unordered_map<MacAddress, ModuleRecord> Rescan(const std::vector<ApplyItem*>& sent,
                                                    int seconds) {
    TakeQueuedResponses();  // left over from the first scan
    std::set<MacAddress> awaited;
    for (const ApplyItem* item : sent) {
        awaited.insert(item->plan.mac);
    }
    std::unordered_map<MacAddress, ModuleRecord> answers;
    if (awaited.empty()) {
        return answers;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    for (ModuleRecord& response : ScanRounds(awaited, deadline, true)) {
        const MacAddress mac = *response.mac;
        answers.try_emplace(mac, std::move(response));
    }
    return answers;
}

void PrintSummary(const std::vector<ApplyItem>& items) {
    std::map<std::string, std::size_t> counts;
    for (const ApplyItem& item : items) {
        ++counts[ApplyResultName(item.result)];
    }
    std::string summary;
    for (const auto& [name, count] : counts) {
        summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " + name;
    }
    std::fprintf(stderr, "%zu planned: %s\n", items.size(), summary.c_str());
}

int Finish(const std::vector<ApplyItem>& items, const ApplyArguments& arguments, int status) {
    std::fputs(FormatApplyReport(items, arguments.format).c_str(), stdout);
    std::fflush(stdout);
    PrintSummary(items);
    return status;
}

}  // namespace

int RunApply(std::span<const std::string> arguments) {
    ApplyArguments parsed;
    std::string error;
    if (!ParseApplyArguments(arguments, parsed, error)) {
        Refuse(error);
        return kExitUsage;
    }
    if (!ReadSecret(parsed.passwordFromInput, "password", "Password", parsed.password) ||
        !ReadSecret(parsed.newPasswordFromInput, "new password", "New password",
                    parsed.newPassword)) {
        return kExitUsage;
    }
    if (parsed.newPasswordFromInput) {
        std::string again;
        if (InputIsTerminal() && (!ReadSecret(true, "new password", "New password again", again) ||
                                  again != parsed.newPassword)) {
            Refuse("the two new passwords differ; nothing was sent");
            return kExitUsage;
        }
        if (parsed.newPassword.empty()) {
            Refuse("the new password is empty; --remove-password removes the password");
            return kExitUsage;
        }
    }
    std::vector<PlanRow> plan;
    if (!LoadPlanFile(parsed.planPath, plan, error)) {
        // The plan's own text comes back in the reason: it goes out terminal-safe.
        std::fprintf(stderr, "ordvane-cli apply: %s\n", TerminalSafe(error).c_str());
        return kExitUsage;
    }
    if (!StartModuleService()) {
        return kExitFailure;
    }
    std::vector<ApplyItem> items = PrepareApply(
        plan,
        ScanRounds(PlannedMacs(plan), Clock::now() + std::chrono::seconds(parsed.seconds), false),
        parsed.newPasswordFromInput || parsed.removePassword);
    KnownModules known = LoadKnownModulesFile("ordvane-cli apply");
    const bool passwordGiven = !parsed.password.empty() || !parsed.newPassword.empty();
    std::vector<ModuleRecord> scanned;
    for (ApplyItem& item : items) {
        if (!item.before) {
            continue;
        }
        scanned.push_back(*item.before);
        if (item.result == ApplyResult::kToChange &&
            !MayConfigure("ordvane-cli apply", known, *item.before, passwordGiven,
                          parsed.plainPasswordConsent)) {
            item.problems.push_back("password in clear refused");
            item.result = ApplyResult::kNotSent;
        }
    }
    RememberKnownModules("ordvane-cli apply", known, scanned);
    std::vector<ApplyItem*> toSend;
    bool anyProblem = false;
    for (ApplyItem& item : items) {
        anyProblem = anyProblem || item.result == ApplyResult::kNotSent;
        if (item.result == ApplyResult::kToChange) {
            toSend.push_back(&item);
        }
    }
    if (parsed.dryRun) {
        return Finish(items, parsed, anyProblem ? kExitFailure : kExitSuccess);
    }
    PendingChanges journal;
    const std::set<MacAddress> refused = PlanSender(parsed, journal).Send(toSend);
    const auto answers = Rescan(toSend, parsed.seconds);
    for (ApplyItem* item : toSend) {
        const auto answer = answers.find(item->plan.mac);
        SettleApplyResult(*item,
                          answer != answers.end() ? std::optional(answer->second) : std::nullopt,
                          refused.contains(item->plan.mac));
        journal.Finish(item->plan.mac.data(), ApplyResultName(item->result));
    }
    return Finish(items, parsed, ApplyExitStatus(items));
}

}  // namespace ordvane::cli
