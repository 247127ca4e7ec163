#pragma once
// Dotted IPv4 texts in the table ("192.168.0.1") sort by their numeric value rather than as
// text, so that 9.0.0.1 comes before 10.0.0.1.

#include <cstdint>
#include <string_view>

namespace ordvane {

// True when the text holds only decimal digits and '.', with exactly three '.'. The digits
// between the dots may be missing or arbitrarily many: "..." is a dotted quad.
bool IsDottedQuad(std::string_view text);

// Orders two dotted quads by their 32-bit value (first octet most significant): -1, 0 or +1.
// An octet above 255 - however many digits it has - makes its text sort before every text
// whose first such octet comes later or that has none; two texts whose first oversized octet
// is in the same place compare equal, so the order never depends on which text comes first.
int CompareDottedQuads(std::string_view first, std::string_view second);

// A number whose order is the order of CompareDottedQuads, so that a sort can read each text
// once: the place of the first oversized octet (0 to 3, or 4 for none) above the 32-bit value
// (0 when an octet is oversized).
std::uint64_t DottedQuadRank(std::string_view text);

}  // namespace ordvane
