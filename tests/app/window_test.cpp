// The real window driven like a player: its widgets, their wiring to the
// game, and what it repaints.

#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>

#include "game/game.h"
#include "harness.h"

using zorukan::testing::GameHarness;

namespace {

QRect scroll_part(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

// Collects the rectangles the window is asked to paint.
class PaintLog final : public QObject {
public:
    std::vector<QRect> rects;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensArmed();
    void tabOrderAndNames_data();
    void tabOrderAndNames();
    void buttonsDriveGaugeAndLaunch();
    void scrollBarChangesOnlyOnRelease();
    void scrollBarSteps_data();
    void scrollBarSteps();
    void shotThroughWidgetsDrawsTraceUntilReset();
    void hitShowsBothBoxesWhileFlightTicksWait();
    void flightTickRepaintsOnlyAroundItsSegment();
    void keyPressesFocusedButtonAndFocusFollowsShot_data();
    void keyPressesFocusedButtonAndFocusFollowsShot();
};

// Guards the edge cases of the armed scene as the player sees them, not only
// in the model: a widget left enabled would let a shot start without power.
void WindowTest::opensArmed() {
    GameHarness game;
    auto& window = game.window();
    QCOMPARE(window.windowTitle(), QStringLiteral("ドンガラ　ゾルカン"));
    QCOMPARE(window.size(), QSize(585, 309));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));

    QVERIFY(game.widget<QPushButton>("Cmd_Set")->isEnabled());
    QVERIFY(!game.widget<QPushButton>("Cmd_Start")->isEnabled());
    QVERIFY(game.widget<QPushButton>("Cmd_Set")->text().isEmpty());
    QCOMPARE(game.widget<QLineEdit>("Text1")->text(), QStringLiteral("30"));
    auto* bar = game.widget<QScrollBar>("HScroll1");
    QCOMPARE(bar->value(), 30);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 90);
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->pageStep(), 1);
    // Each control where the scene puts it, to the pixel.
    const std::pair<const char*, QRect> places[] = {{"Cmd_Set", {40, 264, 17, 17}},
                                                    {"Cmd_Start", {104, 264, 17, 17}},
                                                    {"Text1", {528, 264, 25, 18}},
                                                    {"HScroll1", {480, 283, 73, 17}}};
    for (const auto& [name, place] : places) QCOMPARE(game.widget<QWidget>(name)->geometry(), place);
    QVERIFY(!game.form().Timer1.enabled() && !game.form().Timer2.enabled() && !game.form().Tmr_Power.enabled());

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), game.widget<QWidget>("Cmd_Set"));
}

void WindowTest::tabOrderAndNames_data() {
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("Cmd_Start") << "Cmd_Start" << "Cmd_Set" << "発射ボタン";
    QTest::newRow("Cmd_Set") << "Cmd_Set" << "Text1" << "発射セット";
    QTest::newRow("Text1") << "Text1" << "HScroll1" << "発射角度";
    QTest::newRow("HScroll1") << "HScroll1" << "Cmd_Start" << "発射角度";
}

void WindowTest::tabOrderAndNames() {
    QFETCH(QString, widget);
    QFETCH(QString, next);
    QFETCH(QString, spoken);
    GameHarness game;
    auto* from = game.widget<QWidget>(widget.toUtf8());
    QWidget* following = from->nextInFocusChain();
    while (following && !following->focusPolicy()) following = following->nextInFocusChain();
    QCOMPARE(following->objectName(), next);
    QCOMPARE(from->accessibleName(), spoken);
    QVERIFY(from->focusPolicy() & Qt::TabFocus);
}

