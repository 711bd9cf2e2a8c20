// The seeded random source: values in [0, 1) on the single-precision grid
// of 2^-24, spread evenly, the same for the same seed and different for
// different seeds, with the seed read from its clock at each seeding, the
// system clock's nanoseconds in the game.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "runtime/random.h"

namespace zorukan::runtime {
namespace {

std::vector<float> values_for(std::uint64_t seed, int count) {
    SeededRandom random([seed] { return seed; });
    random.seed_from_clock();
    std::vector<float> values;
    for (int i = 0; i < count; ++i) values.push_back(random.next());
    return values;
}

TEST(SeededRandom, ValuesAreEvenSinglesBelowOne) {
    constexpr int kCount = 200'000;
    std::array<int, 16> buckets{};
    for (std::uint64_t seed : {0ull, 1ull, 0xFFFF'FFFF'FFFF'FFFFull, 1'700'000'000'000'000'000ull}) {
        for (const float value : values_for(seed, kCount / 4)) {
            ASSERT_GE(value, 0.0f);
            ASSERT_LT(value, 1.0f);
            // On the 2^-24 grid every value is exact as a single, so nothing
            // rounds up to 1 on the way.
            const float scaled = value * 0x1p24f;
            ASSERT_EQ(scaled, std::floor(scaled)) << value;
            ++buckets[static_cast<std::size_t>(value * buckets.size())];
        }
    }
    for (const int count : buckets) EXPECT_NEAR(count, kCount / 16, kCount / 160);
}

TEST(SeededRandom, SeedsDecideTheSequence) {
    EXPECT_EQ(values_for(42, 8), values_for(42, 8));
    EXPECT_NE(values_for(42, 8), values_for(43, 8));
    EXPECT_NE(values_for(0, 8), values_for(1ull << 63, 8));

    std::uint64_t reading = 7;
    SeededRandom random([&reading] { return reading; });
    random.seed_from_clock();
    const float first = random.next();
    reading = 8;
    random.seed_from_clock();
    EXPECT_NE(random.next(), first);
    reading = 7;
    random.seed_from_clock();
    EXPECT_EQ(random.next(), first);

}

// The real game's seed is the system clock in nanoseconds, so that two games
// started within the same second put the television in different places.
TEST(SeededRandom, TheGamesSeedIsTheClockInNanoseconds) {
    const auto nanoseconds = [] {
        const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count());
    };
    const std::uint64_t before = nanoseconds();
    const std::uint64_t reading = SeededRandom::system_clock_reading();
    const std::uint64_t after = nanoseconds();
    EXPECT_GE(reading, before);
    EXPECT_LE(reading, after);
}

}  // namespace
}  // namespace zorukan::runtime
