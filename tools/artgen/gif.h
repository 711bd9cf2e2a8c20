// GIF89a writer: one frame, global colour table, optional transparent index.
#pragma once

#include "bytes.h"
#include "image.h"

namespace artgen {

Bytes encodeGif(const Image& image);

}  // namespace artgen
