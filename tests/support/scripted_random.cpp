#include "tests/support/scripted_random.h"

#include <memory>
#include <random>

namespace zorukan::testing {

ScriptedRandom::Source ScriptedRandom::cycling(std::vector<float> values) {
    return [values = std::move(values), at = std::size_t{0}]() mutable { return values[at++ % values.size()]; };
}

ScriptedRandom::Source ScriptedRandom::seeded(std::uint64_t seed) {
    // 24 random bits: an exact single below 1.
    return [engine = std::mt19937_64(seed)]() mutable { return static_cast<float>(engine() >> 40) * 0x1p-24f; };
}

float ScriptedRandom::next() {
    if (next_ < chosen_.size()) return last_ = chosen_[next_++];
    if (then_) return last_ = then_();
    return last_;
}

}  // namespace zorukan::testing
