#include "journal/ConfigureChange.h"

#include <string_view>
#include <vector>

#include "journal/ChangeJournal.h"

namespace ordvane {

namespace {

bool ContainsAny(const std::string& text, const std::vector<std::string_view>& secrets) {
    for (const std::string_view secret : secrets) {
        if (!secret.empty() && text.find(secret) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void Withhold(std::optional<std::string>& text, const std::vector<std::string_view>& secrets) {
    if (text && ContainsAny(*text, secrets)) {
        text.reset();
    }
}

}  // namespace

ChangeEntry ConfigureChange(JournalCommand command, const ModuleRecord& module,
                            const ConfigureDialogOutput& values,
                            const ZEVA_ConfigureRequestType& request) {
    ChangeEntry entry = ChangeJournal::NewEntry(command, request.macId);
    const std::vector<std::string_view> secrets = {values.password, values.newPassword,
                                                   FixedFieldText(request.password),
                                                   FixedFieldText(request.newPassword)};
    const SettingValues before = ReportedSettingValues(module);
    const SettingValues after = RequestedSettingValues(request);
    for (std::size_t index = 0; index < kModuleSettingCount; ++index) {
        if (before[index] && before[index] != after[index]) {
            SettingChange change{static_cast<ModuleSetting>(index), SettingValueText(before[index]),
                                 SettingValueText(after[index])};
            if (change.setting == ModuleSetting::kHostname) {
                Withhold(change.before, secrets);
                Withhold(change.after, secrets);
            }
            entry.changes.push_back(std::move(change));
        }
    }
    entry.passwordChanged = request.changePassword != 0;
    return entry;
}

}  // namespace ordvane
