// GIF89a through giflib: one frame, a global colour table, optional
// transparent index.
#pragma once

#include "bytes.h"
#include "image.h"

namespace artgen {

// Throws std::invalid_argument when a pixel names no colour of the palette.
Bytes encodeGif(const Image& image);

}  // namespace artgen
