#pragma once
// What only the program itself can measure: when its first frame reached the
// screen, how many timer events it receives while it sits idle, and how long
// it takes to paint. Used alike by the game's window and the bare window it is
// compared with, so both pay the same for being measured.

#include <QObject>
#include <QRegion>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class QWidget;

namespace zorukan::bench {

// Nanoseconds on the monotonic clock.
std::int64_t monotonic_ns();

// User plus system CPU time this process has used, in milliseconds.
double cpu_ms();

// One `key value` line on standard output, read by tools/bench.sh.
void report(std::string_view key, double value);

// The median and the 99th percentile (nearest rank) of some samples.
double median(std::vector<double> samples);
double percentile99(std::vector<double> samples);

// The pixels a region covers.
std::int64_t area(const QRegion& region);

// Calls `then` once, as soon as the first paint of `window` has been flushed:
// the call is queued behind the repaint that drew the frame.
void after_first_frame(QWidget& window, std::function<void()> then);

// Counts every timer event the application delivers, to any object but the
// ones excluded (the bench's own timers).
class TimerEventCounter final : public QObject {
public:
    TimerEventCounter();
    ~TimerEventCounter() override;

    void exclude(const QObject* object) { excluded_.push_back(object); }
    void reset() { count_ = 0; }
    std::int64_t count() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<const QObject*> excluded_;
    std::int64_t count_ = 0;
};

// Leaves the application alone for `settle_ms`, then for `idle_ms` counts
// timer events and CPU time, reports them as idle_timer_events and
// idle_cpu_ms, and quits.
void measure_idle(int settle_ms, int idle_ms);

// Watches the paint events `window` itself receives (not its children's):
// the region of each, and how long the window took to paint it.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QWidget& window);
    ~PaintWatch() override;

    // Called after each paint with its region and duration in microseconds.
    std::function<void(const QRegion&, double)> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    bool inside_ = false;
};

}  // namespace zorukan::bench
