#pragma once
// The running game without a window: the scene, the game state and the
// runtime services wired together. A front end (the desktop window, the web
// page, the replay driver) hands over everything it supplies in one Frontend;
// the program attaches the clock and the trace observer and runs the load.
// From then on the front end delivers the player's actions here, or its raw
// input to controls(), whose rules turn it into those actions.

#include <cstdint>
#include <string>

#include "game/game.h"
#include "runtime/event_boundary.h"
#include "runtime/message_boxes.h"
#include "runtime/timers.h"
#include "runtime/trace.h"
#include "scene/control_rules.h"
#include "scene/form1.h"

namespace zorukan::game {

struct Frontend {
    runtime::Clock& clock;
    runtime::RandomSource& random;
    runtime::MessageBoxUi& boxes;
    runtime::TraceObserver* trace = nullptr;              // may be null
    runtime::EventBoundary::Reporter report_error = {};  // may be empty
};

class Program final : public scene::ControlEvents {
public:
    // The window is created: the load procedure runs. A run-time error in it
    // leaves the program halted().
    explicit Program(Frontend frontend);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // A click on a button; a disabled button ignores it and false comes back.
    bool click(scene::CommandButton& button) override;

    // The player sets the scroll bar (clamped to its range); the change
    // procedure runs only when the value really changes.
    void scroll_to(int value) override;

    // The player's typing replaces the text box's text; nothing reads it.
    void type(std::string text) { form_.Text1.Text = std::move(text); }

    scene::Form1& form() { return form_; }
    const scene::Form1& form() const { return form_; }
    Game& game() { return game_; }
    const GameState& state() const { return game_.state(); }
    runtime::Timers& timers() { return timers_; }
    runtime::Trace& trace() { return trace_; }
    const runtime::Trace& trace() const { return trace_; }
    bool halted() const override { return boundary_.halted(); }

    // The controls' focus, keys, presses and drags.
    scene::ControlRules& controls() { return controls_; }
    const scene::ControlRules& controls() const { return controls_; }

private:
    void wire_events();

    runtime::Timers timers_;
    runtime::Trace trace_;
    runtime::MessageBoxes boxes_;
    runtime::EventBoundary boundary_;
    scene::Form1 form_;
    Game game_;
    scene::ControlRules controls_{form_, *this};
};

}  // namespace zorukan::game
