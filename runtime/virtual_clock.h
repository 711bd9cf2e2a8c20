#pragma once
// A clock that moves only when told to, stepping through every timer deadline
// on the way so that ticks run at their exact due times and in order. Used by
// the replay driver and the tests; the window uses a real clock instead.

#include <functional>

#include "runtime/timers.h"

namespace zorukan::runtime {

class VirtualClock final : public Clock {
public:
    Micros now() const override { return now_; }

    void attach(Timers& timers) override { timers_ = &timers; }

    // Moves time forward by `span`, running every tick that falls due.
    void advance(Micros span);

    // Moves time forward one due moment at a time until `done` holds or no
    // timer is on. Returns whether `done` holds.
    bool advance_until(const std::function<bool()>& done);

private:
    void step_to(Micros due);

    Micros now_ = 0;
    Timers* timers_ = nullptr;
};

}  // namespace zorukan::runtime