void WindowTest::buttonsDriveGaugeAndLaunch() {
    GameHarness game;
    game.click("Cmd_Start");  // disabled: nothing may happen
    QVERIFY(!game.form().Timer1.enabled());

    game.click("Cmd_Set");
    QVERIFY(game.form().Tmr_Power.enabled());
    QVERIFY(!game.widget<QPushButton>("Cmd_Set")->isEnabled());
    QVERIFY(game.widget<QPushButton>("Cmd_Start")->isEnabled());

    game.advance_ms(250);  // ten gauge ticks
    QCOMPARE(game.form().Shape1.Width, 2000.0f);

    game.click("Cmd_Start");
    QVERIFY(!game.form().Tmr_Power.enabled());
    QVERIFY(game.form().Timer1.enabled());
    QCOMPARE(game.program().state().Speed, (2000 + 1800) / 20);

    // The player types in the angle box while the shell flies: the flight's
    // ticks leave the text, the cursor and the undo history alone.
    auto* box = game.widget<QLineEdit>("Text1");
    box->setFocus();
    box->setCursorPosition(1);
    QTest::keyClicks(box, "45");
    game.advance_ms(180);
    QCOMPARE(box->text(), QStringLiteral("3450"));
    QCOMPARE(box->cursorPosition(), 3);
    QVERIFY(box->isUndoAvailable());
}

// Dragging the thumb must not turn the barrel until it is let go.
void WindowTest::scrollBarChangesOnlyOnRelease() {
    GameHarness game;
    auto* bar = game.widget<QScrollBar>("HScroll1");
    const float tip_x = game.form().Line1.X2;
    const QPoint thumb = scroll_part(bar, QStyle::SC_ScrollBarSlider).center();

    QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(bar, thumb + QPoint(12, 0));
    QVERIFY(bar->sliderPosition() > 30);
    QCOMPARE(game.form().HScroll1.Value, 30);
    QCOMPARE(game.widget<QLineEdit>("Text1")->text(), QStringLiteral("30"));
    QCOMPARE(game.form().Line1.X2, tip_x);

    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(12, 0));
    const int angle = game.form().HScroll1.Value;
    QVERIFY(angle > 30);
    QCOMPARE(bar->value(), angle);
    QCOMPARE(game.widget<QLineEdit>("Text1")->text(), QString::number(angle));
    QVERIFY(game.form().Line1.X2 < tip_x);  // steeper barrel, shorter reach
}

void WindowTest::scrollBarSteps_data() {
    QTest::addColumn<int>("part");  // a scroll bar part to click, or 0 with a key
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("angle");
    QTest::newRow("left arrow") << int(QStyle::SC_ScrollBarSubLine) << 0 << 29;
    QTest::newRow("right arrow") << int(QStyle::SC_ScrollBarAddLine) << 0 << 31;
    QTest::newRow("track left of thumb") << int(QStyle::SC_ScrollBarSubPage) << 0 << 29;
    QTest::newRow("track right of thumb") << int(QStyle::SC_ScrollBarAddPage) << 0 << 31;
    QTest::newRow("left key") << 0 << int(Qt::Key_Left) << 29;
    QTest::newRow("right key") << 0 << int(Qt::Key_Right) << 31;
}

void WindowTest::scrollBarSteps() {
    QFETCH(int, part);
    QFETCH(int, key);
    QFETCH(int, angle);
    GameHarness game;
    auto* bar = game.widget<QScrollBar>("HScroll1");
    if (part) {
        const QRect area = scroll_part(bar, QStyle::SubControl(part));
        QVERIFY(!area.isEmpty());
        QTest::mouseClick(bar, Qt::LeftButton, {}, area.center());
    } else {
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key(key));
    }
    QCOMPARE(game.form().HScroll1.Value, angle);
    QCOMPARE(game.widget<QLineEdit>("Text1")->text(), QString::number(angle));
}

void WindowTest::shotThroughWidgetsDrawsTraceUntilReset() {
    GameHarness game;
    game.fire(250);
    QVERIFY(game.form().Image2.Visible);
    QVERIFY(game.program().trace().segments().size() > 5);
    QVERIFY(!game.widget<QPushButton>("Cmd_Set")->isEnabled());

    game.advance_ms(500);  // the explosion's time is up: the next shot is armed
    QVERIFY(game.program().trace().segments().empty());
    QVERIFY(!game.form().Image2.Visible);
    QVERIFY(game.widget<QPushButton>("Cmd_Set")->isEnabled());
    QVERIFY(!game.widget<QPushButton>("Cmd_Start")->isEnabled());
}

