// The window under abuse: clicks faster than the game ticks, a huge paste,
// attempts to resize it, hiding it mid-shot, and closing it or failing while
// a box waits for the player; and the game started with no display or no
// fonts.

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <optional>

#include "harness.h"

using zorukan::testing::GameHarness;
namespace scene = zorukan::scene;

namespace {

// Black pixels in the rows above the cannon and the television, where only
// the trace is black.
int black_in_sky(const QImage& image) {
    int count = 0;
    for (int y = 0; y < 210; ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == Qt::black;
    return count;
}

// What the window shows on its screen, as opposed to what it would paint.
QImage on_screen(QWidget& window) {
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Where in `area` the image first differs from `colour`, if anywhere.
std::optional<QPoint> first_pixel_not(const QImage& image, const QRegion& area, QColor colour) {
    for (const QRect& rect : area)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (image.pixelColor(x, y) != colour) return QPoint(x, y);
    return std::nullopt;
}

QImage painted(QWidget& window) { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Sets the gauge going for `charge_ms` (none if negative), then launches and
// flies `ticks` flight ticks.
void prepare(GameHarness& game, int charge_ms, int ticks) {
    if (charge_ms < 0) return;
    game.click("Cmd_Set");
    game.advance_ms(charge_ms);
    if (ticks < 0) return;
    game.click("Cmd_Start");
    game.advance_ms(60 * ticks);
}

}  // namespace

class AbuseTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hundredInputsBetweenTwoTicks_data();
    void hundredInputsBetweenTwoTicks();
    void megabytePasteIsHarmless_data();
    void megabytePasteIsHarmless();
    void resizeAttemptsKeepScene_data();
    void resizeAttemptsKeepScene();
    void hiddenAndShownKeepsTrace_data();
    void hiddenAndShownKeepsTrace();
    void gameEndsProperly_data();
    void gameEndsProperly();
    void startsOrSaysWhy_data();
    void startsOrSaysWhy();
};

void AbuseTest::hundredInputsBetweenTwoTicks_data() {
    QTest::addColumn<int>("charge_ms");  // before the clicks; negative: armed
    QTest::addColumn<int>("ticks");      // flight ticks before the clicks; negative: not launched
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("speed");
    QTest::newRow("armed, clicks") << -1 << -1 << "click" << (0 + 1800) / 20;
    QTest::newRow("armed, space key") << -1 << -1 << "space" << (0 + 1800) / 20;
    QTest::newRow("charging, clicks") << 250 << -1 << "click" << (2000 + 1800) / 20;
    QTest::newRow("charging, space key") << 250 << -1 << "space" << (2000 + 1800) / 20;
    QTest::newRow("flying, clicks") << 0 << 2 << "click" << (0 + 1800) / 20;
    QTest::newRow("flying, space key") << 0 << 2 << "space" << (0 + 1800) / 20;
}

// Both buttons hammered in turn a hundred times within one flight period
// end in one flight: the gauge starts at most once, later presses of
// Cmd_Start only fix the same speed again, and the next tick is the flight's
// only one.
void AbuseTest::hundredInputsBetweenTwoTicks() {
    QFETCH(int, charge_ms);
    QFETCH(int, ticks);
    QFETCH(QString, input);
    QFETCH(int, speed);
    GameHarness game;
    game.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&game.window()));
    prepare(game, charge_ms, ticks);
    const std::uint64_t gauge_ticks = game.form().Tmr_Power.ticks_run();
    const std::uint64_t flight_ticks = game.form().Timer1.ticks_run();

    for (int i = 0; i < 100; ++i) {
        if (input == "click") game.click(i % 2 ? "Cmd_Start" : "Cmd_Set");
        if (input == "space") QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }
    QCOMPARE(game.form().Timer1.ticks_run(), flight_ticks);
    QCOMPARE(game.form().Tmr_Power.ticks_run(), gauge_ticks);
    game.advance_ms(60);

    QCOMPARE(game.program().state().Speed, speed);
    QCOMPARE(game.form().Timer1.ticks_run(), flight_ticks + 1);
    QCOMPARE(game.program().trace().segments().size(), std::size_t(game.form().Timer1.ticks_run()));
    QVERIFY(!game.form().Tmr_Power.enabled());
    QVERIFY(game.form().Timer1.enabled());
    QVERIFY(!game.form().Cmd_Set.Enabled && game.form().Cmd_Start.Enabled);
    QVERIFY(!game.program().halted());
}

