#pragma once
// Number text for the replay's output: the shortest decimal that reads back
// to the same value, with no decimal point for whole numbers.

#include <charconv>
#include <string>

namespace zorukan::replay {

inline std::string number_text(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

inline std::string number_text(long long value) { return std::to_string(value); }

}  // namespace zorukan::replay
