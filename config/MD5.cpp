#include "config/MD5.h"

#include <bit>
#include <cstring>
#include <iostream>

namespace {

constexpr unsigned int kChunkSize = 1024;

constexpr std::uint32_t RotateLeft(std::uint32_t value, int shift) {
    return (value << shift) | (value >> (32 - shift));
}

// The four auxiliary functions, written in forms equivalent to RFC 1321's that need fewer
// operations or let the two halves run in parallel.
constexpr std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return z ^ (x & (y ^ z));
}
constexpr std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ y ^ z;
}
constexpr std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (x | ~z);
}

template <std::uint32_t (*Function)(std::uint32_t, std::uint32_t, std::uint32_t)>
inline void Step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                 std::uint32_t word, int shift, std::uint32_t constant) {
    a = b + RotateLeft(a + Function(b, c, d) + word + constant, shift);
}

// Round 2's G = (b AND d) OR (c AND NOT d). The two terms share no bits, so OR equals +, and the
// term without b (the word computed by the step before) can be added while b is still being
// computed; that shortens the chain of dependent instructions by one.
inline void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t word, int shift, std::uint32_t constant) {
    a += word + constant + (c & ~d);
    a = b + RotateLeft(a + (b & d), shift);
}

}  // namespace

MD5::MD5() {
    reset();
}

MD5::MD5(FILE* file) {
    reset();
    update(file);
    finalize();
}

MD5::MD5(std::istream& stream) {
    reset();
    update(stream);
    finalize();
}

void MD5::reset() {
    finalized = 0;
    bit_count[0] = 0;
    bit_count[1] = 0;
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
    std::memset(buffer, 0, sizeof buffer);
    std::memset(digest, 0, sizeof digest);
}

void MD5::update(const unsigned char* input, unsigned int length) {
    if (finalized != 0) {
        std::cerr << "MD5::update:  Can't update a finalized digest!" << std::endl;
        return;
    }
    unsigned int index = (bit_count[0] >> 3) & 0x3F;
    const std::uint32_t addedBits = length << 3;
    bit_count[0] += addedBits;
    if (bit_count[0] < addedBits) {
        ++bit_count[1];
    }
    bit_count[1] += length >> 29;

    const unsigned int space = 64 - index;
    unsigned int position = 0;
    if (length >= space) {
        std::memcpy(buffer + index, input, space);
        transform_block(buffer);
        for (position = space; position + 63 < length; position += 64) {
            transform_block(input + position);
        }
        index = 0;
    }
    if (position < length) {
        std::memcpy(buffer + index, input + position, length - position);
    }
}

void MD5::update(FILE* file) {
    unsigned char chunk[kChunkSize];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        update(chunk, static_cast<unsigned int>(count));
    }
    std::fclose(file);
}

void MD5::update(std::istream& stream) {
    char chunk[kChunkSize];
    while (stream.good()) {
        stream.read(chunk, sizeof chunk);
        update(reinterpret_cast<const unsigned char*>(chunk),
               static_cast<unsigned int>(stream.gcount()));
    }
}

void MD5::finalize() {
    static const std::uint8_t kPadding[64] = {0x80};
    if (finalized != 0) {
        std::cerr << "MD5::finalize:  Already finalized this digest!" << std::endl;
        return;
    }
    std::uint8_t lengthBytes[8];
    encode_le(lengthBytes, bit_count, 8);

    const unsigned int index = (bit_count[0] >> 3) & 0x3F;
    const unsigned int padLength = index < 56 ? 56 - index : 120 - index;
    update(kPadding, padLength);
    update(lengthBytes, 8);

    encode_le(digest, state, 16);
    std::memset(buffer, 0, sizeof buffer);
    finalized = 1;
}

std::vector<unsigned char> MD5::raw_digest() const {
    if (finalized == 0) {
        std::cerr << "MD5::raw_digest:  Can't get digest if you haven't "
                  << "finalized the digest!" << std::endl;
        return {};
    }
    return std::vector<unsigned char>(digest, digest + sizeof digest);
}

