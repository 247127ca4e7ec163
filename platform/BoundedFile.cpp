#include "platform/BoundedFile.h"

#include <fstream>

namespace ordvane {

bool ReadBoundedFile(const std::string& path, std::size_t maxBytes, std::string& text,
                     std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    text.clear();
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > maxBytes) {
            error = path + ": larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MiB";
            text.clear();
            return false;
        }
    }
    return true;
}

}  // namespace ordvane
