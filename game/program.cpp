#include "game/program.h"

#include <algorithm>

namespace zorukan::game {

Program::Program(Frontend frontend)
    : timers_(frontend.clock),
      boxes_(timers_, frontend.boxes),
      boundary_(timers_, std::move(frontend.report_error)),
      form_(timers_),
      game_(form_, Services{frontend.random, trace_, boxes_}) {
    trace_.set_observer(frontend.trace);
    wire_events();
    boundary_.run([this] { game_.Form_Load(); });
    controls_.settle();
}

// The only events the game handles, each to its procedure.
void Program::wire_events() {
    auto event = [this](void (Game::*procedure)()) {
        return [this, procedure] { boundary_.run([this, procedure] { (game_.*procedure)(); }); };
    };
    form_.Cmd_Set.on_click = event(&Game::Cmd_Set_Click);
    form_.Cmd_Start.on_click = event(&Game::Cmd_Start_Click);
    form_.HScroll1.on_change = event(&Game::HScroll1_Change);
    form_.Tmr_Power.on_tick = event(&Game::Tmr_Power_Timer);
    form_.Timer1.on_tick = event(&Game::Timer1_Timer);
    form_.Timer2.on_tick = event(&Game::Timer2_Timer);
}

bool Program::click(scene::CommandButton& button) {
    if (!button.Enabled || halted()) return false;
    button.on_click();
    return true;
}

void Program::scroll_to(int value) {
    const auto& bar = form_.HScroll1;
    const auto clamped = static_cast<std::int16_t>(std::clamp<int>(value, bar.Min, bar.Max));
    if (clamped == bar.Value || halted()) return;
    form_.HScroll1.Value = clamped;
    form_.HScroll1.on_change();
}

}  // namespace zorukan::game
