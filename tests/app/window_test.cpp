// The real window driven like a player: its raw input reaching the
// controls' rules, the keyboard focus following them to the text entry and
// back, the held arrow's timer, its place on the screen, what it repaints
// and what assistive technology reads of it. The rules themselves are the
// core's and tested there.

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>

#include "draw/control_look.h"
#include "harness.h"

using zorukan::testing::GameHarness;
namespace scene = zorukan::scene;

namespace {

using Act = std::function<void(GameHarness&)>;

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

void show(GameHarness& game) {
    game.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&game.window()));
}

// A key pressed and let go where the toolkit sends keys: the focus widget.
void key(Qt::Key pressed, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), pressed, modifiers);
}

// A key held down: its first press, then the window system's repeats.
void held(Qt::Key pressed, int repeats) {
    QTest::keyPress(QApplication::focusWidget(), pressed);
    for (int i = 0; i < repeats; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, pressed, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(QApplication::focusWidget(), &repeat);
    }
    QTest::keyRelease(QApplication::focusWidget(), pressed);
}

scene::BarLayout bar_layout(GameHarness& game) {
    return scene::BarLayout::of(game.form().HScroll1, game.form().HScroll1.Value);
}

QString focus(GameHarness& game) {
    const std::string_view name = game.program().controls().focus();
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

Q_DECLARE_METATYPE(Act)

class WindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensArmed();
    void placedInsideTheScreen();
    void inputReachesTheRules_data();
    void inputReachesTheRules();
    void keyboardFocusFollowsTheRules();
    void heldArrowRepeatsUntilLetGo();
    void flightTickRepaintsOnlyAroundItsSegment();
    void accessibleTree_data();
    void accessibleTree();
    void assistiveTechnologyActs_data();
    void assistiveTechnologyActs();
};

// Guards the armed window as the player first sees it: one size, no
// maximise, and the one native child where the core frames the angle box.
void WindowTest::opensArmed() {
    GameHarness game;
    auto& window = game.window();
    QCOMPARE(window.windowTitle(), QStringLiteral("ドンガラ　ゾルカン"));
    QCOMPARE(window.size(), QSize(585, 309));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));

    QCOMPARE(window.findChildren<QWidget*>(), QList<QWidget*>{&game.entry()});
    const scene::Rect inside = zorukan::draw::text_entry_area(game.form().Text1);
    QCOMPARE(game.entry().geometry(), QRect(inside.x, inside.y, inside.w, inside.h));
    QVERIFY(!game.entry().hasFrame());
    QCOMPARE(game.entry().text(), QStringLiteral("30"));

    show(game);
    QCOMPARE(focus(game), QStringLiteral("Cmd_Set"));
    QCOMPARE(QApplication::focusWidget(), &window);
}

// Centred in the available area, and inside it even where the scene at the
// screen's scale would not fit (QT_SCALE_FACTOR=3 on the test screen): then
// the scene is shrunk to fit, never past the screen's left edge.
void WindowTest::placedInsideTheScreen() {
    GameHarness game;
    auto& window = game.window();
    window.show_centred();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect room = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    QVERIFY2(room.contains(frame), qPrintable(QStringLiteral("frame %1,%2 %3x%4 in %5x%6")
                                                  .arg(frame.x()).arg(frame.y()).arg(frame.width())
                                                  .arg(frame.height()).arg(room.width()).arg(room.height())));
    QVERIFY(std::abs(frame.center().x() - room.center().x()) <= 1);
    QVERIFY(std::abs(frame.center().y() - room.center().y()) <= 1);

    if (room.width() >= frame.width() - window.width() + 585 && room.height() >= frame.height() - window.height() + 309) {
        QCOMPARE(window.size(), QSize(585, 309));
        QCOMPARE(window.zoom(), 1.0);
    } else {
        // The scene is shrunk just enough to fit one way, frame and all.
        QVERIFY(window.zoom() < 1);
        QVERIFY(frame.width() >= room.width() - 3 || frame.height() >= room.height() - 3);
        // The controls answer where they are painted.
        game.click("Cmd_Set");
        QVERIFY(game.form().Tmr_Power.enabled());
    }
}

