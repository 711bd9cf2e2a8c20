#include "noise.h"

#include "image.h"

#include <cmath>

namespace artgen {

double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

double smoothstep(double edge0, double edge1, double x) {
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

namespace {

double latticeValue(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed ^ (static_cast<std::uint32_t>(x) * 0x27d4eb2du) ^ (static_cast<std::uint32_t>(y) * 0x165667b1u);
    h ^= h >> 15;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return (h >> 8) * (1.0 / 16777216.0);
}

}  // namespace

double valueNoise(double x, double y, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = smoothstep(0, 1, x - fx), ty = smoothstep(0, 1, y - fy);
    const double a = latticeValue(ix, iy, seed), b = latticeValue(ix + 1, iy, seed);
    const double c = latticeValue(ix, iy + 1, seed), d = latticeValue(ix + 1, iy + 1, seed);
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double fbm(double x, double y, std::uint32_t seed) {
    return 0.5714 * valueNoise(x, y, seed) + 0.2857 * valueNoise(x * 2, y * 2, seed + 1) +
           0.1429 * valueNoise(x * 4, y * 4, seed + 2);
}

int ditherStep(double v, int x, int y, int lo, int hi) {
    const double base = std::floor(v);
    int step = static_cast<int>(base) + ((v - base) > bayer8(x, y) ? 1 : 0);
    return step < lo ? lo : (step > hi ? hi : step);
}

}  // namespace artgen
