#include "config/MD5.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/Md5Reference.h"

namespace {

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::string HexOf(std::string_view message) {
    MD5 digest;
    digest.update(Bytes(message), static_cast<unsigned int>(message.size()));
    digest.finalize();
    return digest.hex_digest();
}

std::string ReferenceHex(const std::vector<unsigned char>& message) {
    return ordvane::testing::ReferenceMd5Hex(
        std::string_view(reinterpret_cast<const char*>(message.data()), message.size()));
}

// Redirects std::cerr into a string for the lifetime of the object.
class CerrCapture {
public:
    CerrCapture() : m_previous(std::cerr.rdbuf(m_captured.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(m_previous); }
    std::string Text() const { return m_captured.str(); }

private:
    std::ostringstream m_captured;
    std::streambuf* m_previous;
};

constexpr std::string_view kUpdateMisuse = "MD5::update:  Can't update a finalized digest!\n";
constexpr std::string_view kFinalizeMisuse = "MD5::finalize:  Already finalized this digest!\n";
constexpr std::string_view kRawMisuse =
    "MD5::raw_digest:  Can't get digest if you haven't finalized the digest!\n";
constexpr std::string_view kHexMisuse =
    "MD5::hex_digest:  Can't get digest if you haven't finalized the digest!\n";

std::string Repeat(std::string_view line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += line;
    }
    return text;
}

// A temporary file holding the given bytes, positioned at its start.
FILE* TemporaryFileWith(const std::string& content) {
    FILE* file = std::tmpfile();
    if (file != nullptr) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::rewind(file);
    }
    return file;
}

bool DescriptorIsOpen(int descriptor) {
    return fcntl(descriptor, F_GETFD) != -1;
}

TEST(MD5Test, RfcTestSuiteInLowercase) {
    EXPECT_EQ(HexOf(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(HexOf("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(HexOf("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(HexOf("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(HexOf("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(HexOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(HexOf("1234567890123456789012345678901234567890"
                    "1234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(MD5Test, PaddingBoundaryAt55And56Bytes) {
    // 55 bytes leave room for the 0x80 byte and the length in one block; 56 need a second one.
    const std::vector<unsigned char> message55(55, 'x');
    const std::vector<unsigned char> message56(56, 'x');
    const std::vector<unsigned char> message64(64, 'x');
    for (const auto* message : {&message55, &message56, &message64}) {
        MD5 digest;
        digest.update(message->data(), static_cast<unsigned int>(message->size()));
        digest.finalize();
        EXPECT_EQ(digest.hex_digest(), ReferenceHex(*message)) << message->size() << " bytes";
    }
}

TEST(MD5Test, RandomMessagesSplitAtRandomBoundariesMatchReference) {
    std::mt19937 generator(20261207);
    std::uniform_int_distribution<int> byteValue(0, 255);
    std::uniform_int_distribution<std::size_t> messageLength(0, 3000);
    for (int round = 0; round < 300; ++round) {
        std::vector<unsigned char> message(messageLength(generator));
        for (auto& byte : message) {
            byte = static_cast<unsigned char>(byteValue(generator));
        }
        MD5 digest;
        std::size_t position = 0;
        while (position < message.size()) {
            std::uniform_int_distribution<std::size_t> pieceLength(0, message.size() - position);
            const std::size_t piece = pieceLength(generator) % 130;  // favour pieces near a block
            digest.update(message.data() + position, static_cast<unsigned int>(piece));
            position += piece;
        }
        digest.finalize();
        ASSERT_EQ(digest.hex_digest(), ReferenceHex(message)) << message.size() << " bytes";
    }
}

TEST(MD5Test, FixedPieceSizesGiveTheSameDigest) {
    std::vector<unsigned char> message(1000);
    for (std::size_t i = 0; i < message.size(); ++i) {
        message[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    const std::string expected = ReferenceHex(message);
    for (std::size_t pieceSize : {1u, 63u, 64u, 65u, 999u}) {
        MD5 digest;
        for (std::size_t position = 0; position < message.size(); position += pieceSize) {
            const std::size_t piece = std::min(pieceSize, message.size() - position);
            digest.update(message.data() + position, static_cast<unsigned int>(piece));
        }
        digest.finalize();
        EXPECT_EQ(digest.hex_digest(), expected) << "pieces of " << pieceSize;
    }
}

TEST(MD5Test, RawDigestAndStreamInsertionAgreeWithHexDigest) {
    MD5 digest;
    digest.update(Bytes("abc"), 3);
    digest.finalize();
    const std::vector<unsigned char> raw = digest.raw_digest();
    ASSERT_EQ(raw.size(), 16u);
    EXPECT_EQ(raw[0], 0x90);
    EXPECT_EQ(raw[15], 0x72);
    std::ostringstream out;
    out << digest;
    EXPECT_EQ(out.str(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(MD5Test, MisuseWritesItsLineAndLeavesTheObjectAsItWas) {
    MD5 digest;
    {
        CerrCapture capture;
        EXPECT_TRUE(digest.raw_digest().empty());
        EXPECT_TRUE(digest.hex_digest().empty());
        std::ostringstream out;
        out << digest;
        EXPECT_TRUE(out.str().empty());
        EXPECT_EQ(capture.Text(),
                  std::string(kRawMisuse) + std::string(kHexMisuse) + std::string(kHexMisuse));
    }
    // The failed reads must not have disturbed the open digest.
    digest.update(Bytes("abc"), 3);
    digest.finalize();
    {
        CerrCapture capture;
        digest.update(Bytes("more"), 4);
        digest.finalize();
        EXPECT_EQ(capture.Text(), std::string(kUpdateMisuse) + std::string(kFinalizeMisuse));
    }
    EXPECT_EQ(digest.hex_digest(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(MD5Test, FileAndStreamFormsDigestTheWholeSource) {
    std::string content(2500, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 13);
    }
    const std::string expected =
        ReferenceHex(std::vector<unsigned char>(content.begin(), content.end()));

    FILE* file = TemporaryFileWith(content);
    ASSERT_NE(file, nullptr);
    const int descriptor = fileno(file);
    MD5 fromFile(file);
    EXPECT_EQ(fromFile.hex_digest(), expected);
    EXPECT_FALSE(DescriptorIsOpen(descriptor)) << "the file form takes over closing the file";

    std::istringstream stream(content);
    MD5 fromStream(stream);
    EXPECT_EQ(fromStream.hex_digest(), expected);

    std::istringstream empty("");
    EXPECT_EQ(MD5(empty).hex_digest(), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(MD5Test, FileAndStreamFormsOnAFinalizedDigestReadToTheEndAndComplainPerChunk) {
    const std::string content(2500, 'q');  // three chunks of at most 1024 bytes
    MD5 digest;
    digest.finalize();

    FILE* file = TemporaryFileWith(content);
    ASSERT_NE(file, nullptr);
    const int descriptor = fileno(file);
    std::istringstream stream(content);
    {
        CerrCapture capture;
        digest.update(file);
        EXPECT_EQ(capture.Text(), Repeat(kUpdateMisuse, 3));
    }
    EXPECT_FALSE(DescriptorIsOpen(descriptor));
    {
        CerrCapture capture;
        digest.update(stream);
        EXPECT_EQ(capture.Text(), Repeat(kUpdateMisuse, 3));
    }
    EXPECT_TRUE(stream.eof());
    EXPECT_EQ(digest.hex_digest(), "d41d8cd98f00b204e9800998ecf8427e");
}

}  // namespace
