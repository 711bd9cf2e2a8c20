// The game's own window, composed as the game composes it, measured from
// outside through the window's events and the core's public timers.
//   game_window_bench first-frame   ends as soon as its first frame is up
//   game_window_bench idle          the armed game left alone: idle_timer_events, idle_cpu_ms
//   game_window_bench clocks        400 intervals of Tmr_Power, then 200 of Timer1 over
//                                   shots fired straight up at full power, with the area
//                                   repainted for each new segment
//   game_window_bench paint         paint time of one new segment over 10 and 1,000

#include <QApplication>
#include <cmath>
#include <iostream>
#include <memory>

#include "app/application.h"
#include "app/fonts.h"
#include "app/game_session.h"
#include "app/game_window.h"
#include "app/real_clock.h"
#include "app/start_up_work.h"
#include "draw/damage.h"
#include "bench/probe.h"
#include "bench/window_modes.h"

namespace {

using namespace zorukan;
using namespace zorukan::bench;

// The game as main() builds it.
struct Game {
    Game() : window(session.window()) {}
    // Presses a button as a click on it would.
    void press(const char* name) { window->press(*program.form().button(name)); }

    runtime::SeededRandom random{runtime::SeededRandom::system_clock_reading};
    app::GameSession session{random};
    game::Program& program = session.program();
    app::RealClock& clock = session.clock();
    app::GameWindow* window;
};

// Puts `before` and `after` around every tick procedure `timer` runs.
void wrap_tick(runtime::Timer& timer, std::function<void()> before, std::function<void()> after) {
    timer.on_tick = [inner = timer.on_tick, before = std::move(before), after = std::move(after)] {
        before();
        inner();
        after();
    };
}

// Clicks and the like wait until the tick procedure has returned.
void later(std::function<void()> call) { QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection); }

