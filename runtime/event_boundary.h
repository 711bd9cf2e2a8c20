#pragma once
// Every event procedure runs through here. A run-time error raised inside it
// ends the program: it is reported once, the timers stop for good, and every
// later event is refused.

#include <functional>
#include <optional>

#include "runtime/errors.h"
#include "runtime/timers.h"

namespace zorukan::runtime {

class EventBoundary {
public:
    using Reporter = std::function<void(const RuntimeError&)>;

    EventBoundary(Timers& timers, Reporter reporter) : timers_(timers), reporter_(std::move(reporter)) {}

    void run(const std::function<void()>& procedure);

    bool halted() const { return error_.has_value(); }
    const std::optional<RuntimeError>& error() const { return error_; }

private:
    Timers& timers_;
    Reporter reporter_;
    std::optional<RuntimeError> error_;
};

}  // namespace zorukan::runtime
