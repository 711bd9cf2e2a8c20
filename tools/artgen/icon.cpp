// Application icon: a cannon bottom-left that has just put a shell into the
// television at the top right.
#include "drawings.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace artgen {
namespace {

enum : std::uint8_t {
    Clear, Black, DarkGrey, Grey, LightGrey, White, WoodDark, Wood, WoodLight,
    Screen, Yellow, Orange, Red, Grass, GrassDark, Steel
};

std::vector<Rgb> iconPalette() {
    return {{255, 0, 255},  {0, 0, 0},       {64, 64, 70},   {120, 122, 128}, {196, 198, 200}, {255, 255, 255},
            {96, 52, 24},   {146, 88, 42},   {200, 138, 80}, {170, 192, 200}, {255, 226, 40},  {255, 140, 0},
            {214, 36, 16},  {80, 172, 56},   {36, 108, 36},  {88, 92, 104}};
}

// The television is small enough to place pixel by pixel.
std::uint8_t fromKey(char ch) {
    switch (ch) {
        case '.': return Clear;
        case 'k': return Black;
        case 'd': return DarkGrey;
        case 'g': return Grey;
        case 'l': return LightGrey;
        case 'w': return White;
        case 'B': return WoodDark;
        case 'b': return Wood;
        case 'n': return WoodLight;
        case 's': return Screen;
        case 'y': return Yellow;
        case 'o': return Orange;
        case 'r': return Red;
        default: throw std::logic_error("unknown icon key");
    }
}

template <std::size_t N>
void stamp(Image& img, int left, int top, const std::string_view (&rows)[N]) {
    for (std::size_t j = 0; j < N; ++j)
        for (std::size_t i = 0; i < rows[j].size(); ++i)
            if (rows[j][i] != '.') img.set(left + static_cast<int>(i), top + static_cast<int>(j), fromKey(rows[j][i]));
}

constexpr std::string_view kTv32[] = {
    ".....k......k.....",
    "......k....k......",
    ".......k..k.......",
    ".......kkkk.......",
    ".kkkkkkkkkkkkkkkk.",
    "knnnnnnnnnnnnnnnnk",
    "knbdddddddbbbbbbBk",
    "kndwwsysssdbbddbBk",
    "kndwysysysdbdlldBk",
    "kndssooossdbdlgdBk",
    "kndyyoroyydbbddbBk",
    "kndssooossdbbbbbBk",
    "kndsysysysdbkkkkBk",
    "kndgggygggdbbbbbBk",
    "knbdddddddbbkkkkBk",
    "kBBBBBBBBBBBBBBBBk",
    ".kkkkkkkkkkkkkkkk.",
    "..kk..........kk..",
};

constexpr std::string_view kTv16[] = {
    "..k...k..",
    "...k.k...",
    ".kkkkkkk.",
    "knnnnnnnk",
    "kndddddbk",
    "kndwysdlk",
    "kndyrydbk",
    "kndsysdkk",
    "kndddddBk",
    "kBBBBBBBk",
    ".kkkkkkk.",
};

struct CannonShape {
    // Barrel as a band on the 45-degree diagonal: along = x - y, across = x + y.
    int muzzle, breech;     // `along` at the muzzle face and at the breech end
    int axis, half;         // `across` centre line and half thickness
    double wheelX, wheelY, wheelR, rim;
    double grassX, grassY, grassRx, grassRy;
};

// Draws the cannon: grass mound, wheel, then the barrel lying across it.
void drawCannon(Image& img, const CannonShape& c) {
    const int n = img.width();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = (x + 0.5 - c.grassX) / c.grassRx, dy = (y + 0.5 - c.grassY) / c.grassRy;
            if (dx * dx + dy * dy <= 1.0) img.set(x, y, dy > 0.1 ? GrassDark : Grass);
        }

    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = x + 0.5 - c.wheelX, dy = y + 0.5 - c.wheelY;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d > c.wheelR) continue;
            // Felloe round the edge, four spokes, a hub, dark gaps between.
            std::uint8_t ink = Black;
            if (d > c.wheelR - c.rim || std::fabs(dx) < 0.5 || std::fabs(dy) < 0.5) ink = Wood;
            if (d < 0.8) ink = WoodLight;
            img.set(x, y, ink);
        }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int along = x - y, across = x + y - c.axis;
            if (along > c.muzzle || along < c.breech || std::abs(across) > c.half) continue;
            std::uint8_t ink = Steel;
            if (across == -c.half) ink = LightGrey;       // lit upper edge
            else if (across == c.half) ink = DarkGrey;    // shaded underside
            if (along >= c.muzzle - 2 && along <= c.muzzle - 1) ink = (across == -c.half) ? Grey : DarkGrey;  // muzzle band
            img.set(x, y, ink);
        }
    // Bore seen at the muzzle face, and the knob behind the breech.
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int along = x - y, across = x + y - c.axis;
            if (along == c.muzzle && std::abs(across) <= c.half - 1) img.set(x, y, Black);
            if (along == c.breech - 1 && std::abs(across) <= 1) img.set(x, y, Grey);
        }
}

}  // namespace

Image drawIcon32() {
    Image img(32, 32, iconPalette(), Clear);
    img.setTransparentIndex(Clear);
    drawCannon(img, {.muzzle = -6, .breech = -22, .axis = 31, .half = 2,
                     .wheelX = 8.5, .wheelY = 25.5, .wheelR = 5.1, .rim = 1.2,
                     .grassX = 10.0, .grassY = 31.5, .grassRx = 10.5, .grassRy = 3.2});
    stamp(img, 14, 0, kTv32);
    img.outline(Clear, Black);
    return img;
}

Image drawIcon16() {
    Image img(16, 16, iconPalette(), Clear);
    img.setTransparentIndex(Clear);
    drawCannon(img, {.muzzle = -5, .breech = -12, .axis = 14, .half = 1,
                     .wheelX = 4.5, .wheelY = 13.5, .wheelR = 2.6, .rim = 1.0,
                     .grassX = 5.0, .grassY = 16.2, .grassRx = 6.0, .grassRy = 1.8});
    stamp(img, 7, 0, kTv16);
    img.outline(Clear, Black);
    return img;
}

}  // namespace artgen
