// The known-modules file: what a line must look like to count, that a module once asking for
// hashed passwords stays so, the bound, and a file that is no regular one or is written anew.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "config/KnownModules.h"
#include "tests/support/TemporaryFolder.h"

namespace ordvane {
namespace {

constexpr MacAddress kMac = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x01};

TEST(KnownModules, OnlyWellFormedLinesCount) {
    struct Case {
        std::string text;
        bool hashed;
        std::size_t skipped;
    };
    const Case cases[] = {
        {"0A-51-4D-00-00-01 hashed\n", true, 0},
        {"0a:51:4d:00:00:01 hashed\r\n", true, 0},
        {"0A-51-4D-00-00-01 hashed", true, 0},  // no line end after the last line
        {"0A-51-4D-00-00-01 plain\n", false, 0},
        {"0A-51-4D-00-00-01 hashed \n", false, 1},
        {"0A-51-4D-00-00-01  hashed\n", false, 1},
        {"0A-51-4D-00-00-01 HASHED\n", false, 1},
        {"0A-51-4D-00-00-1 hashed\n", false, 1},
        {std::string("0A-51-4D-00-00-01 hashed\0\n", 26), false, 1},
        {"0A-51-4D-00-00-01\n\n#\n", false, 2},
        {"0A-51-4D-00-00-01 hashed\n0A-51-4D-00-00-01 plain\n", true, 0},
    };
    for (const Case& c : cases) {
        KnownModules known;
        EXPECT_EQ(known.Parse(c.text), c.skipped) << c.text;
        EXPECT_EQ(known.KnownHashed(kMac), c.hashed) << c.text;
    }
}

TEST(KnownModules, HashedStaysUntilForgottenAndTakesPlacesOfPlainOnesWhenFull) {
    KnownModules known;
    EXPECT_TRUE(known.Remember(kMac, true));
    EXPECT_FALSE(known.Remember(kMac, false));
    EXPECT_TRUE(known.KnownHashed(kMac));
    EXPECT_TRUE(known.Forget(kMac));
    EXPECT_FALSE(known.KnownHashed(kMac));

    for (std::size_t index = 0; index < KnownModules::kMaxModules; ++index) {
        const MacAddress mac = {0x0A,
                                0,
                                0,
                                static_cast<std::uint8_t>(index >> 16),
                                static_cast<std::uint8_t>(index >> 8),
                                static_cast<std::uint8_t>(index)};
        ASSERT_TRUE(known.Remember(mac, index != 0));
    }
    EXPECT_FALSE(known.Remember(kMac, false));
    EXPECT_TRUE(known.Remember(kMac, true));  // in place of the one plain module
    EXPECT_FALSE(known.Remember({0x0A, 0x51, 0x4D, 0, 0, 2}, true));
    EXPECT_EQ(known.Size(), KnownModules::kMaxModules);
    EXPECT_TRUE(known.KnownHashed(kMac));
}

TEST(KnownModules, TheFileIsWrittenPrivatelyAndOnlyARegularOneIsRead) {
    testing::TemporaryFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string path = folder.Path() + "/state/ordvane/known-modules";
    KnownModules known;
    ASSERT_TRUE(LoadKnownModules(path, known).Ok()) << "a missing file is no error";
    known.Remember(kMac, true);
    const Status saved = SaveKnownModules(path, known);
    ASSERT_TRUE(saved.Ok()) << saved.Reason();
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((folder.Path() + "/state/ordvane").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    KnownModules loaded;
    const Status loadedAgain = LoadKnownModules(path, loaded);
    ASSERT_TRUE(loadedAgain.Ok()) << loadedAgain.Reason();
    EXPECT_TRUE(loaded.KnownHashed(kMac));

    const std::string fifo = folder.Path() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LoadKnownModules(fifo, loaded).Reason(), fifo + ": not a regular file");
}

}  // namespace
}  // namespace ordvane