std::string MD5::hex_digest() const {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    if (finalized == 0) {
        std::cerr << "MD5::hex_digest:  Can't get digest if you haven't "
                  << "finalized the digest!" << std::endl;
        return {};
    }
    std::string text(2 * sizeof digest, '0');
    for (std::size_t i = 0; i < sizeof digest; ++i) {
        text[2 * i] = kHexDigits[digest[i] >> 4];
        text[2 * i + 1] = kHexDigits[digest[i] & 0x0F];
    }
    return text;
}

std::ostream& operator<<(std::ostream& stream, const MD5& digest) {
    return stream << digest.hex_digest();
}

void MD5::encode_le(std::uint8_t* output, const std::uint32_t* input, unsigned int length) {
    for (unsigned int i = 0, j = 0; j < length; ++i, j += 4) {
        output[j] = static_cast<std::uint8_t>(input[i]);
        output[j + 1] = static_cast<std::uint8_t>(input[i] >> 8);
        output[j + 2] = static_cast<std::uint8_t>(input[i] >> 16);
        output[j + 3] = static_cast<std::uint8_t>(input[i] >> 24);
    }
}

void MD5::decode_le(std::uint32_t* output, const std::uint8_t* input, unsigned int length) {
    if constexpr (std::endian::native == std::endian::little) {
        // The words already lie in memory as wanted. A plain copy lets the compiler inline it
        // for the constant block size, where the byte-wise loop becomes a call to memcpy that
        // costs a fifth of the throughput.
        std::memcpy(output, input, length);
    } else {
        for (unsigned int i = 0, j = 0; j < length; ++i, j += 4) {
            output[i] = static_cast<std::uint32_t>(input[j]) |
                        (static_cast<std::uint32_t>(input[j + 1]) << 8) |
                        (static_cast<std::uint32_t>(input[j + 2]) << 16) |
                        (static_cast<std::uint32_t>(input[j + 3]) << 24);
        }
    }
}

