// Sky backdrop: deep blue overhead fading to white at the horizon, a pale sun
// right of centre and a band of cumulus across the upper half.
#include "drawings.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace artgen {
namespace {

constexpr int kW = 585, kH = 222;
constexpr int kRampTop = 14;      // palette 0..14 run from deep blue to white
constexpr std::uint8_t kSun = 15;  // pale yellow sun disc
constexpr double kSunX = 384, kSunY = 42, kSunR = 8.5;

std::vector<Rgb> skyPalette() {
    struct Stop { double at; double r, g, b; };
    static constexpr Stop stops[] = {
        {0.00, 22, 50, 142}, {0.30, 44, 96, 196}, {0.60, 104, 160, 228},
        {0.82, 176, 210, 244}, {1.00, 255, 255, 255},
    };
    std::vector<Rgb> pal;
    for (int i = 0; i <= kRampTop; ++i) {
        const double t = static_cast<double>(i) / kRampTop;
        std::size_t s = 0;
        while (stops[s + 1].at < t) ++s;
        const Stop& a = stops[s];
        const Stop& b = stops[s + 1];
        const double u = (t - a.at) / (b.at - a.at);
        auto mix = [u](double p, double q) { return static_cast<std::uint8_t>(std::lround(p + (q - p) * u)); };
        pal.push_back({mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)});
    }
    pal.push_back({255, 248, 214});
    return pal;
}

struct Puff { double x, y, r; };
struct Cloud {
    std::vector<Puff> puffs;
    double top, base;
};

// A cumulus is a row of overlapping puffs, biggest in the middle, cut flat
// underneath.
Cloud makeCloud(Rng& rng, double cx, double base, double width, double height) {
    Cloud c;
    c.base = base;
    c.top = base;
    const int n = std::max(4, static_cast<int>(width / 10));
    for (int i = 0; i < n; ++i) {
        const double u = (i + 0.5) / n;                    // 0..1 across the cloud
        const double hump = std::sin(u * 3.14159265358979);  // tall in the middle
        const double r = height * (0.5 + 0.45 * hump) * (0.85 + 0.3 * rng.unit());
        const double x = cx - width / 2 + u * width + (rng.unit() - 0.5) * 6;
        const double y = base - r * (0.55 + 0.25 * rng.unit());
        c.puffs.push_back({x, y, r});
        c.top = std::min(c.top, y - r);
    }
    // Big clouds get a couple of billows piled on top, off centre.
    if (width > 100) {
        for (double u : {0.38, 0.6}) {
            const double r = height * (0.55 + 0.2 * rng.unit());
            const double x = cx - width / 2 + u * width;
            const double y = base - height * 0.75 - r * 0.3;
            c.puffs.push_back({x, y, r});
            c.top = std::min(c.top, y - r);
        }
    }
    return c;
}

}  // namespace

Image drawSky() {
    Image img(kW, kH, skyPalette());
    Rng rng(0x5eed0001);

    // Composition: two long banks, left and lower right, smaller ones between
    // and along the top; the sun is left clear. All above the middle line.
    std::vector<Cloud> clouds = {
        makeCloud(rng, 112, 78, 150, 28), makeCloud(rng, 250, 42, 70, 15),
        makeCloud(rng, 488, 96, 150, 26), makeCloud(rng, 300, 106, 84, 16),
        makeCloud(rng, 556, 36, 72, 14),  makeCloud(rng, 22, 26, 56, 11),
    };

    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double t = py / kH;
            double v = kRampTop * std::pow(t, 1.35);

            const double dx = px - kSunX, dy = py - kSunY;
            const double d = std::sqrt(dx * dx + dy * dy);
            const double glow = clamp01(1 - d / 140);
            v += 7.0 * glow * glow;

            // Cloud coverage: soft only over about a pixel so edges stay crisp.
            double cover = 0, shade = 0;
            for (const Cloud& c : clouds) {
                if (py > c.base + 2 || py < c.top - 3) continue;
                double inside = -1e9;
                for (const Puff& p : c.puffs) {
                    const double qx = px - p.x, qy = py - p.y;
                    const double wobble = (fbm(px / 7, py / 7, 77) - 0.5) * 0.22 * p.r;
                    inside = std::max(inside, p.r + wobble - std::sqrt(qx * qx + qy * qy));
                }
                inside = std::min(inside, c.base + (fbm(px / 9, 3, 91) - 0.5) * 2 - py);
                const double cv = smoothstep(-0.7, 0.7, inside);
                if (cv > cover) {
                    cover = cv;
                    // Lit from above: the lower half of the cloud shades toward blue-grey.
                    const double f = (py - c.top) / (c.base - c.top);
                    shade = 3.2 * smoothstep(0.5, 1.05, f);
                }
            }
            const double cloudV = kRampTop + 0.35 - shade;
            v = v + (std::max(v, cloudV) - v) * cover;

            img.set(x, y, static_cast<std::uint8_t>(ditherStep(v, x, y, 0, kRampTop)));

            // The sun disc sits in front of the glow but behind the clouds.
            if (cover < 0.5 && d < kSunR + 0.6 && (d < kSunR - 0.4 || bayer8(x, y) > d - kSunR + 0.4))
                img.set(x, y, kSun);
        }
    }
    return img;
}

}  // namespace artgen
