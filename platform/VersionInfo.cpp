#include "platform/VersionInfo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/ElfVersionSection.h"
#include "platform/PeVersionResource.h"
#include "platform/ThreadLocale.h"
#include "platform/VersionBlock.h"

namespace {

// Files larger than this are not version-bearing executables we could sensibly load whole.
constexpr std::uintmax_t kLargestFile = std::uintmax_t{1} << 30;
constexpr LANGID kUnitedStatesEnglish = 0x0409;

bool ReadWholeFile(LPCSTR fileName, std::vector<std::uint8_t>& bytes) {
    struct stat status {};
    if (fileName == nullptr || stat(fileName, &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::uintmax_t>(status.st_size) > kLargestFile) {
        return false;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(status.st_size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // A file that shrank since stat keeps only what was really read.
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

// Reads the file and finds its resource; bytes keeps the storage the view points into.
bool LoadVersionResource(LPCSTR fileName, std::vector<std::uint8_t>& bytes,
                         std::span<const std::uint8_t>& resource) {
    return ReadWholeFile(fileName, bytes) && ordvane::FindVersionResource(bytes, resource);
}

const char* UserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return nullptr;
}

}  // namespace

namespace ordvane {

bool FindVersionResource(std::span<const std::uint8_t> file,
                         std::span<const std::uint8_t>& resource) {
    if (file.size() >= 2 && file[0] == 'M' && file[1] == 'Z') {
        return FindPeVersionResource(file, resource);
    }
    return FindElfVersionSection(file, resource);
}

std::size_t CutUtf8Length(const char* text, std::size_t limit) {
    std::size_t length = strnlen(text, limit);
    if (length < limit || text[length] == '\0') {
        return length;
    }
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    return length;
}

}  // namespace ordvane

DWORD GetFileVersionInfoSizeA(LPCSTR fileName, DWORD* handle) {
    if (handle != nullptr) {
        *handle = 0;
    }
    std::vector<std::uint8_t> bytes;
    std::span<const std::uint8_t> resource;
    if (!LoadVersionResource(fileName, bytes, resource)) {
        return 0;
    }
    return static_cast<DWORD>(ordvane::VersionInfoBlockSize(resource));
}

BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD /*handle*/, DWORD size, LPVOID data) {
    std::vector<std::uint8_t> bytes;
    std::span<const std::uint8_t> resource;
    if (!LoadVersionResource(fileName, bytes, resource)) {
        return FALSE;
    }
    return ordvane::CopyIntoVersionInfoBlock(resource, data, size) ? TRUE : FALSE;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length) {
    return ordvane::QueryVersionInfoBlock(block, subBlock, buffer, length) ? TRUE : FALSE;
}

LANGID GetUserDefaultLangID() {
    const LCID locale = LcidFromLocaleName(UserLocaleName());
    return locale != 0 ? static_cast<LANGID>(locale & 0xFFFF) : kUnitedStatesEnglish;
}

BOOL PathFileExistsA(LPCSTR path) {
    struct stat status {};
    return path != nullptr && path[0] != '\0' && stat(path, &status) == 0 ? TRUE : FALSE;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (module != nullptr || fileName == nullptr || size == 0) {
        return 0;
    }
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
        fileName[0] = '\0';
        return 0;
    }
    const std::size_t copied = std::min(static_cast<std::size_t>(length), std::size_t{size} - 1);
    std::memcpy(fileName, path, copied);
    fileName[copied] = '\0';
    return static_cast<std::size_t>(length) > copied ? size : static_cast<DWORD>(copied);
}
