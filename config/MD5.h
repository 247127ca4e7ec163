#pragma once
// The MD5 message digest of RFC 1321, computed over data fed in pieces.
//
// Use: construct, update with the message (in as many pieces as convenient), finalize, then read
// the digest. An object digests exactly one message; there is no way back once finalized.
// Misuse (updating or finalizing twice, reading the digest too early) writes one line to
// std::cerr and leaves the object as it was; nothing is thrown.

#include <cstdint>
#include <cstdio>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

class MD5 {
public:
    MD5();
    // Digests the whole file and closes it; the object takes over the handle.
    explicit MD5(FILE* file);
    // Digests everything the stream yields until it is no longer good.
    explicit MD5(std::istream& stream);

    void update(const unsigned char* input, unsigned int length);
    // Reads the file to its end in 1024-byte chunks, then closes it.
    void update(FILE* file);
    void update(std::istream& stream);
    void finalize();

    // The 16 digest bytes; empty (with a line on std::cerr) before finalize.
    std::vector<unsigned char> raw_digest() const;
    // 32 lowercase hexadecimal digits, byte 0 first; empty (with a line on std::cerr) before
    // finalize.
    std::string hex_digest() const;

    friend std::ostream& operator<<(std::ostream& stream, const MD5& digest);

private:
    void reset();
    void transform_block(const std::uint8_t block[64]);

    static void encode_le(std::uint8_t* output, const std::uint32_t* input, unsigned int length);
    static void decode_le(std::uint32_t* output, const std::uint8_t* input, unsigned int length);

    std::uint32_t state[4];
    std::uint32_t bit_count[2];  // number of bits, modulo 2^64, low word first
    std::uint8_t buffer[64];     // input not yet compressed
    std::uint8_t digest[16];
    std::uint8_t finalized;
};
