#pragma once
// The kinds of control the window holds and the properties the game uses.
// Positions and sizes are twips held as singles: a control keeps exactly the
// value set, and only drawing rounds to pixels.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zorukan::scene {

constexpr float kTwipsPerPixel = 15.0f;

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class PictureId { Sky, Panel, TvIntact, TvBroken, Explosion, CannonBody };

enum class FontId {
    WindowDefault,  // the window's Japanese UI gothic
    PGothicSmall,   // the small proportional gothic of the gauge's MIN and MAX
};

struct Picture {
    std::string_view name;
    float Left, Top, Width, Height;
    PictureId picture;
    bool Visible = true;
};

struct Shape {
    std::string_view name;
    float Left, Top, Width, Height;
    Rgb fill;
};

struct Line {
    std::string_view name;
    float X1, Y1, X2, Y2;
    int BorderWidth = 1;  // pixels
};

struct Label {
    std::string_view name;
    float Left, Top, Width, Height;
    std::string_view Caption;
    FontId font = FontId::WindowDefault;
};

struct CommandButton {
    std::string_view name;
    float Left, Top, Width, Height;
    bool Enabled;
    std::function<void()> on_click;
};

struct TextBox {
    std::string_view name;
    float Left, Top, Width, Height;
    std::string Text;
};

struct HScrollBar {
    std::string_view name;
    float Left, Top, Width, Height;
    std::int16_t Min, Max, Value;
    std::function<void()> on_change;
};

}  // namespace zorukan::scene
