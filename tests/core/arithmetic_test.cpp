// Conversions and counters: the rounding and overflow edges the game's
// arithmetic relies on.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <ostream>
#include <sstream>
#include <string>

#include "runtime/arithmetic.h"
#include "runtime/errors.h"

namespace zorukan::runtime {
namespace {

struct Rounding {
    double value;
    int expected;
};

class RoundsHalfToEven : public ::testing::TestWithParam<Rounding> {};

TEST_P(RoundsHalfToEven, ToBothWidths) {
    EXPECT_EQ(to_i16(GetParam().value), GetParam().expected);
    EXPECT_EQ(to_i32(GetParam().value), GetParam().expected);
}

void PrintTo(const Rounding& row, std::ostream* out) { *out << std::setprecision(9) << row.value; }

INSTANTIATE_TEST_SUITE_P(Ties, RoundsHalfToEven,
                         ::testing::Values(Rounding{9.8, 10}, Rounding{2.5, 2}, Rounding{3.5, 4}, Rounding{-2.5, -2},
                                           Rounding{-3.5, -4}, Rounding{0.5, 0}, Rounding{1.5, 2},
                                           Rounding{927.84613, 928}, Rounding{-0.4, 0}),
                         // -2.5 runs as "minus_2_5".
                         [](const auto& row) {
                             std::ostringstream text;
                             text << std::setprecision(9) << std::abs(row.param.value);
                             std::string name = (row.param.value < 0 ? "minus_" : "") + text.str();
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

TEST(Conversion, SixteenBitRangeEdges) {
    EXPECT_EQ(to_i16(32767.4), 32767);
    EXPECT_EQ(to_i16(32766.5), 32766);
    EXPECT_EQ(to_i16(-32768.5), -32768);  // the tie rounds to the even end
    EXPECT_THROW(to_i16(32767.5), RuntimeError);
    EXPECT_THROW(to_i16(-32769.0), RuntimeError);
    EXPECT_THROW(to_i16(-32768.6), RuntimeError);
}

TEST(Conversion, ThirtyTwoBitRangeEdges) {
    EXPECT_EQ(to_i32(2147483647.4), 2147483647);
    EXPECT_EQ(to_i32(-2147483648.5), -2147483648);
    EXPECT_THROW(to_i32(2147483647.5), RuntimeError);
    EXPECT_THROW(to_i32(-2147483649.0), RuntimeError);
}

TEST(Conversion, OverflowCarriesItsNumber) {
    try {
        to_i16(40000);
        FAIL() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::Overflow);
        EXPECT_EQ(error.code(), 6);
    }
}

TEST(Conversion, NonFiniteValuesRaiseFloatingPointErrors) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    try {
        to_i32(nan);
        FAIL() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidOperation);
    }
    EXPECT_THROW(to_i16(inf), RuntimeError);
    EXPECT_THROW(checked(-inf), RuntimeError);
    EXPECT_THROW(checked(std::numeric_limits<float>::infinity()), RuntimeError);
    EXPECT_EQ(checked(1.5), 1.5);
}

TEST(Floor, TakesLargestIntegerNotAbove) {
    EXPECT_EQ(floor_value(8280.99), 8280);
    EXPECT_EQ(floor_value(1560.0), 1560);
    EXPECT_EQ(floor_value(-0.5), -1);
}

TEST(Division, ZeroDivisorIsAnError) {
    EXPECT_DOUBLE_EQ(divide(4000 + 1800, 20), 290);
    try {
        divide(1, 0);
        FAIL() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::DivisionByZero);
    }
}

TEST(Text, SixteenBitIntegerHasNoLeadingSpace) {
    EXPECT_EQ(text_of(30), "30");
    EXPECT_EQ(text_of(0), "0");
    EXPECT_EQ(text_of(-32768), "-32768");
}

TEST(Counters, CheckedIncrementStopsAtTheLimit) {
    EXPECT_EQ(increment(32766), 32767);
    EXPECT_EQ(increment(-1), 0);
    EXPECT_THROW(increment(32767), RuntimeError);
}

TEST(Counters, WrappingIncrementKeepsAlternatingParity) {
    std::int16_t count = 32764;
    for (int step = 0; step < 6; ++step) {
        const std::int16_t next = increment_wrapping(count);
        EXPECT_NE(next % 2 != 0, count % 2 != 0) << count << " -> " << next;
        count = next;
    }
    EXPECT_EQ(count, -32766);
}

TEST(Counters, SubtractionChecksThirtyTwoBitOverflow) {
    EXPECT_EQ(subtract(810, 185), 625);
    EXPECT_EQ(subtract(-2147483647, 1), -2147483648);
    EXPECT_THROW(subtract(-2147483647 - 1, 185), RuntimeError);
}

}  // namespace
}  // namespace zorukan::runtime
