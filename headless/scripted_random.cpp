#include "headless/scripted_random.h"

#include <memory>
#include <random>

namespace zorukan::headless {

ScriptedRandom::Source ScriptedRandom::cycling(std::vector<float> values) {
    return [values = std::move(values), at = std::size_t{0}]() mutable { return values[at++ % values.size()]; };
}

ScriptedRandom::Source ScriptedRandom::seeded(std::uint64_t seed) {
    // 24 random bits: an exact single below 1.
    return [engine = std::mt19937_64(seed)]() mutable { return static_cast<float>(engine() >> 40) * 0x1p-24f; };
}

ScriptedRandom ScriptedRandom::then_seeded_from_clock(std::vector<float> chosen) {
    ScriptedRandom random(std::move(chosen));
    random.then_seeded_ = true;
    return random;
}

void ScriptedRandom::seed_from_clock() {
    ++seedings;
    if (!then_seeded_) return;
    const auto reading = static_cast<std::uint64_t>(clock_ ? clock_->now() : 0);
    seeded_.emplace([reading] { return reading; });
    seeded_->seed_from_clock();
}

float ScriptedRandom::next() {
    if (next_ < chosen_.size()) {
        last_ = chosen_[next_++];
        // Values given are forgotten, so a long script holds only those to come.
        if (next_ == chosen_.size()) {
            chosen_.clear();
            next_ = 0;
        }
        return last_;
    }
    if (then_seeded_) {
        // Unseeded, the generator starts from zero, as the game's own does.
        if (!seeded_) seeded_.emplace([] { return std::uint64_t{0}; });
        return last_ = seeded_->next();
    }
    if (then_) return last_ = then_();
    return last_;
}

}  // namespace zorukan::headless
