#pragma once
// A fuzz input as a command line: the words between NUL bytes, as argv holds them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::string> ArgumentWords(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words(1);
    for (std::size_t index = 0; index < size; ++index) {
        if (data[index] == 0) {
            words.emplace_back();
        } else {
            words.back() += static_cast<char>(data[index]);
        }
    }
    return words;
}
