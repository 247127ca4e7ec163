#pragma once
// Thread-locale services on POSIX per-thread locales. A locale id (LCID) maps to a locale name
// through a small table (1033 is en_US.UTF-8). A thread that never set a locale runs in the
// process's locale and reports LOCALE_USER_DEFAULT.

#include <string>

#include "platform/WinTypes.h"

inline constexpr DWORD LCID_INSTALLED = 0x00000001;
inline constexpr DWORD LCID_SUPPORTED = 0x00000002;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr WORD SORT_DEFAULT = 0x0;

inline constexpr LCID MAKELCID(WORD languageId, WORD sortId) {
    return (static_cast<DWORD>(sortId) << 16) | static_cast<DWORD>(languageId);
}

// LCID_SUPPORTED: the id is in our table; LCID_INSTALLED: and the system has the locale.
BOOL IsValidLocale(LCID locale, DWORD flags);
LCID GetThreadLocale();
// Switches the calling thread's locale; FALSE when the locale is not installed.
BOOL SetThreadLocale(LCID locale);
// The locale name behind an id, or nullptr when the id is not in the table.
const char* LocaleNameFromLcid(LCID locale);
// The id of a locale name such as "de_DE.UTF-8" or "de_DE.utf8": language and territory are
// compared, the code set and modifier are not. 0 when the table has no such locale.
LCID LcidFromLocaleName(const char* name);

// Case-sensitive comparison in the calling thread's collation; a thread without a locale of its
// own uses the user's LC_COLLATE (byte order in the "C" locale); -1, 0 or +1. A null pointer sorts
// before any text.
int lstrcmpA(LPCSTR first, LPCSTR second);

// A byte string whose order under strcmp equals lstrcmpA's order of the texts in the calling
// thread's collation, so that a sort can transform each text once instead of collating on
// every comparison. A null pointer is keyed as the empty text.
std::string CollationSortKeyA(LPCSTR text);
