#include "journal/ChangeEntry.h"

namespace ordvane {

namespace {

constexpr std::array<const char*, 4> kCommandNames = {"configure", "apply", "recover", "wink"};
constexpr std::array<const char*, kModuleSettingCount> kSettingNames = {
    "IP", "SN", "GW", "DHCP", "DNS1", "DNS2", "Hostname"};

template <typename Enum, std::size_t Count>
std::optional<Enum> FindNamed(const std::array<const char*, Count>& names, std::string_view name) {
    for (std::size_t index = 0; index < Count; ++index) {
        if (name == names[index]) {
            return static_cast<Enum>(index);
        }
    }
    return std::nullopt;
}

}  // namespace

const char* JournalCommandName(JournalCommand command) {
    return kCommandNames.at(static_cast<std::size_t>(command));
}

std::optional<JournalCommand> JournalCommandNamed(std::string_view name) {
    return FindNamed<JournalCommand>(kCommandNames, name);
}

const char* ModuleSettingName(ModuleSetting setting) {
    return kSettingNames.at(static_cast<std::size_t>(setting));
}

std::optional<ModuleSetting> ModuleSettingNamed(std::string_view name) {
    return FindNamed<ModuleSetting>(kSettingNames, name);
}

}  // namespace ordvane
