#pragma once
// The game as it ships: the real clock and message boxes, a random source,
// the game itself and its window. The program, the start-up benchmark and the
// tests that run the game as a child process all build it here, so they
// cannot drift apart.

#include <memory>

#include "app/game_window.h"
#include "app/message_box_ui.h"
#include "app/real_clock.h"
#include "game/program.h"
#include "runtime/random.h"

namespace zorukan::app {

class GameSession final : private runtime::TraceObserver {
public:
    // Creates the window: the load procedure runs and the widgets are built,
    // not yet shown. A run-time error is shown in a box, written to standard
    // error and ends the event loop with its number as the status.
    explicit GameSession(runtime::RandomSource& random);

    game::Program& program() { return program_; }
    RealClock& clock() { return clock_; }
    // Null when the load procedure already failed.
    GameWindow* window() { return window_.get(); }
    int exit_status() const { return status_; }

private:
    // The trace is drawn on the window, which is made after the game.
    void segment_drawn(const runtime::Segment& segment) override;
    void window_repainted() override;

    RealClock clock_;
    QtMessageBoxUi boxes_;
    int status_ = 0;
    game::Program program_;
    std::unique_ptr<GameWindow> window_;
};

}  // namespace zorukan::app
