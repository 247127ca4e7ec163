// ordvane-versionres [--file-version TEXT] DESCRIPTION OUTPUT
// Writes the VS_VERSIONINFO block described in DESCRIPTION (res/version/*.txt) to OUTPUT in the
// Windows binary format; --file-version replaces the FileVersion text and fixed file version.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "version/VersionResourceWriter.h"

namespace ordvane {
namespace {

int Usage() {
    std::fprintf(stderr, "usage: ordvane-versionres [--file-version TEXT] DESCRIPTION OUTPUT\n");
    return 2;
}

}  // namespace
}  // namespace ordvane

int main(int argc, char** argv) {
    const char* fileVersion = nullptr;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--file-version") == 0) {
        fileVersion = argv[2];
        first = 3;
    }
    if (argc - first != 2) {
        return ordvane::Usage();
    }
    std::ifstream in(argv[first], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "ordvane-versionres: cannot read %s\n", argv[first]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto parsed = ordvane::ParseVersionDescription(text);
    if (!parsed) {
        std::fprintf(stderr, "%s: %s\n", argv[first], parsed.Reason().c_str());
        return 1;
    }
    ordvane::VersionResourceDescription& description = parsed.Value();
    if (fileVersion != nullptr) {
        ordvane::OverrideFileVersion(description, fileVersion);
    }
    const auto written = ordvane::WriteVersionResource(description);
    if (!written) {
        std::fprintf(stderr, "%s: %s\n", argv[first], written.Reason().c_str());
        return 1;
    }
    const std::vector<std::uint8_t>& block = written.Value();
    std::ofstream out(argv[first + 1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(block.data()),
              static_cast<std::streamsize>(block.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "ordvane-versionres: cannot write %s\n", argv[first + 1]);
        return 1;
    }
    return 0;
}
