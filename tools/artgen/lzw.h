// Variable-width LZW as GIF uses it.
#pragma once

#include "bytes.h"

namespace artgen {

// Compresses colour indices (each < 2^minCodeSize, minCodeSize in 2..8) into the
// packed LSB-first code stream that follows the code-size byte in a GIF image,
// before it is cut into sub-blocks. Starts with a clear code, ends with
// end-of-information, and clears again whenever the 4096-entry table fills.
Bytes lzwEncode(const Bytes& indices, int minCodeSize);

}  // namespace artgen
