#pragma once
// A clock that moves only when told to, stepping through every timer deadline
// on the way so that ticks run at their exact due times and in order. Used by
// the replay driver and the tests; the window uses a real clock instead.

#include <functional>

#include "runtime/timers.h"

namespace zorukan::runtime {

class VirtualClock final : public Clock {
public:
    // Time stops here, 10^12 ms (about 31.7 years) in: far beyond any session
    // of play, and far enough below the 64-bit limit that every deadline a
    // timer or a message box can set after it still fits.
    static constexpr Micros kCeiling = micros_from_ms(1'000'000'000'000);

    Micros now() const override { return now_; }

    void attach(Timers& timers) override { timers_ = &timers; }

    // Moves time forward by `span`, running every tick that falls due; it
    // stops at the ceiling.
    void advance(Micros span);

    // Moves time forward one due moment at a time until `done` holds, no
    // timer is on or the ceiling is reached. Returns whether `done` holds.
    bool advance_until(const std::function<bool()>& done);

    // Whether time has reached the ceiling; it stands still from then on.
    bool at_ceiling() const { return now_ >= kCeiling; }

private:
    void step_to(Micros due);

    Micros now_ = 0;
    Timers* timers_ = nullptr;
};

}  // namespace zorukan::runtime
