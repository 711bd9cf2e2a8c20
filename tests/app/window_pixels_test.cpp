// What the window's canvas makes of the core's drawing, checked on grabs of
// it: transparent pictures, the art at twice the scale, the fonts, partial
// repaints on the screen, the controls' looks as the window passes them on,
// and the angle box's text entry inside the frame the core paints.

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "app/application.h"
#include "app/fonts.h"
#include "draw/control_look.h"
#include "draw/damage.h"
#include "harness.h"
#include "scene/pictures.h"

using zorukan::testing::GameHarness;
namespace scene = zorukan::scene;

namespace {

QPoint px(float x_twips, float y_twips) { return {scene::pixels(x_twips), scene::pixels(y_twips)}; }

QImage grab(GameHarness& game) { return game.window().grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Every area of a window and its controls repainted while it watches, in
// the window's coordinates.
class RepaintLog : public QObject {
public:
    explicit RepaintLog(QWidget& window) : window_(window) {
        window.installEventFilter(this);
        for (QWidget* child : window.findChildren<QWidget*>()) child->installEventFilter(this);
    }
    QRegion region;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto* widget = static_cast<QWidget*>(watched);
            region += static_cast<QPaintEvent*>(event)->region().translated(widget->mapTo(&window_, QPoint()));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& window_;
};

// Pixels that differ by more than a faint shade in some channel.
int clearly_different_pixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int most = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                       std::abs(qBlue(p) - qBlue(q))});
            if (most > 64) ++count;
        }
    }
    return count;
}

// The mean grey level of an image, 0 to 255.
double lightness(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) sum += qGray(image.pixel(x, y));
    return sum / (image.width() * image.height());
}

using SceneChange = std::function<void(GameHarness&)>;

QImage art(scene::PictureId id) {
    return QImage(QStringLiteral(":/pictures/") + QString::fromUtf8(scene::picture_info(id).file.data()))
        .convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

Q_DECLARE_METATYPE(SceneChange)

class WindowPixelsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { zorukan::app::register_resources(); }
    void cannonBodyInFrontOfBarrelBase();
    void pixelArtStaysCrisp();
    void captionsFitTheirLabels();
    void fontCheckNeedsJapaneseGlyphs();
    void windowIconHoldsEveryBuiltInSize();
    void partialRepaintLeavesNothingStale_data();
    void partialRepaintLeavesNothingStale();
    void controlStatesShowAtAGlance_data();
    void controlStatesShowAtAGlance();
    void typingStaysInsideTheFrame_data();
    void typingStaysInsideTheFrame();
};

// A picture's opaque pixels cover what lies behind (the barrel's base) and
// its transparent ones let it show (the sky); the order itself is the core's.
void WindowPixelsTest::cannonBodyInFrontOfBarrelBase() {
    GameHarness game;
    const QImage image = grab(game);
    const QImage body = art(scene::PictureId::CannonBody);
    const QPoint body_at = px(game.form().Image4.Left, game.form().Image4.Top);
    const QPoint base = px(game.form().Line1.X1, game.form().Line1.Y1);
    const QRgb under_base = body.pixel(base - body_at);
    QVERIFY(qAlpha(under_base) == 255);
    QCOMPARE(QColor(image.pixel(base)), QColor(under_base));
    QVERIFY(QColor(image.pixel(base)) != QColor(Qt::black));
    // The transparent corner shows the sky behind it.
    QVERIFY(qAlpha(body.pixel(0, 0)) == 0);
    QCOMPARE(QColor(image.pixel(body_at)), QColor(art(scene::PictureId::Sky).pixel(body_at)));
}

// Every art pixel is a sharp block of device pixels, as many a side as the
// window's device pixel ratio: 2 x 2 when ctest runs this at scale 2.
void WindowPixelsTest::pixelArtStaysCrisp() {
    GameHarness game;
    const QImage image = grab(game);
    const int scale = qRound(game.window().devicePixelRatioF());
    QCOMPARE(image.size(), game.window().size() * scale);
    const QImage sky = art(scene::PictureId::Sky);
    for (int y = 10; y < 220; y += 37) {
        for (int x = 5; x < 580; x += 41) {
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    QCOMPARE(QColor(image.pixel(scale * x + dx, scale * y + dy)), QColor(sky.pixel(x, y)));
        }
    }
}

