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

// A module's stored form for its current password as the challenge names its salt: s1 s2 and
// md5hex(s1 s2 password), 34 characters.
std::string CurrentStoredForm(std::string_view challengeField, std::string_view password);

// Seals a new stored form (salt S' and 32 hexadecimal digits) for a module of protocol
// revision 2 or later, or unseals it again: the same operation both ways. The salt stays as it
// is; the digest's 16 bytes are XORed with MD5(currentStoredForm challenge S' "new password"),
// a key only a holder of the current stored form (the module, or whoever knows the current
// password) can compute, fresh for every challenge and new salt. Returns the text unchanged
// when it is not such a stored form (the empty text of a removed password included).
std::string SealStoredForm(std::string_view currentStoredForm, std::string_view challenge,
                           std::string_view newStoredForm);

}  // namespace ordvane
