// CVFXVersionInfo, CVFXVersionRecord and CVFXPointer: the program's own file (this test
// executable carries ordvane's version block, as the program does), files the tests build,
// and the thread locale around a reader's life.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "platform/ThreadLocale.h"
#include "platform/VersionInfo.h"
#include "tests/version/TestFiles.h"
#include "version/CVFXPointer.h"
#include "version/CVFXVersionInfo.h"
#include "version/CVFXVersionRecord.h"

namespace ordvane::test {
namespace {

constexpr DWORD kUnicode = 1200;
constexpr DWORD kEnglish = 1033;

std::string OwnPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_GT(length, 0u);
    return path;
}

void ExpectOwnResource(const CVFXVersionRecord& record) {
    const WORD expected[4] = {1, 5, 0, 0};
    for (int part = 0; part < 4; ++part) {
        EXPECT_EQ(record.m_fileVersion[part], expected[part]);
        EXPECT_EQ(record.m_productVersion[part], expected[part]);
    }
    EXPECT_EQ(record.m_strFileVersion, "1, 5, 0, 0");
    EXPECT_EQ(record.m_strProductVersion, "1, 5, 0, 0");
    EXPECT_EQ(record.m_strLegalCopyright, "Copyright (C) 2024-2026 Ordvane developers");
    EXPECT_TRUE(record.m_strCompanyName.IsEmpty());
    EXPECT_TRUE(record.m_strSpecialBuild.IsEmpty());
}

TEST(OwnFile, NoNameAndBlankNameBothReadTheRunningProgram) {
    CVFXVersionInfo reader(kUnicode, kEnglish);
    for (const char* name : {static_cast<const char*>(nullptr), "", "   \t "}) {
        CVFXVersionRecord record;
        ASSERT_TRUE(reader.Read(record, name)) << (name ? name : "(none)");
        EXPECT_EQ(record.m_fileName, OwnPath().c_str());
        ExpectOwnResource(record);
    }
    CVFXVersionRecord byPath;
    ASSERT_TRUE(reader.Read(byPath, ("  " + OwnPath() + " ").c_str()));
    ExpectOwnResource(byPath);
}

TEST(OwnFile, DescribeListsTheTwelveStrings) {
    CVFXVersionRecord record;
    EXPECT_EQ(record.Describe(), "No version information is available");
    ASSERT_TRUE(CVFXVersionInfo(kUnicode, kEnglish).Read(record, nullptr));
    const std::string expected = "VS_VERSION_INFO for " + OwnPath() +
                                 ":\n\nFileVersion: 1, 5, 0, 0\nProductVersion: 1, 5, 0, 0\n"
                                 "CompanyName: \nFileDescription: \nInternalName: \n"
                                 "LegalCopyright: Copyright (C) 2024-2026 Ordvane developers\n"
                                 "OriginalFileName: \nProductName: \nComments \n"
                                 "LegalTradeMarks: \nPrivateBuild: \nSpecialBuild: \n";
    EXPECT_EQ(record.Describe().Str(), expected);
}

class BuiltFiles : public ::testing::Test {
protected:
    std::string Elf(const std::string& name, const VersionResourceDescription& description) {
        return m_folder.Write(name, BuildElfFile(BlockOf(description), true).bytes);
    }
    bool Read(const std::string& path) {
        return CVFXVersionInfo(kUnicode, kEnglish).Read(m_record, path.c_str());
    }
    TemporaryFolder m_folder;
    CVFXVersionRecord m_record;
};

TEST_F(BuiltFiles, FailuresLeaveTheRecordEmpty) {
    ASSERT_TRUE(Read(Elf("full.so", TypicalDescription())));
    EXPECT_FALSE(m_record.IsEmpty());
    EXPECT_FALSE(Read(m_folder.Path() + "/missing.so"));
    EXPECT_TRUE(m_record.IsEmpty());
    EXPECT_FALSE(Read(m_folder.Write("plain.txt", Bytes{'h', 'i', '\n'})));
    EXPECT_TRUE(m_record.IsEmpty());
    EXPECT_FALSE(Read(m_folder.Write("none.so", BuildElfFile(Bytes{}, true, "").bytes)));
    EXPECT_TRUE(m_record.IsEmpty());
    EXPECT_FALSE(Read(m_folder.Path()));  // a folder
    EXPECT_TRUE(m_record.IsEmpty());
}

TEST_F(BuiltFiles, LongValuesAreCutAndMissingValuesStayEmpty) {
    auto description = TypicalDescription();
    auto& values = description.stringTables[0].values;
    values[3].second = std::string(300, 'd');                             // FileDescription
    values[4].second = std::string(200, 'i') + std::string(100, '\xC3');  // InternalName
    for (std::size_t i = 200; i < 300; i += 2) {
        values[4].second[i + 1] = '\xA9';  // "é" pairs: a cut at 255 falls inside one
    }
    values.erase(values.begin() + 2);  // CompanyName
    ASSERT_TRUE(Read(Elf("long.so", description)));
    EXPECT_EQ(m_record.m_strFileDescription.Str(), std::string(255, 'd'));
    EXPECT_EQ(m_record.m_strInternalName.GetLength(), 254);
    EXPECT_TRUE(m_record.m_strCompanyName.IsEmpty());
    EXPECT_EQ(m_record.m_strLegalCopyright, "LegalCopyright");
    EXPECT_EQ(m_record.m_strSpecialBuild, "SpecialBuild");
}

TEST_F(BuiltFiles, AnotherLanguageGivesNumbersButNoStrings) {
    auto description = TypicalDescription();
    description.stringTables[0].key = "040704b0";
    ASSERT_TRUE(Read(Elf("german.so", description)));
    EXPECT_EQ(m_record.m_fileVersion[1], 4);
    EXPECT_TRUE(m_record.m_strFileVersion.IsEmpty());
    EXPECT_TRUE(m_record.m_strProductVersion.IsEmpty());
    EXPECT_FALSE(m_record.IsEmpty());
}

TEST_F(BuiltFiles, PeImagesOfBothWidthsAreRead) {
    for (bool is64 : {false, true}) {
        auto description = TypicalDescription(is64 ? "6, 4" : "3, 2");
        description.fileVersion = {7, 6, 5, 4};
        const std::string path = m_folder.Write(is64 ? "tiny64.exe" : "tiny32.exe",
                                                BuildPeImage(BlockOf(description), is64).bytes);
        ASSERT_TRUE(Read(path));
        EXPECT_EQ(m_record.m_strFileVersion, is64 ? "6, 4" : "3, 2");
        EXPECT_EQ(m_record.m_fileVersion[0], 7);
        EXPECT_EQ(m_record.m_fileVersion[3], 4);
        EXPECT_EQ(m_record.m_productVersion[1], 4);
    }
}

TEST(QueryString, UsesLowerCaseHexAndCutsAtTheLimit) {
    const Bytes resource = BlockOf(TypicalDescription());
    TemporaryFolder folder;
    const std::string path = folder.Write("q.so", BuildElfFile(resource, false).bytes);
    CVFXVersionInfo reader(0x04B0, 0x0409);
    const DWORD size = reader.GetInfoSize(path.c_str());
    ASSERT_GT(size, 0u);
    CVFXPointer block(reader.Allocate(size), true);
    ASSERT_TRUE(reader.GetInfo(path.c_str(), size, block.Get()));
    char text[8];
    EXPECT_TRUE(reader.QueryString(block.Get(), "ProductName", text, sizeof text));
    EXPECT_STREQ(text, "Product");
    EXPECT_FALSE(reader.QueryString(block.Get(), "Nothing", text, sizeof text));
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(reader.QueryString(block.Get(), "ProductName", text, 0));
    EXPECT_EQ(reader.Allocate(0), nullptr);
    EXPECT_EQ(reader.GetInfoSize(folder.Path().c_str()), 0u);
}

TEST(Record, ResetAssignAndShow) {
    CVFXVersionRecord record;
    EXPECT_TRUE(record.IsEmpty());
    record.m_productVersion[3] = 9;
    EXPECT_FALSE(record.IsEmpty());
    record.m_strSpecialBuild = "special";
    CVFXVersionRecord copy;
    copy.Assign(record);
    EXPECT_EQ(copy.m_productVersion[3], 9);
    EXPECT_EQ(copy.m_strSpecialBuild, "special");
    record.Reset();
    EXPECT_TRUE(record.IsEmpty());
    EXPECT_FALSE(copy.IsEmpty());

    // The message-box form goes to the hook the window layer installs, else to the console.
    static std::string shown;
    ::testing::internal::CaptureStdout();
    copy.Show(true);
    copy.Show(false);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              copy.Describe().Str() + copy.Describe().Str());
    CVFXVersionRecord::SetMessageBoxHook([](const char* text) { shown = text; });
    ::testing::internal::CaptureStdout();
    record.Show(false);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    CVFXVersionRecord::SetMessageBoxHook(nullptr);
    EXPECT_EQ(shown, "No version information is available");
}

