#pragma once
// An MD5 digest computed independently of our own MD5 code (by OpenSSL), for tests that check
// that code or what it hashes. Link OpenSSL::Crypto.

#include <openssl/evp.h>

#include <string>
#include <string_view>

namespace ordvane::testing {

// The digest of message as 32 lowercase hexadecimal digits.
inline std::string ReferenceMd5Hex(std::string_view message) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int outLength = 0;
    EVP_Digest(message.data(), message.size(), out, &outLength, EVP_md5(), nullptr);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < outLength; ++i) {
        text += kHex[out[i] >> 4];
        text += kHex[out[i] & 0x0F];
    }
    return text;
}

}  // namespace ordvane::testing
