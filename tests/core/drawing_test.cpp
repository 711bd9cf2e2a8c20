// The scene's pixels as the core's painter decides them, on a plain pixel
// buffer: what the player sees at the moments that matter, and a window
// repainted only where the core says something changed, which must come out
// exactly as a whole paint, at every scale.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "draw/damage.h"
#include "draw/painter.h"
#include "tests/support/headless.h"
#include "tests/support/pixel_canvas.h"

namespace zorukan::testing {
namespace {

constexpr scene::Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGrass{0, 192, 0}, kBar{64, 64, 64};

// A game and the canvas a front end keeps for it: painted whole at first,
// then, like the front ends, only the new segments of the trace as they are
// drawn and, after every event, the areas the core says changed.
class Screen final : public runtime::TraceObserver {
public:
    explicit Screen(double scale, ScriptedRandom random = ScriptedRandom({0.5f, 0.5f}))
        : painter(scale), canvas(painter.window().w, painter.window().h), game(std::move(random), this),
          damage(game.form(), look()) {
        ready_ = true;
        paint(painter.window());
    }

    // What the front ends do after every event.
    void sync() {
        game.program.controls().settle();
        for (const draw::Rect& area : damage.changes(game.form(), look())) paint(painter.to_device(area));
    }
    // The same scene painted whole on a fresh canvas.
    PixelCanvas whole() const {
        PixelCanvas fresh(canvas.width(), canvas.height());
        painter.paint(fresh, game.program.form(), game.program.trace(), painter.window(), look());
        return fresh;
    }
    scene::Rgb at(int scene_x, int scene_y) const {
        return canvas.at(painter.to_device({scene_x, scene_y, 1, 1}).x, painter.to_device({scene_x, scene_y, 1, 1}).y);
    }

