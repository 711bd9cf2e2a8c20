#include "bench/window_modes.h"

#include <cmath>
#include <cstdio>
#include <string>

#include <QCoreApplication>

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
    report(prefix + "_samples", static_cast<double>(intervals_ms.size()));
}

bool measure_shared_mode(Mode mode) {
    switch (mode) {
    case Mode::FirstFrame:
        report("first_frame_ns", static_cast<double>(monotonic_ns()));
        QCoreApplication::quit();
        return true;
    case Mode::Idle:
        measure_idle(kIdleSettleMs, kIdleMs);
        return true;
    default:
        return false;
    }
}

}  // namespace zorukan::bench
