#include <gtest/gtest.h>

#include <set>

#include "modsvc/QuillmorOui.h"
#include "sim/FleetGenerator.h"
#include "sim/PasswordCheck.h"
#include "sim/SimOptions.h"

namespace ordvane::sim {
namespace {

TEST(GeneratedFleet, SameSeedSameFleetWithDistinctMacsUnderTheOui) {
    const auto fleet = GenerateFleet(kMaxModules, 7);
    std::set<MacAddress> macs;
    std::set<std::uint32_t> addresses;
    std::size_t unknownTypes = 0;
    for (const EmulatedModule& module : fleet) {
        // Each module its own address, never the .0 or .255 of a /24.
        if (module.address) {
            EXPECT_TRUE(addresses.insert(*module.address).second);
            EXPECT_NE(*module.address & 0xFF, 0u) << std::hex << *module.address;
            EXPECT_NE(*module.address & 0xFF, 0xFFu) << std::hex << *module.address;
        }
        EXPECT_TRUE(std::equal(kQuillmorOui.begin(), kQuillmorOui.end(), module.mac.begin()));
        macs.insert(module.mac);
        unknownTypes += module.type ? 0 : 1;
        if (module.hashedPasswords && !module.password.empty()) {
            EXPECT_EQ(module.password,
                      SaltedDigest(module.password.substr(0, 2), kGeneratedPassword));
        }
    }
    EXPECT_EQ(macs.size(), kMaxModules);
    EXPECT_GT(unknownTypes, 0u);  // "not reported" shows up in every large fleet
    const auto again = GenerateFleet(100, 7);
    for (std::size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].password, fleet[i].password);
        EXPECT_EQ(again[i].address, fleet[i].address);
    }
}

TEST(PasswordCheck, ChallengeResponseFollowsSaltDigestAndChallenge) {
    // MD5("") and MD5("abc") from RFC 1321.
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(SaltedDigest("ab", "c").substr(2), Md5Hex("abc"));
    const std::string stored = SaltedDigest("Xy", "secret");
    EXPECT_EQ(ChallengeResponse(stored, "XyChallenge"), Md5Hex(stored + "XyChallenge"));
    EXPECT_TRUE(IsSaltedDigest(stored));
    EXPECT_FALSE(IsSaltedDigest("X" + stored.substr(1, 33) + "A"));
    EXPECT_FALSE(IsSaltedDigest("-y" + stored.substr(2)));
    const std::string first = NewChallenge("Xy");
    EXPECT_EQ(first.size(), kChallengeLength);
    EXPECT_EQ(first.substr(0, 2), "Xy");
    EXPECT_NE(NewChallenge("Xy"), first);
}

TEST(SimOptions, ValuesAreCheckedAndSharesTakePercentages) {
    EXPECT_EQ(SimOptions().emulator.address, 0x7F000001u);  // loopback unless told otherwise
    const auto parsed =
        ParseSimOptions({"--count", "65536", "--loss", "20%", "--dup", "0.5", "--port", "0",
                         "--address", "0.0.0.0", "--jitter-ms", "0"});
    ASSERT_TRUE(parsed) << parsed.Reason();
    const SimOptions& options = parsed.Value();
    EXPECT_EQ(options.count, 65536u);
    EXPECT_DOUBLE_EQ(options.emulator.loss, 0.2);
    EXPECT_DOUBLE_EQ(options.emulator.duplication, 0.5);
    EXPECT_EQ(options.emulator.address, 0u);
    for (const auto& bad : std::vector<std::vector<std::string>>{{"--count", "0"},
                                                                 {"--count", "65537"},
                                                                 {"--count", "12x"},
                                                                 {"--port", "70000"},
                                                                 {"--loss", "1.5"},
                                                                 {"--dup", "-1"},
                                                                 {"--address", "localhost"},
                                                                 {"--count"},
                                                                 {"--colour", "red"}}) {
        EXPECT_FALSE(ParseSimOptions(bad)) << bad[0];
    }
}

}  // namespace
}  // namespace ordvane::sim