void WindowTest::inputReachesTheRules_data() {
    QTest::addColumn<Act>("act");
    QTest::addColumn<int>("angle");
    QTest::addColumn<bool>("gauge");  // 発射セット was pressed
    QTest::addColumn<bool>("fired");  // 発射ボタン was pressed
    QTest::newRow("mouse click on 発射セット") << Act([](GameHarness& g) { g.click("Cmd_Set"); }) << 30 << true << false;
    QTest::newRow("Space") << Act([](GameHarness&) { key(Qt::Key_Space); }) << 30 << true << false;
    QTest::newRow("keypad Enter") << Act([](GameHarness&) { key(Qt::Key_Enter, Qt::KeypadModifier); }) << 30 << true
                                  << false;
    // Its repeats would press 発射ボタン next.
    QTest::newRow("Space held down") << Act([](GameHarness&) { held(Qt::Key_Space, 3); }) << 30 << true << false;
    QTest::newRow("Ctrl+Space is no press") << Act([](GameHarness&) { key(Qt::Key_Space, Qt::ControlModifier); }) << 30
                                            << false << false;
    QTest::newRow("Right") << Act([](GameHarness&) { key(Qt::Key_Right); }) << 31 << false << false;
    QTest::newRow("End on the scroll bar") << Act([](GameHarness&) {
        key(Qt::Key_Backtab);
        key(Qt::Key_End);
    }) << 90 << false << false;
    // The barrel turns only when the thumb is let go.
    QTest::newRow("thumb dragged to the end") << Act([](GameHarness& g) {
        const scene::Rect thumb = bar_layout(g).thumb;
        const double y = thumb.y + thumb.h / 2.0, x = thumb.x + thumb.w / 2.0;
        QTest::mousePress(&g.window(), Qt::LeftButton, {}, g.at(x, y));
        QTest::mouseMove(&g.window(), g.at(x + 100, y));
        QCOMPARE(g.program().controls().look().thumb, std::optional<std::int16_t>(90));
        QCOMPARE(g.form().HScroll1.Value, 30);
        QTest::mouseRelease(&g.window(), Qt::LeftButton, {}, g.at(x + 100, y));
    }) << 90 << false << false;
    // A finger reaches the bar's arrow from above it, where a mouse would
    // miss.
    QTest::newRow("finger above the left arrow") << Act([](GameHarness& g) {
        const scene::Rect arrow = bar_layout(g).less;
        const QPoint above = g.at(arrow.x + arrow.w / 2.0, arrow.y - 6);
        QTest::mouseClick(&g.window(), Qt::LeftButton, {}, above);
        QCOMPARE(g.form().HScroll1.Value, 30);
        const std::unique_ptr<QPointingDevice> finger(QTest::createTouchDevice());
        QTest::touchEvent(&g.window(), finger.get()).press(0, above, &g.window());
        QTest::touchEvent(&g.window(), finger.get()).release(0, above, &g.window());
    }) << 29 << false << false;
}

// One of each kind of input, mapped and passed on; and the game's text
// follows the angle.
void WindowTest::inputReachesTheRules() {
    QFETCH(Act, act);
    QFETCH(int, angle);
    QFETCH(bool, gauge);
    QFETCH(bool, fired);
    GameHarness game;
    show(game);
    act(game);
    QCOMPARE(game.form().HScroll1.Value, angle);
    QCOMPARE(game.entry().text(), QString::number(angle));
    QCOMPARE(!game.form().Cmd_Set.Enabled, gauge);
    QCOMPARE(game.form().Timer1.enabled(), fired);
}

