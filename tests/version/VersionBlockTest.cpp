// VerQueryValueA on blocks written by our writer, and on blocks whose tree lies.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"
#include "tests/version/TestFiles.h"

namespace ordvane::test {
namespace {

// A resource loaded the way GetFileVersionInfoA loads it.
class LoadedBlock {
public:
    explicit LoadedBlock(const Bytes& resource) : m_size(VersionInfoBlockSize(resource)) {
        m_block.assign(m_size, 0xCC);
        m_loaded = m_size != 0 && CopyIntoVersionInfoBlock(resource, m_block.data(), m_size);
    }
    bool Loaded() const { return m_loaded; }
    void* Data() { return m_block.data(); }

    bool Text(const char* path, std::string& text) {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(m_block.data(), path, &value, &length)) {
            return false;
        }
        text = static_cast<const char*>(value);
        EXPECT_EQ(length, text.size() + 1) << path;
        return true;
    }

private:
    std::size_t m_size;
    Bytes m_block;
    bool m_loaded = false;
};

std::size_t FindUtf16(const Bytes& bytes, const std::string& ascii) {
    Bytes pattern;
    for (char c : ascii) {
        pattern.push_back(static_cast<std::uint8_t>(c));
        pattern.push_back(0);
    }
    const auto found = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    return found == bytes.end() ? std::string::npos
                                : static_cast<std::size_t>(found - bytes.begin());
}

TEST(VersionBlock, AnswersTheRootTheTranslationAndTextsWithoutRegardToCase) {
    LoadedBlock block(BlockOf(TypicalDescription()));
    ASSERT_TRUE(block.Loaded());
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.Data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed{};
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010004u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);

