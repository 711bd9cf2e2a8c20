// Windows icon writer: classic DIB images (1 or 4 bits per pixel) with AND masks.
#pragma once

#include "bytes.h"
#include "image.h"

#include <vector>

namespace artgen {

struct IconImage {
    Image image;  // at most 2^bitsPerPixel opaque colours; transparent index allowed
    int bitsPerPixel;  // 1 or 4
};

Bytes encodeIco(const std::vector<IconImage>& images);

}  // namespace artgen