// The toolkit's keyboard focus is on the text entry exactly while the rules
// give the angle box the focus, and on the window itself otherwise; Tab in
// the entry goes through the rules too.
void WindowTest::keyboardFocusFollowsTheRules() {
    GameHarness game;
    show(game);
    auto& window = game.window();
    auto& entry = game.entry();

    key(Qt::Key_Tab);
    QCOMPARE(focus(game), QStringLiteral("Text1"));
    QCOMPARE(QApplication::focusWidget(), &entry);
    QCOMPARE(entry.selectedText(), QStringLiteral("30"));  // as Tab into any text entry
    key(Qt::Key_Tab);
    QCOMPARE(focus(game), QStringLiteral("HScroll1"));
    QCOMPARE(QApplication::focusWidget(), &window);
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    QCOMPARE(focus(game), QStringLiteral("Cmd_Set"));
    QCOMPARE(QApplication::focusWidget(), &window);

    // A finger on the entry, a click into it, and one on the box's frame
    // around it. The finger places the caret where it lands, before the 3.
    const std::unique_ptr<QPointingDevice> finger(QTest::createTouchDevice());
    const QPoint in_entry = entry.geometry().topLeft() + QPoint(1, entry.height() / 2);
    QTest::touchEvent(&window, finger.get()).press(0, in_entry, &window);
    QTest::touchEvent(&window, finger.get()).release(0, in_entry, &window);
    QCOMPARE(focus(game), QStringLiteral("Text1"));
    QCOMPARE(QApplication::focusWidget(), &entry);
    QCOMPARE(entry.cursorPosition(), 0);
    key(Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), &window);
    QTest::mouseClick(&entry, Qt::LeftButton, {}, entry.rect().center());
    QCOMPARE(focus(game), QStringLiteral("Text1"));
    game.click("Cmd_Set");
    QCOMPARE(focus(game), QStringLiteral("Cmd_Start"));
    QCOMPARE(QApplication::focusWidget(), &window);
    const scene::Rect box = scene::pixel_rect(game.form().Text1);
    QTest::mouseClick(&window, Qt::LeftButton, {}, game.at(box.x + 0.5, box.y + 0.5));
    QCOMPARE(QApplication::focusWidget(), &entry);

    // Typing while the shell flies: the flight's ticks leave the text, the
    // caret and the undo history alone.
    game.advance_ms(250);
    game.click("Cmd_Start");
    QCOMPARE(focus(game), QStringLiteral("Cmd_Start"));
    QTest::mouseClick(&entry, Qt::LeftButton, {}, entry.rect().center());
    entry.setCursorPosition(1);
    QTest::keyClicks(&entry, "45");
    game.advance_ms(180);
    QCOMPARE(entry.text(), QStringLiteral("3450"));
    QCOMPARE(entry.cursorPosition(), 3);
    QVERIFY(entry.isUndoAvailable());

    // The shot ends on a tick: the focus goes back to 発射セット only if the
    // window settles the rules after ticks too.
    key(Qt::Key_Backtab);
    QCOMPARE(focus(game), QStringLiteral("Cmd_Start"));
    game.land();
    game.advance_ms(500);
    QVERIFY(game.form().Cmd_Set.Enabled);
    QCOMPARE(focus(game), QStringLiteral("Cmd_Set"));
    QCOMPARE(QApplication::focusWidget(), &window);
}

