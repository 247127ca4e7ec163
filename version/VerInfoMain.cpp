// ordvane-verinfo FILE...: prints the version information of each file, from the string table of
// the file's first translation entry; when the file has no table for that entry (some files list
// one translation and carry a table of another), from its first string table; U.S. English,
// Unicode when it has neither.
#include <strings.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/VersionBlock.h"
#include "platform/VersionInfo.h"
#include "version/CVFXVersionInfo.h"
#include "version/CVFXVersionRecord.h"
#include "version/ProgramVersion.h"

namespace ordvane {
namespace {

constexpr DWORD kDefaultLanguage = 0x0409;
constexpr DWORD kDefaultCodePage = 1200;

bool SameKey(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

void ChooseStringTable(const char* fileName, DWORD& language, DWORD& codePage) {
    language = kDefaultLanguage;
    codePage = kDefaultCodePage;
    const DWORD size = GetFileVersionInfoSizeA(fileName, nullptr);
    if (size == 0) {
        return;
    }
    auto block = std::make_unique<BYTE[]>(size);
    if (!GetFileVersionInfoA(fileName, 0, size, block.get())) {
        return;
    }
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.get(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
        DWORD entry = 0;
        std::memcpy(&entry, value, sizeof entry);
        language = entry & 0xFFFF;
        codePage = entry >> 16;
    }
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, "%04x%04x", static_cast<unsigned>(language),
                  static_cast<unsigned>(codePage));
    std::vector<std::string> tables;
    if (!ordvane::ListVersionInfoChildren(block.get(), "\\StringFileInfo", tables) ||
        tables.empty()) {
        return;
    }
    for (const auto& table : tables) {
        if (SameKey(table, wanted)) {
            return;
        }
    }
    const std::string& first = tables.front();
    if (first.size() == 8 &&
        first.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
        language = static_cast<DWORD>(std::strtoul(first.substr(0, 4).c_str(), nullptr, 16));
        codePage = static_cast<DWORD>(std::strtoul(first.substr(4).c_str(), nullptr, 16));
    }
}

constexpr const char* kUsage =
    "usage: ordvane-verinfo FILE...\n"
    "       ordvane-verinfo --help | --version\n"
    "Prints the version information (VS_VERSIONINFO) of each file: Windows PE images and\n"
    "ELF files that carry a version block. Exit status 0 when every file had one, 1 when\n"
    "any had none, 2 on a usage error.\n";

}  // namespace
}  // namespace ordvane

int main(int argc, char** argv) {
    using namespace ordvane;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", static_cast<LPCSTR>(ProgramVersionLine("ordvane-verinfo")));
        return 0;
    }
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    int failures = 0;
    for (int index = 1; index < argc; ++index) {
        DWORD language = 0;
        DWORD codePage = 0;
        ChooseStringTable(argv[index], language, codePage);
        CVFXVersionRecord record;
        CVFXVersionInfo reader(codePage, language);
        if (!reader.Read(record, argv[index])) {
            std::printf("%s: %s\n", argv[index], static_cast<LPCSTR>(record.Describe()));
            ++failures;
            continue;
        }
        record.Show(true);
        if (index + 1 < argc) {
            std::printf("\n");
        }
    }
    return failures == 0 ? 0 : 1;
}
