#pragma once
// Text that a spreadsheet opens as a cell. A cell that begins with =, +, -, @, a tab or a
// carriage return is taken for a formula (or, through DDE, a command) by common spreadsheet
// programs; OWASP's rule against CSV injection is to put a single quote in front of such a
// cell, which makes it plain text. Module types and hostnames come from the network and go
// into CSV output and the window's copied rows, so both pass through here.

#include <string>
#include <string_view>

namespace ordvane {

inline bool StartsLikeFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// The text with a single quote in front when it starts like a formula; otherwise unchanged.
inline std::string NeutraliseFormula(std::string_view text) {
    return StartsLikeFormula(text) ? "'" + std::string(text) : std::string(text);
}

}  // namespace ordvane
