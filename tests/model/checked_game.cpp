#include "tests/model/checked_game.h"

#include <algorithm>
#include <cmath>

namespace zorukan::model {

namespace {

using runtime::Micros;

constexpr int kPowerStep = 200;
constexpr int kFullPower = 4000;
constexpr int kGravity = 10;
constexpr int kFastestSpeed = (kFullPower + 1800) / 20;

// The latest flight tick that can still see a landing: the first tick at
// which even a vertical shot at full power is below the launch height, one
// more in case that tick wrote point B rather than A, and the tick that sees
// it. The angle may change in flight, but the climb is never faster.
constexpr int last_landing_tick() {
    int t = 1;
    while (kFastestSpeed * t - kGravity * t * t / 2 >= 0) ++t;
    return t + 2;
}

std::int16_t wrapped16(std::uint64_t count) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(count)); }

template <typename T>
std::string str(T value) {
    return std::to_string(value);
}

bool allowed(ShotState before, Action action, ShotState after) {
    using S = ShotState;
    switch (action) {
        case Action::ClickSet: return after == (before == S::Armed ? S::Charging : before);
        case Action::ClickStart: return after == (before == S::Charging ? S::Flying : before);
        case Action::Wait:
            if (before == S::Flying) return after != S::Charging;
            if (before == S::Exploding) return after == S::Exploding || after == S::Armed;
            return after == before;
        default: return after == before;
    }
}

}  // namespace

const char* name_of(ShotState state) {
    switch (state) {
        case ShotState::Armed: return "Armed";
        case ShotState::Charging: return "Charging";
        case ShotState::Flying: return "Flying";
        case ShotState::Exploding: return "Exploding";
    }
    return "?";
}

CheckedGame::CheckedGame(std::uint64_t game_seed)
    : game_(headless::ScriptedRandom({}, [this, draw = headless::ScriptedRandom::seeded(game_seed)]() mutable {
                return random_values_.emplace_back(draw());
            }),
            this, [this](const runtime::RuntimeError& error) { break_rule("no run-time error", error.what()); }) {
    game_.boxes.on_open = [this](const headless::ShownBox& box) { check_box(box); };
    expected_text_ = game_.program.form().Text1.Text;
    state_ = state_or_break();
    check_after({Action::Wait, 0}, ShotState::Armed);
}

void CheckedGame::break_rule(std::string rule, std::string detail) {
    if (!violation_) violation_ = Violation{std::move(rule), std::move(detail)};
}

std::optional<Violation> CheckedGame::apply(const Event& event) {
    if (violation_) return violation_;
    const ShotState before = *state_;
    play(event);
    ++coverage_.events;
    if (!violation_) check_after(event, before);
    return violation_;
}

void CheckedGame::play(const Event& event) {
    scene::Form1& form = game_.program.form();
    switch (event.action) {
        case Action::ClickSet:
            if (game_.program.click(form.Cmd_Set)) {
                power_ticks_at_set_ = form.Tmr_Power.ticks_run();
                set_at_ = game_.clock.now();
            }
            break;
        case Action::ClickStart: {
            const bool launching = *state_ == ShotState::Charging;
            if (!game_.program.click(form.Cmd_Start)) break;
            angle_at_launch_ = form.HScroll1.Value;
            if (launching) {
                width_at_launch_ = form.Shape1.Width;
                launched_at_ = game_.clock.now();
                boxed_in_shot_ = 0;
                ++coverage_.launches;
            }
            break;
        }
        case Action::Scroll: {
            const int old_value = form.HScroll1.Value;
            game_.program.scroll_to(event.value);
            if (form.HScroll1.Value != old_value) expected_text_ = std::to_string(form.HScroll1.Value);
            break;
        }
        case Action::Type:
            game_.program.type(event.text);
            expected_text_ = event.text;
            break;
        case Action::Wait: {
            const auto ticks_before = form.Timer1.ticks_run();
            game_.clock.advance(runtime::micros_from_ms(event.value));
            coverage_.flight_ticks += form.Timer1.ticks_run() - ticks_before;
            break;
        }
        case Action::BoxTime: game_.boxes.open_for = runtime::micros_from_ms(event.value); break;
    }
}