// Delivers events for a while, so pending repaints reach the screen.
void pump(int ms) {
    const std::int64_t until = monotonic_ns() + std::int64_t{ms} * 1'000'000;
    while (monotonic_ns() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The pixels of a segment's bounding box grown by the one-pixel pen on each side.
std::int64_t segment_floor(const runtime::Segment& s) {
    const draw::Rect box = draw::segment_area(s);
    return static_cast<std::int64_t>(box.w + 2) * (box.h + 2);
}

// The gauge, then the flight. A shot straight up never reaches the
// television (whose left edge is at 1560 or more) and keeps the trace over
// the sky; firing at full power keeps it 58 ticks in the air.
class ClockRun {
public:
    explicit ClockRun(Game& game) : game_(game), paints_(*game.window) {
        scene::Form1& form = game_.program.form();
        wrap_tick(form.Tmr_Power, [this] { gauge_tick(); }, [this] { after_gauge_tick(); });
        wrap_tick(form.Timer1, [this] { flight_tick(); }, [this] { after_flight_tick(); });
        QObject::connect(&game_.clock, &app::RealClock::ticked, [this] { maybe_rearm(); });
        paints_.painted = [this](const QRegion& region, double) {
            if (pending_) repainted_ += area(region);
        };
        game_.window->turn_to(90);
        game_.press("Cmd_Set");
    }

private:
    void gauge_tick() {
        const std::int64_t now = monotonic_ns();
        if (gauge_previous_ && gauge_.size() < kGaugeIntervals)
            gauge_.push_back(static_cast<double>(now - gauge_previous_) / 1e6);
        gauge_previous_ = now;
    }
    void after_gauge_tick() {
        const bool gauge_done = gauge_.size() >= kGaugeIntervals;
        if (gauge_done && game_.program.form().Shape1.Width >= 4000 && !firing_) {
            firing_ = true;
            later([this] {
                flight_previous_ = 0;
                gauge_previous_ = 0;
                game_.press("Cmd_Start");
            });
        }
    }
    void flight_tick() {
        const std::int64_t now = monotonic_ns();
        if (flight_previous_) flight_.push_back(static_cast<double>(now - flight_previous_) / 1e6);
        flight_previous_ = now;
        finish_segment();
        segments_before_ = game_.program.trace().segments().size();
    }
    void after_flight_tick() {
        const auto& segments = game_.program.trace().segments();
        if (segments.size() > segments_before_) {
            pending_ = true;
            floor_ = segment_floor(segments.back());
            repainted_ = 0;
        }
        if (flight_.size() >= kFlightIntervals) later([this] { finish(); });
    }
    void finish_segment() {
        if (!pending_) return;
        pending_ = false;
        area_ratios_.push_back(static_cast<double>(repainted_) / static_cast<double>(floor_));
        if (area_ratios_.size() == 1 || repainted_ * worst_floor_ > worst_area_ * floor_) {
            worst_area_ = repainted_;
            worst_floor_ = floor_;
        }
    }
    void maybe_rearm() {
        const scene::Form1& form = game_.program.form();
        if (!firing_ || !form.Cmd_Set.Enabled || finished_) return;
        firing_ = false;  // the shot ended: charge the next one
        finish_segment();
        later([this] { game_.press("Cmd_Set"); });
    }
    void finish() {
        if (finished_) return;
        finished_ = true;
        finish_segment();
        flight_.resize(kFlightIntervals);
        const scene::Form1& form = game_.program.form();
        report_intervals("gauge", gauge_, period_ms(form.Tmr_Power));
        report_intervals("flight", flight_, period_ms(form.Timer1));
        report("paint_area_px", static_cast<double>(worst_area_));
        report("paint_area_floor_px", static_cast<double>(worst_floor_));
        report("paint_area_median_ratio", median(area_ratios_));
        report("paint_area_segments", static_cast<double>(area_ratios_.size()));
        QCoreApplication::quit();
    }

    Game& game_;
    PaintWatch paints_;
    std::vector<double> gauge_, flight_, area_ratios_;
    std::int64_t gauge_previous_ = 0, flight_previous_ = 0;
    bool firing_ = false, finished_ = false;
    std::size_t segments_before_ = 0;
    bool pending_ = false;
    std::int64_t repainted_ = 0, floor_ = 1, worst_area_ = 0, worst_floor_ = 1;
};

// Arcs like the game's own from the barrel's foot, spread over the sky, as
// many as asked for.
std::vector<runtime::Segment> trace_of(const scene::Form1& form, int count) {
    const scene::Line& barrel = form.Line1;
    const scene::Picture& sky = form.Image1;
    std::vector<runtime::Segment> segments;
    for (int shot = 0; static_cast<int>(segments.size()) < count; ++shot) {
        const double angle = (20 + (shot * 7) % 65) * 3.14159 / 180, speed = 150 + (shot * 37) % 140;
        auto at = [&](int t) {
            return QPointF(barrel.X1 + speed * std::cos(angle) * t, barrel.Y1 - (speed * std::sin(angle) * t - t * t * 5.0));
        };
        for (int t = 1; static_cast<int>(segments.size()) < count; ++t) {
            const QPointF a = at(t - 1), b = at(t);
            if (b.y() > sky.Height || b.x() > sky.Width) break;
            if (b.y() < 0) continue;
            segments.push_back({float(a.x()), float(a.y()), float(b.x()), float(b.y())});
        }
    }
    return segments;
}

// Paint time of the area one new segment repaints, with 10 and with 1,000
// segments already on the window: medians of many repaints of that area, the
// two counts taking turns so that both see the same machine. The ratio is
// the median of each round's: a round's two counts share the machine's state
// of the moment, and a slow spell spoils one round, not the verdict.
struct PaintTimes {
    double at_10_us, at_1000_us, ratio;
};

PaintTimes paint_times(Game& game, PaintWatch& paints) {
    runtime::Trace& trace = game.program.trace();
    // A segment as long as one at full power near the top of its arc.
    const runtime::Segment newest{4000, 900, 4300, 960};
    auto draw_trace = [&](int count) {
        trace.repaint_window();
        for (const runtime::Segment& s : trace_of(game.program.form(), count)) trace.line(s.x1, s.y1, s.x2, s.y2);
        game.window->repaint();
    };

    // The area the window itself asks to repaint for the new segment.
    draw_trace(10);
    pump(100);
    QRegion repainted;
    paints.painted = [&](const QRegion& region, double) { repainted += region; };
    trace.line(newest.x1, newest.y1, newest.x2, newest.y2);
    pump(100);
    paints.painted = [](const QRegion&, double) {};

    std::vector<double> times_10, times_1000, ratios;
    for (int round = 0; round < 20; ++round) {
        std::vector<double> round_10, round_1000;
        for (int count : {10, 1000}) {
            draw_trace(count);
            trace.line(newest.x1, newest.y1, newest.x2, newest.y2);
            pump(5);
            std::vector<double>& times = count == 10 ? round_10 : round_1000;
            paints.painted = [&](const QRegion&, double micros) { times.push_back(micros); };
            for (int i = 0; i < 25; ++i) game.window->repaint(repainted);
            paints.painted = [](const QRegion&, double) {};
        }
        ratios.push_back(median(round_1000) / median(round_10));
        times_10.insert(times_10.end(), round_10.begin(), round_10.end());
        times_1000.insert(times_1000.end(), round_1000.begin(), round_1000.end());
    }
    paints.painted = nullptr;
    report("paint_region_px", static_cast<double>(area(repainted)));
    return {median(times_10), median(times_1000), median(ratios)};
}

}  // namespace

int main(int argc, char** argv) {
    app::StartUpWork start_up;
    QApplication application(argc, argv);
    start_up.wait();
    app::describe_application();
    app::warn_if_fonts_missing(std::cerr);
    const Mode mode = parse_mode(argc, argv);
    if (mode == Mode::Unknown) return usage(argv[0]);

    Game game;
    if (!game.window) return 1;
    game.window->show_centred();
    std::unique_ptr<ClockRun> clocks;
    std::unique_ptr<PaintWatch> paints;
    after_first_frame(*game.window, [&] {
        if (measure_shared_mode(mode)) return;
        switch (mode) {
        case Mode::Clocks:
            clocks = std::make_unique<ClockRun>(game);
            break;
        case Mode::Paint: {
            paints = std::make_unique<PaintWatch>(*game.window);
            const PaintTimes times = paint_times(game, *paints);
            report("paint_us_10", times.at_10_us);
            report("paint_us_1000", times.at_1000_us);
            report("paint_ratio", times.ratio);
            QCoreApplication::quit();
            break;
        }
        default:
            QCoreApplication::exit(2);
        }
    });
    return QApplication::exec();
}
