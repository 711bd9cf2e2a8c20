#include "bench/window_modes.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zorukan::bench {

int usage(const char* program) {
    std::fprintf(stderr, "usage: %s first-frame|idle|clocks|paint\n", program);
    return 2;
}

void report_intervals(std::string_view name, const std::vector<double>& intervals_ms, int period_ms) {
    std::vector<double> deviations;
    for (double interval : intervals_ms) deviations.push_back(std::abs(interval - period_ms));
    const std::string prefix(name);
    report(prefix + "_median_ms", median(intervals_ms));
    report(prefix + "_p99_deviation_ms", percentile99(deviations));
    report(prefix + "_period_ms", period_ms);
}

bool measure_shared_mode(Mode mode) {
    switch (mode) {
    case Mode::FirstFrame:
        // Tearing the window down is no part of opening it.
        std::fflush(stdout);
        std::_Exit(0);
    case Mode::Idle:
        measure_idle(kIdleSettleMs, kIdleMs);
        return true;
    default:
        return false;
    }
}

}  // namespace zorukan::bench
