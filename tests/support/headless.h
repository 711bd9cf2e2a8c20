#pragma once
// The headless game (headless/) under the names the tests use.

#include "headless/headless_game.h"

namespace zorukan::testing {

using headless::HeadlessGame;
using headless::RecordingBoxes;
using headless::ScriptedRandom;
using headless::ShownBox;

}  // namespace zorukan::testing
