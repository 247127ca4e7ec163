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
    const std::optional<std::string> drawn = DrawCharacters(2);
    if (!drawn) {
        return std::nullopt;
    }
    return PasswordSalt{(*drawn)[0], (*drawn)[1]};
}

std::optional<std::string> SaltGenerator::DrawCharacters(std::size_t count) {
    std::string characters;
    std::uint8_t bytes[48];
    while (characters.size() < count) {
        if (!FillFromSystemRandom(bytes)) {
            return std::nullopt;
        }
        for (std::uint8_t byte : bytes) {
            const std::optional<unsigned> index = IndexFromRandomByte(byte);
            if (index && characters.size() < count) {
                characters += SaltCharacter(*index);
            }
        }
    }
    return characters;
}

}  // namespace ordvane