// A hit opens both boxes inside one flight tick; while they are open the
// flight must not go on, or a landing could reset the shot under them.
void WindowTest::hitShowsBothBoxesWhileFlightTicksWait() {
    GameHarness game;
    game.fire(250);  // a dry run, to see where this power lands
    const float landing_x = game.form().Image2.Left + 185;
    QVERIFY(game.boxes().empty());
    game.advance_ms(500);

    game.form().Tv.Left = landing_x - 150;
    game.fire(250);
    QCOMPARE(game.boxes().size(), std::size_t{2});
    QCOMPARE(game.boxes()[0].title, std::string("破壊"));
    QCOMPARE(game.boxes()[0].prompt, std::string("テレビが破壊されました。"));
    QCOMPARE(game.boxes()[1].title, std::string("破壊"));
    QCOMPARE(game.boxes()[1].prompt, std::string("夜七時からのピロリン座も見れなくなりました。"));
    for (const auto& box : game.boxes()) {
        QVERIFY(box.timers_held);
        QCOMPARE(box.flight_ticks_after, box.flight_ticks_before);
    }
    QCOMPARE(game.form().Tv.picture, zorukan::scene::PictureId::TvBroken);
}

void WindowTest::flightTickRepaintsOnlyAroundItsSegment() {
    GameHarness game;
    auto& window = game.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    game.click("Cmd_Set");
    game.advance_ms(500);
    game.click("Cmd_Start");
    QTest::qWait(20);

    PaintLog log;
    window.installEventFilter(&log);
    for (int tick = 0; tick < 5; ++tick) {
        game.advance_ms(60);
        QTest::qWait(10);
    }
    QCOMPARE(game.program().trace().segments().size(), std::size_t{5});  // still rising
    QVERIFY(!log.rects.empty());
    for (const QRect& rect : log.rects) QVERIFY2(rect.width() < 64 && rect.height() < 64, "a flight tick repainted a wide area");

    // The reset that ends the shot repaints everything, wiping the trace.
    game.land();
    log.rects.clear();
    game.advance_ms(500);
    QTRY_VERIFY(std::find(log.rects.begin(), log.rects.end(), window.rect()) != log.rects.end());
}

void WindowTest::keyPressesFocusedButtonAndFocusFollowsShot_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

// A keyboard player sets and fires with the same key twice, and the next
// shot starts where the last one ended; the toolkit alone would send the
// second key to the angle box and replace the angle with it.
void WindowTest::keyPressesFocusedButtonAndFocusFollowsShot() {
    QFETCH(int, key);
    GameHarness game;
    auto& window = game.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* cmd_set = game.widget<QPushButton>("Cmd_Set");
    auto* cmd_start = game.widget<QPushButton>("Cmd_Start");
    QCOMPARE(QApplication::focusWidget(), cmd_set);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QVERIFY(game.form().Tmr_Power.enabled());
    QCOMPARE(QApplication::focusWidget(), cmd_start);

    // A key held down repeats: the repeat must not fire the shell.
    QKeyEvent held(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(cmd_start, &held);
    QVERIFY(!game.form().Timer1.enabled());
    // The arrows turn the barrel a step and leave the focus on the button.
    QTest::keyClick(cmd_start, Qt::Key_Left);
    QTest::keyClick(cmd_start, Qt::Key_Down);
    QTest::keyClick(cmd_start, Qt::Key_Up);
    QCOMPARE(game.form().HScroll1.Value, 29);
    QCOMPARE(QApplication::focusWidget(), cmd_start);

    game.advance_ms(250);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QVERIFY(game.form().Timer1.enabled());
    QCOMPARE(game.widget<QLineEdit>("Text1")->text(), QStringLiteral("29"));

    game.land();
    game.advance_ms(500);  // the explosion's time is up: the next shot is armed
    QVERIFY(cmd_set->isEnabled() && !cmd_start->isEnabled());
    QCOMPARE(QApplication::focusWidget(), cmd_set);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