ShotState CheckedGame::state_or_break() {
    const scene::Form1& f = game_.program.form();
    const bool set = f.Cmd_Set.Enabled, start = f.Cmd_Start.Enabled;
    const bool t1 = f.Timer1.enabled(), t2 = f.Timer2.enabled(), power = f.Tmr_Power.enabled();
    if (set && !start && !t1 && !t2 && !power) return ShotState::Armed;
    if (!set && start && power && !t1 && !t2) return ShotState::Charging;
    if (!set && start && t1 && !t2 && !power) return ShotState::Flying;
    if (!set && start && t1 && t2 && !power) return ShotState::Exploding;
    break_rule("one of the four states",
               "Cmd_Set=" + str(set) + " Cmd_Start=" + str(start) + " Timer1=" + str(t1) + " Timer2=" + str(t2) +
                   " Tmr_Power=" + str(power));
    return state_.value_or(ShotState::Armed);
}

void CheckedGame::check_after(const Event& event, ShotState before) {
    if (game_.program.halted()) break_rule("no run-time error", "the game has stopped");
    const ShotState after = state_or_break();
    if (violation_) return;
    if (!allowed(before, event.action, after)) {
        break_rule("the state table", std::string(name_of(before)) + " went to " + name_of(after) + " on '" +
                                          script_line(event) + "'");
    }
    state_ = after;
    check_gauge(after);
    check_shot(after);
    check_television();
    check_trace(after);
    const scene::Form1& f = game_.program.form();
    if (f.Text1.Text != expected_text_) {
        break_rule("the text box shows the angle or what was typed", "'" + f.Text1.Text + "'");
    }
}

void CheckedGame::check_gauge(ShotState state) {
    const scene::Form1& f = game_.program.form();
    const float width = f.Shape1.Width;
    const int direction = game_.program.state().PowerDir;
    const bool on_a_step = width >= 0 && width <= kFullPower && std::fmod(width, float(kPowerStep)) == 0;
    if (!on_a_step || (direction != 0 && direction != 1)) {
        break_rule("the gauge moves in steps of 200 between 0 and 4000",
                   "width " + str(width) + " PowerDir " + str(direction));
        return;
    }
    if (state == ShotState::Charging) {
        const auto ticks = f.Tmr_Power.ticks_run() - power_ticks_at_set_;
        // No box can open while charging, so no tick is dropped.
        const auto due = static_cast<std::uint64_t>((game_.clock.now() - set_at_) / f.Tmr_Power.period());
        if (ticks != due) {
            break_rule("a timer switched on ticks a full period later, then on its cadence",
                       "Tmr_Power ticked " + str(ticks) + " times in " + str((game_.clock.now() - set_at_) / 1000) + " ms");
        }
        return;
    }
    // The bar holds from the launch until the reset empties it.
    const float expected = state == ShotState::Armed ? 0 : width_at_launch_;
    if (width != expected || (state == ShotState::Armed && direction != 0)) {
        break_rule("the gauge holds after the launch and is empty when armed",
                   std::string(name_of(state)) + ": width " + str(width) + " PowerDir " + str(direction) +
                       ", expected width " + str(expected));
    }
}

void CheckedGame::check_shot(ShotState state) {
    const scene::Form1& f = game_.program.form();
    const game::GameState& s = game_.program.state();
    if (coverage_.launches > 0 &&
        (s.Speed != (static_cast<int>(width_at_launch_) + 1800) / 20 || s.Angle != angle_at_launch_)) {
        break_rule("the launch takes the gauge and the scroll bar",
                   "Speed " + str(s.Speed) + " Angle " + str(s.Angle) + " after launching at width " +
                       str(width_at_launch_) + " and angle " + str(angle_at_launch_));
    }
    if (s.Gravity != kGravity) break_rule("gravity stays 10", str(s.Gravity));
    if (s.TickCount != wrapped16(f.Timer1.ticks_run())) {
        break_rule("every flight tick counts", "TickCount " + str(s.TickCount) + " after " +
                                                   str(f.Timer1.ticks_run()) + " ticks");
    }
    if (f.Image2.Visible != (state == ShotState::Exploding)) {
        break_rule("the explosion shows exactly while exploding", std::string(name_of(state)));
    }
    if (state != ShotState::Flying && state != ShotState::Exploding) return;

    const Micros tick = f.Timer1.period();
    // Ticks dropped while a box is open do not count as flight.
    const auto due = (game_.clock.now() - launched_at_) / tick;
    if (boxed_in_shot_ == 0 ? s.FlightTime != due : s.FlightTime > due) {
        break_rule("a timer switched on ticks a full period later, then on its cadence",
                   "FlightTime " + str(s.FlightTime) + " " + str((game_.clock.now() - launched_at_) / 1000) +
                       " ms after launch");
    }
    const int longest = last_landing_tick() + static_cast<int>(f.Timer2.period() / tick);
    if (s.FlightTime > longest) {
        break_rule("every shot ends in Armed", "FlightTime " + str(s.FlightTime) + " > " + str(longest));
    }
    const Micros allowed_time = (last_landing_tick() + 1) * tick + f.Timer2.period() + boxed_in_shot_;
    if (game_.clock.now() - launched_at_ > allowed_time) {
        break_rule("every shot ends in Armed", std::string(name_of(state)) + " " +
                                                   str((game_.clock.now() - launched_at_) / 1000) + " ms after launch");
    }
}

