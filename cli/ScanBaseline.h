#pragma once
// ordvane-cli scan --baseline FILE: an earlier `scan --format json` output read back (untrusted
// input: bounded in size, depth and length, every byte read through the bounds-checked reader)
// and compared with this scan by MAC address: modules that appeared, disappeared or changed,
// with the fields that changed.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ModuleTableFormat.h"
#include "modlist/ModuleColumns.h"

namespace ordvane::cli {

inline constexpr std::size_t kMaxBaselineFileBytes = 64 * 1024 * 1024;
inline constexpr std::size_t kMaxBaselineModules = 65536;

// The window's seven column texts of every module in the file, in file order. Other keys
// ("warnings" and any a later version adds) are skipped. False with "FILE: byte N: what" in
// error for anything that is not such a JSON array.
[[nodiscard]] bool ParseScanBaseline(std::span<const std::uint8_t> text, std::string_view fileName,
                                     std::vector<ModuleColumnTexts>& modules, std::string& error);
[[nodiscard]] bool LoadScanBaseline(const std::string& path,
                                    std::vector<ModuleColumnTexts>& modules, std::string& error);

enum class BaselineChangeKind { kAppeared, kDisappeared, kChanged };

struct BaselineFieldChange {
    std::string heading;  // "IP", "SN", ...
    std::string before;
    std::string after;
};

struct BaselineChange {
    std::string mac;
    BaselineChangeKind kind = BaselineChangeKind::kChanged;
    std::vector<BaselineFieldChange> fields;  // kChanged only
};

// The differences, sorted by MAC. Texts compare as the JSON output writes them, so a byte
// that JSON shows as U+FFFD is no change.
std::vector<BaselineChange> CompareWithBaseline(const std::vector<ModuleColumnTexts>& baseline,
                                                const std::vector<ModuleColumnTexts>& current);

// "appeared", "disappeared", "changed".
const char* BaselineChangeName(BaselineChangeKind kind);

// Table and CSV: MAC, Change, Fields ("IP 10.0.0.1 -> 10.0.0.9; Type A -> B"); JSON: an array
// of {"mac", "change", "fields": [{"field", "before", "after"}]}.
std::string FormatBaselineChanges(const std::vector<BaselineChange>& changes, TableFormat format);

}  // namespace ordvane::cli
