#pragma once
// The version-information services under their Windows names and contracts, over the real
// VS_VERSIONINFO format, read from PE images (their resource section) and from ELF files that
// carry the block in the section named in ElfVersionSection.h. Texts come out as UTF-8.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/WinTypes.h"

using HMODULE = void*;

// The fixed part of a version resource, the value of its root.
struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
inline constexpr DWORD VFT_APP = 1;
inline constexpr DWORD VFT_DLL = 2;

// Size of the block GetFileVersionInfoA needs for the file; 0 when the file cannot be read or
// carries no usable version resource. *handle, when given, is set to 0.
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, DWORD* handle);

// Loads the file's version resource into data, which must hold size bytes (size as returned
// by GetFileVersionInfoSizeA). handle is ignored.
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data);

// Looks subBlock up in a block filled by GetFileVersionInfoA: "\" gives the VS_FIXEDFILEINFO,
// "\VarFileInfo\Translation" the translation array, "\StringFileInfo\<8 hex digits>\<Name>" a
// NUL-terminated UTF-8 text (*length counts its bytes with the terminator). The pointer points
// into block, which must stay writable: converted texts are kept in a side area of the block.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length);

// The user's language: the language of the process locale (LC_ALL, LC_MESSAGES, LANG) when
// the locale table knows it, otherwise U.S. English (0x0409).
LANGID GetUserDefaultLangID();

// TRUE when something exists at path.
BOOL PathFileExistsA(LPCSTR path);

// With module nullptr: the full path of the running program's own file, NUL-terminated, cut
// to size - 1 characters. Returns the length written; size when the path was cut; 0 on failure
// or for any other module.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

namespace ordvane {

// The VS_VERSIONINFO bytes of a PE image or an ELF file held in memory.
bool FindVersionResource(std::span<const std::uint8_t> file,
                         std::span<const std::uint8_t>& resource);

// The length of a NUL-terminated UTF-8 text cut to at most limit bytes, never inside a
// character, so that a version text cut to its buffer stays valid UTF-8.
std::size_t CutUtf8Length(const char* text, std::size_t limit);

}  // namespace ordvane
