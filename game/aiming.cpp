// Aiming: the scroll bar turns the barrel about its fixed base.

#include <cmath>

#include "game/game.h"
#include "runtime/arithmetic.h"

namespace zorukan::game {

using runtime::checked;

namespace {
constexpr double kBarrelLength = 240;  // twips
}

void Game::HScroll1_Change() {
    const std::int16_t degrees = form_.HScroll1.Value;
    const double theta = runtime::divide(checked(degrees * 3.14159), 180);
    form_.Text1.Text = runtime::text_of(degrees);
    form_.Line1.Y2 = static_cast<float>(checked(form_.Line1.Y1 - checked(std::sin(theta)) * kBarrelLength));
    form_.Line1.X2 = static_cast<float>(checked(checked(std::cos(theta)) * kBarrelLength + form_.Line1.X1));
}

}  // namespace zorukan::game
