#pragma once
// Module texts on their way to a terminal. A module's type or hostname is whatever the module
// sent; control characters in it would move the cursor or start an escape sequence.

#include <string>
#include <string_view>

namespace ordvane::cli {

// The text with every C0 control character, DEL, C1 control character (U+0080 to U+009F, which
// some terminals obey as escape introducers) and byte that is not part of valid UTF-8 shown as
// \xNN, one per byte. Printable UTF-8 passes unchanged.
std::string TerminalSafe(std::string_view text);

}  // namespace ordvane::cli
