#pragma once
// The seven columns of the module table and the texts one scan response shows in them.

#include <array>
#include <cstddef>
#include <string>

#include "modsvc/ModuleService.h"

namespace ordvane {

enum ModuleColumn : int {
    kColumnIp = 0,
    kColumnSubnetMask = 1,
    kColumnGateway = 2,
    kColumnDhcp = 3,
    kColumnVersion = 4,
    kColumnType = 5,
    kColumnMac = 6,
};

inline constexpr std::size_t kModuleColumnCount = 7;

// Headings and pixel widths of the table, in the form CreateColumns reads.
inline constexpr const char* kModuleColumnList =
    "IP,90;SN,90;GW,90;DHCP,50;Version,50;Type,114;MAC,115";

// Shown for a value the module did not report.
inline constexpr const char* kNotAvailableText = "N/A";

using ModuleColumnTexts = std::array<std::string, kModuleColumnCount>;

// The texts of the seven columns in column order. A presence byte of any nonzero value counts
// as present. The type text is read within its field even when the module left it without a
// terminator. The MAC text is made whatever macIdValid says; whether the response gets a row
// at all is HasModuleRow's question.
ModuleColumnTexts FormatModuleColumns(const ZEVA_ModuleScanResponseType& response);

// A response without a valid MAC address is stored but shown in no row.
bool HasModuleRow(const ZEVA_ModuleScanResponseType& response);

}  // namespace ordvane
