#include "image.h"

#include <algorithm>
#include <stdexcept>

namespace artgen {

Image::Image(int width, int height, std::vector<Rgb> palette, std::uint8_t fill)
    : w_(width), h_(height), palette_(std::move(palette)),
      px_(static_cast<std::size_t>(width) * height, fill) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
        throw std::invalid_argument("image size out of range");
    if (palette_.empty() || palette_.size() > 256)
        throw std::invalid_argument("palette must hold 1..256 colours");
}

void Image::set(int x, int y, std::uint8_t c) {
    if (contains(x, y)) px_[static_cast<std::size_t>(y) * w_ + x] = c;
}

void Image::fillRect(int x, int y, int w, int h, std::uint8_t c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) set(i, j, c);
}

void Image::hline(int x0, int x1, int y, std::uint8_t c) {
    if (x0 > x1) std::swap(x0, x1);
    for (int x = x0; x <= x1; ++x) set(x, y, c);
}

void Image::vline(int x, int y0, int y1, std::uint8_t c) {
    if (y0 > y1) std::swap(y0, y1);
    for (int y = y0; y <= y1; ++y) set(x, y, c);
}

void Image::outline(std::uint8_t background, std::uint8_t ink) {
    std::vector<std::uint8_t> out = px_;
    auto solid = [&](int x, int y) {
        if (!contains(x, y)) return false;
        const std::uint8_t v = at(x, y);
        return v != background && v != ink;
    };
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            if (at(x, y) == background &&
                (solid(x - 1, y) || solid(x + 1, y) || solid(x, y - 1) || solid(x, y + 1)))
                out[static_cast<std::size_t>(y) * w_ + x] = ink;
    px_ = std::move(out);
}

Image Image::scaled(int factor) const {
    Image out(w_ * factor, h_ * factor, palette_);
    out.transparent_ = transparent_;
    for (int y = 0; y < out.h_; ++y)
        for (int x = 0; x < out.w_; ++x) out.px_[static_cast<std::size_t>(y) * out.w_ + x] = at(x / factor, y / factor);
    return out;
}

double bayer8(int x, int y) {
    static constexpr int m[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},   {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38},  {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
    };
    return (m[y & 7][x & 7] + 0.5) / 64.0;
}

std::uint32_t Rng::next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
}

}  // namespace artgen
