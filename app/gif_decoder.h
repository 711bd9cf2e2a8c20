#pragma once
// Reads the game's pictures from their GIF bytes without the toolkit's image
// plugins: finding and loading those plugins, and their slower decoder, cost
// the window more start-up time than everything else it draws. Only the first
// image of a file is read, which is all a picture of the scene holds.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zorukan::app {

struct GifPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> indices;  // row by row, one colour index a pixel
    std::vector<std::uint32_t> palette; // 0xAARRGGBB; the transparent index has alpha 0
};

// Nothing when the bytes are not a whole, well-formed GIF.
std::optional<GifPicture> decode_gif(std::span<const std::uint8_t> bytes);

}  // namespace zorukan::app
