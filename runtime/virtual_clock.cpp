#include "runtime/virtual_clock.h"

#include <algorithm>

namespace zorukan::runtime {

void VirtualClock::step_to(Micros due) {
    now_ = std::max(now_, due);
    timers_->run_due();
}

void VirtualClock::advance(Micros span) {
    const Micros target = span < kCeiling - now_ ? now_ + span : kCeiling;
    // A tick may open a message box that itself advances the clock, so the
    // next deadline is looked up afresh on every step.
    while (timers_) {
        const auto due = timers_->next_due();
        if (!due || *due > target) break;
        // Held ticks are dropped, not run, and nothing else can happen while
        // the hold lasts, so one step to the end drops them all; the timers
        // keep their cadence across it.
        step_to(timers_->held() ? target : *due);
    }
    now_ = std::max(now_, target);
}

bool VirtualClock::advance_until(const std::function<bool()>& done) {
    while (!done()) {
        const auto due = timers_ ? timers_->next_due() : std::nullopt;
        if (!due || at_ceiling()) return false;
        step_to(std::min(*due, kCeiling));
    }
    return true;
}

}  // namespace zorukan::runtime
