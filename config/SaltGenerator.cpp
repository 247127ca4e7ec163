#include "config/SaltGenerator.h"

#include <cstddef>

#include "platform/SystemRandom.h"

namespace ordvane {

char SaltGenerator::SaltCharacter(unsigned index) {
    if (index < 26) {
        return static_cast<char>('a' + index);
    }
    if (index < 52) {
        return static_cast<char>('A' + (index - 26));
    }
    return static_cast<char>('0' + (index - 52));
}

std::optional<unsigned> SaltGenerator::IndexFromRandomByte(std::uint8_t byte) {
    if (byte >= kRejectFrom) {
        return std::nullopt;
    }
    return byte % kAlphabetSize;
}

std::optional<PasswordSalt> SaltGenerator::DrawSalt() {
    PasswordSalt salt{};
    std::size_t drawn = 0;
    std::uint8_t bytes[16];
    while (drawn < salt.size()) {
        if (!FillFromSystemRandom(bytes)) {
            return std::nullopt;
        }
        for (std::uint8_t byte : bytes) {
            const std::optional<unsigned> index = IndexFromRandomByte(byte);
            if (index && drawn < salt.size()) {
                salt[drawn++] = SaltCharacter(*index);
            }
        }
    }
    return salt;
}

}  // namespace ordvane
