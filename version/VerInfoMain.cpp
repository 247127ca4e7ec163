// verinfo FILE...: prints the version information of each file, in the language and code page
// of the file's first translation entry (U.S. English, Unicode when it has none).
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/VersionInfo.h"
#include "version/CVFXVersionInfo.h"
#include "version/CVFXVersionRecord.h"

namespace {

constexpr DWORD kDefaultLanguage = 0x0409;
constexpr DWORD kDefaultCodePage = 1200;

void FirstTranslation(const char* fileName, DWORD& language, DWORD& codePage) {
    language = kDefaultLanguage;
    codePage = kDefaultCodePage;
    const DWORD size = GetFileVersionInfoSizeA(fileName, nullptr);
    if (size == 0) {
        return;
    }
    auto block = std::make_unique<BYTE[]>(size);
    void* value = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(fileName, 0, size, block.get()) &&
        VerQueryValueA(block.get(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
        DWORD entry = 0;
        std::memcpy(&entry, value, sizeof entry);
        language = entry & 0xFFFF;
        codePage = entry >> 16;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: verinfo FILE...\n");
        return 2;
    }
    int failures = 0;
    for (int index = 1; index < argc; ++index) {
        DWORD language = 0;
        DWORD codePage = 0;
        FirstTranslation(argv[index], language, codePage);
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
