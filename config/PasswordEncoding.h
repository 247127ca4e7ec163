#pragma once
// How passwords travel to a module that asks for salted MD5 responses.

#include <array>
#include <string>
#include <string_view>

namespace ordvane {

// Two salt characters from the 62 letters and digits.
using PasswordSalt = std::array<char, 2>;

// The MD5 hex digest (32 lowercase digits) of text up to its first NUL, the way a digest of a
// C string is taken.
std::string Md5HexOfText(std::string_view text);

// The response to a module's challenge for the current password: with s1 s2 the first two
// bytes of the challenge field, H1 = md5hex(s1 s2 password) and the response is
// md5hex(s1 s2 H1 challenge). challengeField is the whole field; the challenge text ends at its
// first NUL.
std::string ChallengeResponse(std::string_view challengeField, std::string_view password);

// The stored form of a new password: the salt followed by md5hex(salt newPassword), 34
// characters.
std::string SaltedPasswordHash(const PasswordSalt& salt, std::string_view newPassword);

}  // namespace ordvane
