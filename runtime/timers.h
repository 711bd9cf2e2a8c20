#pragma once
// Game timers over a clock. The semantics live here and only here:
//  - switching a stopped timer on starts a full period from now;
//  - switching on a timer that is already on changes nothing;
//  - a due timer ticks once, and ticks it missed are dropped with its cadence
//    kept, as a desktop's window timers do;
//  - while the timers are held (a modal message box is open) due ticks are
//    dropped the same way, so no tick procedure re-enters another.
// A front end owns the clock: the virtual clock steps through due times, the
// window's real clock sleeps until next_due() and then calls run_due().

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorukan::runtime {

using Micros = std::int64_t;

constexpr Micros micros_from_ms(std::int64_t ms) { return ms * 1000; }

// No timer ticks faster than this, whatever it asks for: a desktop's window
// timers have a coarse floor too, and the power gauge relies on one. At 25 ms
// a full swing of the gauge (40 ticks) takes one second.
constexpr std::int64_t kTimerResolutionMs = 25;

class Timers;

// When the timers next fall due, and the period of the timer due then: a
// clock that can wake repeatedly may keep to that cadence instead of arming
// each wake-up anew.
struct Deadline {
    Micros at;
    Micros period;
    bool operator==(const Deadline&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual Micros now() const = 0;
    // Called by the timers this clock is given to: the clock runs their due
    // ticks as time passes.
    virtual void attach(Timers& timers) = 0;
    // The earliest deadline changed (nullopt: no timer is on). A real clock
    // arms its wake-up here; a virtual one has nothing to do.
    virtual void deadline_changed(std::optional<Deadline> deadline) { (void)deadline; }
};

class Timer {
public:
    Timer(Timers& owner, std::string_view name, int interval_ms);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    std::string_view name() const { return name_; }
    int interval_ms() const { return interval_ms_; }  // as designed
    Micros period() const;                            // as it really ticks

    bool enabled() const { return enabled_; }
    void set_enabled(bool on);

    std::uint64_t ticks_run() const { return ticks_run_; }

    std::function<void()> on_tick;

private:
    friend class Timers;
    Timers& owner_;
    std::string_view name_;
    int interval_ms_;
    bool enabled_ = false;
    Micros next_due_ = 0;
    std::uint64_t ticks_run_ = 0;
};

class Timers {
public:
    explicit Timers(Clock& clock) : clock_(clock) { clock_.attach(*this); }
    Timers(const Timers&) = delete;
    Timers& operator=(const Timers&) = delete;

    Clock& clock() const { return clock_; }

    // Earliest moment an enabled timer falls due.
    std::optional<Micros> next_due() const;

    // Runs every tick due at the clock's now, earliest first; timers due at
    // the same moment tick in the order they were created.
    void run_due();

    // While any hold is alive, due ticks are dropped instead of run.
    class Hold {
    public:
        explicit Hold(Timers& timers) : timers_(timers) { ++timers_.holds_; }
        ~Hold() { --timers_.holds_; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        Timers& timers_;
    };
    bool held() const { return holds_ > 0; }

    // After a fatal error nothing ticks again.
    void halt();

private:
    friend class Timer;
    void add(Timer& timer) { timers_.push_back(&timer); }
    void schedule_changed();
    const Timer* due_next() const;
    Timer* earliest_due(Micros now) const;

    Clock& clock_;
    std::vector<Timer*> timers_;
    int holds_ = 0;
    bool halted_ = false;
};

}  // namespace zorukan::runtime
