// The game's pictures. Sizes are fixed by the screen layout (1 px = 15 twips).
#pragma once

#include "image.h"

namespace artgen {

Image drawSky();          // 585 x 222, 16 colours
Image drawPanel();        // 585 x 67, 8 greys
Image drawTv(bool broken);  // 21 x 17
Image drawExplosion();    // 26 x 14, transparent background
Image drawCannonBody();   // 17 x 17, transparent corners

// Application icon. Each has a transparent index.
Image drawIcon16();
Image drawIcon32();

}  // namespace artgen
