// What the window's canvas makes of the core's drawing, checked on grabs of
// it: transparent pictures, the art at twice the scale, the fonts, partial
// repaints on the screen, the controls' looks as the window passes them on,
// and the angle box's text entry inside the frame the core paints.

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
    void explosionInFrontOfTelevision();
    void cannonBodyInFrontOfBarrelBase();
    void pixelArtStaysCrispAtScaleTwo();
    void captionsFitTheirLabels_data();
    void captionsFitTheirLabels();
    void fontCheckNeedsJapaneseGlyphs();
    void partialRepaintLeavesNothingStale_data();
    void partialRepaintLeavesNothingStale();
    void controlStatesShowAtAGlance_data();
    void controlStatesShowAtAGlance();
    void typingStaysInsideTheFrame_data();
    void typingStaysInsideTheFrame();
};

void WindowPixelsTest::explosionInFrontOfTelevision() {
    GameHarness game;
    auto& form = game.form();
    form.Image2.Left = form.Tv.Left;
    form.Image2.Visible = true;
    game.window().sync_from_model();
    const QImage image = grab(game);
    const QImage burst = art(scene::PictureId::Explosion);
    const QImage tv = art(scene::PictureId::TvIntact);
    const QPoint burst_at = px(form.Image2.Left, form.Image2.Top);
    const QPoint tv_at = px(form.Tv.Left, form.Tv.Top);

    // Where the two overlap, an opaque burst pixel covers the set and a
    // transparent one lets it through.
    int opaque = 0, clear = 0;
    for (int y = burst_at.y(); y < tv_at.y() + tv.height(); ++y) {
        for (int x = burst_at.x(); x < burst_at.x() + tv.width(); ++x) {
            const QRgb b = burst.pixel(x - burst_at.x(), y - burst_at.y());
            const QRgb expected = qAlpha(b) ? b : tv.pixel(x - tv_at.x(), y - tv_at.y());
            QCOMPARE(QColor(image.pixel(x, y)), QColor(expected));
            (qAlpha(b) ? opaque : clear)++;
        }
    }
    QVERIFY(opaque > 0 && clear > 0);
}

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

// At a device pixel ratio of 2 every art pixel becomes a sharp 2x2 block.
void WindowPixelsTest::pixelArtStaysCrispAtScaleTwo() {
    GameHarness game;
    QImage image(game.window().size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    game.window().render(&image);
    const QImage sky = art(scene::PictureId::Sky);
    for (int y = 10; y < 220; y += 37) {
        for (int x = 5; x < 580; x += 41) {
            for (QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                QCOMPARE(QColor(image.pixel(2 * x + d.x(), 2 * y + d.y())), QColor(sky.pixel(x, y)));
            }
        }
    }
}

void WindowPixelsTest::captionsFitTheirLabels_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}) QTest::newRow(name) << name;
}

// The substitute fonts are wider than the design's; a caption must still
// fit its label, in glyphs the font really has, and stay legible.
void WindowPixelsTest::captionsFitTheirLabels() {
    QFETCH(QString, name);
    GameHarness game;
    const scene::Label* label = nullptr;
    for (const scene::ControlRef& control : game.form().drawing_order()) {
        auto candidate = std::get_if<const scene::Label*>(&control);
        if (candidate && QString::fromUtf8((*candidate)->name.data()) == name) label = *candidate;
    }
    QVERIFY(label);
    const QString caption = QString::fromUtf8(label->Caption.data(), label->Caption.size());
    const int pixel_size = scene::font_pixels(scene::font_spec(label->font).points);
    const QFont font = zorukan::app::fitted_font(label->font, pixel_size, caption, scene::pixels(label->Width));
    const QFontMetrics metrics(font);
    const QSize size = QSize(scene::pixels(label->Width), scene::pixels(label->Height));
    QVERIFY2(metrics.horizontalAdvance(caption) <= size.width(), qPrintable(caption));
    QVERIFY2(metrics.ascent() <= size.height(), qPrintable(caption));
    QVERIFY(font.letterSpacing() >= -2.0);
    for (QChar c : caption) QVERIFY(metrics.inFont(c));
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
    const auto change = [](std::function<void(scene::Form1&)> f) {
        return SceneChange([f](GameHarness& game) { f(game.form()); });
    };
    QTest::newRow("barrel turns down a step at a time") << none << turn(30, 0);
    QTest::newRow("barrel turns up a step at a time") << turn(30, 0) << turn(0, 90);
    QTest::newRow("power bar shrinks") << change([](scene::Form1& f) { f.Shape1.Width = 4000; })
                                       << change([](scene::Form1& f) { f.Shape1.Width = 2000; });
    QTest::newRow("explosion hidden") << change([](scene::Form1& f) { f.Image2.Visible = true; })
                                      << change([](scene::Form1& f) { f.Image2.Visible = false; });
    QTest::newRow("television moves") << none << change([](scene::Form1& f) { f.Tv.Left = 3000; });
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