void MD5::transform_block(const std::uint8_t block[64]) {
    std::uint32_t a = state[0];
    std::uint32_t b = state[1];
    std::uint32_t c = state[2];
    std::uint32_t d = state[3];
    std::uint32_t x[16];
    decode_le(x, block, 64);

    // Round 1
    Step<F>(a, b, c, d, x[0], 7, 0xd76aa478);
    Step<F>(d, a, b, c, x[1], 12, 0xe8c7b756);
    Step<F>(c, d, a, b, x[2], 17, 0x242070db);
    Step<F>(b, c, d, a, x[3], 22, 0xc1bdceee);
    Step<F>(a, b, c, d, x[4], 7, 0xf57c0faf);
    Step<F>(d, a, b, c, x[5], 12, 0x4787c62a);
    Step<F>(c, d, a, b, x[6], 17, 0xa8304613);
    Step<F>(b, c, d, a, x[7], 22, 0xfd469501);
    Step<F>(a, b, c, d, x[8], 7, 0x698098d8);
    Step<F>(d, a, b, c, x[9], 12, 0x8b44f7af);
    Step<F>(c, d, a, b, x[10], 17, 0xffff5bb1);
    Step<F>(b, c, d, a, x[11], 22, 0x895cd7be);
    Step<F>(a, b, c, d, x[12], 7, 0x6b901122);
    Step<F>(d, a, b, c, x[13], 12, 0xfd987193);
    Step<F>(c, d, a, b, x[14], 17, 0xa679438e);
    Step<F>(b, c, d, a, x[15], 22, 0x49b40821);

    // Round 2
    StepG(a, b, c, d, x[1], 5, 0xf61e2562);
    StepG(d, a, b, c, x[6], 9, 0xc040b340);
    StepG(c, d, a, b, x[11], 14, 0x265e5a51);
    StepG(b, c, d, a, x[0], 20, 0xe9b6c7aa);
    StepG(a, b, c, d, x[5], 5, 0xd62f105d);
    StepG(d, a, b, c, x[10], 9, 0x02441453);
    StepG(c, d, a, b, x[15], 14, 0xd8a1e681);
    StepG(b, c, d, a, x[4], 20, 0xe7d3fbc8);
    StepG(a, b, c, d, x[9], 5, 0x21e1cde6);
    StepG(d, a, b, c, x[14], 9, 0xc33707d6);
    StepG(c, d, a, b, x[3], 14, 0xf4d50d87);
    StepG(b, c, d, a, x[8], 20, 0x455a14ed);
    StepG(a, b, c, d, x[13], 5, 0xa9e3e905);
    StepG(d, a, b, c, x[2], 9, 0xfcefa3f8);
    StepG(c, d, a, b, x[7], 14, 0x676f02d9);
    StepG(b, c, d, a, x[12], 20, 0x8d2a4c8a);

    // Round 3
    Step<H>(a, b, c, d, x[5], 4, 0xfffa3942);
    Step<H>(d, a, b, c, x[8], 11, 0x8771f681);
    Step<H>(c, d, a, b, x[11], 16, 0x6d9d6122);
    Step<H>(b, c, d, a, x[14], 23, 0xfde5380c);
    Step<H>(a, b, c, d, x[1], 4, 0xa4beea44);
    Step<H>(d, a, b, c, x[4], 11, 0x4bdecfa9);
    Step<H>(c, d, a, b, x[7], 16, 0xf6bb4b60);
    Step<H>(b, c, d, a, x[10], 23, 0xbebfbc70);
    Step<H>(a, b, c, d, x[13], 4, 0x289b7ec6);
    Step<H>(d, a, b, c, x[0], 11, 0xeaa127fa);
    Step<H>(c, d, a, b, x[3], 16, 0xd4ef3085);
    Step<H>(b, c, d, a, x[6], 23, 0x04881d05);
    Step<H>(a, b, c, d, x[9], 4, 0xd9d4d039);
    Step<H>(d, a, b, c, x[12], 11, 0xe6db99e5);
    Step<H>(c, d, a, b, x[15], 16, 0x1fa27cf8);
    Step<H>(b, c, d, a, x[2], 23, 0xc4ac5665);

    // Round 4
    Step<I>(a, b, c, d, x[0], 6, 0xf4292244);
    Step<I>(d, a, b, c, x[7], 10, 0x432aff97);
    Step<I>(c, d, a, b, x[14], 15, 0xab9423a7);
    Step<I>(b, c, d, a, x[5], 21, 0xfc93a039);
    Step<I>(a, b, c, d, x[12], 6, 0x655b59c3);
    Step<I>(d, a, b, c, x[3], 10, 0x8f0ccc92);
    Step<I>(c, d, a, b, x[10], 15, 0xffeff47d);
    Step<I>(b, c, d, a, x[1], 21, 0x85845dd1);
    Step<I>(a, b, c, d, x[8], 6, 0x6fa87e4f);
    Step<I>(d, a, b, c, x[15], 10, 0xfe2ce6e0);
    Step<I>(c, d, a, b, x[6], 15, 0xa3014314);
    Step<I>(b, c, d, a, x[13], 21, 0x4e0811a1);
    Step<I>(a, b, c, d, x[4], 6, 0xf7537e82);
    Step<I>(d, a, b, c, x[11], 10, 0xbd3af235);
    Step<I>(c, d, a, b, x[2], 15, 0x2ad7d2bb);
    Step<I>(b, c, d, a, x[9], 21, 0xeb86d391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;

    // The block may hold a password; leave no decoded copy of it behind on the stack. The empty
    // assembler statement that reads the array keeps the compiler from dropping the clearing
    // as a dead store.
    std::memset(x, 0, sizeof x);
    asm volatile("" : : "r"(x) : "memory");
}