TEST(Pointer, FreesOnlyWhatItOwns) {
    EXPECT_STREQ(RUNTIME_CLASS(CVFXPointer)->m_lpszClassName, "CVFXPointer");
    EXPECT_STREQ(RUNTIME_CLASS(CVFXVersionInfo)->m_lpszClassName, "CVFXVersionInfo");
    BYTE kept[4] = {};
    {
        CVFXPointer owning(nullptr, true);
        EXPECT_TRUE(owning.IsNull());
        EXPECT_TRUE(owning.IsKindOf(RUNTIME_CLASS(CObject)));
        owning.Set(new BYTE[8]);
        owning.Set(new BYTE[16]);  // the first block is freed here (the leak check sees it)
        EXPECT_FALSE(owning.IsNull());
        CVFXPointer borrowing(kept, false);
        borrowing.Set(kept);
        EXPECT_EQ(borrowing.Get(), kept);
    }
}

// An id in the locale table whose locale this machine does not have, or 0.
LCID MissingLocale() {
    for (LCID id : {1031u, 1036u, 1041u, 1049u, 2052u, 1025u, 1037u}) {
        if (IsValidLocale(id, LCID_SUPPORTED) && !IsValidLocale(id, LCID_INSTALLED)) {
            return id;
        }
    }
    return 0;
}

