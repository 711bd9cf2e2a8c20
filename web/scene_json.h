#pragma once
// The scene's current state as JSON, for the page to paint and to bring its
// controls in step: places in CSS pixels (15 twips each), the drawing order
// back to front, colours, captions, fonts and picture files, the trace, and
// the controls that take the focus, in tab order.

#include <string>

#include "game/program.h"

namespace zorukan::web {

int px(float twips);

// Text1's text goes along only when `with_text`: the page already shows what
// the player typed, and a pasted megabyte need not travel on every tick.
std::string scene_json(const game::Program& program, bool with_text);

}  // namespace zorukan::web
