#include "runtime/event_boundary.h"

namespace zorukan::runtime {

void EventBoundary::run(const std::function<void()>& procedure) {
    if (halted()) return;
    try {
        procedure();
    } catch (const RuntimeError& error) {
        // A nested event (a tick during a box) may already have failed.
        if (halted()) return;
        halted_ = true;
        timers_.halt();
        if (reporter_) reporter_(error);
    }
}

}  // namespace zorukan::runtime
