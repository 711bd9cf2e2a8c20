// A test-only copy of the desktop game's composition (real clock, real
// boxes, real window, the same fatal-error reporter as main) that steers one
// shot into a chosen ending, for abuse_test to run as a child process:
//
//   zorukan_abuse_probe hit|overflow ANSWER[,ANSWER...]
//
// "hit" aims the shell at the television so the two boxes open; "overflow"
// puts the flight counter at its limit so the next real flight tick raises
// the overflow error. The answers go to the boxes in turn: "ok" presses OK,
// "close" closes the game's window instead; boxes beyond the list, or after
// the window is closed, get OK. Every box shown is written to standard
// output, so the parent can tell which boxes opened and when.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string_view>

#include "app/game_session.h"
#include "headless/headless_game.h"

using namespace zorukan;

namespace {

constexpr int kGiveUpMs = 10000;  // the parent reports a hang as status 99

// A shot fired with an empty bar at the designed angle follows one fixed
// path; a headless dry run finds a television place it hits.
float television_left_that_is_hit() {
    for (float left = 1000; left < 8400; left += 15) {
        headless::HeadlessGame dry({0.0f});
        dry.form().Tv.Left = left;
        dry.program.click(dry.form().Cmd_Set);
        dry.program.click(dry.form().Cmd_Start);
        dry.clock.advance_until([&] { return !dry.boxes.shown.empty() || !dry.form().Timer1.enabled(); });
        if (!dry.boxes.shown.empty()) return left;
    }
    std::cout << "no television place is hit\n";
    std::exit(98);
}

class BoxWatcher final : public QObject {
public:
    explicit BoxWatcher(std::function<void(QMessageBox*)> shown) : shown_(std::move(shown)) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(object)) shown_(box);
        return false;
    }

private:
    std::function<void(QMessageBox*)> shown_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::cerr << "usage: zorukan_abuse_probe hit|overflow ANSWER[,ANSWER...]\n";
        return 2;
    }
    const bool overflow = args[1] == QStringLiteral("overflow");
    const QStringList answers = args[2].split(QLatin1Char(','));

    // The game as it ships, with a television the shell is known to hit.
    headless::ScriptedRandom random({0.0f});
    app::GameSession session(random);
    game::Program& program = session.program();
    app::GameWindow& window = *session.window();
    if (!overflow) program.form().Tv.Left = television_left_that_is_hit();
    window.show_centred();

    QTimer::singleShot(0, [&] {
        window.press(program.form().Cmd_Set);
        window.press(program.form().Cmd_Start);
        if (overflow) program.game().state().FlightTime = 32767;
    });

    // Every box that is shown is logged, even one that closes again at once;
    // the answer to it comes from inside its own event loop.
    bool window_closed = false;
    int boxes_shown = 0;
    BoxWatcher watcher([&](QMessageBox* box) {
        const bool close = !window_closed && answers.value(boxes_shown++) == QStringLiteral("close");
        std::cout << "box " << box->windowTitle().toStdString() << " | parent "
                  << (box->parentWidget() == &window ? "window" : "other") << std::endl;
        QTimer::singleShot(0, box, [&, box, close] {
            if (close) {
                window_closed = true;
                window.close();
                std::cout << "window closed" << std::endl;
            } else {
                box->button(QMessageBox::Ok)->click();
            }
        });
    });
    application.installEventFilter(&watcher);

    QTimer::singleShot(kGiveUpMs, [] {
        std::cout << "still running" << std::endl;
        std::_Exit(99);
    });
    const int exit_status = QApplication::exec();
    std::cout << "exec returned " << exit_status << std::endl;
    return exit_status;
}
