#pragma once
// The check of the module-service library's file version: the library is accepted when its
// FileVersion reads major 1, minor 1. On Linux "zeva.dll" is the libzeva.so that the dynamic
// loader loaded for this process.

#include <cstddef>

#include "platform/CString.h"

namespace ordvane {

class CDllVersion {
public:
    // The version text buffer: at most 255 characters and a terminating NUL.
    static constexpr std::size_t kVersionTextSize = 256;
    static constexpr const char* kZevaSoname = "libzeva.so";

    virtual ~CDllVersion() = default;

    // Reads the file's FileVersion and splits it at '.', or else at ','. Stores up to three
    // numbers; true only when the text was read and one split gave three.
    bool GetVersion(const char* fileName, int& major, int& minor, int& build);

    // The FileVersion text through the file's translation entry, or through the user's
    // language with code page 04B0 when there is no entry of exactly 4 bytes.
    bool ReadFileVersionString(const char* fileName, char* text,
                               std::size_t textSize = kVersionTextSize);

    // Splits text in place as strtok does (runs of separators count as one, each separator
    // that ends a token becomes a NUL) and converts the first three tokens with a saturating
    // atoi. False at the first missing token; the numbers stored before it stay.
    bool SplitVersion(char* text, char separator, int& major, int& minor, int& build);

    // GetVersion on the file, then the acceptance rule on what it left in major and minor.
    bool IsAccepted(const char* fileName);

    // IsAccepted on the libzeva.so loaded in this process; false when none is loaded.
    bool IsLoadedZevaAccepted();
};

// The rule itself: major 1 and minor 1, whatever else the version says.
bool IsAcceptedZevaVersion(int major, int minor);

// The path of the loaded object whose file name is soname (or soname followed by a version,
// such as "libzeva.so.1"), as the dynamic loader opened it.
bool FindLoadedLibrary(const char* soname, CString& path);

}  // namespace ordvane
