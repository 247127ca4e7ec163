#include "config/SaltGenerator.h"

#include <sys/random.h>

#include <cerrno>
#include <cstddef>

namespace ordvane {

namespace {

bool FillRandom(std::uint8_t* bytes, std::size_t count) {
    std::size_t filled = 0;
    while (filled < count) {
        const ssize_t got = getrandom(bytes + filled, count - filled, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

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
        if (!FillRandom(bytes, sizeof bytes)) {
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
