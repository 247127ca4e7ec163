#include "app/DllVersion.h"

#include <link.h>

#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "platform/SaturatingAtoi.h"
#include "platform/VersionInfo.h"

namespace ordvane {

namespace {

constexpr std::size_t kTranslationSize = 4;

// The next token of a strtok-style walk: skips leading separators, ends the token at the next
// separator with a NUL and leaves *position after it. nullptr when no token is left.
char* NextToken(char*& position, char separator) {
    while (*position == separator) {
        ++position;
    }
    if (*position == '\0') {
        return nullptr;
    }
    char* token = position;
    while (*position != '\0' && *position != separator) {
        ++position;
    }
    if (*position == separator) {
        *position++ = '\0';
    }
    return token;
}

struct LoadedLibrarySearch {
    std::string_view soname;
    CString path;
    bool found = false;
};

bool NamesLibrary(std::string_view fileName, std::string_view soname) {
    return fileName.substr(0, soname.size()) == soname &&
           (fileName.size() == soname.size() || fileName[soname.size()] == '.');
}

int VisitLoadedObject(dl_phdr_info* info, std::size_t /*size*/, void* context) {
    auto* search = static_cast<LoadedLibrarySearch*>(context);
    if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') {
        return 0;
    }
    const std::string_view path(info->dlpi_name);
    const std::size_t slash = path.rfind('/');
    const std::string_view fileName =
        slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!NamesLibrary(fileName, search->soname)) {
        return 0;
    }
    search->path = info->dlpi_name;
    search->found = true;
    return 1;
}

}  // namespace

bool IsAcceptedZevaVersion(int major, int minor) {
    return major == 1 && minor == 1;
}

bool FindLoadedLibrary(const char* soname, CString& path) {
    if (soname == nullptr || soname[0] == '\0') {
        return false;
    }
    LoadedLibrarySearch search{soname, {}, false};
    dl_iterate_phdr(VisitLoadedObject, &search);
    if (search.found) {
        path = search.path;
    }
    return search.found;
}

bool CDllVersion::GetVersion(const char* fileName, int& major, int& minor, int& build) {
    char text[kVersionTextSize] = {};
    if (!ReadFileVersionString(fileName, text, sizeof text)) {
        return false;
    }
    // The second split runs on what the first left: its NULs may already have cut the text.
    return SplitVersion(text, '.', major, minor, build) ||
           SplitVersion(text, ',', major, minor, build);
}

bool CDllVersion::ReadFileVersionString(const char* fileName, char* text, std::size_t textSize) {
    if (text == nullptr || textSize == 0) {
        return false;
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0) {
        return false;
    }
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[std::size_t{size} + 1]);
    if (!block || !GetFileVersionInfoA(fileName, handle, size, block.get())) {
        return false;
    }
    CString path;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.get(), "\\VarFileInfo\\Translation", &value, &length) &&
        length == kTranslationSize) {
        DWORD translation = 0;
        std::memcpy(&translation, value, sizeof translation);
        const unsigned language = translation & 0xFFFF;
        const unsigned codePage = translation >> 16;
        path.Format("\\StringFileInfo\\%02X%02X%02X%02X\\FileVersion", language >> 8,
                    language & 0xFF, codePage >> 8, codePage & 0xFF);
    } else {
        path.Format("\\StringFileInfo\\%04X04B0\\FileVersion",
                    static_cast<unsigned>(GetUserDefaultLangID()));
    }
    if (!VerQueryValueA(block.get(), path, &value, &length) || value == nullptr) {
        return false;
    }
    const char* found = static_cast<const char*>(value);
    const std::size_t copied = CutUtf8Length(found, textSize - 1);
    std::memcpy(text, found, copied);
    text[copied] = '\0';
    return true;
}

bool CDllVersion::SplitVersion(char* text, char separator, int& major, int& minor, int& build) {
    if (text == nullptr) {
        return false;
    }
    int* const numbers[3] = {&major, &minor, &build};
    char* position = text;
    for (int* number : numbers) {
        const char* token = NextToken(position, separator);
        if (token == nullptr) {
            return false;
        }
        *number = SaturatingAtoi(token);
    }
    return true;
}

bool CDllVersion::IsAccepted(const char* fileName) {
    int major = 0;
    int minor = 0;
    int build = 0;
    GetVersion(fileName, major, minor, build);
    return IsAcceptedZevaVersion(major, minor);
}

bool CDllVersion::IsLoadedZevaAccepted() {
    CString path;
    return FindLoadedLibrary(kZevaSoname, path) && IsAccepted(path);
}

}  // namespace ordvane
