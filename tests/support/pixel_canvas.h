#pragma once
// The drawing interface on a plain buffer of pixels, so that the scene's
// pixels can be checked in the core with no toolkit. Pictures come out as a
// pattern that names the picture and the source pixel each device pixel
// shows; text is not set in glyphs but each call is kept.

#include <string>
#include <vector>

#include "draw/canvas.h"

namespace zorukan::testing {

class PixelCanvas final : public draw::Canvas {
public:
    PixelCanvas(int width, int height);

    struct TextCall {
        draw::Rect box;
        std::string text;
        scene::FontId font;
        int pixel_size;
    };
    struct PictureCall {
        scene::PictureId id;
        draw::Rect area;
    };

    // The colour a picture's source pixel (x, y) is shown in: never white or
    // black, so neither a shape's fill nor a line is mistaken for a picture.
    static scene::Rgb picture_pixel(scene::PictureId id, int x, int y);

    void clip(const draw::Rect& area) override;
    void fill(const draw::Rect& area, scene::Rgb colour) override;
    void picture(scene::PictureId id, const draw::Rect& area) override;
    void text(const draw::Rect& box, std::string_view text, scene::FontId font, int pixel_size,
              scene::Rgb colour) override;

    int width() const { return width_; }
    int height() const { return height_; }
    scene::Rgb at(int x, int y) const { return pixels_.at(index(x, y)); }
    const std::vector<TextCall>& texts() const { return texts_; }
    const std::vector<PictureCall>& pictures() const { return pictures_; }
    // Forgets the calls kept so far; the pixels stay.
    void forget_calls();

    friend bool operator==(const PixelCanvas& a, const PixelCanvas& b) { return a.pixels_ == b.pixels_; }

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x); }
    void put(int x, int y, scene::Rgb colour);

    int width_, height_;
    std::vector<scene::Rgb> pixels_;
    draw::Rect clip_;
    std::vector<TextCall> texts_;
    std::vector<PictureCall> pictures_;
};

}  // namespace zorukan::testing
