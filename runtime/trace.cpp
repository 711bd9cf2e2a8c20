#include "runtime/trace.h"

#include <algorithm>

namespace zorukan::runtime {

void Trace::line(float x1, float y1, float x2, float y2) {
    const Bounds box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    if (segments_.size() % kRun == 0) {
        run_bounds_.push_back(box);
    } else {
        Bounds& run = run_bounds_.back();
        run = {std::min(run.left, box.left), std::min(run.top, box.top), std::max(run.right, box.right),
               std::max(run.bottom, box.bottom)};
    }
    segments_.push_back({x1, y1, x2, y2});
    if (observer_) observer_->segment_drawn(segments_.back());
}

void Trace::repaint_window() {
    segments_.clear();
    run_bounds_.clear();
    if (observer_) observer_->window_repainted();
}

}  // namespace zorukan::runtime
