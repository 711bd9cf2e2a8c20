// The floor for the window figures: a bare Qt window of the game's size,
// measured the same ways as the game's window.
//   bare_window first-frame   prints first_frame_ns once its first frame is up, and exits
//   bare_window first-frame label   the same with one Japanese label in the game's gothic:
//                             how much of the game's start-up is the toolkit's text
//   bare_window first-frame widgets   the same with the toolkit's pieces the game's
//                             window cannot do without: its six captions, two
//                             buttons, a text box and a scroll bar, and no game
//   bare_window idle          prints idle_timer_events and idle_cpu_ms over 5 s
//   bare_window clocks        prints the intervals of plain precise QTimers at
//                             the game's two fast periods, 60 ms and 25 ms

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <memory>

#include "bench/probe.h"
#include "bench/window_modes.h"

namespace {

using namespace zorukan::bench;

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
    const bool widgets = argc > 2 && std::strcmp(argv[2], "widgets") == 0;
    if (widgets) {
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(12);
        window.setFont(font);
        const char* captions[] = {"発射パワー", "MIN", "MAX", "発射ボタン", "発射セット", "発射角度"};
        int x = 10;
        for (const char* caption : captions) {
            (new QLabel(QString::fromUtf8(caption), &window))->move(x, 288);
            x += 90;
        }
        (new QPushButton(&window))->setGeometry(40, 264, 17, 17);
        (new QPushButton(&window))->setGeometry(104, 264, 17, 17);
        (new QLineEdit(QStringLiteral("30"), &window))->setGeometry(528, 264, 25, 18);
        auto* bar = new QScrollBar(Qt::Horizontal, &window);
        bar->setGeometry(480, 283, 73, 17);
        bar->setRange(0, 90);
        bar->setValue(30);
    }
    if (argc > 2 && std::strcmp(argv[2], "label") == 0) {
        auto* label = new QLabel(QStringLiteral("発射パワー"), &window);
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(12);
        label->setFont(font);
        label->move(280, 288);
    }
    window.show();

    after_first_frame(window, [mode] {
        if (measure_shared_mode(mode)) return;
        switch (mode) {
        case Mode::Clocks:
            time_intervals(kFlightPeriodMs, kFlightIntervals, [](std::vector<double> flight) {
                report_intervals("flight", flight, kFlightPeriodMs);
                time_intervals(kGaugePeriodMs, kGaugeIntervals, [](std::vector<double> gauge) {
                    report_intervals("gauge", gauge, kGaugePeriodMs);
                    QCoreApplication::quit();
                });
            });
            break;
        default:
            QCoreApplication::exit(2);
        }
    });
    return QApplication::exec();
}
