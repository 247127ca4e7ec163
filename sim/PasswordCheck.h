#pragma once
// The password rules of a module. Plain mode compares text. Hashed mode stores two salt
// characters and MD5(salt + password) in lowercase hexadecimal (34 characters); a configure
// proves the password with MD5(salt + stored digest + challenge), where the challenge is text
// the module issued with a recent scan answer and begins with the same salt.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace ordvane::sim {

inline constexpr std::size_t kSaltLength = 2;
inline constexpr std::size_t kSaltedDigestLength = 34;
inline constexpr std::size_t kChallengeLength = 34;

std::string Md5Hex(std::string_view text);

// salt + MD5(salt + password): the stored form of a hashed password.
std::string SaltedDigest(std::string_view salt, std::string_view password);

// What a configure must carry to prove the password behind storedSaltedDigest.
std::string ChallengeResponse(std::string_view storedSaltedDigest, std::string_view challenge);

// Two salt characters followed by lowercase hexadecimal digits: 34 characters in all.
bool IsSaltedDigest(std::string_view text);

// One character of the salt alphabet (a-z, A-Z, 0-9).
char RandomSaltCharacter(std::mt19937_64& random);

// A fresh challenge: the salt, then random characters of the salt alphabet drawn from the
// system's random source (a generator seeded once could be replayed by whoever learns its
// seed, and with it every challenge to come). Empty only when that source fails.
std::string NewChallenge(std::string_view salt);

// Two salt characters from the system's random source ("" when it fails).
std::string NewSalt();

}  // namespace ordvane::sim