    ASSERT_TRUE(VerQueryValueA(block.Data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(
        GetU32(Bytes(static_cast<std::uint8_t*>(value), static_cast<std::uint8_t*>(value) + 4), 0),
        0x04B00409u);

    std::string text;
    EXPECT_TRUE(block.Text("\\StringFileInfo\\040904b0\\FileVersion", text));
    EXPECT_EQ(text, "1, 4, 0, 0");
    EXPECT_TRUE(block.Text("\\StringFileInfo\\040904B0\\fileversion", text));
    EXPECT_EQ(text, "1, 4, 0, 0");
    EXPECT_TRUE(block.Text("StringFileInfo\\\\040904B0\\ProductVersion\\", text));
    EXPECT_FALSE(block.Text("\\StringFileInfo\\040704b0\\FileVersion", text));
    EXPECT_FALSE(block.Text("\\StringFileInfo\\040904b0\\FileVersio", text));
    EXPECT_FALSE(block.Text("\\StringFileInfo\\040904b0\\FileVersion\\More", text));
}

TEST(VersionBlock, ListsStringTablesInFileOrder) {
    auto description = TypicalDescription();
    description.stringTables.push_back({"080904B0", {{"FileVersion", "2"}}});
    LoadedBlock block(BlockOf(description));
    std::vector<std::string> keys;
    ASSERT_TRUE(ListVersionInfoChildren(block.Data(), "\\StringFileInfo", keys));
    EXPECT_EQ(keys, (std::vector<std::string>{"040904b0", "080904B0"}));
    ASSERT_TRUE(ListVersionInfoChildren(block.Data(), "\\", keys));
    EXPECT_EQ(keys, (std::vector<std::string>{"StringFileInfo", "VarFileInfo"}));
    EXPECT_FALSE(ListVersionInfoChildren(block.Data(), "\\Nothing", keys));
}

TEST(VersionBlock, ConvertsTextsToUtf8OnceAndKeepsThemInTheBlock) {
    auto description = TypicalDescription();
    description.stringTables[0].values.push_back(
        {"Symbols", "\xC2\xA9 \xF0\x9F\x98\x80 \xE2\x82\xAC"});
    LoadedBlock block(BlockOf(description));
    std::string text;
    ASSERT_TRUE(block.Text("\\StringFileInfo\\040904b0\\Symbols", text));
    EXPECT_EQ(text, "\xC2\xA9 \xF0\x9F\x98\x80 \xE2\x82\xAC");

    // The same value always comes back at the same place: asking again, many times over, never
    // runs the side area out and never moves a text a caller still holds.
    void* first = nullptr;
    void* again = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueA(block.Data(), "\\StringFileInfo\\040904b0\\Comments", &first, &length));
    for (int round = 0; round < 100; ++round) {
        for (const auto& [name, value] : description.stringTables[0].values) {
            const std::string path = "\\StringFileInfo\\040904b0\\" + name;
            ASSERT_TRUE(VerQueryValueA(block.Data(), path.c_str(), &again, &length)) << name;
        }
    }
    ASSERT_TRUE(
        VerQueryValueA(block.Data(), "\\StringFileInfo\\040904b0\\Comments", &again, &length));
    EXPECT_EQ(first, again);
    EXPECT_STREQ(static_cast<const char*>(first), "Comments");
}

TEST(VersionBlock, UnpairedSurrogatesBecomeReplacementCharacters) {
    auto description = TypicalDescription();
    description.stringTables[0].values.push_back({"Broken", "abc"});
    Bytes resource = BlockOf(description);
    const std::size_t value = FindUtf16(resource, "abc");
    ASSERT_NE(value, std::string::npos);
    PutU16(resource, value, 0xD800);      // a high surrogate followed by 'b'
    PutU16(resource, value + 4, 0xDC00);  // a low surrogate after 'b'
    LoadedBlock block(resource);
    std::string text;
    ASSERT_TRUE(block.Text("\\StringFileInfo\\040904b0\\Broken", text));
    EXPECT_EQ(text,
              "\xEF\xBF\xBD"
              "b"
              "\xEF\xBF\xBD");
}

// Rewrites the String node whose key is name and checks that every query still ends safely.
class LyingNode : public ::testing::Test {
protected:
    void SetUp() override {
        m_resource = BlockOf(TypicalDescription());
        const std::size_t key = FindUtf16(m_resource, "InternalName");
        ASSERT_NE(key, std::string::npos);
        m_node = key - 6;
    }
    bool Query(const char* name) {
        LoadedBlock block(m_resource);
        if (!block.Loaded()) {
            return false;
        }
        std::string text;
        return block.Text(name, text);
    }
    Bytes m_resource;
    std::size_t m_node = 0;
};

TEST_F(LyingNode, ZeroLengthChildEndsTheWalk) {
    PutU16(m_resource, m_node, 0);
    EXPECT_TRUE(Query("\\StringFileInfo\\040904b0\\FileVersion"));  // before it
    EXPECT_FALSE(Query("\\StringFileInfo\\040904b0\\InternalName"));
    EXPECT_FALSE(Query("\\StringFileInfo\\040904b0\\SpecialBuild"));  // after it
}

TEST_F(LyingNode, ChildLongerThanItsParentFails) {
    PutU16(m_resource, m_node, 0xFFF0);
    EXPECT_FALSE(Query("\\StringFileInfo\\040904b0\\InternalName"));
}

TEST_F(LyingNode, TextValueWithoutTerminatorFails) {
    // "InternalName" has 13 units with its NUL; claim 12 so the NUL lies outside the value.
    PutU16(m_resource, m_node + 2, 12);
    EXPECT_FALSE(Query("\\StringFileInfo\\040904b0\\InternalName"));
    PutU16(m_resource, m_node + 2, 400);  // a value that runs past the node
    EXPECT_FALSE(Query("\\StringFileInfo\\040904b0\\InternalName"));
}

TEST_F(LyingNode, OddLengthCutsTheLastUnitAndFails) {
    // wLength that ends in the middle of the terminator unit.
    const std::uint16_t length =
        static_cast<std::uint16_t>(m_resource[m_node] | m_resource[m_node + 1] << 8);
    PutU16(m_resource, m_node, static_cast<std::uint16_t>(length - 1));
    EXPECT_FALSE(Query("\\StringFileInfo\\040904b0\\InternalName"));
}

TEST_F(LyingNode, KeyWithoutTerminatorAndUnknownTypeFail) {
    PutU16(m_resource, m_node, 6 + 2 * 4);  // the node ends inside its key
    EXPECT_FALSE(Query("\\StringFileInfo\\040904b0\\InternalName"));
    SetUp();
    PutU16(m_resource, m_node + 4, 7);  // wType neither binary nor text
    EXPECT_FALSE(Query("\\StringFileInfo\\040904b0\\InternalName"));
}

TEST(VersionBlock, RejectsResourcesThatCannotHoldTheirOwnLength) {
    Bytes resource = BlockOf(TypicalDescription());
    EXPECT_EQ(VersionInfoBlockSize(Bytes(resource.begin(), resource.begin() + 5)), 0u);
    EXPECT_EQ(VersionInfoBlockSize(Bytes(resource.begin(), resource.end() - 1)), 0u);
    PutU16(resource, 0, 4);
    EXPECT_EQ(VersionInfoBlockSize(resource), 0u);

    resource = BlockOf(TypicalDescription());
    Bytes small(resource.size(), 0);
    EXPECT_FALSE(CopyIntoVersionInfoBlock(resource, small.data(), small.size()));
    // A root that claims no fixed information has no answer for "\".
    Bytes withoutFixed = BlockOf(TypicalDescription());
    PutU16(withoutFixed, 2, 0);
    LoadedBlock block(withoutFixed);
    void* value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(block.Data(), "\\", &value, &length));
    EXPECT_EQ(value, nullptr);
}

}  // namespace
}  // namespace ordvane::test
