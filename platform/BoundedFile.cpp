#include "platform/BoundedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

namespace {

bool WriteAll(int descriptor, std::string_view text) {
    while (!text.empty()) {
        const ssize_t result = ::write(descriptor, text.data(), text.size());
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(result));
    }
    return true;
}

}  // namespace

bool ReadBoundedRegularFile(const std::string& path, std::size_t maxBytes, std::string& text,
                            std::string& error, bool* missing) {
    if (missing != nullptr) {
        *missing = false;
    }
    // Non-blocking: opening a FIFO without a writer would otherwise wait for one.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        if (missing != nullptr) {
            *missing = errno == ENOENT;
        }
        error = path + ": cannot be read";
        return false;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        error = path + ": not a regular file";
        return false;
    }
    text.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            ::close(descriptor);
            error = path + ": cannot be read";
            return false;
        }
        if (count == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
        if (text.size() > maxBytes) {
            ::close(descriptor);
            error = path + ": larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MiB";
            text.clear();
            return false;
        }
    }
    ::close(descriptor);
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& error) {
    std::string temporary = path + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        error = "cannot write " + path + ": cannot create a temporary file beside it";
        return false;
    }
    const bool complete = WriteAll(descriptor, text) && ::fsync(descriptor) == 0;
    ::close(descriptor);
    if (!complete || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace ordvane
