// The window's runtime services: the real clock, the real message box and
// the report of a fatal run-time error.

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProxyStyle>
#include <QTest>
#include <QTimer>
#include <optional>
#include <sstream>

#include "app/error_report.h"
#include "app/message_box_ui.h"
#include "app/real_clock.h"
#include "headless/recording_boxes.h"

using namespace zorukan;

namespace {

class IconButtonsStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

class ServicesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void realClockTicksOnCadenceAndIdlesWhenOff();
    void messageBoxHasTitlePromptOneOkAndNoIcon();
    void keyHeldFromBeforeLeavesTheBoxOpen_data();
    void keyHeldFromBeforeLeavesTheBoxOpen();
    void fatalErrorIsReportedWithItsNumber_data();
    void fatalErrorIsReportedWithItsNumber();
};

// Nothing may stay armed once every timer is off: an idle window should
// cost no wake-ups at all.
void ServicesTest::realClockTicksOnCadenceAndIdlesWhenOff() {
    app::RealClock clock;
    runtime::Timers timers(clock);
    runtime::Timer gauge(timers, "gauge", 1);  // floors at the 25 ms resolution
    int ticks = 0, signals = 0;
    gauge.on_tick = [&] { ++ticks; };
    QObject::connect(&clock, &app::RealClock::ticked, [&] { ++signals; });
    QVERIFY(!clock.armed());

    QElapsedTimer elapsed;
    elapsed.start();
    gauge.set_enabled(true);
    QVERIFY(clock.armed());
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 4, 2000);
    QVERIFY(elapsed.elapsed() >= 4 * runtime::kTimerResolutionMs - 1);
    QVERIFY(signals >= ticks);

    gauge.set_enabled(false);
    QVERIFY(!clock.armed());
    const int stopped_at = ticks;
    QTest::qWait(100);
    QCOMPARE(ticks, stopped_at);
}

// Desktops whose style puts icons on dialog buttons must not get one either.
void ServicesTest::messageBoxHasTitlePromptOneOkAndNoIcon() {
    QApplication::setStyle(new IconButtonsStyle);
    app::QtMessageBoxUi ui;
    // Read the open box, then close it, so a failed check cannot leave it waiting.
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Information;
        QList<QAbstractButton*>::size_type buttons = 0;
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        bool button_icon = true, modal = false;
        QString spoken;
        bool spoken_modal = false;
    };
    std::optional<Seen> seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        QAbstractButton* ok = box->buttons().value(0);
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(box);
        seen = Seen{box->windowTitle(), box->text(), box->icon(), box->buttons().size(),
                    box->standardButton(ok), ok && !ok->icon().isNull(), box->isModal(),
                    read->text(QAccessible::Name) + "|" + read->text(QAccessible::Value), read->state().modal != 0};
        if (ok) ok->click();
    });
    ui.show("テレビが破壊されました。", "破壊");
    QVERIFY(seen);
    QCOMPARE(seen->title, QStringLiteral("破壊"));
    QCOMPARE(seen->text, QStringLiteral("テレビが破壊されました。"));
    QCOMPARE(seen->icon, QMessageBox::NoIcon);
    QCOMPARE(seen->buttons, 1);
    QCOMPARE(seen->button, QMessageBox::Ok);
    QVERIFY(!seen->button_icon);
    QVERIFY(seen->modal);
    // Assistive technology reads it as it is: titled, with its text, modal.
    QCOMPARE(seen->spoken, QStringLiteral("破壊|テレビが破壊されました。"));
    QVERIFY(seen->spoken_modal);
}

void ServicesTest::keyHeldFromBeforeLeavesTheBoxOpen_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

// The Enter that fired the shell may still be held when the hit's box opens:
// its repeats must not close the box unread. The next fresh press does.
void ServicesTest::keyHeldFromBeforeLeavesTheBoxOpen() {
    QFETCH(int, key);
    app::QtMessageBoxUi ui;
    bool open_after_repeats = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return;
        // A failure below must not leave the box waiting.
        QTimer::singleShot(2000, box, &QWidget::close);
        if (!QTest::qWaitForWindowActive(box) || !QApplication::focusWidget()) return;
        QWidget* focused = QApplication::focusWidget();
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(focused, &repeat);
        }
        open_after_repeats = box->isVisible();
        QTest::keyClick(focused, Qt::Key(key));
    });
    QElapsedTimer elapsed;
    elapsed.start();
    ui.show("テレビが破壊されました。", "破壊");
    QVERIFY(open_after_repeats);
    QVERIFY2(elapsed.elapsed() < 2000, "a fresh press did not close the box");
}

void ServicesTest::fatalErrorIsReportedWithItsNumber_data() {
    QTest::addColumn<int>("number");
    QTest::newRow("invalid operation") << int(runtime::ErrorNumber::InvalidOperation);
    QTest::newRow("overflow") << int(runtime::ErrorNumber::Overflow);
    QTest::newRow("division by zero") << int(runtime::ErrorNumber::DivisionByZero);
}

void ServicesTest::fatalErrorIsReportedWithItsNumber() {
    QFETCH(int, number);
    const runtime::RuntimeError error(runtime::ErrorNumber(number), "detail of the failure");
    headless::RecordingBoxes boxes;
    std::ostringstream err;
    const int status = app::report_fatal(error, boxes, err);

    QCOMPARE(status, number);
    QVERIFY(status != 0);
    QCOMPARE(err.str(), "zorukan: run-time error " + std::to_string(number) + ": detail of the failure\n");
    QCOMPARE(boxes.shown.size(), std::size_t{1});
    const QString shown = QString::fromStdString(boxes.shown.front().title + "|" + boxes.shown.front().prompt);
    QVERIFY(shown.contains(QStringLiteral("実行時エラー %1").arg(number)));
    QVERIFY(shown.contains(QStringLiteral("detail of the failure")));
    QVERIFY(!shown.contains(QStringLiteral("不明")));  // every number has its own message
}

QTEST_MAIN(ServicesTest)
#include "services_test.moc"
