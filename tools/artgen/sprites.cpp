// The small sprites: television (whole and smashed), explosion, cannon body.
#include "drawings.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace artgen {

namespace tv {
enum : std::uint8_t { Edge, WoodDark, Wood, WoodLight, Bezel, Screen, Glare, ScreenShade, Crack, Knob, KnobShade, KnobRim };
}

Image drawTv(bool broken) {
    using namespace tv;
    Image img(21, 17,
              {{44, 26, 14}, {110, 62, 30}, {150, 90, 44}, {192, 130, 72}, {56, 56, 60}, {196, 200, 200},
               {240, 244, 244}, {160, 166, 170}, {0, 0, 0}, {228, 220, 196}, {140, 132, 116}, {184, 146, 104}},
              Wood);

    // Cabinet: dark edge, lit top-left, shaded bottom-right, a plinth below.
    img.fillRect(0, 0, 21, 17, Edge);
    img.fillRect(1, 1, 19, 15, Wood);
    img.hline(1, 19, 1, WoodLight);
    img.vline(1, 1, 14, WoodLight);
    img.vline(19, 2, 14, WoodDark);
    img.hline(1, 19, 14, WoodDark);
    img.hline(1, 19, 15, Edge);
    img.hline(2, 18, 15, WoodDark);

    // Picture tube: 11 x 9 screen in a dark bezel with rounded corners.
    img.fillRect(2, 2, 13, 11, Bezel);
    for (auto [x, y] : {std::pair{2, 2}, {14, 2}, {2, 12}, {14, 12}}) img.set(x, y, Wood);
    img.fillRect(3, 3, 11, 9, Screen);
    for (auto [x, y] : {std::pair{3, 3}, {13, 3}, {3, 11}, {13, 11}}) img.set(x, y, Bezel);
    // Bulging glass: glint top-left, darker rim bottom-right.
    img.hline(4, 6, 4, Glare);
    img.set(4, 5, Glare);
    img.hline(5, 12, 11, ScreenShade);
    img.vline(13, 5, 10, ScreenShade);

    // Controls column: two round knobs above a slotted speaker grille.
    auto knob = [&img](int x, int y) {  // 3 x 3, corners softened so it reads round
        img.fillRect(x - 1, y - 1, 3, 3, Knob);
        img.set(x + 1, y, KnobShade);
        img.set(x, y + 1, KnobShade);
        img.set(x - 1, y - 1, KnobRim);
        img.set(x + 1, y - 1, KnobRim);
        img.set(x - 1, y + 1, KnobRim);
        img.set(x + 1, y + 1, WoodDark);
    };
    knob(17, 3);
    knob(17, 7);
    img.set(17, 7, Edge);  // channel pointer
    for (int y = 10; y <= 12; y += 2) img.hline(16, 18, y, Edge);

    if (broken) {
        // Spider-web fracture round the impact point; only the glass cracks.
        static constexpr std::pair<int, int> cracks[] = {
            // hole
            {7, 6}, {8, 6}, {7, 7},
            // rays
            {6, 5}, {5, 5}, {4, 4}, {3, 4},
            {8, 5}, {9, 4}, {9, 3},
            {9, 7}, {10, 7}, {11, 7}, {12, 8}, {13, 8},
            {7, 8}, {6, 9}, {6, 10}, {5, 11},
            {8, 8}, {9, 9}, {9, 10}, {10, 11},
            // a short branch off the right-hand ray
            {11, 6}, {12, 5},
        };
        for (auto [x, y] : cracks)
            if (img.at(x, y) != Bezel) img.set(x, y, Crack);
    }
    return img;
}

namespace boom {
enum : std::uint8_t { Clear, Ink, Yellow, Pale, Orange, Red };
}

Image drawExplosion() {
    using namespace boom;
    Image img(26, 14, {{192, 192, 192}, {0, 0, 0}, {255, 224, 24}, {255, 252, 168}, {255, 140, 0}, {220, 30, 10}},
              Clear);
    img.setTransparentIndex(Clear);

    // Flame tips (x, top row); each falls away two rows per column, so the
    // silhouette is a row of sharp spikes, tallest in the middle.
    struct Tip { int x, y; };
    static constexpr Tip tips[] = {{1, 9}, {3, 6}, {6, 3}, {9, 5}, {11, 1}, {14, 4}, {16, 2}, {19, 4}, {22, 6}, {24, 9}};
    auto top = [](int x) {
        int t = 99;
        for (const Tip& tip : tips) t = std::min(t, tip.y + 2 * std::abs(x - tip.x));
        return t;
    };
    constexpr int ground = 12;  // last row of fire; the outline sits under it
    for (int x = 1; x <= 24; ++x) {
        // Rounded off where the fire meets the ground at either end.
        const int bottom = (x == 1 || x == 24) ? ground - 1 : ground;
        for (int y = top(x); y <= bottom; ++y) img.set(x, y, Yellow);
    }

    // Hotter layers nested inside: the same spikes, lower and narrower.
    for (int x = 4; x <= 21; ++x)
        for (int y = top(x) + 4; y <= ground; ++y) img.set(x, y, Orange);
    for (int x = 8; x <= 17; ++x)
        for (int y = top(x) + 8; y <= ground; ++y) img.set(x, y, Red);
    // Flecks of white-hot light near the spike roots.
    for (auto [x, y] : {std::pair{6, 5}, {11, 3}, {16, 4}, {3, 8}, {20, 7}, {13, 7}})
        if (img.at(x, y) == Yellow) img.set(x, y, Pale);

    img.outline(Clear, Ink);
    return img;
}

namespace cannon {
enum : std::uint8_t { Clear, Black, Rim, RimLight, Disc, DiscLight, DiscShade };
}

Image drawCannonBody() {
    using namespace cannon;
    // Transparent colour differs from every drawn grey so colour-keying also works.
    Image img(17, 17,
              {{192, 192, 192}, {0, 0, 0}, {112, 112, 112}, {160, 160, 160}, {208, 208, 208}, {244, 244, 244},
               {150, 150, 150}},
              Black);
    img.setTransparentIndex(Clear);

    // Rounded square rim: lighter along the top and left edges.
    img.hline(1, 15, 0, RimLight);
    img.vline(0, 1, 15, RimLight);
    img.hline(1, 15, 16, Rim);
    img.vline(16, 1, 15, Rim);
    for (auto [x, y] : {std::pair{0, 0}, {16, 0}, {0, 16}, {16, 16}}) img.set(x, y, Clear);
    img.set(1, 1, RimLight);
    img.set(15, 15, Rim);
    img.set(15, 1, Rim);
    img.set(1, 15, Rim);

    // The turret disc, lit from the top-left.
    const double c = 8.5, r = 5.9;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 17; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            if (dx * dx + dy * dy > r * r) continue;
            const double lit = -(dx + dy) / (r * 1.4142);  // +1 at the top-left rim
            const double fx = dx + 2.2, fy = dy + 2.2;      // highlight spot
            if (fx * fx + fy * fy < 2.2) img.set(x, y, DiscLight);
            else if (lit < -0.45 && dx * dx + dy * dy > (r - 1.8) * (r - 1.8)) img.set(x, y, DiscShade);
            else img.set(x, y, Disc);
        }
    return img;
}

}  // namespace artgen
