#pragma once
// Random numbers for the game: seeding from a clock and uniformly distributed
// single-precision values in [0, 1).

#include <cstdint>
#include <functional>

namespace zorukan::runtime {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seed_from_clock() = 0;
    virtual float next() = 0;  // 0 <= r < 1
};

// SplitMix64 over a 64-bit state; each value takes the top 24 bits so that
// every result is an exact single and never reaches 1.
class SeededRandom final : public RandomSource {
public:
    using ClockReading = std::function<std::uint64_t()>;

    explicit SeededRandom(ClockReading clock_reading);

    void seed_from_clock() override { state_ = clock_reading_(); }
    float next() override;

    // Reads the system clock in nanoseconds, for the real game.
    static std::uint64_t system_clock_reading();

private:
    ClockReading clock_reading_;
    std::uint64_t state_ = 0;
};

}  // namespace zorukan::runtime
