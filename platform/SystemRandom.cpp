#include "platform/SystemRandom.h"

#include <sys/random.h>

#include <cerrno>
#include <cstddef>

namespace ordvane {

bool FillFromSystemRandom(std::span<std::uint8_t> bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
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

}  // namespace ordvane
