// The floor for the window figures: a bare Qt window of the game's size,
// measured the same ways as the game's window.
//   bare_window first-frame [label|widgets]   ends as soon as its first frame is up;
//       label: with one Japanese label in the game's gothic, what text alone costs;
//       widgets: with what the toolkit must do for the game's content (its
//       captions in its fonts, the one text entry the game's window holds,
//       all where the scene puts them, and its title), and no game
//   bare_window idle          prints idle_timer_events and idle_cpu_ms over 5 s
//   bare_window clocks        prints the intervals of plain precise QTimers at
//                             the game's flight and gauge periods

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <memory>

#include "bench/probe.h"
#include "bench/window_modes.h"

namespace {

using namespace zorukan;
using namespace zorukan::bench;

const QString kGothic = QStringLiteral("IPAPGothic");

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

template <typename Control>
void place(QWidget* widget, const Control& control) {
    widget->setGeometry(pixels(control.Left), pixels(control.Top), pixels(control.Width), pixels(control.Height));
}

QFont gothic(const scene::FontSpec& design) {
    QFont font(kGothic);
    font.setPixelSize(static_cast<int>(std::lround(design.points * 96 / 72)));
    return font;
}

// The game's captions and its text entry as plain toolkit widgets.
void add_scene_widgets(QWidget& window, const scene::Form1& form) {
    window.setWindowTitle(text(scene::Form1::Caption));
    window.setFont(gothic(scene::kWindowDefaultFont));
    for (const scene::ControlRef& control : form.drawing_order()) {
        if (const auto* label = std::get_if<const scene::Label*>(&control)) {
            auto* caption = new QLabel(text((*label)->Caption), &window);
            caption->setFont(gothic(scene::font_spec((*label)->font)));
            place(caption, **label);
        }
    }
    place(new QLineEdit(text(form.Text1.Text), &window), form.Text1);
}

// Records `count` intervals of a repeating precise timer, then calls `done`.
void time_intervals(int period_ms, int count, std::function<void(std::vector<double>)> done) {
    auto* timer = new QTimer;
    timer->setTimerType(Qt::PreciseTimer);
    auto intervals = std::make_shared<std::vector<double>>();
    auto previous = std::make_shared<std::int64_t>(monotonic_ns());
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        const std::int64_t now = monotonic_ns();
        intervals->push_back(static_cast<double>(now - *previous) / 1e6);
        *previous = now;
        if (static_cast<int>(intervals->size()) < count) return;
        timer->stop();
        timer->deleteLater();
        done(std::move(*intervals));
    });
    timer->start(period_ms);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const Mode mode = parse_mode(argc, argv);
    if (mode == Mode::Unknown) return usage(argv[0]);

    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(kWindowWidth, kWindowHeight);
    const DesignedScene designed;
    const scene::Form1& form = designed.form;
    const char* content = argc > 2 ? argv[2] : "";
    if (std::strcmp(content, "widgets") == 0) add_scene_widgets(window, form);
    if (std::strcmp(content, "label") == 0) {
        auto* label = new QLabel(text(form.Label6.Caption), &window);
        label->setFont(gothic(scene::kWindowDefaultFont));
        place(label, form.Label6);
    }
    window.show();

    after_first_frame(window, [mode, flight_ms = period_ms(form.Timer1), gauge_ms = period_ms(form.Tmr_Power)] {
        if (measure_shared_mode(mode)) return;
        if (mode != Mode::Clocks) return QCoreApplication::exit(2);
        time_intervals(flight_ms, kFlightIntervals, [=](std::vector<double> flight) {
            report_intervals("flight", flight, flight_ms);
            time_intervals(gauge_ms, kGaugeIntervals, [=](std::vector<double> gauge) {
                report_intervals("gauge", gauge, gauge_ms);
                QCoreApplication::quit();
            });
        });
    });
    return QApplication::exec();
}
