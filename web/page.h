#pragma once
// The game running in the page (main.cpp), for the test build's hooks.

#include "game/program.h"

namespace zorukan::web {

game::Program& program();

// After an event: repaints what it changed and brings the page's controls in
// step with the scene.
void present();

}  // namespace zorukan::web
