#include "game/hit_test.h"

#include <algorithm>
#include <limits>

namespace zorukan::game {

namespace {

// The open range of u for which `from + u * delta` lies strictly between
// `low` and `high`; empty when low >= high.
struct Span {
    double low, high;
};

Span strictly_between(double from, double delta, double low, double high) {
    constexpr double kAll = std::numeric_limits<double>::infinity();
    if (delta == 0) return (low < from && from < high) ? Span{-kAll, kAll} : Span{1, 0};
    const double a = (low - from) / delta;
    const double b = (high - from) / delta;
    return {std::min(a, b), std::max(a, b)};
}

}  // namespace

bool passes_through(Point from, Point to, Box box) {
    const Span across = strictly_between(from.x, to.x - from.x, box.left, box.left + box.width);
    const Span down = strictly_between(from.y, to.y - from.y, box.top, box.top + box.height);
    // Correctly rounded quotients of the same ratio are the same double, so a
    // segment that only grazes a corner gives low == high: no hit.
    const double low = std::max(across.low, down.low);
    const double high = std::min(across.high, down.high);
    return low < high && low < 1 && high > 0;
}

}  // namespace zorukan::game
