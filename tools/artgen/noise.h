// Small deterministic shaping helpers shared by the larger pictures.
#pragma once

#include <cstdint>

namespace artgen {

double clamp01(double v);
double smoothstep(double edge0, double edge1, double x);
// Lattice value noise in [0, 1), smooth between integer points.
double valueNoise(double x, double y, std::uint32_t seed);
// Three octaves of value noise, roughly in [0, 1).
double fbm(double x, double y, std::uint32_t seed);
// Palette step for a continuous position v, dithered with the 8x8 Bayer matrix.
int ditherStep(double v, int x, int y, int lo, int hi);

}  // namespace artgen
