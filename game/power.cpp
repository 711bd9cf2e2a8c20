// The power gauge and the launch.

#include "game/game.h"
#include "runtime/arithmetic.h"

namespace zorukan::game {

using runtime::checked;

void Game::Cmd_Set_Click() {
    form_.Tmr_Power.set_enabled(true);
    form_.Cmd_Start.Enabled = true;
    form_.Cmd_Set.Enabled = false;
}

void Game::Tmr_Power_Timer() {
    // The bar swings 0, 200, ..., 4000, 3800, ..., 0: it turns on the tick
    // that reaches either end, so each end shows for one tick.
    if (state_.PowerDir == 0) {
        form_.Shape1.Width = checked(form_.Shape1.Width + 200.0f);
        if (form_.Shape1.Width >= 4000) state_.PowerDir = 1;
    } else if (state_.PowerDir == 1) {
        form_.Shape1.Width = checked(form_.Shape1.Width - 200.0f);
        if (form_.Shape1.Width <= 100) state_.PowerDir = 0;
    }
}

void Game::Cmd_Start_Click() {
    form_.Tmr_Power.set_enabled(false);
    state_.Speed = runtime::to_i32(runtime::divide(checked(static_cast<double>(form_.Shape1.Width) + 1800), 20));
    state_.Angle = form_.HScroll1.Value;
    form_.Timer1.set_enabled(true);
}

}  // namespace zorukan::game
