// Preparing a shot and ending one.

#include "game/game.h"
#include "runtime/arithmetic.h"

namespace zorukan::game {

using runtime::checked;
using runtime::to_i16;
using runtime::to_i32;

void Game::Form_Load() {
    services_.random.seed_from_clock();
    const float r = services_.random.next();
    // The television's left edge: a whole number of twips from 1560 to 8280.
    form_.Tv.Left = static_cast<float>(runtime::floor_value(checked(static_cast<double>(r) * 6721 + 1560)));
    form_.Shape1.Width = 0;
    state_.PosXA = to_i32(form_.Line1.X1);
    state_.PosYA = to_i32(form_.Line1.Y1);
    state_.PosXB = to_i32(form_.Line1.X1);
    state_.PosYB = to_i32(form_.Line1.Y1);
    state_.FlightTime = 0;
    state_.Gravity = to_i16(9.8);
    state_.PowerDir = 0;
    state_.TvBroken = 0;
}

void Game::ResetShot() {
    Form_Load();
    form_.Cmd_Set.Enabled = true;
    form_.Cmd_Start.Enabled = false;
    services_.trace.repaint_window();
    form_.Timer1.set_enabled(false);
}

}  // namespace zorukan::game
