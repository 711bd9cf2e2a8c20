#pragma once
// The running game without a window: the scene, the game state and the
// runtime services wired together. A front end (the desktop window or the
// replay driver) supplies a clock, random numbers, message boxes and an error
// reporter, and delivers the player's actions here.

#include <cstdint>
#include <string>

#include "game/game.h"
#include "runtime/event_boundary.h"
#include "runtime/message_boxes.h"
#include "runtime/timers.h"
#include "runtime/trace.h"
#include "scene/form1.h"

namespace zorukan::game {

struct Frontend {
    runtime::Clock& clock;
    runtime::RandomSource& random;
    runtime::MessageBoxUi& boxes;
    runtime::EventBoundary::Reporter report_error;
};

class Program {
public:
    explicit Program(Frontend frontend);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The window is created: the load procedure runs.
    void load();

    // A click on a button; a disabled button ignores it and false comes back.
    bool click(scene::CommandButton& button);

    // The player sets the scroll bar (clamped to its range); the change
    // procedure runs only when the value really changes.
    void scroll_to(int value);

    // The player's typing replaces the text box's text; nothing reads it.
    void type(std::string text) { form_.Text1.Text = std::move(text); }

    scene::Form1& form() { return form_; }
    const scene::Form1& form() const { return form_; }
    Game& game() { return game_; }
    const GameState& state() const { return game_.state(); }
    runtime::Timers& timers() { return timers_; }
    runtime::Trace& trace() { return trace_; }
    const runtime::Trace& trace() const { return trace_; }
    const runtime::EventBoundary& boundary() const { return boundary_; }
    bool halted() const { return boundary_.halted(); }

private:
    void wire_events();

    runtime::Timers timers_;
    runtime::Trace trace_;
    runtime::MessageBoxes boxes_;
    runtime::EventBoundary boundary_;
    scene::Form1 form_;
    Game game_;
};

}  // namespace zorukan::game