// The substitute fonts are wider than the design's; every caption must still
// fit its label, in glyphs the font really has, and stay legible.
void WindowPixelsTest::captionsFitTheirLabels() {
    GameHarness game;
    int labels = 0;
    for (const scene::ControlRef& control : game.form().drawing_order()) {
        const auto* const* found = std::get_if<const scene::Label*>(&control);
        if (!found) continue;
        const scene::Label& label = **found;
        ++labels;
        const QString caption = QString::fromUtf8(label.Caption.data(), label.Caption.size());
        const int pixel_size = scene::font_pixels(scene::font_spec(label.font).points);
        const QFont font = zorukan::app::fitted_font(label.font, pixel_size, caption, scene::pixels(label.Width));
        const QFontMetrics metrics(font);
        QVERIFY2(metrics.horizontalAdvance(caption) <= scene::pixels(label.Width), qPrintable(caption));
        QVERIFY2(metrics.ascent() <= scene::pixels(label.Height), qPrintable(caption));
        QVERIFY2(font.letterSpacing() >= -2.0, qPrintable(caption));
        for (QChar c : caption) QVERIFY2(metrics.inFont(c), qPrintable(caption));
    }
    QVERIFY(labels > 0);
}

void WindowPixelsTest::fontCheckNeedsJapaneseGlyphs() {
    const QString texts = zorukan::app::scene_texts();
    QVERIFY(texts.contains(QStringLiteral("ピロリン座")));
    QVERIFY2(zorukan::app::family_showing({"IPAPGothic"}, texts), "the set-up installs fonts-ipafont-gothic");

    QStringList latin_only;
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)) latin_only << family;
    }
    QVERIFY(!latin_only.isEmpty());
    QVERIFY(!zorukan::app::family_showing(latin_only.mid(0, 5), texts));
    QVERIFY(!zorukan::app::family_showing({"No Such Font Family"}, texts));
}

// Every icon built into the program reaches the window system at the size
// its name gives.
void WindowPixelsTest::windowIconHoldsEveryBuiltInSize() {
    zorukan::app::describe_application();
    QList<QSize> named;
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList()) {
        const int size = file.section(QLatin1Char('-'), 1).section(QLatin1Char('.'), 0, 0).toInt();
        named << QSize(size, size);
    }
    QVERIFY(!named.isEmpty());
    QCOMPARE(QApplication::windowIcon().availableSizes(), named);
}

void WindowPixelsTest::partialRepaintLeavesNothingStale_data() {
    QTest::addColumn<SceneChange>("before");
    QTest::addColumn<SceneChange>("after");
    const SceneChange none = [](GameHarness&) {};
    const auto turn = [](int from, int to) {
        return SceneChange([from, to](GameHarness& game) {
            for (int angle = from; angle != to; angle += to > from ? 1 : -1) {
                game.program().scroll_to(angle);
                game.window().sync_from_model();
                QCoreApplication::processEvents();
            }
            game.program().scroll_to(to);
            game.window().sync_from_model();
        });
    };
    // What each change damages is the core's to say (its tests repaint every
    // kind); here, many small areas one after another, and a picture's old
    // and new places at once.
    QTest::newRow("barrel turns up a step at a time") << turn(30, 0) << turn(0, 90);
    QTest::newRow("television moves") << none << SceneChange([](GameHarness& game) { game.form().Tv.Left = 3000; });
    const auto key = [](Qt::Key pressed) {
        return SceneChange([pressed](GameHarness&) { QTest::keyClick(QApplication::focusWidget(), pressed); });
    };
    QTest::newRow("focus moves to the scroll bar") << none << key(Qt::Key_Backtab);
    QTest::newRow("thumb dragged") << none << SceneChange([](GameHarness& game) {
        const scene::HScrollBar& bar = game.form().HScroll1;
        const scene::Rect thumb = scene::BarLayout::of(bar, bar.Value).thumb;
        QTest::mousePress(&game.window(), Qt::LeftButton, {}, game.middle(thumb));
        QTest::mouseMove(&game.window(), game.middle(thumb) + QPoint(9, 0));
    });
}

// The window repaints only what changed after an event; where a control used
// to be must be repainted too, or the screen keeps a stale copy of it. The
// toolkit rounds the area asked for on its way to device pixels, so this also
// runs at a device pixel ratio of 2: the areas the window asked to repaint
// are rendered over its old picture, which must then equal a whole render.
void WindowPixelsTest::partialRepaintLeavesNothingStale() {
    QFETCH(SceneChange, before);
    QFETCH(SceneChange, after);
    GameHarness game;
    auto& window = game.window();
    before(game);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.sync_from_model();
    QTest::qWait(20);
    // The scene alone, without the text entry.
    const auto scene_only = [&window](const QRegion& region, QImage image) {
        for (const QRect& area : region) window.render(&image, area.topLeft(), area, {});
        return image;
    };
    QImage blank(window.size() * window.devicePixelRatioF(), QImage::Format_RGB32);
    blank.setDevicePixelRatio(window.devicePixelRatioF());
    const QImage shown_before = scene_only(window.rect(), blank);

    RepaintLog log(window);
    after(game);
    window.sync_from_model();
    const QImage whole = scene_only(window.rect(), blank);
    QVERIFY(whole != shown_before);
    // The repaints arrive when the event loop gets to them.
    QTRY_COMPARE_WITH_TIMEOUT(scene_only(log.region, shown_before), whole, 2000);
}

