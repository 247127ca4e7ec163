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

std::string CurrentStoredForm(std::string_view challengeField, std::string_view password) {
    std::string salted{challengeField.size() > 0 ? challengeField[0] : '\0',
                       challengeField.size() > 1 ? challengeField[1] : '\0'};
    const std::string salt = salted;
    salted += UpToFirstNul(password);
    return salt + Md5HexOfText(salted);
}

std::string SealStoredForm(std::string_view currentStoredForm, std::string_view challenge,
                           std::string_view newStoredForm) {
    constexpr std::size_t kSalt = 2;
    constexpr std::size_t kDigestBytes = 16;
    static constexpr char kHex[] = "0123456789abcdef";
    const auto hexValue = [](char digit) {
        return digit >= '0' && digit <= '9'   ? digit - '0'
               : digit >= 'a' && digit <= 'f' ? digit - 'a' + 10
                                              : -1;
    };
    if (newStoredForm.size() != kSalt + 2 * kDigestBytes ||
        newStoredForm.find_first_not_of(kHex, kSalt) != std::string_view::npos) {
        return std::string(newStoredForm);
    }
    std::string keyText(currentStoredForm);
    keyText += challenge;
    keyText += newStoredForm.substr(0, kSalt);
    keyText += "new password";
    MD5 key;
    key.update(reinterpret_cast<const unsigned char*>(keyText.data()),
               static_cast<unsigned int>(keyText.size()));
    key.finalize();
    const std::vector<unsigned char> keyBytes = key.raw_digest();
    std::string sealed(newStoredForm.substr(0, kSalt));
    for (std::size_t index = 0; index < kDigestBytes; ++index) {
        const int byte = hexValue(newStoredForm[kSalt + 2 * index]) * 16 +
                         hexValue(newStoredForm[kSalt + 2 * index + 1]);
        const int mixed = byte ^ keyBytes[index];
        sealed += kHex[mixed >> 4];
        sealed += kHex[mixed & 0xF];
    }
    return sealed;
}

std::string SaltedPasswordHash(const PasswordSalt& salt, std::string_view newPassword) {
    std::string salted{salt[0], salt[1]};
    salted += UpToFirstNul(newPassword);
    return std::string{salt[0], salt[1]} + Md5HexOfText(salted);
}

}  // namespace ordvane
