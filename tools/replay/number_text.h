#pragma once
// Numbers as replay scripts write them and as the replay prints them, the
// same on every platform the driver is built for.

#include <string>
#include <string_view>

namespace zorukan::replay {

// The shortest decimal that reads back to the same single, with no exponent
// and no decimal point for whole numbers; a whole number is written in full,
// as it is exactly: "0.1", "200000", "100000002004087734272".
std::string number_text(float value);
std::string number_text(long long value);

enum class NumberRead { kOk, kMalformed, kOutOfRange };

// Reads a whole word as a single: an optional minus sign, then decimal
// digits with an optional point and exponent, or inf, infinity or nan; no
// plus sign, no hexadecimal. Out of range: too large for a single, or so small that it
// would read as zero.
NumberRead read_single(std::string_view word, float& value);

}  // namespace zorukan::replay
