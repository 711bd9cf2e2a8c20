#pragma once
// Turning a failing random session into something a developer can use: the
// shortest sequence found that still breaks the same rule, as a replay script
// that can be run by hand and kept as a golden test.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/model/events.h"
#include "tests/model/checked_game.h"

namespace zorukan::model {

// The game's random values come from their own stream, apart from the
// player's, so that leaving out a player's event does not change them.
std::uint64_t game_seed_of(std::uint64_t session_seed);

struct Failure {
    Violation violation;
    std::size_t original_length = 0;
    std::vector<Event> events;  // shrunk
    std::string script;
};

// `events` must break a rule when played from a fresh game.
Failure explain_failure(std::uint64_t session_seed, std::vector<Event> events);

// Makes the events as plain as they can be while `fails` still holds: one
// wait for each run of waits, empty typing, shorter waits and boxes.
template <typename Fails>
std::vector<Event> simplify(std::vector<Event> events, Fails fails) {
    for (std::size_t i = 0; i + 1 < events.size();) {
        if (events[i].action != Action::Wait || events[i + 1].action != Action::Wait) {
            ++i;
            continue;
        }
        auto merged = events;
        merged[i].value += merged[i + 1].value;
        merged.erase(merged.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        if (fails(merged)) {
            events = std::move(merged);
        } else {
            ++i;
        }
    }
    for (Event& event : events) {
        if (event.action == Action::Type && !event.text.empty()) {
            const std::string text = std::move(event.text);
            event.text.clear();
            if (!fails(events)) event.text = text;
        }
        if (event.action != Action::Wait && event.action != Action::BoxTime) continue;
        while (event.value > 0) {
            const int value = event.value;
            event.value /= 2;
            if (!fails(events)) {
                event.value = value;
                break;
            }
        }
    }
    return events;
}

}  // namespace zorukan::model