    draw::Painter painter;
    PixelCanvas canvas;
    HeadlessGame game;
    draw::Damage damage;

private:
    scene::ControlLook look() const { return game.program.controls().look(); }
    void paint(const draw::Rect& area) { painter.paint(canvas, game.form(), game.program.trace(), area, look()); }
    void segment_drawn(const runtime::Segment& s) override {
        if (ready_) paint(painter.to_device(draw::segment_area(s)));
    }
    void window_repainted() override {
        if (ready_) paint(painter.window());
    }
    bool ready_ = false;
};

class Moments : public ::testing::TestWithParam<double> {};

TEST_P(Moments, ArmedShowsTheSceneAsDesigned) {
    const double scale = GetParam();
    Screen screen(scale);
    for (int x : {0, 300, 584}) {
        EXPECT_NE(screen.at(x, 221), kGrass) << "sky";
        for (int y = 222; y < 243; ++y) EXPECT_EQ(screen.at(x, y), kGrass) << x << "," << y;
        EXPECT_NE(screen.at(x, 243), kGrass) << "panel";
    }
    // The empty power bar is the border's line alone, on the gauge's white.
    for (int y = 256; y < 273; ++y) EXPECT_EQ(screen.at(176, y), kBlack);
    EXPECT_EQ(screen.at(177, 264), kWhite);
    // The barrel, 5 pixels wide, from its base under the cannon body to its tip.
    EXPECT_EQ(screen.at(61, 216), kBlack);
    EXPECT_EQ(screen.at(63, 214), kBlack);

    const auto& pictures = screen.canvas.pictures();
    EXPECT_TRUE(std::ranges::none_of(pictures, [](const auto& p) { return p.id == scene::PictureId::Explosion; }));
    const auto tv = std::ranges::find(pictures, scene::PictureId::TvIntact, &PixelCanvas::PictureCall::id);
    ASSERT_NE(tv, pictures.end());
    EXPECT_EQ(tv->area, screen.painter.to_device({328, 216, 21, 17}));

    // Captions at the scene's pixel sizes, scaled, in their labels' boxes.
    ASSERT_EQ(screen.canvas.texts().size(), 6u);
    for (const auto& text : screen.canvas.texts()) {
        const int designed = text.font == scene::FontId::PGothicSmall ? 11 : 12;
        EXPECT_EQ(text.pixel_size, static_cast<int>(std::lround(designed * scale))) << text.text;
    }
    EXPECT_EQ(screen.canvas.texts().back().text, "発射パワー");
    EXPECT_EQ(screen.canvas.texts().back().box, screen.painter.to_device({280, 288, 59, 12}));
}

TEST_P(Moments, PowerBarDrawnToItsWidth) {
    const double scale = GetParam();
    const struct {
        float width;
        int pixels;
    } rows[] = {{0, 1}, {200, 13}, {2000, 133}, {4000, 267}};
    for (const auto& row : rows) {
        Screen screen(scale);
        screen.game.form().Shape1.Width = row.width;
        screen.sync();
        int drawn = 0;
        while (screen.at(176 + drawn, 264) == kBlack || screen.at(176 + drawn, 264) == kBar) ++drawn;
        EXPECT_EQ(drawn, row.pixels) << row.width;
        if (row.pixels > 2) {
            EXPECT_EQ(screen.at(176 + row.pixels / 2, 264), kBar);
        }
        EXPECT_EQ(screen.canvas, screen.whole()) << row.width;
    }
}

TEST_P(Moments, TraceLiesOverTheSkyUntilTheShotEnds) {
    Screen screen(GetParam());
    screen.game.fire(20, 60);
    screen.game.wait_ms(600);
    screen.sync();
    const auto& segments = screen.game.program.trace().segments();
    ASSERT_EQ(segments.size(), 10u);
    for (const runtime::Segment& s : segments) EXPECT_EQ(screen.at(scene::pixels(s.x2), scene::pixels(s.y2)), kBlack);
    EXPECT_EQ(screen.canvas, screen.whole());

    screen.game.program.trace().repaint_window();
    EXPECT_TRUE(segments.empty());
    EXPECT_EQ(screen.canvas, screen.whole());
}

TEST_P(Moments, ExplosionOnlyAfterTheLandingAndInFrontOfTheTelevision) {
    Screen screen(GetParam(), ScriptedRandom({0.1f, 0.1f}));
    screen.game.fire(1, 30);  // speed 100: lands on the television's left, by tick 12
    screen.canvas.forget_calls();
    screen.game.wait_ms(300);
    screen.sync();
    for (const auto& p : screen.canvas.pictures()) EXPECT_NE(p.id, scene::PictureId::Explosion) << "still in flight";

    screen.game.clock.advance_until([&] { return screen.game.form().Timer2.enabled(); });
    screen.game.form().Image2.Left = screen.game.form().Tv.Left;
    screen.canvas.forget_calls();
    screen.sync();
    const auto& pictures = screen.canvas.pictures();
    const auto burst = std::ranges::find(pictures, scene::PictureId::Explosion, &PixelCanvas::PictureCall::id);
    const auto tv = std::ranges::find(pictures, scene::PictureId::TvIntact, &PixelCanvas::PictureCall::id);
    ASSERT_NE(burst, pictures.end());
    ASSERT_NE(tv, pictures.end());
    EXPECT_GT(burst - pictures.begin(), tv - pictures.begin()) << "painted after the set, so in front of it";
    const draw::Rect at = burst->area;
    EXPECT_EQ(screen.canvas.at(at.x, at.y), PixelCanvas::picture_pixel(scene::PictureId::Explosion, 0, 0));
    EXPECT_EQ(screen.canvas, screen.whole());
}

TEST_P(Moments, HitSegmentShowsBeforeTheFirstBoxAndTheSetStaysBroken) {
    Screen screen(GetParam(), ScriptedRandom({0.45233f, 0.45233f}));  // the set in a 45-degree shot's path
    std::optional<bool> segment_shown;
    screen.game.boxes.on_open = [&](const ShownBox&) {
        if (segment_shown) return;
        const runtime::Segment& s = screen.game.program.trace().segments().back();
        segment_shown = screen.at(scene::pixels(s.x2), scene::pixels(s.y2)) == kBlack &&
                        screen.at(scene::pixels(s.x1), scene::pixels(s.y1)) == kBlack;
    };
    screen.game.fire(11, 45);
    screen.game.clock.advance_until([&] { return segment_shown.has_value(); });
    EXPECT_EQ(segment_shown, true);
    screen.sync();
    screen.canvas.forget_calls();
    screen.game.wait_ms(60);
    screen.sync();
    const auto& set = screen.game.form().Tv;
    const draw::Rect tv = screen.painter.to_device({scene::pixels(set.Left), scene::pixels(set.Top), 21, 17});
    EXPECT_EQ(screen.canvas.at(tv.x, tv.y + tv.h - 1), PixelCanvas::picture_pixel(scene::PictureId::TvBroken, 0, 16));
    EXPECT_EQ(screen.canvas, screen.whole());
}

INSTANTIATE_TEST_SUITE_P(Scales, Moments, ::testing::Values(1.0, 2.0));

class Repaints : public ::testing::TestWithParam<double> {};

// Every step of play repaints only what changed, and the canvas must then
// hold exactly what a whole paint gives; borders must enclose their fills.
TEST_P(Repaints, PartialRepaintsEqualAWholePaint) {
    const double scale = GetParam();
    Screen screen(scale, ScriptedRandom({0.1f, 0.9f}));
    auto& program = screen.game.program;
    const auto expect_whole = [&](const char* when) {
        screen.sync();
        EXPECT_EQ(screen.canvas, screen.whole()) << when << " at scale " << scale;
    };
    for (int angle = 29; angle >= 0; --angle) program.scroll_to(angle), screen.sync();
    expect_whole("the barrel turned down a step at a time");
    for (int angle = 1; angle <= 90; ++angle) program.scroll_to(angle), screen.sync();
    expect_whole("the barrel turned up a step at a time");

    program.scroll_to(40);
    // Set and fire from the keyboard, so that the focus mark moves too.
    program.controls().key_down(scene::Key::Space, false);
    for (int tick = 0; tick < 13; ++tick) screen.game.wait_ms(25), screen.sync();
    expect_whole("the gauge swinging");
    // The bar lies inside the gauge; beyond the gauge is the panel.
    for (const scene::Shape* shape : {&screen.game.form().Shape1, &screen.game.form().Shape2}) {
        const bool outermost = shape == &screen.game.form().Shape2;
        const draw::Rect box = screen.painter.to_device(
            {scene::pixels(shape->Left), scene::pixels(shape->Top), scene::pixels(shape->Width), scene::pixels(shape->Height)});
        for (int y = box.y; y < box.bottom(); ++y) {
            EXPECT_EQ(screen.canvas.at(box.x, y), kBlack);
            EXPECT_EQ(screen.canvas.at(box.right() - 1, y), kBlack);
            if (outermost) {
                EXPECT_NE(screen.canvas.at(box.right(), y), kWhite) << "fill outside the border";
            }
        }
        for (int x = box.x; x < box.right(); ++x) {
            EXPECT_EQ(screen.canvas.at(x, box.y), kBlack);
            EXPECT_EQ(screen.canvas.at(x, box.bottom() - 1), kBlack);
            if (outermost) {
                EXPECT_NE(screen.canvas.at(x, box.bottom()), kWhite) << "fill outside the border";
            }
        }
    }

    program.controls().key_down(scene::Key::Space, false);
    for (int tick = 0; tick < 6; ++tick) screen.game.wait_ms(60), screen.sync();
    expect_whole("in flight");
    // The barrel turns under the trace's first segments, which cross its area.
    for (int angle = 39; angle >= 20; --angle) program.scroll_to(angle), screen.sync();
    expect_whole("the barrel turned under the trace");
    // The thumb dragged, then let go; an arrow held down.
    auto& controls = program.controls();
    controls.pointer_down(511, 290, scene::PointerKind::Mouse);
    controls.pointer_move(530, 291);
    expect_whole("the thumb dragged");
    controls.pointer_up(530, 291);
    controls.pointer_down(490, 290, scene::PointerKind::Mouse);
    expect_whole("an arrow held down");
    controls.pointer_up(490, 290);
    expect_whole("the arrow let go");
    screen.game.clock.advance_until([&] { return screen.game.form().Timer2.enabled(); });
    expect_whole("the explosion");
    screen.game.clock.advance_until([&] { return screen.game.form().Cmd_Set.Enabled; });
    expect_whole("the next shot armed");
}

INSTANTIATE_TEST_SUITE_P(Scales, Repaints, ::testing::Values(1.0, 1.25, 1.5, 1.75, 2.0));

}  // namespace
}  // namespace zorukan::testing