// An arrow held down with the mouse steps again and again on the window's
// timer, and stops when it is let go.
void WindowTest::heldArrowRepeatsUntilLetGo() {
    GameHarness game;
    show(game);
    const QPoint arrow = game.middle(bar_layout(game).more);
    QTest::mousePress(&game.window(), Qt::LeftButton, {}, arrow);
    QCOMPARE(game.form().HScroll1.Value, 31);
    QTRY_VERIFY_WITH_TIMEOUT(game.form().HScroll1.Value >= 34, 2000);
    QTest::mouseRelease(&game.window(), Qt::LeftButton, {}, arrow);
    const int let_go = game.form().HScroll1.Value;
    QCOMPARE(game.entry().text(), QString::number(let_go));
    QTest::qWait(3 * scene::ControlRules::kRepeatIntervalMs);
    QCOMPARE(game.form().HScroll1.Value, let_go);
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

void WindowTest::accessibleTree_data() {
    QTest::addColumn<int>("child");  // of the window; -1: the window itself
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("states");  // of disabled, focusable, focused, readOnly
    QTest::addColumn<QString>("value");   // as read out
    QTest::addColumn<QVariantList>("range");  // current, least and most, for a value
    QTest::newRow("window") << -1 << int(QAccessible::Window) << "ドンガラ　ゾルカン" << "focused" << ""
                            << QVariantList{};
    QTest::newRow("発射セット") << 0 << int(QAccessible::Button) << "発射セット" << "disabled" << ""
                               << QVariantList{};
    QTest::newRow("発射ボタン") << 1 << int(QAccessible::Button) << "発射ボタン" << "focusable focused" << ""
                               << QVariantList{};
    QTest::newRow("発射パワー") << 2 << int(QAccessible::ProgressBar) << "発射パワー" << "readOnly" << "50%"
                               << QVariantList{2000, 0, 4005};
    QTest::newRow("発射角度, the box") << 3 << int(QAccessible::EditableText) << "発射角度" << "focusable" << "30"
                                      << QVariantList{};
    QTest::newRow("発射角度, the bar") << 4 << int(QAccessible::ScrollBar) << "発射角度" << "focusable" << "30"
                                      << QVariantList{30, 0, 90};
}

// The window with the gauge swinging as assistive technology finds it: each
// control named by its label, with its state, its value and its place on the
// screen.
void WindowTest::accessibleTree() {
    QFETCH(int, child);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, states);
    QFETCH(QString, value);
    QFETCH(QVariantList, range);
    GameHarness game;
    show(game);
    key(Qt::Key_Space);
    game.advance_ms(250);  // ten ticks of the gauge
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&game.window());
    QVERIFY(window);
    QCOMPARE(window->childCount(), 5);
    QAccessibleInterface* node = child < 0 ? window : window->child(child);
    QVERIFY(node && node->isValid());
    if (child >= 0) {
        QCOMPARE(node->parent(), window);
        QCOMPARE(window->indexOfChild(node), child);
        const QRect place = node->rect();
        QVERIFY(game.window().frameGeometry().contains(place));
        QCOMPARE(window->childAt(place.center().x(), place.center().y()), node);
    }
    if (child == 3) QCOMPARE(node->object(), &game.entry());

    QCOMPARE(int(node->role()), role);
    QCOMPARE(node->text(QAccessible::Name), name);
    const QAccessible::State state = node->state();
    QStringList seen;
    if (state.disabled) seen << "disabled";
    if (state.focusable) seen << "focusable";
    if (state.focused) seen << "focused";
    if (state.readOnly) seen << "readOnly";
    QCOMPARE(seen.join(' '), states);
    if (!value.isEmpty()) QCOMPARE(node->text(QAccessible::Value), value);
    QAccessibleValueInterface* values = node->valueInterface();
    QCOMPARE(values != nullptr, !range.isEmpty());
    if (values) QCOMPARE((QVariantList{values->currentValue(), values->minimumValue(), values->maximumValue()}), range);
}

void WindowTest::assistiveTechnologyActs_data() {
    QTest::addColumn<int>("child");
    QTest::addColumn<QString>("act");  // an action's name, or "value N"
    QTest::addColumn<QString>("focus");  // the rules' after it
    QTest::addColumn<int>("angle");
    QTest::addColumn<bool>("gauge");
    QTest::newRow("press 発射セット") << 0 << QAccessibleActionInterface::pressAction() << "Cmd_Start" << 30 << true;
    QTest::newRow("focus the bar") << 4 << QAccessibleActionInterface::setFocusAction() << "HScroll1" << 30 << false;
    QTest::newRow("set the angle") << 4 << "value 45" << "Cmd_Set" << 45 << false;
}

// What assistive technology does reaches the game.
void WindowTest::assistiveTechnologyActs() {
    QFETCH(int, child);
    QFETCH(QString, act);
    QFETCH(QString, focus);
    QFETCH(int, angle);
    QFETCH(bool, gauge);
    GameHarness game;
    show(game);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&game.window());
    QAccessibleInterface* node = window->child(child);

    if (act.startsWith(QStringLiteral("value ")))
        node->valueInterface()->setCurrentValue(act.mid(6).toInt());
    else
        node->actionInterface()->doAction(act);

    QCOMPARE(::focus(game), focus);
    QCOMPARE(game.form().HScroll1.Value, angle);
    QCOMPARE(game.entry().text(), QString::number(angle));
    QCOMPARE(game.form().Tmr_Power.enabled(), gauge);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
