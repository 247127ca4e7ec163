#pragma once
// The seven columns of the module table and the texts one module's record shows in them.

#include <array>
#include <cstddef>
#include <string>

#include "modsvc/ModuleRecord.h"

namespace ordvane {

// The columns' indices, as the list control counts them.
inline constexpr int kColumnIp = 0;
inline constexpr int kColumnSubnetMask = 1;
inline constexpr int kColumnGateway = 2;
inline constexpr int kColumnDhcp = 3;
inline constexpr int kColumnVersion = 4;
inline constexpr int kColumnType = 5;
inline constexpr int kColumnMac = 6;

inline constexpr std::size_t kModuleColumnCount = 7;

// Headings and pixel widths of the table, in the form CreateColumns reads.
inline constexpr const char* kModuleColumnList =
    "IP,90;SN,90;GW,90;DHCP,50;Version,50;Type,114;MAC,115";

// Shown for a value the module did not report.
inline constexpr const char* kNotAvailableText = "N/A";

using ModuleColumnTexts = std::array<std::string, kModuleColumnCount>;

// The texts of the seven columns in column order, kNotAvailableText for a value not reported.
// DHCP shows "On" exactly when the module reported it on. The MAC text is the addressing MAC's
// whether the module reports it or not; whether the record gets a row at all is HasModuleRow's
// question.
ModuleColumnTexts FormatModuleColumns(const ModuleRecord& record);

// A record without a MAC address is stored but shown in no row.
bool HasModuleRow(const ModuleRecord& record);

}  // namespace ordvane
