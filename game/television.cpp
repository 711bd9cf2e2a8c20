// The television test, run inside every flight tick while the set is intact.

#include <algorithm>

#include "game/game.h"

namespace zorukan::game {

namespace {

// The part of the parameter range where `from + u * delta` lies strictly
// between `low` and `high`, as an open interval.
struct Span {
    double low, high;
};

Span inside(double from, double delta, double low, double high) {
    if (delta == 0) {
        const bool within = low < from && from < high;
        return within ? Span{-1e300, 1e300} : Span{1, 0};
    }
    const double a = (low - from) / delta;
    const double b = (high - from) / delta;
    return {std::min(a, b), std::max(a, b)};
}

}  // namespace

// The shell is tested along the segment the player just saw drawn, from the
// previous position to the newest: a hit when any point of it lies strictly
// inside the television's rectangle. Touching an edge or a corner is no hit.
bool Game::shell_passed_television() const {
    const double x = state_.PosXA, y = state_.PosYA;
    const double dx = static_cast<double>(state_.PosXB) - x;
    const double dy = static_cast<double>(state_.PosYB) - y;
    const double left = form_.Tv.Left, width = form_.Tv.Width;
    const double top = form_.Tv.Top, height = form_.Tv.Height;

    const Span across = inside(x, dx, left, left + width);
    const Span down = inside(y, dy, top, top + height);
    const double low = std::max(across.low, down.low);
    const double high = std::min(across.high, down.high);
    // Exact quotients of the same ratio are the same double, so a segment
    // that only touches a corner gives low == high and no hit.
    return low < high && low < 1 && high > 0;
}

void Game::television_test() {
    if (!shell_passed_television()) return;
    services_.boxes.show(kHitPrompt, kHitTitle);
    services_.boxes.show(kHitPromptAfter, kHitTitle);
    state_.TvBroken = 1;
    form_.Tv.picture = form_.tv2.picture;
}

}  // namespace zorukan::game
