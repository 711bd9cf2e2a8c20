#pragma once
// What a random player does, one event at a time, and how each event reads as
// a line of a replay script, so that a failing sequence can be replayed by
// the replay driver and kept as a golden test.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace zorukan::model {

enum class Action {
    ClickSet,    // enabled or not
    ClickStart,  // enabled or not
    Scroll,      // value: where the player drags to, possibly past either end
    Type,        // text: what the player types into the text box
    Wait,        // value: milliseconds
    BoxTime,     // value: how long the player leaves each later message box open, ms
};

struct Event {
    Event(Action what, int amount = 0, std::string typed = {})
        : action(what), value(amount), text(std::move(typed)) {}

    Action action;
    int value;
    std::string text;

    friend bool operator==(const Event&, const Event&) = default;
};

// The scroll bar's range; the player can drag past it but the bar clamps.
inline constexpr int kScrollMin = 0;
inline constexpr int kScrollMax = 90;

// A stream of player-like events from a seed: mostly waits of a few ticks,
// clicks on both buttons whatever their state, some long waits, some aiming,
// some typing and some changes to how long boxes stay open.
class EventSource {
public:
    explicit EventSource(std::uint64_t seed) : engine_(seed) {}
    Event next();

private:
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }
    std::string some_text();

    std::mt19937_64 engine_;
};

std::vector<Event> generate(std::uint64_t seed, std::size_t count);

// One script line for the event (no newline).
std::string script_line(const Event& event);

// A whole replay script: a comment header, the game's random values in the
// order the game asked for them, the events, and a closing dump.
std::string replay_script(const std::string& header, const std::vector<float>& random_values,
                          const std::vector<Event>& events);

}  // namespace zorukan::model
