// The television test, run inside every flight tick while the set is intact.

#include "game/game.h"
#include "game/hit_test.h"

namespace zorukan::game {

// The shell is tested along the segment the player just saw drawn, from the
// previous position to the newest one.
bool Game::shell_passed_television() const {
    const scene::Picture& tv = form_.Tv;
    return passes_through({static_cast<double>(state_.PosXA), static_cast<double>(state_.PosYA)},
                          {static_cast<double>(state_.PosXB), static_cast<double>(state_.PosYB)},
                          {tv.Left, tv.Top, tv.Width, tv.Height});
}

void Game::television_test() {
    if (!shell_passed_television()) return;
    services_.boxes.show(kHitPrompt, kHitTitle);
    services_.boxes.show(kHitPromptAfter, kHitTitle);
    state_.TvBroken = 1;
    form_.Tv.picture = form_.tv2.picture;
}

}  // namespace zorukan::game
