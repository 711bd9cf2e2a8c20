#include "runtime/random.h"

#include <chrono>

namespace zorukan::runtime {

SeededRandom::SeededRandom(ClockReading clock_reading) : clock_reading_(std::move(clock_reading)) {}

float SeededRandom::next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<float>(z >> 40) * 0x1p-24f;
}

std::uint64_t SeededRandom::system_clock_reading() {
    const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count());
}

}  // namespace zorukan::runtime
