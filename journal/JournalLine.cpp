#include "journal/JournalLine.h"

#include <nlohmann/json.hpp>

namespace ordvane {

namespace {

using Json = nlohmann::ordered_json;

Json OptionalText(const std::optional<std::string>& text) {
    return text ? Json(*text) : Json(nullptr);
}

// The reader below never calls an accessor that throws: every value's type is checked first.
bool ReadText(const Json& object, const char* key, std::string& text) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) {
        return false;
    }
    text = found->get_ref<const std::string&>();
    return true;
}

bool ReadOptionalText(const Json& object, const char* key, std::optional<std::string>& text) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        text.reset();
        return true;
    }
    if (!found->is_string()) {
        return false;
    }
    text = found->get_ref<const std::string&>();
    return true;
}

bool ReadChanges(const Json& object, std::vector<SettingChange>& changes) {
    const auto found = object.find("changes");
    if (found == object.end() || !found->is_array()) {
        return false;
    }
    for (const Json& item : *found) {
        std::string name;
        SettingChange change;
        if (!item.is_object() || !ReadText(item, "setting", name) ||
            !ReadOptionalText(item, "before", change.before) ||
            !ReadOptionalText(item, "after", change.after)) {
            return false;
        }
        const std::optional<ModuleSetting> setting = ModuleSettingNamed(name);
        if (!setting) {
            return false;
        }
        change.setting = *setting;
        changes.push_back(std::move(change));
    }
    return true;
}

bool Refuse(std::string& error, const char* reason) {
    error = reason;
    return false;
}

}  // namespace

std::string JournalLine::Format(const ChangeEntry& entry) {
    Json changes = Json::array();
    for (const SettingChange& change : entry.changes) {
        changes.push_back({{"setting", ModuleSettingName(change.setting)},
                           {"before", OptionalText(change.before)},
                           {"after", OptionalText(change.after)}});
    }
    const Json line = {{"time", entry.time},
                       {"user", entry.user},
                       {"host", entry.host},
                       {"program", entry.program},
                       {"version", entry.version},
                       {"pid", entry.processId},
                       {"command", JournalCommandName(entry.command)},
                       {"mac", entry.mac},
                       {"changes", std::move(changes)},
                       {"password_changed", entry.passwordChanged},
                       {"result", entry.result}};
    return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool JournalLine::Parse(std::string_view line, ChangeEntry& entry, std::string& error) {
    if (line.size() > kMaxLineLength) {
        return Refuse(error, "line longer than 64 KiB");
    }
    const Json object = Json::parse(line.begin(), line.end(), nullptr, false);
    if (!object.is_object()) {
        return Refuse(error, "not a JSON object");
    }
    entry = ChangeEntry{};
    std::string command;
    if (!ReadText(object, "time", entry.time) || !ReadText(object, "user", entry.user) ||
        !ReadText(object, "host", entry.host) || !ReadText(object, "program", entry.program) ||
        !ReadText(object, "version", entry.version) || !ReadText(object, "command", command) ||
        !ReadText(object, "mac", entry.mac) || !ReadText(object, "result", entry.result)) {
        return Refuse(error, "a text field is missing or not a string");
    }
    const std::optional<JournalCommand> known = JournalCommandNamed(command);
    if (!known) {
        return Refuse(error, "unknown command");
    }
    entry.command = *known;
    const auto pid = object.find("pid");
    if (pid == object.end() || !pid->is_number_integer()) {
        return Refuse(error, "pid missing or not a whole number");
    }
    entry.processId = pid->get<long>();
    const auto password = object.find("password_changed");
    if (password == object.end() || !password->is_boolean()) {
        return Refuse(error, "password_changed missing or not true/false");
    }
    entry.passwordChanged = password->get<bool>();
    if (!ReadChanges(object, entry.changes)) {
        return Refuse(error, "changes is not a list of {setting, before, after}");
    }
    return true;
}

}  // namespace ordvane
