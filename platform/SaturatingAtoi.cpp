#include "platform/SaturatingAtoi.h"

#include <climits>
#include <cstring>

namespace ordvane {

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int SaturatingAtoi(std::string_view text, std::size_t* consumed) {
    std::size_t position = 0;
    while (position < text.size() && IsCSpace(text[position])) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    // Accumulate as a negative number so that INT_MIN itself is reachable.
    long long value = 0;
    bool saturated = false;
    while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
        if (!saturated) {
            value = value * 10 - (text[position] - '0');
            if (value < static_cast<long long>(INT_MIN)) {
                saturated = true;
            }
        }
        ++position;
    }
    if (consumed != nullptr) {
        *consumed = position;
    }
    if (negative) {
        return saturated ? INT_MIN : static_cast<int>(value);
    }
    if (saturated || -value > static_cast<long long>(INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(-value);
}

int SaturatingAtoi(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    return SaturatingAtoi(std::string_view(text, std::strlen(text)));
}

}  // namespace ordvane
