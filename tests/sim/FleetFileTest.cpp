#include "sim/FleetFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "sim/FleetGenerator.h"
#include "sim/PasswordCheck.h"

namespace ordvane::sim {
namespace {

bool Parse(const std::string& text, std::vector<EmulatedModule>& fleet, std::string& error) {
    std::mt19937_64 salts(5);
    return ParseFleet(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                      salts, fleet, error);
}

std::string ErrorOf(const std::string& text) {
    std::vector<EmulatedModule> fleet;
    std::string error;
    EXPECT_FALSE(Parse(text, fleet, error)) << text;
    return error;
}

TEST(FleetFile, EmptyCellsAreUnknownAndQuotedEmptyTextIsKnown) {
    std::vector<EmulatedModule> fleet;
    std::string error;
    ASSERT_TRUE(
        Parse("# fleet\r\nmac,hostname,type,ip,dhcp,report_mac\r\n"
              "0a:51:4d:00:00:01,\"\",,,,\n"
              "\n"
              "0A-51-4D-00-00-02,\"a \"\"b\"\", c\",QM,10.0.0.9,1,0\n",
              fleet, error))
        << error;
    ASSERT_EQ(fleet.size(), 2u);
    EXPECT_EQ(fleet[0].mac, (MacAddress{0x0A, 0x51, 0x4D, 0, 0, 1}));
    EXPECT_EQ(fleet[0].hostname, std::optional<std::string>(""));
    EXPECT_FALSE(fleet[0].type);
    EXPECT_FALSE(fleet[0].address);
    EXPECT_FALSE(fleet[0].dhcp);
    EXPECT_TRUE(fleet[0].reportsMac);
    EXPECT_EQ(fleet[1].hostname, std::optional<std::string>("a \"b\", c"));
    EXPECT_EQ(fleet[1].address, std::optional<std::uint32_t>(0x0A000009u));
    EXPECT_EQ(fleet[1].dhcp, std::optional<bool>(true));
    EXPECT_FALSE(fleet[1].reportsMac);
}

TEST(FleetFile, ErrorsNameTheLineAndTheProblem) {
    EXPECT_EQ(ErrorOf(""), "the file has no header line");
    EXPECT_EQ(ErrorOf("mac\n"), "the file lists no module");
    EXPECT_EQ(ErrorOf("ip\n10.0.0.1\n"), "line 1: the header has no mac column");
    EXPECT_EQ(ErrorOf("mac,colour\n"), "line 1: unknown column \"colour\"");
    EXPECT_EQ(ErrorOf("mac,mac\n"), "line 1: column \"mac\" given twice");
    EXPECT_EQ(ErrorOf("mac,ip\n0A-51-4D-00-00-01\n"), "line 2: expected 2 cells, found 1");
    EXPECT_EQ(ErrorOf("mac,ip\n0A-51-4D-00-00-01,10.0.0.256\n"),
              "line 2: ip is not an IPv4 address");
    EXPECT_EQ(ErrorOf("mac\n0A-51-4D-00-00\n"),
              "line 2: mac must be six hexadecimal bytes such as 0A-51-4D-00-00-01");
    EXPECT_EQ(ErrorOf("mac\n0A-51-4D-00-00-01\n0A-51-4D-00-00-01\n"),
              "line 3: the mac is already used by an earlier module");
    EXPECT_EQ(ErrorOf("mac,hostname\n0A-51-4D-00-00-01,\"open\n"), "line 2: unterminated quote");
    EXPECT_EQ(ErrorOf("mac,dhcp\n0A-51-4D-00-00-01,yes\n"), "line 2: dhcp must be 0 or 1");
    EXPECT_EQ(ErrorOf("mac,firmware\n0A-51-4D-00-00-01,1.2\n"),
              "line 2: firmware must be major.minor.build");
    EXPECT_EQ(ErrorOf("mac,service\n0A-51-4D-00-00-01,1.256\n"),
              "line 2: service must be major.minor");
    EXPECT_EQ(ErrorOf("mac,hostname\n0A-51-4D-00-00-01," + std::string(256, 'h') + "\n"),
              "line 2: cell longer than 255 characters");
    EXPECT_EQ(ErrorOf("mac,hashed,password_hash\n0A-51-4D-00-00-01,1,short\n"),
              "line 2: password_hash needs hashed 1 and two salt characters with 32 hex digits");
}

TEST(FleetFile, PlainPasswordsOfHashedModulesAreStoredSalted) {
    std::vector<EmulatedModule> fleet;
    std::string error;
    ASSERT_TRUE(
        Parse("mac,hashed,password\n0A-51-4D-00-00-01,1,secret\n"
              "0A-51-4D-00-00-02,0,secret\n",
              fleet, error));
    ASSERT_TRUE(IsSaltedDigest(fleet[0].password)) << fleet[0].password;
    EXPECT_EQ(fleet[0].password, SaltedDigest(fleet[0].password.substr(0, 2), "secret"));
    EXPECT_EQ(fleet[1].password, "secret");
}

TEST(FleetFile, WrittenFleetReadsBackUnchanged) {
    std::vector<EmulatedModule> fleet = GenerateFleet(300, 4);
    fleet[0].hostname = "with, comma and \"quotes\"";
    fleet[1].password = "plain, text";
    fleet[1].hashedPasswords = false;
    const std::string text = FormatFleet(fleet);
    std::vector<EmulatedModule> back;
    std::string error;
    ASSERT_TRUE(Parse(text, back, error)) << error;
    EXPECT_EQ(FormatFleet(back), text);
    EXPECT_EQ(back[0].hostname, fleet[0].hostname);
    EXPECT_EQ(back[1].password, "plain, text");

    const std::string path = ::testing::TempDir() + "/state.csv." + std::to_string(getpid());
    ASSERT_TRUE(SaveFleetFileAtomically(path, fleet, error)) << error;
    std::mt19937_64 salts(1);
    ASSERT_TRUE(LoadFleetFile(path, salts, back, error)) << error;
    EXPECT_EQ(FormatFleet(back), text);
    unlink(path.c_str());
    EXPECT_FALSE(SaveFleetFileAtomically("/nonexistent-folder/state.csv", fleet, error));
    EXPECT_FALSE(LoadFleetFile("/nonexistent-folder/fleet.csv", salts, back, error));
}

TEST(FleetFile, StateFileIsPrivateAndFollowsNoPlantedLink) {
    const std::string path = ::testing::TempDir() + "/state.csv." + std::to_string(getpid());
    const std::string victim = path + ".victim";
    std::ofstream(victim) << "keep";
    // The name an earlier version wrote through, planted as a link to another file.
    const std::string planted = path + ".tmp." + std::to_string(getpid());
    ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
    std::string error;
    ASSERT_TRUE(SaveFleetFileAtomically(path, GenerateFleet(3, 1), error)) << error;
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    std::string kept;
    std::ifstream(victim) >> kept;
    EXPECT_EQ(kept, "keep");
    for (const auto& name : {path, victim, planted}) {
        unlink(name.c_str());
    }
}

}  // namespace
}  // namespace ordvane::sim
