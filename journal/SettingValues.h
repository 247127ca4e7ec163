#pragma once
// The settings a configure request can change, as typed values in ModuleSetting order: what a
// module reports (nothing where it reports none), what a plan or a request asks for. Compared
// as values; turned into text only to be shown.

#include <array>
#include <optional>
#include <string>
#include <variant>

#include "journal/ChangeEntry.h"
#include "modsvc/ModuleRecord.h"

namespace ordvane {

// An address setting, DHCP (true = on) or the hostname.
using SettingValue = std::variant<Ipv4Address, bool, std::string>;
using SettingValues = std::array<std::optional<SettingValue>, kModuleSettingCount>;

SettingValues ReportedSettingValues(const ModuleRecord& module);
SettingValues RequestedSettingValues(const ZEVA_ConfigureRequestType& request);

// "10.0.4.11", "On" or "Off", or the hostname as it is.
std::string SettingValueText(const SettingValue& value);
std::optional<std::string> SettingValueText(const std::optional<SettingValue>& value);

}  // namespace ordvane
