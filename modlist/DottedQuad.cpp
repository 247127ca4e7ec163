#include "modlist/DottedQuad.h"

#include <algorithm>
#include <cstddef>

#include "platform/SaturatingAtoi.h"

namespace ordvane {

namespace {

constexpr int kOctetCount = 4;
constexpr int kLargestOctet = 255;

}  // namespace

bool IsDottedQuad(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    int dotCount = 0;
    for (const char character : text) {
        if (character == '.') {
            ++dotCount;
        } else if (character < '0' || character > '9') {
            return false;
        }
    }
    return dotCount == 3;
}

std::uint64_t DottedQuadRank(std::string_view text) {
    // Each octet is read as atoi reads it from its position; after each of the first three the
    // position moves just past the next '.', or to the end when there is none. The saturating
    // reader turns a long digit run into a value above 255 instead of overflowing.
    std::uint32_t value = 0;
    std::size_t position = 0;
    for (int octetIndex = 0; octetIndex < kOctetCount; ++octetIndex) {
        const int octet = SaturatingAtoi(text.substr(position));
        if (octet > kLargestOctet) {
            return static_cast<std::uint64_t>(octetIndex) << 32;
        }
        // Octets outside 0 to 255 can only come from texts that are not dotted quads; they
        // wrap in unsigned arithmetic instead of overflowing.
        value = (value << 8) + static_cast<std::uint32_t>(octet);
        const std::size_t dot = text.find('.', position);
        position = dot == std::string_view::npos ? text.size() : std::min(dot + 1, text.size());
    }
    return (static_cast<std::uint64_t>(kOctetCount) << 32) | value;
}

int CompareDottedQuads(std::string_view first, std::string_view second) {
    const std::uint64_t firstRank = DottedQuadRank(first);
    const std::uint64_t secondRank = DottedQuadRank(second);
    if (firstRank < secondRank) {
        return -1;
    }
    return firstRank > secondRank ? 1 : 0;
}

}  // namespace ordvane