void AbuseTest::megabytePasteIsHarmless_data() {
    QTest::addColumn<QString>("pasted");
    constexpr int kMegabyte = 1 << 20;
    QTest::newRow("digits") << QString(kMegabyte, QLatin1Char('9'));
    QTest::newRow("Japanese") << QString(kMegabyte / 3, QChar(0x767A));  // 発, three bytes each
    QTest::newRow("lines") << QStringLiteral("45\n").repeated(kMegabyte / 3);
    QTest::newRow("controls and NUL") << QStringLiteral("\t\r\x1b").append(QChar(0)).repeated(kMegabyte / 4);
}

// Nothing reads the text box: a megabyte pasted into it must reach the game
// as the box holds it, leave the angle and the shot alone, and give way to
// the angle at the next turn of the scroll bar.
void AbuseTest::megabytePasteIsHarmless() {
    QFETCH(QString, pasted);
    GameHarness game;
    game.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&game.window()));
    QLineEdit* box = &game.entry();
    const float barrel_x = game.form().Line1.X2;
    QApplication::clipboard()->setText(pasted);

    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(box->text().size() > 1000);
    QCOMPARE(QString::fromStdString(game.form().Text1.Text), box->text());
    QCOMPARE(game.form().HScroll1.Value, 30);
    QCOMPARE(game.form().Line1.X2, barrel_x);

    // A shot goes on as usual and leaves the pasted text alone.
    const QString kept = box->text();
    game.fire(250);
    QVERIFY(game.form().Image2.Visible);
    QCOMPARE(box->text(), kept);

    const scene::HScrollBar& bar = game.form().HScroll1;
    QTest::mouseClick(&game.window(), Qt::LeftButton, {}, game.middle(scene::BarLayout::of(bar, bar.Value).more));
    QCOMPARE(box->text(), QStringLiteral("31"));
    QCOMPARE(game.form().Text1.Text, std::string("31"));
}

void AbuseTest::resizeAttemptsKeepScene_data() {
    QTest::addColumn<QString>("attempt");
    QTest::addColumn<QSize>("size");  // what the window ends up with
    const QSize scene_size(585, 309);
    QTest::newRow("resize larger") << "resize larger" << scene_size;
    QTest::newRow("resize smaller") << "resize smaller" << scene_size;
    QTest::newRow("geometry") << "geometry" << scene_size;
    QTest::newRow("maximise") << "maximise" << scene_size;
    QTest::newRow("full screen") << "full screen" << scene_size;
    QTest::newRow("window system maximises") << "window system maximises" << scene_size;
    // A window manager that ignores the fixed size can impose another one.
    QTest::newRow("window system imposes a size") << "window system resize" << QSize(900, 600);
}

// The scene is drawn for one size only. Requests for another are refused;
// a size the window system imposes anyway leaves the scene where it was,
// with the window's colour beyond it, not stale pixels. A shot in flight
// keeps its trace through all of it.
void AbuseTest::resizeAttemptsKeepScene() {
    QFETCH(QString, attempt);
    QFETCH(QSize, size);
    GameHarness game;
    auto& window = game.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    prepare(game, 250, 8);
    const QImage before = painted(window);
    QVERIFY(black_in_sky(before) > 0);
    const QRect entry = game.entry().geometry();

    if (attempt == "resize larger") window.resize(900, 600);
    if (attempt == "resize smaller") window.resize(200, 100);
    if (attempt == "geometry") window.setGeometry(10, 10, 1000, 700);
    if (attempt == "maximise") window.showMaximized();
    if (attempt == "full screen") window.showFullScreen();
    if (attempt == "window system maximises") window.windowHandle()->showMaximized();
    if (attempt == "window system resize") window.windowHandle()->resize(size);
    QTest::qWait(50);

    QCOMPARE(window.size(), size);
    QCOMPARE(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen), Qt::WindowStates());
    QCOMPARE(game.entry().geometry(), entry);
    // The panel picture, 67 rows from row 243, reaches one row below the
    // client area; everything else beyond the scene is the window's colour.
    const QRegion scene_area = QRect(0, 0, 585, 310);
    for (const QImage& image : {painted(window), on_screen(window)}) {
        QCOMPARE(image.size(), size);
        QCOMPARE(image.copy(before.rect()), before);
        const auto stray = first_pixel_not(image, QRegion(image.rect()) - scene_area, QColor(0, 192, 0));
        const QPoint at = stray.value_or(QPoint());
        QVERIFY2(!stray, qPrintable(QStringLiteral("not the window's colour at %1,%2").arg(at.x()).arg(at.y())));
    }
}

