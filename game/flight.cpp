// The flight step: one tick of the shell's closed-form path, the landing, the
// right edge, and the explosion timer that ends the shot.

#include <cmath>

#include "game/game.h"
#include "runtime/arithmetic.h"

namespace zorukan::game {

using runtime::checked;

namespace {
constexpr std::int32_t kExplosionOffset = 185;  // twips left of point A
}

void Game::Timer1_Timer() {
    state_.FlightTime = runtime::increment(state_.FlightTime);
    // Only the parity of TickCount is ever used, so it wraps instead of
    // overflowing after half an hour of flight ticks.
    state_.TickCount = runtime::increment_wrapping(state_.TickCount);

    // Only point A's height is tested, whichever point the last tick wrote.
    if (static_cast<double>(form_.Line1.Y1) >= static_cast<double>(state_.PosYA)) {
        const double theta = runtime::divide(checked(state_.Angle * 3.14159), 180);
        if (state_.TickCount % 2 != 0) {
            fly(theta, state_.PosXA, state_.PosYA, state_.PosXB, state_.PosYB);
        } else {
            fly(theta, state_.PosXB, state_.PosYB, state_.PosXA, state_.PosYA);
        }
    } else {
        land();
    }

    if (state_.TvBroken == 0) television_test();

    const double width = form_.Width;
    if (width < state_.PosXA || width < state_.PosXB) ResetShot();
}

// Writes the shell's position after FlightTime ticks into (x, y) and draws
// the segment to it from the previous position.
void Game::fly(double theta, std::int32_t& x, std::int32_t& y, const std::int32_t& from_x,
               const std::int32_t& from_y) {
    const double t = state_.FlightTime;
    const double speed = state_.Speed;
    const double c = checked(std::cos(theta));
    x = runtime::to_i32(checked(checked(checked(speed * c) * t) + form_.Line1.X1));
    const double s = checked(std::sin(theta));
    const double fall = checked(checked(std::pow(t, 2)) * checked(state_.Gravity * 0.5));
    y = runtime::to_i32(checked(form_.Line1.Y1 - checked(checked(checked(speed * s) * t) - fall)));
    services_.trace.line(static_cast<float>(from_x), static_cast<float>(from_y), static_cast<float>(x),
                         static_cast<float>(y));
}

void Game::land() {
    form_.Image2.Left = static_cast<float>(runtime::subtract(state_.PosXA, kExplosionOffset));
    form_.Image2.Visible = true;
    // Already on while the explosion shows: its first tick still comes 500 ms
    // after the landing, because switching it on again changes nothing.
    form_.Timer2.set_enabled(true);
}

void Game::Timer2_Timer() {
    ResetShot();
    form_.Image2.Visible = false;
    form_.Timer2.set_enabled(false);
}

}  // namespace zorukan::game
