#pragma once
// Salt characters for new passwords, drawn from the operating system's random source.
//
// The salts come from getrandom, not from a clock-seeded rand(): whoever knows when the
// program started could otherwise predict every salt. Each character is uniform over the 62
// letters and digits: random bytes at or above 248 (the largest multiple of 62 that fits a
// byte) are thrown away and drawn again, so no character is favoured by the modulo.

#include <cstdint>
#include <optional>
#include <string>

#include "config/PasswordEncoding.h"

namespace ordvane {

class SaltGenerator {
public:
    // Two independent salt characters; nothing when the random source fails.
    static std::optional<PasswordSalt> DrawSalt();
    // count independent characters of the same alphabet; nothing when the source fails.
    static std::optional<std::string> DrawCharacters(std::size_t count);

    // The character for an index 0-61: 'a'-'z', then 'A'-'Z', then '0'-'9'.
    static char SaltCharacter(unsigned index);

    // The index a random byte stands for, or nothing when the byte must be drawn again.
    static std::optional<unsigned> IndexFromRandomByte(std::uint8_t byte);

    static constexpr unsigned kAlphabetSize = 62;
    static constexpr unsigned kRejectFrom = 248;  // 4 * 62
};

}  // namespace ordvane
