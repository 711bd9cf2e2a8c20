#include "app/real_clock.h"

#include <algorithm>

namespace zorukan::app {

RealClock::RealClock() {
    elapsed_.start();
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    connect(&wake_, &QTimer::timeout, this, &RealClock::wake);
}

void RealClock::deadline_changed(std::optional<runtime::Deadline> deadline) {
    if (!deadline) {
        wake_.stop();
        return;
    }
    // Round up: waking a little early would only find nothing due.
    const runtime::Micros wait = std::max<runtime::Micros>(0, deadline->at - now());
    wake_.start(static_cast<int>((wait + 999) / 1000));
}

void RealClock::wake() {
    if (!timers_) return;
    timers_->run_due();  // re-arms through deadline_changed
    Q_EMIT ticked();
}

}  // namespace zorukan::app