void AbuseTest::hiddenAndShownKeepsTrace_data() {
    QTest::addColumn<QString>("away");
    QTest::addColumn<int>("ticks_away");
    QTest::newRow("hidden") << "hide" << 0;
    QTest::newRow("hidden while the shell flies") << "hide" << 6;
    QTest::newRow("minimised") << "minimise" << 0;
    QTest::newRow("minimised while the shell flies") << "minimise" << 6;
}

// Showing the window again repaints all of it; the trace is not a part of
// the scene, so it must be redrawn from what the game has drawn so far,
// including segments drawn while the window was away.
void AbuseTest::hiddenAndShownKeepsTrace() {
    QFETCH(QString, away);
    QFETCH(int, ticks_away);
    GameHarness game;
    auto& window = game.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    prepare(game, 250, 8);
    QTest::qWait(20);
    const int black_before = black_in_sky(on_screen(window));
    QVERIFY(black_before > 0);

    if (away == "hide") window.hide();
    if (away == "minimise") window.showMinimized();
    QTest::qWait(20);
    game.advance_ms(60 * ticks_away);
    window.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(20);

    QCOMPARE(game.program().trace().segments().size(), std::size_t(8 + ticks_away));
    const QImage shown = on_screen(window);
    QCOMPARE(shown, painted(window));
    if (ticks_away == 0) QCOMPARE(black_in_sky(shown), black_before);
    else QVERIFY(black_in_sky(shown) > black_before);
}

void AbuseTest::gameEndsProperly_data() {
    QTest::addColumn<QString>("shot");
    QTest::addColumn<QString>("answers");  // to the boxes in turn
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error_line");
    QTest::addColumn<QStringList>("boxes");
    // What the boxes say is the core's; here, that they are the window's.
    const QString hit_box = QStringLiteral("box 破壊 | parent window");
    const QString overflow = QStringLiteral("zorukan: run-time error 6: overflow: 16-bit counter passed 32767");
    const QString error_box = QStringLiteral("box ゾルカン | parent window");
    QTest::newRow("window closed during the hit's first box") << "hit" << "close" << 0 << QString() << QStringList{hit_box};
    QTest::newRow("window closed during the hit's second box")
        << "hit" << "ok,close" << 0 << QString() << QStringList{hit_box, hit_box};
    QTest::newRow("run-time error, box answered") << "overflow" << "ok" << 6 << overflow << QStringList{error_box};
    QTest::newRow("run-time error, window closed during its box")
        << "overflow" << "close" << 6 << overflow << QStringList{error_box};
}

// The whole game as main composes it, in a child process: closing the window
// ends it at once, even with a box open, and no further box may appear; a
// run-time error in a real flight tick (the flight counter pushed to its
// limit) is shown in a box and on standard error, and the status says so.
void AbuseTest::gameEndsProperly() {
    QFETCH(QString, shot);
    QFETCH(QString, answers);
    QFETCH(int, status);
    QFETCH(QString, error_line);
    QFETCH(QStringList, boxes);
    QProcess probe;
    probe.start(QStringLiteral(ZORUKAN_ABUSE_PROBE), {shot, answers});
    QVERIFY(probe.waitForFinished(15000));
    const QStringList out = QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QString err = QString::fromUtf8(probe.readAllStandardError());

    QVERIFY2(!out.contains(QStringLiteral("still running")), "the game did not end");
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), status);
    QStringList shown;
    for (const QString& line : out)
        if (line.startsWith(QStringLiteral("box "))) shown << line;
    QCOMPARE(shown, boxes);
    QCOMPARE(out.contains(QStringLiteral("window closed")), answers.contains(QStringLiteral("close")));
    if (error_line.isEmpty()) QVERIFY2(!err.contains(QStringLiteral("run-time error")), qPrintable(err));
    else QVERIFY2(err.split('\n').contains(error_line), qPrintable(err));
}

