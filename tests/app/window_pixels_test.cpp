// What the window's canvas makes of the core's drawing, checked on grabs of
// it: transparent pictures, the art at twice the scale, the fonts, partial
// repaints on the screen, and the look of the controls.

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
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.sync_from_model();
    QTest::qWait(20);
    // The scene alone: the controls paint themselves.
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
    QTest::addColumn<bool>("focus");  // otherwise the player presses it and it is disabled
    QTest::newRow("disabled button") << "Cmd_Set" << false;
    QTest::newRow("focused button") << "Cmd_Set" << true;
    QTest::newRow("focused scroll bar") << "HScroll1" << true;
}

// The buttons have no captions: a disabled one and the focus must each
// change a good part of the control, not a faint outline.
void WindowPixelsTest::controlStatesShowAtAGlance() {
    QFETCH(QString, control);
    QFETCH(bool, focus);
    GameHarness game;
    game.window().show();
    QVERIFY(QTest::qWaitForWindowActive(&game.window()));
    auto* widget = game.widget<QWidget>(control.toUtf8());
    game.widget<QWidget>("Text1")->setFocus();
    const QImage plain = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);

    if (focus) widget->setFocus();
    else game.click(control.toUtf8());
    QVERIFY(widget->hasFocus() == focus && widget->isEnabled() == focus);
    const QImage changed = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY2(clearly_different_pixels(plain, changed) >= 40, qPrintable(control));
    if (!focus) QVERIFY2(lightness(changed) < lightness(plain) - 10, "a disabled button is darker");
}

QTEST_MAIN(WindowPixelsTest)
#include "window_pixels_test.moc"
