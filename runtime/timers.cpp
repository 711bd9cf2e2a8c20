#include "runtime/timers.h"

#include <algorithm>

namespace zorukan::runtime {

Timer::Timer(Timers& owner, std::string_view name, int interval_ms)
    : owner_(owner), name_(name), interval_ms_(interval_ms) {
    owner_.add(*this);
}

Micros Timer::period() const {
    return micros_from_ms(std::max<std::int64_t>(interval_ms_, kTimerResolutionMs));
}

void Timer::set_enabled(bool on) {
    if (on == enabled_) return;  // re-enabling a running timer keeps its phase
    enabled_ = on;
    if (on) next_due_ = owner_.clock().now() + period();
    owner_.schedule_changed();
}

const Timer* Timers::due_next() const {
    if (halted_) return nullptr;
    const Timer* earliest = nullptr;
    for (const Timer* timer : timers_) {
        if (timer->enabled_ && (!earliest || timer->next_due_ < earliest->next_due_)) earliest = timer;
    }
    return earliest;
}

std::optional<Micros> Timers::next_due() const {
    const Timer* timer = due_next();
    if (!timer) return std::nullopt;
    return timer->next_due_;
}

void Timers::schedule_changed() {
    const Timer* timer = due_next();
    if (!timer) clock_.deadline_changed(std::nullopt);
    else clock_.deadline_changed(Deadline{timer->next_due_, timer->period()});
}

Timer* Timers::earliest_due(Micros now) const {
    Timer* earliest = nullptr;
    for (Timer* timer : timers_) {
        if (!timer->enabled_ || timer->next_due_ > now) continue;
        if (!earliest || timer->next_due_ < earliest->next_due_) earliest = timer;
    }
    return earliest;
}

void Timers::run_due() {
    const Micros now = clock_.now();
    while (!halted_) {
        Timer* timer = earliest_due(now);
        if (!timer) break;
        // Next deadline on the timer's own cadence, skipping any it missed.
        const Micros period = timer->period();
        const Micros missed = (now - timer->next_due_) / period;
        timer->next_due_ += (missed + 1) * period;
        if (held()) continue;
        ++timer->ticks_run_;
        if (timer->on_tick) timer->on_tick();
    }
    schedule_changed();
}

void Timers::halt() {
    halted_ = true;
    schedule_changed();
}

}  // namespace zorukan::runtime