void WindowPixelsTest::controlStatesShowAtAGlance_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<SceneChange>("change");
    QTest::addColumn<bool>("darker");
    QTest::newRow("pressed, then it cannot be pressed")
        << "Cmd_Set" << SceneChange([](GameHarness& game) { game.click("Cmd_Set"); }) << true;
    QTest::newRow("held down") << "Cmd_Set" << SceneChange([](GameHarness& game) {
        QTest::mousePress(&game.window(), Qt::LeftButton, {}, game.middle(scene::pixel_rect(game.form().Cmd_Set)));
    }) << false;
    QTest::newRow("focus comes to the scroll bar's thumb") << "thumb" << SceneChange([](GameHarness&) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    }) << false;
    // The mark shows only in the active window.
    QTest::newRow("another window is active") << "Cmd_Set" << SceneChange([](GameHarness& game) {
        auto* other = new QWidget;
        other->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(&game.window(), &QObject::destroyed, other, &QWidget::close);
        other->show();
        other->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(other));
    }) << false;
}

// The buttons have no captions: a button that cannot be pressed, one held
// down and the focus must each change a good part of the control as the
// window shows it, not a faint outline.
void WindowPixelsTest::controlStatesShowAtAGlance() {
    QFETCH(QString, control);
    QFETCH(SceneChange, change);
    QFETCH(bool, darker);
    GameHarness game;
    game.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&game.window()));
    const scene::HScrollBar& bar = game.form().HScroll1;
    const scene::Rect place = control == "thumb" ? scene::BarLayout::of(bar, bar.Value).thumb
                                                 : scene::pixel_rect(*game.form().button(control.toStdString()));
    const QRect area = game.window().logical_inside(place);
    const auto shown = [&] {
        QCoreApplication::processEvents();
        return game.window().grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage plain = shown();
    change(game);
    const QImage changed = shown();
    const int total = changed.width() * changed.height();
    QVERIFY2(clearly_different_pixels(plain, changed) * 4 >= total, qPrintable(control));
    if (darker) QVERIFY2(lightness(changed) < lightness(plain) - 10, "a button that cannot be pressed is darker");
}

void WindowPixelsTest::typingStaysInsideTheFrame_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("the angle") << "30";
    QTest::newRow("digits past the width") << QString(30, QLatin1Char('8'));
}

// The text entry's text shows inside the frame the core paints around it, and
// stays inside it however much is typed, at every scale.
void WindowPixelsTest::typingStaysInsideTheFrame() {
    QFETCH(QString, typed);
    GameHarness game;
    auto& window = game.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(&game.entry(), Qt::LeftButton);
    game.entry().selectAll();
    QTest::keyClicks(&game.entry(), typed);
    QCOMPARE(game.entry().text(), typed);
    game.entry().setCursorPosition(0);  // the caret at the far left, out of the way
    game.entry().clearFocus();
    QCoreApplication::processEvents();

    const qreal ratio = window.devicePixelRatioF();
    const QImage with_entry = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage scene_only(window.size() * ratio, QImage::Format_RGB32);
    scene_only.setDevicePixelRatio(ratio);
    window.render(&scene_only, QPoint(), window.rect(), {});
    const zorukan::draw::Painter painter(ratio * window.zoom());
    const scene::Rect box = painter.to_device(scene::pixel_rect(game.form().Text1));
    const scene::Rect field = painter.to_device(zorukan::draw::text_entry_area(game.form().Text1));
    int text_pixels = 0;
    for (int y = box.y; y < box.bottom(); ++y) {
        for (int x = box.x; x < box.right(); ++x) {
            const QRgb shown = with_entry.pixel(x, y);
            if (!field.contains(x, y))
                QVERIFY2(shown == scene_only.pixel(x, y), qPrintable(QStringLiteral("frame at %1,%2").arg(x).arg(y)));
            else if (shown != scene_only.pixel(x, y))
                ++text_pixels;
        }
    }
    QVERIFY(text_pixels > 0);
}

QTEST_MAIN(WindowPixelsTest)
#include "window_pixels_test.moc"
