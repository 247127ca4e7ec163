#pragma once
// atoi without its undefined behaviour: leading white space, an optional sign, then digits up
// to the first other character; no digits gives 0. A value beyond int's range saturates at
// INT_MAX or INT_MIN instead of overflowing.

#include <cstddef>
#include <string_view>

namespace ordvane {

// Reads from the start of text; stops at the end of the view as at any non-digit, so a text
// without a terminator is never read past its end. If consumed is given, it receives the
// number of characters that took part (white space, sign and digits).
int SaturatingAtoi(std::string_view text, std::size_t* consumed = nullptr);

// The same on a NUL-terminated text; a null pointer gives 0.
int SaturatingAtoi(const char* text);

}  // namespace ordvane