// Runs body on a fresh thread, so that no locale switch leaks into other tests.
template <typename Body>
void OnFreshThread(Body body) {
    std::thread(body).join();
}

TEST(ReaderLocale, EnglishWhileTheReaderLivesWhereInstalled) {
    OnFreshThread([] {
        const LCID before = GetThreadLocale();
        {
            CVFXVersionInfo reader(kUnicode, kEnglish);
            EXPECT_EQ(GetThreadLocale(),
                      IsValidLocale(kEnglish, LCID_INSTALLED) ? kEnglish : before);
        }
        EXPECT_EQ(GetThreadLocale(), before);
    });
}

TEST(ReaderLocale, MissingLocaleKeepsTheThreadsOwn) {
    const LCID missing = MissingLocale();
    if (missing == 0) {
        GTEST_SKIP() << "every locale of the table is installed here";
    }
    OnFreshThread([missing] {
        const LCID before = GetThreadLocale();
        {
            CVFXVersionInfo reader(kUnicode, missing);
            EXPECT_EQ(GetThreadLocale(), before);
        }
        EXPECT_EQ(GetThreadLocale(), before);
        // A thread already in English stays in English through a reader it cannot switch.
        if (SetThreadLocale(kEnglish)) {
            {
                CVFXVersionInfo reader(kUnicode, missing);
                EXPECT_EQ(GetThreadLocale(), kEnglish);
            }
            EXPECT_EQ(GetThreadLocale(), kEnglish);
        }
    });
}

}  // namespace
}  // namespace ordvane::test
