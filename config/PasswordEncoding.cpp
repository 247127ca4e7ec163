#include "config/PasswordEncoding.h"

#include "config/MD5.h"

namespace ordvane {

namespace {

// A text formed with printf's "%c" and "%s" ends at the first NUL it contains; digest only that.
std::string_view UpToFirstNul(std::string_view text) {
    const std::size_t end = text.find('\0');
    return end == std::string_view::npos ? text : text.substr(0, end);
}

}  // namespace

std::string Md5HexOfText(std::string_view text) {
    const std::string_view message = UpToFirstNul(text);
    MD5 digest;
    digest.update(reinterpret_cast<const unsigned char*>(message.data()),
                  static_cast<unsigned int>(message.size()));
    digest.finalize();
    return digest.hex_digest();
}

std::string ChallengeResponse(std::string_view challengeField, std::string_view password) {
    const char salt1 = challengeField.size() > 0 ? challengeField[0] : '\0';
    const char salt2 = challengeField.size() > 1 ? challengeField[1] : '\0';
    const std::string_view challenge = UpToFirstNul(challengeField);

    std::string first{salt1, salt2};
    first += UpToFirstNul(password);
    std::string second{salt1, salt2};
    second += Md5HexOfText(first);
    second += challenge;
    return Md5HexOfText(second);
}

std::string SaltedPasswordHash(const PasswordSalt& salt, std::string_view newPassword) {
    std::string salted{salt[0], salt[1]};
    salted += UpToFirstNul(newPassword);
    return std::string{salt[0], salt[1]} + Md5HexOfText(salted);
}

}  // namespace ordvane
