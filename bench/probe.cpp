#include "bench/probe.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace zorukan::bench {

std::int64_t monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double cpu_ms() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void report(std::string_view key, double value) {
    std::printf("%.*s %.6f\n", static_cast<int>(key.size()), key.data(), value);
    std::fflush(stdout);
}

double median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    if (samples.size() % 2) return *middle;
    return (*middle + *std::max_element(samples.begin(), middle)) / 2;
}

double percentile99(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t rank = (samples.size() * 99 + 99) / 100;  // nearest rank, rounded up
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

std::int64_t area(const QRegion& region) {
    std::int64_t pixels = 0;
    for (const QRect& rect : region) pixels += static_cast<std::int64_t>(rect.width()) * rect.height();
    return pixels;
}

namespace {

class FirstFrame final : public QObject {
public:
    FirstFrame(QWidget& window, std::function<void()> then) : window_(window), then_(std::move(then)) {
        window_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint) {
            window_.removeEventFilter(this);
            // The flush to the screen follows this paint in the same pass.
            QMetaObject::invokeMethod(this, [this] {
                then_();
                deleteLater();
            }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> then_;
};

}  // namespace

void after_first_frame(QWidget& window, std::function<void()> then) { new FirstFrame(window, std::move(then)); }

TimerEventCounter::TimerEventCounter() { QCoreApplication::instance()->installEventFilter(this); }

TimerEventCounter::~TimerEventCounter() { QCoreApplication::instance()->removeEventFilter(this); }

bool TimerEventCounter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Timer && std::find(excluded_.begin(), excluded_.end(), watched) == excluded_.end()) {
        ++count_;
        if (qEnvironmentVariableIsSet("ZORUKAN_BENCH_VERBOSE"))
            std::fprintf(stderr, "timer event to %s\n", watched->metaObject()->className());
    }
    return false;
}

void measure_idle(int settle_ms, int idle_ms) {
    auto* counter = new TimerEventCounter;
    auto* wait = new QTimer(counter);
    wait->setSingleShot(true);
    counter->exclude(wait);
    QObject::connect(wait, &QTimer::timeout, counter, [=] {
        counter->reset();
        const double cpu_before = cpu_ms();
        QObject::disconnect(wait, nullptr, counter, nullptr);
        QObject::connect(wait, &QTimer::timeout, counter, [=] {
            report("idle_timer_events", static_cast<double>(counter->count()));
            report("idle_cpu_ms", cpu_ms() - cpu_before);
            QCoreApplication::quit();
        });
        wait->start(idle_ms);
    });
    wait->start(settle_ms);
}

PaintWatch::PaintWatch(QWidget& window) : window_(window) { window_.installEventFilter(this); }

PaintWatch::~PaintWatch() { window_.removeEventFilter(this); }

bool PaintWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_ || event->type() != QEvent::Paint || inside_) return false;
    // Paint here, with the clock around it, in place of the delivery the
    // filter stops: the window's own handler runs exactly once either way.
    inside_ = true;
    const QRegion region = static_cast<QPaintEvent*>(event)->region();
    const std::int64_t start = monotonic_ns();
    static_cast<QObject&>(window_).event(event);
    const double micros = static_cast<double>(monotonic_ns() - start) / 1e3;
    inside_ = false;
    if (painted) painted(region, micros);
    return true;
}

}  // namespace zorukan::bench
