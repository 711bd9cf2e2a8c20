#include "tools/replay/number_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include <fast_float/fast_float.h>
#include <fmt/format.h>

// The conversions themselves are fast_float's (reading) and fmt's (the
// shortest text that reads back), which behave alike on every platform the
// driver is built for; what is here is only which spellings a script may
// use and how the driver lays a number out.

namespace zorukan::replay {

namespace {

// Lays out fmt's shortest text of a positive single ("1e-05", "0.1",
// "1.2345e+10") in fixed notation, with no exponent.
std::string fixed_notation(const std::string& shortest) {
    const std::size_t e = shortest.find('e');
    const std::string mantissa = shortest.substr(0, e);
    const int exponent = e == std::string::npos ? 0 : std::atoi(shortest.c_str() + e + 1);
    const std::size_t point = mantissa.find('.');
    std::string digits = mantissa;
    int whole_digits = static_cast<int>(mantissa.size()) + exponent;
    if (point != std::string::npos) {
        digits.erase(point, 1);
        whole_digits = static_cast<int>(point) + exponent;
    }
    const std::size_t first = digits.find_first_not_of('0');
    whole_digits -= static_cast<int>(first);
    digits.erase(0, first);
    if (whole_digits <= 0) return "0." + std::string(static_cast<std::size_t>(-whole_digits), '0') + digits;
    if (static_cast<std::size_t>(whole_digits) >= digits.size()) {
        return digits + std::string(static_cast<std::size_t>(whole_digits) - digits.size(), '0');
    }
    return digits.substr(0, static_cast<std::size_t>(whole_digits)) + "." +
           digits.substr(static_cast<std::size_t>(whole_digits));
}

// Whether the digits before any exponent include one that is not zero: a
// number that reads as zero then was too small for a single.
bool has_nonzero_digit(std::string_view number) {
    const std::string_view mantissa = number.substr(0, number.find_first_of("eE"));
    return std::any_of(mantissa.begin(), mantissa.end(), [](char c) { return c >= '1' && c <= '9'; });
}

}  // namespace

std::string number_text(float value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    const std::string sign = std::signbit(value) ? "-" : "";
    const float magnitude = std::fabs(value);
    // A whole number is written in full, as it is exactly.
    if (magnitude == std::trunc(magnitude)) return sign + fmt::format("{:.0f}", static_cast<double>(magnitude));
    return sign + fixed_notation(fmt::format("{}", magnitude));
}

std::string number_text(long long value) { return std::to_string(value); }

NumberRead read_single(std::string_view word, float& value) {
    // The library takes no plus sign and no hexadecimal either, and names
    // inf, infinity, nan and nan(SEQUENCE) in any case.
    const char* const end = word.data() + word.size();
    float read = 0;
    const auto [stop, error] = fast_float::from_chars(word.data(), end, read);
    if (error != std::errc()) return NumberRead::kMalformed;
    const std::string_view number(word.data(), static_cast<std::size_t>(stop - word.data()));
    const bool named = std::isalpha(static_cast<unsigned char>(number[number.starts_with('-') ? 1 : 0]));
    // Too large for a single, or so small that it would read as zero: out
    // of range, even when more of the word follows the number.
    if (!named && (std::isinf(read) || (read == 0 && has_nonzero_digit(number)))) return NumberRead::kOutOfRange;
    if (stop != end) return NumberRead::kMalformed;
    value = read;
    return NumberRead::kOk;
}

}  // namespace zorukan::replay
