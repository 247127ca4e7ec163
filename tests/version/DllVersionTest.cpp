// CDllVersion: splitting, reading the FileVersion through the translation entry or the user's
// language, and the acceptance rule on files the tests build.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <cstring>
#include <string>

#include "app/DllVersion.h"
#include "platform/VersionInfo.h"
#include "tests/version/TestFiles.h"

using ordvane::CDllVersion;
using ordvane::FindLoadedLibrary;

namespace ordvane::test {
namespace {

struct Split {
    bool result;
    int major;
    int minor;
    int build;
};

Split SplitOf(const char* text, char separator) {
    char buffer[CDllVersion::kVersionTextSize] = {};
    std::strncpy(buffer, text, sizeof buffer - 1);
    Split split{false, -1, -1, -1};
    split.result =
        CDllVersion().SplitVersion(buffer, separator, split.major, split.minor, split.build);
    return split;
}

TEST(SplitVersion, TokenisesLikeStrtokAndSaturates) {
    const Split dotted = SplitOf("1.1.0.3", '.');
    EXPECT_TRUE(dotted.result);
    EXPECT_EQ(dotted.major, 1);
    EXPECT_EQ(dotted.build, 0);
    const Split runs = SplitOf("..2...7.9", '.');
    EXPECT_TRUE(runs.result);
    EXPECT_EQ(runs.major, 2);
    EXPECT_EQ(runs.minor, 7);
    EXPECT_EQ(runs.build, 9);
    const Split commas = SplitOf("1, 2, 0, 0", ',');
    EXPECT_TRUE(commas.result);
    EXPECT_EQ(commas.minor, 2);  // the blank before the digit is skipped
    const Split shortText = SplitOf("4.5", '.');
    EXPECT_FALSE(shortText.result);
    EXPECT_EQ(shortText.major, 4);
    EXPECT_EQ(shortText.minor, 5);
    EXPECT_EQ(shortText.build, -1);  // untouched
    const Split huge = SplitOf("99999999999999999999.-99999999999999999999.x", '.');
    EXPECT_TRUE(huge.result);
    EXPECT_EQ(huge.major, INT_MAX);
    EXPECT_EQ(huge.minor, INT_MIN);
    EXPECT_EQ(huge.build, 0);
    EXPECT_FALSE(SplitOf("", '.').result);

    char text[] = "1.2.3.4";
    int major = 0;
    int minor = 0;
    int build = 0;
    ASSERT_TRUE(CDllVersion().SplitVersion(text, '.', major, minor, build));
    EXPECT_EQ(text[1], '\0');  // each separator that ended a token is now a terminator
    EXPECT_EQ(text[5], '\0');
    EXPECT_EQ(text[6], '4');
}

class DllFiles : public ::testing::Test {
protected:
    std::string File(const std::string& fileVersion) {
        auto description = TypicalDescription(fileVersion);
        return m_folder.Write("lib" + std::to_string(m_count++) + ".so",
                              BuildElfFile(BlockOf(description), true).bytes);
    }
    std::string File(const VersionResourceDescription& description) {
        return m_folder.Write("lib" + std::to_string(m_count++) + ".so",
                              BuildElfFile(BlockOf(description), true).bytes);
    }
    TemporaryFolder m_folder;
    int m_count = 0;
};

TEST_F(DllFiles, AcceptsMajorOneMinorOneOnly) {
    for (const char* text : {"1, 1, 0, 3", "1.1.0.3", "1.1", "1,1", " 1 , 1 "}) {
        EXPECT_TRUE(CDllVersion().IsAccepted(File(text).c_str())) << text;
    }
    for (const char* text :
         {"1, 2, 0, 0", "2.1.0.0", "1.10.0.0", "1", "", "one.one", "1.99999999999999999999999"}) {
        EXPECT_FALSE(CDllVersion().IsAccepted(File(text).c_str())) << text;
    }
    EXPECT_FALSE(CDllVersion().IsAccepted((m_folder.Path() + "/absent.so").c_str()));
    EXPECT_FALSE(CDllVersion().IsAccepted(nullptr));
}

TEST_F(DllFiles, GetVersionFallsBackToCommasOnTheCutText) {
    int major = 0;
    int minor = 0;
    int build = 0;
    // "1.1": the dotted split stops after two numbers; the comma split then sees only "1" and
    // fails too, leaving minor as the first split stored it.
    EXPECT_FALSE(CDllVersion().GetVersion(File("1.1").c_str(), major, minor, build));
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 1);
    EXPECT_TRUE(CDllVersion().GetVersion(File("3, 4, 5, 6").c_str(), major, minor, build));
    EXPECT_EQ(major, 3);
    EXPECT_EQ(minor, 4);
    EXPECT_EQ(build, 5);
}

TEST_F(DllFiles, TranslationEntryOrTheUsersLanguageChoosesTheTable) {
    char text[CDllVersion::kVersionTextSize];
    auto german = TypicalDescription("7, 7, 7, 7");
    german.stringTables[0].key = "040704B0";
    german.translation = TranslationEntry(0x0407, 0x04B0);
    ASSERT_TRUE(CDllVersion().ReadFileVersionString(File(german).c_str(), text));
    EXPECT_STREQ(text, "7, 7, 7, 7");

    // Without an entry of exactly four bytes the user's language with code page 04B0 is used.
    const char* saved = std::getenv("LC_ALL");
    const std::string savedValue = saved != nullptr ? saved : "";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 0x0407);
    german.translation.reset();
    EXPECT_TRUE(CDllVersion().ReadFileVersionString(File(german).c_str(), text));
    german.translation = TranslationEntry(0x0409, 0x04B0);
    german.translation->push_back(0);  // five bytes: not a usable entry
    EXPECT_TRUE(CDllVersion().ReadFileVersionString(File(german).c_str(), text));
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 0x0409);
    EXPECT_FALSE(CDllVersion().ReadFileVersionString(File(german).c_str(), text));
    if (saved != nullptr) {
        setenv("LC_ALL", savedValue.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

TEST_F(DllFiles, VersionTextIsCutTo255Characters) {
    char text[CDllVersion::kVersionTextSize];
    std::memset(text, 'x', sizeof text);
    ASSERT_TRUE(CDllVersion().ReadFileVersionString(File(std::string(300, '1')).c_str(), text));
    EXPECT_EQ(std::strlen(text), 255u);
    int major = 0;
    int minor = 0;
    int build = 0;
    EXPECT_FALSE(
        CDllVersion().GetVersion(File(std::string(300, '1')).c_str(), major, minor, build));
    EXPECT_EQ(major, INT_MAX);
}

TEST(LoadedLibraries, FoundByNameAsTheLoaderOpenedThem) {
    CString path;
    ASSERT_TRUE(FindLoadedLibrary("libc.so", path));  // matches libc.so.6
    EXPECT_TRUE(PathFileExistsA(path));
    EXPECT_NE(path.Str().find("libc.so.6"), std::string::npos);
    EXPECT_FALSE(FindLoadedLibrary("libc.s", path));
    EXPECT_FALSE(FindLoadedLibrary("libordvane-absent.so", path));
    EXPECT_FALSE(FindLoadedLibrary("", path));
    // This test program does not load libzeva.so, so there is nothing to accept.
    EXPECT_FALSE(CDllVersion().IsLoadedZevaAccepted());
}

}  // namespace
}  // namespace ordvane::test
