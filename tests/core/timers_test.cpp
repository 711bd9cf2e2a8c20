// Timer semantics: full intervals, idempotent switching on, cadence kept
// when ticks are missed or held, and the order of simultaneous ticks; and the
// virtual clock's ceiling.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "runtime/message_boxes.h"
#include "runtime/timers.h"
#include "runtime/virtual_clock.h"

namespace zorukan::runtime {
namespace {

class SettableClock final : public Clock {
public:
    Micros now() const override { return now_; }
    void attach(Timers&) override {}
    void deadline_changed(std::optional<Deadline> deadline) override { deadlines.push_back(deadline); }
    Micros now_ = 0;
    std::vector<std::optional<Deadline>> deadlines;
};

struct TimerRig {
    TimerRig() {
        for (Timer* timer : {&fast, &slow, &gauge}) {
            timer->on_tick = [this, timer] { log.push_back(std::string(timer->name()) + "@" + std::to_string(clock.now() / 1000)); };
        }
    }
    VirtualClock clock;
    Timers timers{clock};
    Timer fast{timers, "fast", 60};
    Timer slow{timers, "slow", 500};
    Timer gauge{timers, "gauge", 1};
    std::vector<std::string> log;
};

TEST(Timer, SwitchingOnStartsAFullInterval) {
    TimerRig rig;
    rig.clock.advance(micros_from_ms(7));
    rig.fast.set_enabled(true);
    rig.clock.advance(micros_from_ms(66));
    rig.clock.advance(micros_from_ms(1));
    EXPECT_EQ(rig.log, (std::vector<std::string>{"fast@67"}));
}

TEST(Timer, SwitchingOnAgainWhileOnKeepsItsPhase) {
    // The explosion timer is switched on by every flight tick after the
    // landing; it must still tick 500 ms after the first of them.
    TimerRig rig;
    rig.slow.set_enabled(true);
    for (int i = 0; i < 8; ++i) {
        rig.clock.advance(micros_from_ms(60));
        rig.slow.set_enabled(true);
    }
    rig.clock.advance(micros_from_ms(20));
    EXPECT_EQ(rig.log, (std::vector<std::string>{"slow@500"}));
}

TEST(Timer, SwitchingOffAndOnRestartsTheInterval) {
    TimerRig rig;
    rig.fast.set_enabled(true);
    rig.clock.advance(micros_from_ms(50));
    rig.fast.set_enabled(false);
    rig.fast.set_enabled(true);
    rig.clock.advance(micros_from_ms(100));
    EXPECT_EQ(rig.log, (std::vector<std::string>{"fast@110"}));
}

TEST(Timer, TooShortIntervalTicksAtTheResolution) {
    TimerRig rig;
    EXPECT_EQ(rig.gauge.interval_ms(), 1);
    EXPECT_EQ(rig.gauge.period(), micros_from_ms(kTimerResolutionMs));
    rig.gauge.set_enabled(true);
    rig.clock.advance(micros_from_ms(40 * kTimerResolutionMs));
    EXPECT_EQ(rig.gauge.ticks_run(), 40u);
}

TEST(Timer, TicksDueTogetherRunInCreationOrder) {
    TimerRig rig;
    rig.gauge.set_enabled(true);
    rig.slow.set_enabled(true);
    rig.fast.set_enabled(true);
    rig.clock.advance(micros_from_ms(300));  // 300 is a multiple of 60 and 25
    ASSERT_GE(rig.log.size(), 2u);
    EXPECT_EQ(rig.log[rig.log.size() - 2], "fast@300");
    EXPECT_EQ(rig.log.back(), "gauge@300");
}

TEST(Timer, ATickCanSwitchOffATimerDueAtTheSameMoment) {
    TimerRig rig;
    rig.fast.on_tick = [&] {
        if (rig.clock.now() == micros_from_ms(300)) rig.gauge.set_enabled(false);
    };
    rig.fast.set_enabled(true);
    rig.gauge.set_enabled(true);
    rig.clock.advance(micros_from_ms(400));
    EXPECT_EQ(rig.gauge.ticks_run(), 11u);  // 25 to 275; the one due at 300 never runs
}

TEST(Timers, LateClockDropsMissedTicksAndKeepsCadence) {
    SettableClock clock;
    Timers timers(clock);
    Timer timer(timers, "flight", 60);
    int ticks = 0;
    timer.on_tick = [&] { ++ticks; };
    timer.set_enabled(true);
    clock.now_ = micros_from_ms(250);  // 60, 120, 180, 240 all passed
    timers.run_due();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timers.next_due(), micros_from_ms(300));

