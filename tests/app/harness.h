#pragma once
// The real window over the game core, on a virtual clock with a fixed random
// value and message boxes that record what they show instead of waiting for
// a player. Ticks run when a test advances the clock, and the window is
// brought in step afterwards, as the real clock's ticked signal does.

#include <QLineEdit>
#include <QPoint>
#include <memory>
#include <vector>

#include "app/game_window.h"
#include "tests/support/headless.h"

namespace zorukan::testing {

class GameHarness final : private runtime::TraceObserver {
public:
    // 0 puts the television nearest the cannon (Left 1560), where a shell is
    // still rising well above it.
    explicit GameHarness(float random_value = 0.0f);
    ~GameHarness() override { window_.reset(); }

    game::Program& program() { return game_.program; }
    scene::Form1& form() { return game_.form(); }
    app::GameWindow& window() { return *window_; }
    QLineEdit& entry() { return *window_->angle_entry(); }

    // A window's logical pixel that lands on scene point (x, y), or just
    // right of and below it.
    QPoint at(double x, double y) const;
    // The window's logical pixel in the middle of scene pixels `r`.
    QPoint middle(const scene::Rect& r) const;

    void advance_ms(int ms);
    // Clicks a button (Cmd_Set, Cmd_Start) with the mouse, as the player does.
    void click(const char* button);
    // Swings the gauge for `power_ms`, fires and flies until the shell lands.
    void fire(int power_ms);
    // Runs flight ticks until the shell lands or the shot ends.
    void land();

    // Message boxes: each one records itself while the player "reads" it.
    const std::vector<ShownBox>& boxes() const { return game_.boxes.shown; }

private:
    void segment_drawn(const runtime::Segment& segment) override;
    void window_repainted() override;

    // Empty while the game loads; the window goes before the game it shows.
    std::unique_ptr<app::GameWindow> window_;
    HeadlessGame game_;
};

}  // namespace zorukan::testing
