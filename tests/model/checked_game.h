#pragma once
// One game played by a random player on a virtual clock, with the rules the
// game must keep checked after every event. A broken rule is returned as a
// Violation rather than asserted, so that a failing sequence can be played
// again, from scratch, while it is being shrunk.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "headless/headless_game.h"
#include "tests/model/events.h"

namespace zorukan::model {

// The four states of a shot, each named by its buttons and running timers.
enum class ShotState { Armed, Charging, Flying, Exploding };

const char* name_of(ShotState state);

struct Violation {
    std::string rule;    // which rule broke; shrinking keeps this one
    std::string detail;  // what was seen

    std::string text() const { return rule + ": " + detail; }
};

// What a session went through, to show that random play reaches every part
// of the game rather than idling in one state.
struct Coverage {
    std::uint64_t events = 0, launches = 0, landings = 0, right_edges = 0, hits = 0, flight_ticks = 0;
};

class CheckedGame final : public runtime::TraceObserver {
public:
    explicit CheckedGame(std::uint64_t game_seed);
    CheckedGame(const CheckedGame&) = delete;
    CheckedGame& operator=(const CheckedGame&) = delete;

    // Plays one event and checks every rule; the first broken rule is kept.
    std::optional<Violation> apply(const Event& event);

    const game::Program& program() const { return game_.program; }
    // Every random value the game was given, so that a replay script can
    // give it the same ones.
    const std::vector<float>& random_values() const { return random_values_; }
    runtime::Micros now() const { return game_.clock.now(); }
    const Coverage& coverage() const { return coverage_; }
    std::uint64_t boxes_shown() const { return boxes_shown_; }
    std::uint64_t segments_drawn() const { return segments_drawn_; }

    // The game reaches the player through these.
    void segment_drawn(const runtime::Segment& segment) override;
    void window_repainted() override;

private:
    void play(const Event& event);
    void check_after(const Event& event, ShotState before);
    void check_gauge(ShotState state);
    void check_shot(ShotState state);
    void check_television();
    void check_trace(ShotState state);
    void check_box(const headless::ShownBox& box);
    void break_rule(std::string rule, std::string detail);
    ShotState state_or_break();

    std::vector<float> random_values_;
    std::optional<Violation> violation_;
    headless::HeadlessGame game_;

    // What the model expects, kept alongside the game.
    std::optional<ShotState> state_;
    std::uint64_t power_ticks_at_set_ = 0;
    runtime::Micros set_at_ = 0;
    float width_at_launch_ = 0;
    int angle_at_launch_ = 0;
    runtime::Micros launched_at_ = 0;
    runtime::Micros boxed_in_shot_ = 0;
    int boxes_in_shot_ = 0;
    bool ever_hit_ = false;
    std::string expected_text_;
    std::optional<runtime::Segment> last_segment_;
    std::uint64_t boxes_shown_ = 0, segments_drawn_ = 0;
    Coverage coverage_;
};

struct Outcome {
    std::optional<Violation> violation;
    std::size_t events_played = 0;  // including the one that broke a rule
    std::vector<float> random_values;
};

// Plays the events from a fresh game until one breaks a rule.
Outcome play(std::uint64_t game_seed, const std::vector<Event>& events);

}  // namespace zorukan::model
