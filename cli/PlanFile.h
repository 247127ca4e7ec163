#pragma once
// A commissioning plan: a CSV file with a header line, one module a line, read from untrusted
// input. MAC is required; IP, SN, GW, DHCP, DNS1, DNS2 and Hostname are optional, in any order
// and any case. An empty cell or a missing column keeps the module's current value; a quoted
// empty Hostname ("") clears the hostname. docs/cli.md describes the format.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/ConfigureOverrides.h"
#include "platform/AddressText.h"

namespace ordvane::cli {

// Far beyond a plant cell; bounds what a hostile file can make us hold.
inline constexpr std::size_t kMaxPlanRows = 65536;
inline constexpr std::size_t kMaxPlanFileBytes = 16 * 1024 * 1024;

struct PlanRow {
    std::size_t line = 0;  // in the file, from 1
    MacAddress mac{};
    std::optional<std::uint32_t> ipAddress;
    std::optional<std::uint32_t> subnetMask;
    std::optional<std::uint32_t> gateway;
    std::optional<std::uint32_t> primaryDns;
    std::optional<std::uint32_t> secondaryDns;
    std::optional<bool> dhcpOn;
    std::optional<std::string> hostname;  // as written; the dialog's checks come later
};

// The row as command-line overrides for the Configure command's request building.
ConfigureOverrides PlanOverrides(const PlanRow& row);

// Reads the plan; false with "FILE: line L, column C: what" (or "FILE: what") in error. No row
// is returned when any line is wrong.
[[nodiscard]] bool ParsePlan(std::span<const std::uint8_t> text, std::string_view fileName,
                             std::vector<PlanRow>& rows, std::string& error);

// Reads the file (at most kMaxPlanFileBytes) and parses it.
[[nodiscard]] bool LoadPlanFile(const std::string& path, std::vector<PlanRow>& rows,
                                std::string& error);

}  // namespace ordvane::cli