void AbuseTest::startsOrSaysWhy_data() {
    QTest::addColumn<QStringList>("environment");  // NAME=value sets, NAME alone unsets
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");  // -1: the game runs
    QTest::addColumn<QString>("last_error_line");
    QTest::addColumn<bool>("only_line");  // whether it is all of standard error
    const QStringList no_display{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    const QString refused = QStringLiteral(
        "zorukan: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); start it from a "
        "desktop session");
    QTest::newRow("no display") << no_display << QStringList() << 1 << refused << true;
    QTest::newRow("empty display names") << QStringList{"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM"}
                                         << QStringList() << 1 << refused << true;
    QTest::newRow("a display that cannot be opened")
        << QStringList{"DISPLAY=:zorukan", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=xcb"} << QStringList() << 1
        << QStringLiteral("zorukan: cannot open the window on the display (DISPLAY=\":zorukan\", "
                          "WAYLAND_DISPLAY=\"\"); start it from a desktop session")
        << false;
    QTest::newRow("a platform that does not exist")
        << QStringList{"QT_QPA_PLATFORM=zorukan"} << QStringList() << 1
        << QStringLiteral("zorukan: there is no platform \"zorukan\" to open the window on "
                          "(QT_QPA_PLATFORM=\"zorukan\"); choose one the toolkit has, or none")
        << false;
    QTest::newRow("a platform that does not exist, chosen by argument")
        << no_display << QStringList{"-platform", "zorukan"} << 1
        << QStringLiteral("zorukan: there is no platform \"zorukan\" to open the window on (-platform zorukan); "
                          "choose one the toolkit has, or none")
        << false;
    QTest::newRow("no display, platform chosen by argument")
        << no_display << QStringList{"-platform", "offscreen"} << -1 << QString() << false;
    // An empty font configuration: not a single font to be found.
    QTest::newRow("no fonts at all") << QStringList{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=offscreen",
                                                    "FONTCONFIG_FILE={dir}/fonts.conf"}
                                     << QStringList() << -1
                                     << QStringLiteral("zorukan: no installed font can show the game's Japanese "
                                                       "text; install the package fonts-ipafont-gothic")
                                     << false;
}

// The game as installed, started where it cannot show itself: with no
// display it says so in one line and exits with status 1, before the toolkit
// would abort; a platform asked for by name is left to the toolkit, and one
// it has no plugin for is named; with no fonts at all it opens and names the
// package that gives it its fonts.
void AbuseTest::startsOrSaysWhy() {
    QFETCH(QStringList, environment);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, last_error_line);
    QFETCH(bool, only_line);
    QTemporaryDir dir;
    QFile config(dir.filePath("fonts.conf"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">"
                                "<fontconfig><cachedir>%1</cachedir></fontconfig>")
                     .arg(dir.path())
                     .toUtf8());
    config.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment) {
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        if (equals < 0) env.remove(entry);
        else env.insert(entry.left(equals), entry.mid(equals + 1).replace(QStringLiteral("{dir}"), dir.path()));
    }

    QProcess game;
    game.setProcessEnvironment(env);
    game.start(QStringLiteral(ZORUKAN_GAME), arguments);
    QVERIFY(game.waitForStarted());
    // Start-up is done well within this; a game that runs past it has opened.
    const bool ended = game.waitForFinished(2000);
    if (!ended) {
        game.kill();
        game.waitForFinished();
    }
    const QStringList errors = QString::fromUtf8(game.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    if (status < 0) {
        QVERIFY2(!ended, qPrintable(errors.join('\n')));
    } else {
        QVERIFY(ended);
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), status);
    }
    if (only_line) QCOMPARE(errors, QStringList{last_error_line});
    else if (status >= 0) QCOMPARE(errors.value(errors.size() - 1), last_error_line);
    else if (!last_error_line.isEmpty()) QVERIFY2(errors.contains(last_error_line), qPrintable(errors.join('\n')));
}

QTEST_MAIN(AbuseTest)
#include "abuse_test.moc"
