#include "sim/PasswordCheck.h"

#include "config/MD5.h"
#include "config/SaltGenerator.h"

namespace ordvane::sim {

namespace {

bool IsSaltCharacter(char character) {
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
           (character >= '0' && character <= '9');
}

bool IsLowerHexDigit(char character) {
    return (character >= '0' && character <= '9') || (character >= 'a' && character <= 'f');
}

}  // namespace

std::string Md5Hex(std::string_view text) {
    MD5 digest;
    digest.update(reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<unsigned int>(text.size()));
    digest.finalize();
    return digest.hex_digest();
}

std::string SaltedDigest(std::string_view salt, std::string_view password) {
    const std::string saltText(salt.substr(0, kSaltLength));
    return saltText + Md5Hex(saltText + std::string(password));
}

std::string ChallengeResponse(std::string_view storedSaltedDigest, std::string_view challenge) {
    return Md5Hex(std::string(storedSaltedDigest) + std::string(challenge));
}

bool IsSaltedDigest(std::string_view text) {
    if (text.size() != kSaltedDigestLength || !IsSaltCharacter(text[0]) ||
        !IsSaltCharacter(text[1])) {
        return false;
    }
    for (char character : text.substr(kSaltLength)) {
        if (!IsLowerHexDigit(character)) {
            return false;
        }
    }
    return true;
}

char RandomSaltCharacter(std::mt19937_64& random) {
    static constexpr std::string_view kAlphabet =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    return kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(random)];
}

std::string NewChallenge(std::string_view salt) {
    const std::optional<std::string> drawn =
        SaltGenerator::DrawCharacters(kChallengeLength - kSaltLength);
    return drawn ? std::string(salt.substr(0, kSaltLength)) + *drawn : std::string();
}

std::string NewSalt() {
    return SaltGenerator::DrawCharacters(kSaltLength).value_or("");
}

}  // namespace ordvane::sim
