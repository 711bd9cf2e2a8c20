#pragma once
// Every event procedure runs through here. A run-time error raised inside it
// ends the program: it is reported once, the timers stop for good, and every
// later event is refused.

#include <functional>

#include "runtime/errors.h"
#include "runtime/timers.h"

namespace zorukan::runtime {

class EventBoundary {
public:
    using Reporter = std::function<void(const RuntimeError&)>;

    EventBoundary(Timers& timers, Reporter reporter) : timers_(timers), reporter_(std::move(reporter)) {}

    void run(const std::function<void()>& procedure);

    bool halted() const { return halted_; }

private:
    Timers& timers_;
    Reporter reporter_;
    bool halted_ = false;
};

}  // namespace zorukan::runtime
