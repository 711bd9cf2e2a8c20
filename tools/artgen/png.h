// RGBA PNG writer over zlib. Rows are unfiltered and compressed at a fixed
// level, and no chunk carries a time, so the same image gives the same bytes.
#pragma once

#include "bytes.h"
#include "image.h"

namespace artgen {

// `rgba` holds width * height * 4 bytes, rows top to bottom.
Bytes encodePng(int width, int height, const Bytes& rgba);
// The transparent index (if any) becomes alpha 0, everything else alpha 255.
Bytes encodePng(const Image& image);

}  // namespace artgen
