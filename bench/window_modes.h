#pragma once
// What the two window benches share: their modes, sizes and sample counts.

#include <string_view>
#include <vector>

#include "bench/probe.h"

namespace zorukan::bench {

enum class Mode { FirstFrame, Idle, Clocks, Paint, Unknown };

inline Mode parse_mode(int argc, char** argv) {
    if (argc < 2) return Mode::Unknown;
    const std::string_view name = argv[1];
    if (name == "first-frame") return Mode::FirstFrame;
    if (name == "idle") return Mode::Idle;
    if (name == "clocks") return Mode::Clocks;
    if (name == "paint") return Mode::Paint;
    return Mode::Unknown;
}

int usage(const char* program);

// The game's client area: 8775 x 4635 twips at 15 a pixel.
constexpr int kWindowWidth = 585;
constexpr int kWindowHeight = 309;

constexpr int kIdleSettleMs = 1000;
constexpr int kIdleMs = 5000;

constexpr int kFlightPeriodMs = 60;
constexpr int kFlightIntervals = 200;
constexpr int kGaugePeriodMs = 25;
constexpr int kGaugeIntervals = 400;

// Prints NAME_median_ms and NAME_p99_deviation_ms: the median interval, and
// the 99th percentile of how far an interval strays from the period.
void report_intervals(std::string_view name, const std::vector<double>& intervals_ms, int period_ms);

// Measures the figures every window gets the same way once its first frame is
// up: the first frame's time, and the idle cost. False for the other modes,
// which each program measures itself.
bool measure_shared_mode(Mode mode);

}  // namespace zorukan::bench