void CheckedGame::check_television() {
    const scene::Form1& f = game_.program.form();
    const game::GameState& s = game_.program.state();
    const double expected_left = std::floor(static_cast<double>(random_values_.back()) * 6721 + 1560);
    if (f.Tv.Left != expected_left) {
        break_rule("the television stands where the last random value put it",
                   "Left " + str(f.Tv.Left) + ", expected " + str(expected_left));
    }
    if (boxes_in_shot_ == 1) break_rule("both messages each time", "only the first box in this shot");
    if (s.TvBroken != (boxes_in_shot_ == 2 ? 1 : 0)) {
        break_rule("TvBroken is 1 exactly after a hit in this shot",
                   "TvBroken " + str(s.TvBroken) + " after " + str(boxes_in_shot_) + " boxes");
    }
    const bool broken = f.Tv.picture == scene::PictureId::TvBroken;
    if (broken != ever_hit_) {
        break_rule("the broken picture comes with the first hit and stays", broken ? "broken, never hit" : "intact");
    }
}

void CheckedGame::check_trace(ShotState state) {
    const auto drawn = game_.program.trace().segments().size();
    if ((state == ShotState::Armed || state == ShotState::Charging) && drawn != 0) {
        break_rule("the trace is empty after every reset", str(drawn) + " segments while " + name_of(state));
    }
    if (drawn > static_cast<std::size_t>(std::max<int>(game_.program.state().FlightTime, 0))) {
        break_rule("one segment per flight tick at most",
                   str(drawn) + " segments after " + str(game_.program.state().FlightTime) + " ticks");
    }
}

void CheckedGame::check_box(const headless::ShownBox& box) {
    const std::string& prompt = box.prompt;
    const std::string& title = box.title;
    ++boxes_shown_;
    const scene::Form1& f = game_.program.form();
    if (!box.timers_held) break_rule("ticks are held while a box is open", prompt);
    if (!f.Timer1.enabled() || f.Timer2.enabled() || game_.program.state().TvBroken != 0) {
        break_rule("boxes open only on a first hit in flight", prompt);
    }
    if (boxes_in_shot_ >= 2) {
        break_rule("boxes open only on a first hit in flight",
                   "box " + str(boxes_in_shot_ + 1) + " of the shot: " + title + " " + prompt);
    }
    if (++boxes_in_shot_ == 2) {
        ever_hit_ = true;
        ++coverage_.hits;
    }
    boxed_in_shot_ += game_.boxes.open_for;
}

void CheckedGame::segment_drawn(const runtime::Segment& segment) {
    ++segments_drawn_;
    const scene::Line& base = game_.program.form().Line1;
    const float from_x = last_segment_ ? last_segment_->x2 : base.X1;
    const float from_y = last_segment_ ? last_segment_->y2 : base.Y1;
    if (segment.x1 != from_x || segment.y1 != from_y) {
        break_rule("the trace is one path from the barrel",
                   "segment from " + str(segment.x1) + "," + str(segment.y1) + " after one ending at " +
                       str(from_x) + "," + str(from_y));
    }
    last_segment_ = segment;
}

void CheckedGame::window_repainted() {
    if (boxes_in_shot_ != 0 && boxes_in_shot_ != 2) {
        break_rule("both messages each time", str(boxes_in_shot_) + " boxes in the shot that ended");
    }
    if (game_.program.form().Timer1.enabled()) {
        ++(game_.program.form().Image2.Visible ? coverage_.landings : coverage_.right_edges);
    }
    boxes_in_shot_ = 0;
    last_segment_.reset();
}

Outcome play(std::uint64_t game_seed, const std::vector<Event>& events) {
    CheckedGame session(game_seed);
    Outcome outcome;
    for (const Event& event : events) {
        ++outcome.events_played;
        if ((outcome.violation = session.apply(event))) break;
    }
    outcome.random_values = session.random_values();
    return outcome;
}

}  // namespace zorukan::model
