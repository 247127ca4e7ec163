// The baseline reader: what scan --format json writes reads back as the same texts, as does the
// array that version 1.4 wrote; anything else, and anything past a limit, is refused with the
// file's name.

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cli/ScanBaseline.h"
#include "cli/ScanTable.h"
#include "tests/modlist/SampleResponses.h"

namespace ordvane::cli {
namespace {

bool Parse(const std::string& text, std::vector<ModuleColumnTexts>& modules, std::string& error) {
    return ParseScanBaseline(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), "base.json",
        modules, error);
}

std::string Repeated(const std::string& part, std::size_t count) {
    std::string text;
    for (std::size_t index = 0; index < count; ++index) {
        text += (index == 0 ? "" : ",") + part;
    }
    return text;
}

TEST(ScanBaseline, ReadsTheScanOutputOfThisVersionAndOfVersionOneFour) {
    ModuleTableRow row{
        {"10.0.0.9", "255.0.0.0", "N/A", "On", "N/A", "QM \xFF", "00-1B-C5-0A-FF-01"}, {}};
    std::vector<ModuleColumnTexts> modules;
    std::string error;
    ASSERT_TRUE(Parse(FormatModuleTable({row}, TableFormat::kJson), modules, error)) << error;
    ASSERT_EQ(modules.size(), 1U);
    EXPECT_TRUE(CompareWithBaseline(modules, {row.columns}).empty());

    ASSERT_TRUE(Parse(R"([{"IP": "10.0.0.9", "SN": "N/A", "DHCP": "Off", "MAC": "00-1B-C5-0A-FF-02",
                          "warnings": []}])",
                      modules, error))
        << error;
    ASSERT_EQ(modules.size(), 1U);
    EXPECT_EQ(modules[0][kColumnDhcp], "Off");
    EXPECT_EQ(modules[0][kColumnMac], "00-1B-C5-0A-FF-02");
}

TEST(ScanBaseline, RefusesWhatIsNotAScanAndWhatPassesALimit) {
    const std::string module = R"({"mac": "00-1B-C5-0A-FF-01"})";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", "base.json: byte 1: not valid JSON"},
        {R"({"format": 1, "modules": []} [])", "base.json: byte 30: not valid JSON"},
        {R"({"format": 2, "modules": []})", "format 2 is not one this version"},
        {R"({"modules": []})", "no \"format\""},
        {R"({"format": 1, "modules": {}})", "\"modules\" is not an array"},
        {R"({"format": 1, "modules": [1]})", "module 1: not a JSON object"},
        {R"({"format": 1, "modules": [{"ip": null}]})", "module 1: no \"mac\""},
        {R"({"format": 1, "modules": [{"mac": null}]})", "\"mac\" has the wrong type"},
        {R"({"format": 1, "modules": [{"mac": "x", "ip": true}]})", "\"ip\" has the wrong type"},
        {R"({"format": 1, "modules": [{"mac": "x", "mac": "y"}]})", "\"mac\" twice"},
        {R"({"format": 1, "modules": [{"mac": "x", "type": ["x"]}]})", "\"type\" is not a text"},
        {R"([{"MAC": "x", "DHCP": true}])", "\"DHCP\" has the wrong type"},
        {R"({"format": 1, "x": [[[[[[[[[]]]]]]]]], "modules": []})", "nested deeper than 8"},
        {R"({"format": 1, "modules": [{"mac": ")" + std::string(4097, 'a') + "\"}]}",
         "longer than 4096 bytes"},
        {R"({"format": 1, "modules": [)" + Repeated(module, 65537) + "]}",
         "more than 65536 modules"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<ModuleColumnTexts> modules;
        std::string error;
        EXPECT_FALSE(Parse(text, modules, error)) << text.substr(0, 80);
        EXPECT_TRUE(modules.empty());
        EXPECT_EQ(error.rfind("base.json: ", 0), 0U) << error;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
    std::vector<ModuleColumnTexts> modules;
    std::string error;
    EXPECT_TRUE(
        Parse(R"({"format": 1, "modules": [)" + Repeated(module, 65536) + "]}", modules, error))
        << error;
    EXPECT_EQ(modules.size(), 65536U);
}

}  // namespace
}  // namespace ordvane::cli
