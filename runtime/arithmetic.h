#pragma once
// The game's arithmetic: checked conversions to its integer widths, checked
// counter steps and floating-point steps that refuse invalid, infinite or
// divide-by-zero results.

#include <cstdint>
#include <string>

namespace zorukan::runtime {

// Round to nearest, ties to even; outside the target range: overflow error.
std::int32_t to_i32(double value);
std::int16_t to_i16(double value);

// Largest integer not above the value (the result stays a double).
double floor_value(double value);

// Decimal text of a 16-bit integer, with no leading space: "30", "-5".
std::string text_of(std::int16_t value);

// value + 1 with the overflow check.
std::int16_t increment(std::int16_t value);

// value + 1 that wraps from the largest to the smallest 16-bit value. The
// result alternates odd and even exactly as the unbounded count would.
std::int16_t increment_wrapping(std::int16_t value);

// a - b with the overflow check.
std::int32_t subtract(std::int32_t a, std::int32_t b);

// Passes a finite result through; NaN raises the invalid-operation error and
// an infinity the overflow error.
double checked(double value);
float checked(float value);

// a / b; a zero divisor raises the division-by-zero error.
double divide(double a, double b);

}  // namespace zorukan::runtime
