#pragma once
// The game's clock in real time. One single-shot precise QTimer waits for the
// earliest deadline the game's timers ask for; nothing is armed while every
// timer is off, so an idle window costs no timer events.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "runtime/timers.h"

namespace zorukan::app {

class RealClock final : public QObject, public runtime::Clock {
    Q_OBJECT
public:
    RealClock();

    void attach(runtime::Timers& timers) override { timers_ = &timers; }

    runtime::Micros now() const override { return elapsed_.nsecsElapsed() / 1000; }
    void deadline_changed(std::optional<runtime::Deadline> deadline) override;

    bool armed() const { return wake_.isActive(); }

Q_SIGNALS:
    // Due ticks have run; the window brings itself in step.
    void ticked();

private:
    void wake();

    QElapsedTimer elapsed_;
    QTimer wake_;
    runtime::Timers* timers_ = nullptr;
};

}  // namespace zorukan::app
