#include "tests/model/failure.h"

#include "tests/model/shrink.h"

namespace zorukan::model {

std::uint64_t game_seed_of(std::uint64_t session_seed) {
    return session_seed * 0x9E3779B97F4A7C15ULL + 0x2545F4914F6CDD1DULL;
}

Failure explain_failure(std::uint64_t session_seed, std::vector<Event> events) {
    const std::uint64_t game_seed = game_seed_of(session_seed);
    Failure failure;
    failure.original_length = events.size();
    const Outcome first = play(game_seed, events);
    if (!first.violation) return failure;
    const std::string rule = first.violation->rule;
    events.erase(events.begin() + static_cast<std::ptrdiff_t>(first.events_played), events.end());

    // Another rule breaking on the way would be a different fault.
    auto fails = [&](const std::vector<Event>& candidate) {
        const Outcome outcome = play(game_seed, candidate);
        return outcome.violation && outcome.violation->rule == rule;
    };
    failure.events = simplify(shrink(std::move(events), fails), fails);

    const Outcome last = play(game_seed, failure.events);
    failure.violation = *last.violation;
    failure.script = replay_script("random play, seed " + std::to_string(session_seed) + ": " + last.violation->text(),
                                   last.random_values, failure.events);
    return failure;
}

}  // namespace zorukan::model
