#pragma once
// The kinds of control the window holds and the properties the game uses.
// Positions and sizes are twips held as singles: a control keeps exactly the
// value set, and only drawing rounds to pixels.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zorukan::scene {

// The scene's units: twips for places and sizes, drawn at 15 to a pixel;
// points for fonts, fixed in pixels as at 96 dots per inch (9 pt is 12 px,
// 8.25 pt is 11 px) whatever the desktop's own setting.
constexpr float kTwipsPerPixel = 15.0f;
constexpr float kPointsPerInch = 72.0f;
constexpr float kPixelsPerInch = 96.0f;

// To the nearest whole number, halves away from zero, as std::lround does
// but inline: a repaint rounds a few hundred values.
constexpr int round_to_int(double v) { return v >= 0 ? static_cast<int>(v + 0.5) : -static_cast<int>(0.5 - v); }

constexpr int pixels(float twips) { return round_to_int(twips / kTwipsPerPixel); }
constexpr int font_pixels(float points) { return round_to_int(points * kPixelsPerInch / kPointsPerInch); }

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
    // As many characters (UTF-16 units) as the player may type in.
    static constexpr int MaxLength = 32767;

    std::string_view name;
    float Left, Top, Width, Height;
    std::string Text;
};

// The arrow keys, and the scroll bar's own arrows.
enum class Arrow { Left, Right, Up, Down };

struct HScrollBar {
    // An arrow (a click on one of its own, or an arrow key) moves the value
    // SmallChange; a click on the track, or Page Up and Page Down, LargeChange.
    static constexpr std::int16_t SmallChange = 1;
    static constexpr std::int16_t LargeChange = 1;

    std::string_view name;
    float Left, Top, Width, Height;
    std::int16_t Min, Max, Value;
    std::function<void()> on_change;

    // The value after an arrow: Right and Up raise it, Left and Down lower
    // it, within Min and Max.
    std::int16_t after(Arrow arrow) const;
    // The value after a click on the track toward `toward` (a value): one
    // LargeChange that way, never past it.
    std::int16_t after_track_click(int toward) const;
};

}  // namespace zorukan::scene
