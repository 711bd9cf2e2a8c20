#include "runtime/arithmetic.h"

#include <cmath>
#include <limits>

#include "runtime/errors.h"

namespace zorukan::runtime {

namespace {

// std::nearbyint honours the current rounding mode, which is round to nearest,
// ties to even unless someone changed it; the game never does.
template <typename Int>
Int round_to(double value, const char* width) {
    const double rounded = std::nearbyint(checked(value));
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        raise_overflow(std::to_string(value) + " does not fit a " + width + " integer");
    }
    return static_cast<Int>(rounded);
}

}  // namespace

std::int32_t to_i32(double value) { return round_to<std::int32_t>(value, "32-bit"); }

std::int16_t to_i16(double value) { return round_to<std::int16_t>(value, "16-bit"); }

double floor_value(double value) { return std::floor(checked(value)); }

std::string text_of(std::int16_t value) { return std::to_string(value); }

std::int16_t increment(std::int16_t value) {
    if (value == std::numeric_limits<std::int16_t>::max()) {
        raise_overflow("16-bit counter passed 32767");
    }
    return static_cast<std::int16_t>(value + 1);
}

std::int16_t increment_wrapping(std::int16_t value) {
    if (value == std::numeric_limits<std::int16_t>::max()) {
        return std::numeric_limits<std::int16_t>::min();
    }
    return static_cast<std::int16_t>(value + 1);
}

std::int32_t subtract(std::int32_t a, std::int32_t b) {
    const std::int64_t result = std::int64_t{a} - b;  // exact: two 32-bit values
    if (result < std::numeric_limits<std::int32_t>::min() || result > std::numeric_limits<std::int32_t>::max()) {
        raise_overflow(std::to_string(a) + " - " + std::to_string(b) + " does not fit a 32-bit integer");
    }
    return static_cast<std::int32_t>(result);
}

double checked(double value) {
    if (std::isnan(value)) raise_floating_point(ErrorNumber::InvalidOperation, "invalid operation");
    if (std::isinf(value)) raise_floating_point(ErrorNumber::Overflow, "result too large");
    return value;
}

float checked(float value) {
    return static_cast<float>(checked(static_cast<double>(value)));
}

double divide(double a, double b) {
    if (b == 0.0) raise_floating_point(ErrorNumber::DivisionByZero, "division by zero");
    return checked(a / b);
}

}  // namespace zorukan::runtime
