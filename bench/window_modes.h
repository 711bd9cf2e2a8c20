#pragma once
// What the two window benches share: their modes, the scene's size and
// periods, and the sample counts.

#include <cmath>
#include <string_view>
#include <vector>

#include "bench/probe.h"
#include "runtime/virtual_clock.h"
#include "scene/form1.h"

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

// Twips to the window's pixels, rounded as the window rounds them.
inline int pixels(float twips) { return static_cast<int>(std::lround(twips / scene::kTwipsPerPixel)); }

inline const int kWindowWidth = pixels(scene::Form1::ClientWidth);
inline const int kWindowHeight = pixels(scene::Form1::ClientHeight);

// The scene as designed, to read its places, texts and periods.
struct DesignedScene {
    runtime::VirtualClock clock;
    runtime::Timers timers{clock};
    scene::Form1 form{timers};
};

inline int period_ms(const runtime::Timer& timer) { return static_cast<int>(timer.period() / 1000); }

constexpr int kIdleSettleMs = 1000;
constexpr int kIdleMs = 5000;
constexpr int kFlightIntervals = 200;
constexpr int kGaugeIntervals = 400;

// Prints NAME_median_ms, NAME_p99_deviation_ms (the 99th percentile of how far
// an interval strays from the period) and NAME_period_ms.
void report_intervals(std::string_view name, const std::vector<double>& intervals_ms, int period_ms);

// Measures the figures every window gets the same way once its first frame is
// up: the first frame itself (the process ends there, for a whole-process
// timer to see), and the idle cost. False for the other modes, which each
// program measures itself.
bool measure_shared_mode(Mode mode);

}  // namespace zorukan::bench
