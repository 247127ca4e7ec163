#pragma once
// One line of the change journal: who changed which module, from where, with what, what the
// settings were before and after, and how it ended. Secrets have no place here by
// construction: there is no member a password, challenge response or digest could go into,
// only the fact that the password changed.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordvane {

// The commands that change a module (wink changes nothing but is a visible act on a module in
// a running plant, so it is recorded too).
enum class JournalCommand { kConfigure, kApply, kRecover, kWink };

// The settings a change may touch, in the order of the plan file's columns.
enum class ModuleSetting { kIp, kSubnetMask, kGateway, kDhcp, kDns1, kDns2, kHostname };
inline constexpr std::size_t kModuleSettingCount = 7;

// "configure", "apply", "recover", "wink".
const char* JournalCommandName(JournalCommand command);
std::optional<JournalCommand> JournalCommandNamed(std::string_view name);

// "IP", "SN", "GW", "DHCP", "DNS1", "DNS2", "Hostname": the plan file's column names.
const char* ModuleSettingName(ModuleSetting setting);
std::optional<ModuleSetting> ModuleSettingNamed(std::string_view name);

// One setting that changed; nothing stands for a value the module does not report.
struct SettingChange {
    ModuleSetting setting = ModuleSetting::kIp;
    std::optional<std::string> before;
    std::optional<std::string> after;
};

struct ChangeEntry {
    std::string time;  // UTC, ISO 8601: "2026-12-08T16:53:17Z"
    std::string user;
    std::string host;
    std::string program;  // "ordvane-cli", "ordvane"
    std::string version;  // "1.4.0.0"
    long processId = 0;   // tells the lines of one run apart from concurrent writers'
    JournalCommand command = JournalCommand::kConfigure;
    std::string mac;  // "0A-51-4D-00-00-01"
    std::vector<SettingChange> changes;
    bool passwordChanged = false;
    // How it ended: "accepted", "verified", "refused-password", "no-answer", "not-as-planned",
    // "not-sent", "sent", "no-outcome".
    std::string result;
};

}  // namespace ordvane
