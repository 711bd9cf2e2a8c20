// Control panel: brushed grey metal, brightest a third of the way in, with a
// one-pixel bevel so it reads as a raised plate.
#include "drawings.h"
#include "noise.h"

#include <cmath>

namespace artgen {

Image drawPanel() {
    constexpr int kW = 585, kH = 67;
    std::vector<Rgb> pal;
    for (int i = 0; i < 8; ++i) {
        const auto g = static_cast<std::uint8_t>(96 + i * 20);  // 96 .. 236
        pal.push_back({g, g, g});
    }
    Image img(kW, kH, pal);

    constexpr double peak = kW / 3.0;
    for (int y = 0; y < kH; ++y) {
        // Brushing: each scanline is nudged a little lighter or darker.
        const double streak = (valueNoise(0.5, y * 0.9, 4242) - 0.5) * 0.5;
        for (int x = 0; x < kW; ++x) {
            const double px = x + 0.5;
            // Falls off faster toward the near edge, slowly toward the far one.
            const double u = px < peak ? (peak - px) / peak : (px - peak) / (kW - peak);
            double v = 6.2 - 3.6 * u * u - 0.9 * u;
            // A hint of vertical curvature: slightly darker toward the bottom.
            v -= 0.6 * (static_cast<double>(y) / kH);
            v += streak + (valueNoise(px / 110, y * 0.7, 99) - 0.5) * 0.3;
            img.set(x, y, static_cast<std::uint8_t>(ditherStep(v, x, y, 1, 6)));
        }
    }

    // Bevel: light along the top and left, dark along the bottom and right.
    img.hline(0, kW - 1, 0, 7);
    img.vline(0, 0, kH - 1, 7);
    img.hline(1, kW - 1, kH - 1, 0);
    img.vline(kW - 1, 1, kH - 1, 0);
    return img;
}

}  // namespace artgen
