#pragma once
// The game's random values as a test chooses them: the chosen values in
// turn, then whatever `then` gives; by default the last value again, or the
// middle of the field when none was chosen.

#include <cstdint>
#include <functional>
#include <vector>

#include "runtime/random.h"

namespace zorukan::testing {

class ScriptedRandom final : public runtime::RandomSource {
public:
    using Source = std::function<float()>;

    explicit ScriptedRandom(std::vector<float> chosen = {}, Source then = {})
        : chosen_(std::move(chosen)), then_(std::move(then)) {}

    // The values, in turn, forever.
    static Source cycling(std::vector<float> values);
    // Exact singles below 1 from a seeded generator, as the game's own gives.
    static Source seeded(std::uint64_t seed);

    void seed_from_clock() override { ++seedings; }
    float next() override;

    int seedings = 0;

private:
    std::vector<float> chosen_;
    std::size_t next_ = 0;
    float last_ = 0.5f;
    Source then_;
};

}  // namespace zorukan::testing
