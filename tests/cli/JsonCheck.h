#pragma once
// A strict check that a text is one JSON value (RFC 8259) and nothing else, for the tests of
// the CLI's JSON output.

#include <string_view>

namespace ordvane::testing {

bool IsValidJson(std::string_view text);

}  // namespace ordvane::testing
