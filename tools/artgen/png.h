// RGBA PNG writer. The deflate stream uses stored blocks only: the icons are
// small and this keeps the tool free of a compressor.
#pragma once

#include "bytes.h"
#include "image.h"

#include <cstddef>

namespace artgen {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t adler32(const std::uint8_t* data, std::size_t size);

// `rgba` holds width * height * 4 bytes, rows top to bottom.
Bytes encodePng(int width, int height, const Bytes& rgba);
// The transparent index (if any) becomes alpha 0, everything else alpha 255.
Bytes encodePng(const Image& image);

}  // namespace artgen
