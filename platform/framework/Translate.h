#pragma once
// The program's texts in the user's language. Every text a window shows is written in English
// in the code and looked up in Qt's translation catalogues (loaded at start for the locale); a
// text without a translation stays as written. The extraction tool finds the texts by the
// name `translate` with a literal context and text, so keep both literal at every call.

#include <initializer_list>
#include <string_view>

#include "platform/CString.h"

namespace ordvane {

// The translation of sourceText in context; with n >= 0 the plural form for n, with "%n"
// replaced by n.
CString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                  int n = -1);

// Replaces %1, %2, ... in a translated text by the values, in order (a translation may move
// them).
CString FillIn(const CString& text, std::initializer_list<std::string_view> values);

}  // namespace ordvane
