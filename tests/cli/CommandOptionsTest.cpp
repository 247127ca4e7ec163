// The commands' option tables through getopt_long: --opt=value, abbreviations, "--" before an
// operand that starts with "-", and a message that names the option or value at fault.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CommandOptions.h"

namespace ordvane::cli {
namespace {

TEST(CommandOptions, TakeTheGnuFormsOfAnOption) {
    ScanArguments scan;
    std::string error;
    ASSERT_TRUE(ParseScanArguments(
        std::vector<std::string>{"--seconds=2", "--sort", "Type:desc", "--form=json"}, scan, error))
        << error;
    EXPECT_EQ(scan.seconds, 2);
    EXPECT_TRUE(scan.table.requested);
    EXPECT_EQ(scan.table.format, TableFormat::kJson);
    EXPECT_EQ(scan.table.sort.column, kColumnType);
    EXPECT_FALSE(scan.table.sort.ascending);

    ConfigureArguments configure;
    ASSERT_TRUE(ParseConfigureArguments(
        std::vector<std::string>{"--ip=10.0.0.7", "--hostname", "-x", "--", "0A-51-4D-00-00-2A"},
        configure, error))
        << error;
    EXPECT_EQ(configure.overrides.ipAddress, 0x0A000007u);
    EXPECT_EQ(configure.overrides.hostname, "-x");
    EXPECT_EQ(configure.mac[5], 0x2A);

    ApplyArguments apply;
    ASSERT_TRUE(ParseApplyArguments(std::vector<std::string>{"--dry-run", "--", "-cell4.csv"},
                                    apply, error))
        << error;
    EXPECT_EQ(apply.planPath, "-cell4.csv");
    EXPECT_TRUE(apply.dryRun);
}

TEST(CommandOptions, RefusalsNameTheOptionOrValueAtFault) {
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } scanCases[] = {
        {{"--bogus"}, "unknown or ambiguous option --bogus"},
        {{"-x"}, "unknown option -x"},
        {{"--seconds"}, "--seconds needs a value"},
        {{"--seconds", "0"}, "--seconds takes a number from 1 to 3600, not \"0\""},
        {{"--seconds=2x"}, "--seconds takes a number from 1 to 3600, not \"2x\""},
        {{"--format=xml"}, "--format takes table, csv or json, not \"xml\""},
        {{"--sort", "Hostname"}, "not \"Hostname\""},
        {{"extra"}, "unexpected argument \"extra\""},
    };
    for (const auto& [arguments, expected] : scanCases) {
        ScanArguments parsed;
        std::string error;
        EXPECT_FALSE(ParseScanArguments(arguments, parsed, error)) << arguments[0];
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } configureCases[] = {
        {{"0A-51-4D-00-00-2A", "--password-stdin=yes"}, "--password-stdin takes no value"},
        {{"0A-51-4D-00-00-2A", "--dhcp", "maybe"}, "--dhcp takes on or off, not \"maybe\""},
        {{"0A-51-4D-00-00-2A", "--mask", "255.0"}, "--mask takes a dotted IPv4 address"},
        {{"--ip", "10.0.0.1"}, "the MAC address is missing"},
        {{"10.0.0.1"}, "\"10.0.0.1\" is no MAC address"},
    };
    for (const auto& [arguments, expected] : configureCases) {
        ConfigureArguments parsed;
        std::string error;
        EXPECT_FALSE(ParseConfigureArguments(arguments, parsed, error)) << arguments[0];
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
    ApplyArguments apply;
    std::string error;
    EXPECT_FALSE(ParseApplyArguments(std::vector<std::string>{"a.csv", "b.csv"}, apply, error));
    EXPECT_EQ(error, "unexpected argument \"b.csv\"");
}

}  // namespace
}  // namespace ordvane::cli
