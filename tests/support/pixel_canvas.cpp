#include "tests/support/pixel_canvas.h"

#include "scene/pictures.h"

namespace zorukan::testing {

PixelCanvas::PixelCanvas(int width, int height)
    : width_(width), height_(height), pixels_(index(0, height), scene::Rgb{255, 0, 255}), clip_{0, 0, width, height} {}

scene::Rgb PixelCanvas::picture_pixel(scene::PictureId id, int x, int y) {
    const auto n = static_cast<std::uint8_t>(id);
    return {static_cast<std::uint8_t>(16 + 32 * n), static_cast<std::uint8_t>(1 + x % 250),
            static_cast<std::uint8_t>(1 + y % 250)};
}

void PixelCanvas::put(int x, int y, scene::Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (x < clip_.x || y < clip_.y || x >= clip_.right() || y >= clip_.bottom()) return;
    pixels_[index(x, y)] = colour;
}

void PixelCanvas::clip(const draw::Rect& area) { clip_ = area; }

void PixelCanvas::fill(const draw::Rect& area, scene::Rgb colour) {
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x) put(x, y, colour);
}

void PixelCanvas::picture(scene::PictureId id, const draw::Rect& area) {
    pictures_.push_back({id, area});
    const scene::PictureInfo& info = scene::picture_info(id);
    // Nearest source pixel to each device pixel's centre.
    for (int y = area.y; y < area.bottom(); ++y) {
        for (int x = area.x; x < area.right(); ++x) {
            const int sx = (2 * (x - area.x) + 1) * info.width_px / (2 * area.w);
            const int sy = (2 * (y - area.y) + 1) * info.height_px / (2 * area.h);
            put(x, y, picture_pixel(id, sx, sy));
        }
    }
}

void PixelCanvas::text(const draw::Rect& box, std::string_view text, scene::FontId font, int pixel_size, scene::Rgb) {
    texts_.push_back({box, std::string(text), font, pixel_size});
}

void PixelCanvas::forget_calls() {
    texts_.clear();
    pictures_.clear();
}

}  // namespace zorukan::testing
