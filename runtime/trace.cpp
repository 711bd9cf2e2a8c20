#include "runtime/trace.h"

namespace zorukan::runtime {

void Trace::line(float x1, float y1, float x2, float y2) {
    segments_.push_back({x1, y1, x2, y2});
    if (observer_) observer_->segment_drawn(segments_.back());
}

void Trace::repaint_window() {
    segments_.clear();
    if (observer_) observer_->window_repainted();
}

}  // namespace zorukan::runtime
