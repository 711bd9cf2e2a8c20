#include "tools/replay/numbers.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

// snprintf and strtof convert exactly, correctly rounded, in every C library
// the driver is built with, under the "C" locale that the game never leaves.
// (Not every C++ library has std::to_chars and std::from_chars for floating
// point.)

namespace zorukan::replay {

namespace {

// digits × 10^exponent
struct Decimal {
    std::uint64_t digits;
    int exponent;
};

float read_back(Decimal d) {
    char text[48];
    std::snprintf(text, sizeof text, "%llue%d", static_cast<unsigned long long>(d.digits), d.exponent);
    return std::strtof(text, nullptr);
}

// A positive single rounded to `precision` significant digits.
Decimal rounded(float magnitude, int precision) {
    char text[48];  // "d.ddddddddde+38"
    std::snprintf(text, sizeof text, "%.*e", precision - 1, static_cast<double>(magnitude));
    Decimal d{0, 0};
    const char* c = text;
    for (; *c != 'e'; ++c) {
        if (*c != '.') d.digits = d.digits * 10 + static_cast<std::uint64_t>(*c - '0');
    }
    d.exponent = std::atoi(c + 1) - (precision - 1);
    return d;
}

// The shortest decimal that reads back to a positive finite single and,
// among those as short, the nearest to it. The nearest of a length can fail
// to read back where the one above it does not: at a power of two, where
// the singles below lie twice as close as those above.
Decimal shortest(float magnitude) {
    for (int precision = 1;; ++precision) {
        const Decimal nearest = rounded(magnitude, precision);
        if (read_back(nearest) == magnitude) return nearest;
        const Decimal above{nearest.digits + 1, nearest.exponent};
        if (read_back(above) == magnitude) return above;
    }
}

bool same_letters(std::string_view text, std::string_view lower_case) {
    return text.size() == lower_case.size() &&
           std::equal(text.begin(), text.end(), lower_case.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// inf, infinity, nan and nan(SEQUENCE) of letters, digits and _, in any case.
// Read here, as C libraries differ in what they take after "nan(".
NumberRead read_named(std::string_view body, bool negative, float& value) {
    const float sign = negative ? -1.0f : 1.0f;
    if (same_letters(body, "inf") || same_letters(body, "infinity")) {
        value = sign * std::numeric_limits<float>::infinity();
        return NumberRead::kOk;
    }
    const auto in_sequence = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    const std::string_view sequence = body.size() >= 5 ? body.substr(4, body.size() - 5) : std::string_view();
    if (same_letters(body, "nan") ||
        (body.size() >= 5 && same_letters(body.substr(0, 4), "nan(") && body.back() == ')' &&
         std::all_of(sequence.begin(), sequence.end(), in_sequence))) {
        value = std::copysign(std::numeric_limits<float>::quiet_NaN(), sign);
        return NumberRead::kOk;
    }
    return NumberRead::kMalformed;
}

bool is_digit(std::string_view text, std::size_t at) {
    return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));
}

// Digits, an optional point and more digits (at least one digit in all), an
// optional exponent. The digits are brought down to a short decimal that
// rounds to the same single, so that strtof reads a few hundred bytes
// however long the word, and only a form every C library reads alike.
NumberRead read_decimal(std::string_view body, bool negative, float& value) {
    // Far more digits than any single needs to round correctly: the exact
    // halfway point between two singles has at most about 130.
    constexpr std::size_t kKept = 200;
    std::string digits;     // significant digits, no leading zeros
    bool dropped = false;   // a nonzero digit beyond the kept ones
    std::int64_t scale = 0;  // the value is digits × 10^scale
    bool any_digit = false;
    std::size_t at = 0;
    for (bool fraction = false;; ++at) {
        if (!fraction && at < body.size() && body[at] == '.') {
            fraction = true;
        } else if (is_digit(body, at)) {
            any_digit = true;
            const char digit = body[at];
            if (digits.empty() && digit == '0') {
                scale -= fraction ? 1 : 0;
            } else if (digits.size() < kKept) {
                digits += digit;
                scale -= fraction ? 1 : 0;
            } else {
                dropped = dropped || digit != '0';
                scale += fraction ? 0 : 1;
            }
        } else {
            break;
        }
    }
    if (!any_digit) return NumberRead::kMalformed;
    // An exponent counts only with a digit after its sign.
    const std::size_t exponent_sign = at + 1 < body.size() && (body[at + 1] == '-' || body[at + 1] == '+') ? 1 : 0;
    if (at < body.size() && (body[at] == 'e' || body[at] == 'E') && is_digit(body, at + 1 + exponent_sign)) {
        const bool exponent_negative = body[at + 1] == '-';
        std::int64_t exponent = 0;
        for (at += 1 + exponent_sign; is_digit(body, at); ++at) {
            exponent = std::min<std::int64_t>(exponent * 10 + (body[at] - '0'), 1'000'000'000'000'000);
        }
        scale += exponent_negative ? -exponent : exponent;
    }
    if (dropped) {
        digits += '1';
        --scale;
    }
    // A number too large or too small is out of range even when more of the
    // word follows it.
    float read = 0;
    if (!digits.empty()) {
        const std::int64_t magnitude = scale + static_cast<std::int64_t>(digits.size());  // 10^(magnitude-1) <= value
        if (magnitude > 40 || magnitude < -50) return NumberRead::kOutOfRange;
        const std::string text = digits + "e" + std::to_string(scale);
        // The replay reports a failed read or write with errno; a number's
        // range error must not stand in for it.
        const int saved_errno = errno;
        read = std::strtof(text.c_str(), nullptr);
        errno = saved_errno;
        if (std::isinf(read) || read == 0) return NumberRead::kOutOfRange;
    }
    if (at != body.size()) return NumberRead::kMalformed;
    value = negative ? -read : read;
    return NumberRead::kOk;
}

}  // namespace

std::string number_text(float value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    const std::string sign = std::signbit(value) ? "-" : "";
    const float magnitude = std::fabs(value);
    if (magnitude == std::trunc(magnitude)) {
        char text[48];  // 3.4e38 has 39 digits
        std::snprintf(text, sizeof text, "%.0f", static_cast<double>(magnitude));
        return sign + text;
    }
    Decimal d = shortest(magnitude);
    while (d.digits % 10 == 0) {
        d.digits /= 10;
        ++d.exponent;
    }
    // Not a whole number, so the decimal has a fraction: exponent < 0.
    const std::string digits = std::to_string(d.digits);
    const int whole_digits = static_cast<int>(digits.size()) + d.exponent;
    if (whole_digits <= 0) return sign + "0." + std::string(static_cast<std::size_t>(-whole_digits), '0') + digits;
    const auto point = static_cast<std::size_t>(whole_digits);
    return sign + digits.substr(0, point) + "." + digits.substr(point);
}

std::string number_text(long long value) { return std::to_string(value); }

NumberRead read_single(std::string_view word, float& value) {
    const bool negative = word.starts_with('-');
    const std::string_view body = word.substr(negative ? 1 : 0);
    if (!body.empty() && std::isalpha(static_cast<unsigned char>(body[0]))) return read_named(body, negative, value);
    return read_decimal(body, negative, value);
}

}  // namespace zorukan::replay
