#pragma once
// Reading a password from standard input. From a terminal the typed characters are not echoed
// (a prompt on standard error says what is asked); from a pipe or file the line is read as is.

#include <istream>
#include <string>

namespace ordvane::cli {

// One line without its line end; false at the end of input. prompt is shown only when standard
// input is a terminal, whose echo is off while the line is typed and restored afterwards, also
// when the program is interrupted meanwhile.
[[nodiscard]] bool ReadSecretLine(const char* prompt, std::string& line);

// A password as the configuration dialog takes it: one line (a trailing carriage return
// dropped) of at most 29 characters. False with error "no <what> on standard input" or "the
// <what> has more than 29 characters".
[[nodiscard]] bool ReadPasswordLine(const char* what, const char* prompt, std::string& password,
                                    std::string& error);

// True when standard input is a terminal: a new password is then typed twice.
bool InputIsTerminal();

}  // namespace ordvane::cli
