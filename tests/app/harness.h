#pragma once
// The real window over the game core, on a virtual clock with a fixed random
// value and message boxes that record what they show instead of waiting for
// a player. Ticks run when a test advances the clock, and the window is
// brought in step afterwards, as the real clock's ticked signal does.

#include <QWidget>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/game_window.h"
#include "game/program.h"
#include "runtime/virtual_clock.h"

namespace zorukan::testing {

class FixedRandom final : public runtime::RandomSource {
public:
    explicit FixedRandom(float value) : value_(value) {}
    void seed_from_clock() override {}
    float next() override { return value_; }

private:
    float value_;
};

struct ShownBox {
    std::string title, prompt;
    bool timers_held;
    std::uint64_t flight_ticks_before, flight_ticks_after;
};

class GameHarness final : public runtime::MessageBoxUi, private runtime::TraceObserver {
public:
    // 0 puts the television nearest the cannon (Left 1560), where a shell is
    // still rising well above it.
    explicit GameHarness(float random_value = 0.0f);

    game::Program& program() { return *program_; }
    scene::Form1& form() { return program_->form(); }
    app::GameWindow& window() { return *window_; }
    template <typename Widget>
    Widget* widget(const char* name) const {
        return window_->findChild<Widget*>(name);
    }

    void advance_ms(int ms);
    // Clicks a button with the mouse, as the player does.
    void click(const char* button);
    // Swings the gauge for `power_ms`, fires and flies until the shell lands.
    void fire(int power_ms);
    // Runs flight ticks until the shell lands or the shot ends.
    void land();

    // Message boxes: each one records itself while the player "reads" it.
    void show(const std::string& prompt, const std::string& title) override;
    const std::vector<ShownBox>& boxes() const { return boxes_; }

    FixedRandom random;

private:
    void segment_drawn(const runtime::Segment& segment) override;
    void window_repainted() override;

    runtime::VirtualClock clock_;
    std::unique_ptr<game::Program> program_;
    std::unique_ptr<app::GameWindow> window_;
    std::vector<ShownBox> boxes_;
};

}  // namespace zorukan::testing