    // A front end that suspends the game while a box is open runs no clock
    // meanwhile: the tick due at 300 is dropped as the box closes at 330.
    struct SuspendingUi final : MessageBoxUi {
        void show(const std::string&, const std::string&) override { clock->now_ = micros_from_ms(330); }
        SettableClock* clock = nullptr;
    } ui;
    ui.clock = &clock;
    MessageBoxes(timers, ui).show("prompt", "title");
    timers.run_due();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timers.next_due(), micros_from_ms(360));
}

// Ticks that fall due while a box holds them are dropped, not queued; each
// timer keeps its phase, so the first ticks after it come at multiples of
// its period. A box held open for decades of virtual time drops them in one
// step: stepping through them one by one would take hours.
TEST(Timers, HeldTicksAreDroppedAtOnceKeepingCadence) {
    TimerRig rig;
    rig.fast.set_enabled(true);
    rig.gauge.set_enabled(true);
    rig.clock.advance(micros_from_ms(10));
    {
        Timers::Hold hold(rig.timers);
        rig.clock.advance(micros_from_ms(900'000'000'000) - micros_from_ms(10));
    }
    EXPECT_TRUE(rig.log.empty());
    rig.clock.advance(micros_from_ms(60));
    EXPECT_EQ(rig.log, (std::vector<std::string>{"gauge@900000000025", "gauge@900000000050", "fast@900000000060"}));
}

// The clock stops at its ceiling however far it is asked to go: a tick due
// at the ceiling runs, none after it, and the deadlines beyond it do not
// overflow.
TEST(VirtualClock, StopsAtItsCeiling) {
    TimerRig rig;
    rig.gauge.set_enabled(true);
    {
        Timers::Hold hold(rig.timers);
        rig.clock.advance(VirtualClock::kCeiling - micros_from_ms(30));
    }
    EXPECT_FALSE(rig.clock.at_ceiling());
    rig.clock.advance(std::numeric_limits<Micros>::max());
    EXPECT_EQ(rig.clock.now(), VirtualClock::kCeiling);
    EXPECT_TRUE(rig.clock.at_ceiling());
    EXPECT_EQ(rig.log, (std::vector<std::string>{"gauge@999999999975", "gauge@1000000000000"}));
    EXPECT_FALSE(rig.clock.advance_until([] { return false; }));
    EXPECT_EQ(rig.clock.now(), VirtualClock::kCeiling);
    EXPECT_EQ(rig.gauge.ticks_run(), 2u);

    // Waiting for ticks (the replay's `ticks`) stops there too, even when
    // the next tick falls due just beyond it.
    TimerRig flight;
    flight.fast.set_enabled(true);
    {
        Timers::Hold hold(flight.timers);
        flight.clock.advance(VirtualClock::kCeiling - micros_from_ms(30));
    }
    EXPECT_FALSE(flight.clock.advance_until([&] { return flight.fast.ticks_run() >= 1; }));
    EXPECT_EQ(flight.clock.now(), VirtualClock::kCeiling);
    EXPECT_TRUE(flight.log.empty()) << flight.log.front();
}

// Each with the cadence the timer due then really ticks at, which a clock
// may keep to: never faster than the timers' floor.
TEST(Timers, TellTheClockEveryNewDeadline) {
    SettableClock clock;
    Timers timers(clock);
    Timer a(timers, "a", 10), b(timers, "b", 500);
    a.set_enabled(true);
    b.set_enabled(true);
    a.set_enabled(false);
    b.set_enabled(false);
    const Deadline a_due{micros_from_ms(25), micros_from_ms(25)}, b_due{micros_from_ms(500), micros_from_ms(500)};
    EXPECT_EQ(clock.deadlines, (std::vector<std::optional<Deadline>>{a_due, a_due, b_due, std::nullopt}));
}

TEST(Timers, HaltedTimersNeverTickAgain) {
    TimerRig rig;
    rig.fast.set_enabled(true);
    rig.timers.halt();
    rig.clock.advance(micros_from_ms(1000));
    EXPECT_TRUE(rig.log.empty());
    EXPECT_FALSE(rig.timers.next_due().has_value());
}

}  // namespace
}  // namespace zorukan::runtime
