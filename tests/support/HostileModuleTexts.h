#pragma once
// Module types that try to attack whoever reads the table: spreadsheet formulas and terminal
// escapes, with what the CSV output and the window's copied rows must turn each into, and a
// fleet file that plays one module per type (MACs 0A-51-4D-00-07-0N in this order).

#include <array>
#include <string>

namespace ordvane::testing {

struct HostileModuleText {
    const char* type;
    const char* csvField;
    const char* copiedCell;
};

inline constexpr std::array<HostileModuleText, 6> kHostileModuleTexts = {{
    {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\"", "'=HYPERLINK(\"http://x\")"},
    {"+cmd|' /C calc'!A0", "\"'+cmd|' /C calc'!A0\"", "'+cmd|' /C calc'!A0"},
    {"@SUM(1+1)", "\"'@SUM(1+1)\"", "'@SUM(1+1)"},
    {"-2+3", "\"'-2+3\"", "'-2+3"},
    {"QM\x1B[31m\x07", "QM\\x1B[31m\\x07", "QM\\x1B[31m\\x07"},
    {"QM-240", "QM-240", "QM-240"},
}};

inline std::string HostileModuleMac(std::size_t index) {
    return "0A-51-4D-00-07-0" + std::to_string(index);
}

// The fleet file text, each type quoted with its quotes doubled.
inline std::string HostileFleet() {
    std::string fleet = "mac,type\n";
    for (std::size_t index = 0; index < kHostileModuleTexts.size(); ++index) {
        std::string type;
        for (const char* character = kHostileModuleTexts[index].type; *character != '\0';
             ++character) {
            type += *character == '"' ? std::string("\"\"") : std::string(1, *character);
        }
        fleet += HostileModuleMac(index) + ",\"" + type + "\"\n";
    }
    return fleet;
}

}  // namespace ordvane::testing
