#pragma once
// The game's random values as a test or a replay script chooses them: the
// chosen values in turn, then whatever `then` gives; by default the last
// value again, or the middle of the field when none was chosen. The replay
// driver goes on with the game's own generator instead, seeded from the
// virtual clock, so that a replay is deterministic either way.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "runtime/random.h"
#include "runtime/timers.h"

namespace zorukan::headless {

class ScriptedRandom final : public runtime::RandomSource {
public:
    using Source = std::function<float()>;

    explicit ScriptedRandom(std::vector<float> chosen = {}, Source then = {})
        : chosen_(std::move(chosen)), then_(std::move(then)) {}

    // The values, in turn, forever.
    static Source cycling(std::vector<float> values);
    // Exact singles below 1 from a seeded generator, as the game's own gives.
    static Source seeded(std::uint64_t seed);
    // After the chosen values, the game's own generator, seeded from `clock`
    // each time the game seeds it.
    static ScriptedRandom then_seeded_from_clock(std::vector<float> chosen = {});
    // The clock that generator reads; the headless game hands over its own.
    void read_clock(const runtime::Clock& clock) { clock_ = &clock; }

    // One more chosen value, after those not yet given.
    void push(float value) { chosen_.push_back(value); }

    void seed_from_clock() override;
    float next() override;

    int seedings = 0;

private:
    std::vector<float> chosen_;
    std::size_t next_ = 0;
    float last_ = 0.5f;
    Source then_;
    bool then_seeded_ = false;
    const runtime::Clock* clock_ = nullptr;
    std::optional<runtime::SeededRandom> seeded_;
};

}  // namespace zorukan::headless
