// Tiny indexed-colour image plus the drawing helpers the pictures need.
#pragma once

#include <cstdint>
#include <vector>

namespace artgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Image {
public:
    Image(int width, int height, std::vector<Rgb> palette, std::uint8_t fill = 0);

    int width() const { return w_; }
    int height() const { return h_; }
    const std::vector<Rgb>& palette() const { return palette_; }
    const std::vector<std::uint8_t>& pixels() const { return px_; }

    // -1 when every pixel is opaque.
    int transparentIndex() const { return transparent_; }
    void setTransparentIndex(int index) { transparent_ = index; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    std::uint8_t at(int x, int y) const { return px_[static_cast<std::size_t>(y) * w_ + x]; }
    // Writes outside the canvas are dropped so shapes may run off the edges.
    void set(int x, int y, std::uint8_t c);

    void fillRect(int x, int y, int w, int h, std::uint8_t c);
    void hline(int x0, int x1, int y, std::uint8_t c);
    void vline(int x, int y0, int y1, std::uint8_t c);
    // Every pixel equal to `background` that touches (4-neighbour) a pixel that
    // is neither `background` nor `ink` becomes `ink`.
    void outline(std::uint8_t background, std::uint8_t ink);

    Image scaled(int factor) const;

private:
    int w_, h_;
    std::vector<Rgb> palette_;
    std::vector<std::uint8_t> px_;
    int transparent_ = -1;
};

// 8x8 Bayer threshold in [0, 1): compare against a fractional palette position
// to pick between two neighbouring steps.
double bayer8(int x, int y);

// Deterministic xorshift so the noise in the pictures is identical on every run.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : s_(seed ? seed : 0x9e3779b9u) {}
    std::uint32_t next();
    // Uniform in [0, 1).
    double unit() { return (next() >> 8) * (1.0 / 16777216.0); }

private:
    std::uint32_t s_;
};

}  // namespace artgen
