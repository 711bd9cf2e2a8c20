// The painter's pixels against figures worked out here: the whole of every
// segment of the trace, the barrel's wide pen, scene pixels on device pixels
// at fractional scales, and captions repainted wherever their glyphs reach.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "draw/damage.h"
#include "draw/painter.h"
#include "draw/raster.h"
#include "tests/support/headless.h"
#include "tests/support/pixel_canvas.h"

namespace zorukan::testing {
namespace {

constexpr scene::Rgb kBlack{0, 0, 0};

using Pixels = std::set<std::pair<int, int>>;

Pixels covered(const std::vector<draw::Rect>& runs) {
    Pixels pixels;
    for (const draw::Rect& run : runs)
        for (int y = run.y; y < run.bottom(); ++y)
            for (int x = run.x; x < run.right(); ++x) pixels.insert({x, y});
    return pixels;
}

// What one set of pixels has and the other lacks, for a failure's message.
std::string only_in(const Pixels& a, const Pixels& b) {
    std::string text;
    for (const auto& [x, y] : a)
        if (!b.contains({x, y})) text += " " + std::to_string(x) + "," + std::to_string(y);
    return text;
}

// The pixels a one-pixel line steps through, worked out along its longer
// axis: at each step the pixel nearest the true line, or at a tie the one
// nearer the line's end.
Pixels steps(int x1, int y1, int x2, int y2) {
    const int dx = x2 - x1, dy = y2 - y1, n = std::max(std::abs(dx), std::abs(dy));
    // i * d / n to the nearest whole number, halves away from zero.
    const auto nearest = [n](int i, int d) {
        const int v = i * d;
        return n == 0 ? 0 : (v < 0 ? -1 : 1) * ((2 * std::abs(v) + n) / (2 * n));
    };
    Pixels pixels;
    for (int i = 0; i <= n; ++i) pixels.insert({x1 + nearest(i, dx), y1 + nearest(i, dy)});
    return pixels;
}

// "scale_1_5" for 1.5.
std::string scale_name(const ::testing::TestParamInfo<double>& row) {
    std::string text = std::to_string(row.param);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    std::replace(text.begin(), text.end(), '.', '_');
    return "scale_" + text;
}

// A game shown as a front end shows it: painted whole, then each new
// segment's area as it is drawn.
class Shown final : public runtime::TraceObserver {
public:
    explicit Shown(double scale)
        : painter(scale), canvas(painter.window().w, painter.window().h), game(ScriptedRandom({0.9f}), this) {
        painter.paint(canvas, game.form(), game.program.trace(), painter.window());
    }
    void segment_drawn(const runtime::Segment& s) override {
        painter.paint(canvas, game.form(), game.program.trace(), painter.to_device(draw::segment_area(s)));
    }
    void window_repainted() override { painter.paint(canvas, game.form(), game.program.trace(), painter.window()); }

    draw::Painter painter;
    PixelCanvas canvas;
    HeadlessGame game;
};

class TracePixels : public ::testing::TestWithParam<double> {};

// Every pixel of every segment, not only where segments meet: a segment
// left out leaves a gap the segments either side do not fill.
TEST_P(TracePixels, EverySegmentIsBlackEndToEnd) {
    Shown shown(GetParam());
    shown.game.fire(11, 60);
    shown.game.clock.advance_until([&] { return shown.game.form().Timer2.enabled(); });
    const auto& segments = shown.game.program.trace().segments();
    ASSERT_GE(segments.size(), 4 * runtime::Trace::kRun);

    PixelCanvas whole(shown.canvas.width(), shown.canvas.height());
    shown.painter.paint(whole, shown.game.form(), shown.game.program.trace(), shown.painter.window());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const runtime::Segment& s = segments[i];
        const Pixels pixels =
            steps(scene::pixels(s.x1), scene::pixels(s.y1), scene::pixels(s.x2), scene::pixels(s.y2));
        for (const auto& [x, y] : pixels) {
            const draw::Rect device = shown.painter.to_device({x, y, 1, 1});
            for (int dy = 0; dy < device.h; ++dy)
                for (int dx = 0; dx < device.w; ++dx) {
                    const int px = device.x + dx, py = device.y + dy;
                    ASSERT_EQ(shown.canvas.at(px, py), kBlack) << "segment " << i << " at " << x << "," << y;
                    ASSERT_EQ(whole.at(px, py), kBlack) << "segment " << i << " at " << x << "," << y << ", whole";
                }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, TracePixels, ::testing::Values(1.0, 1.5), scale_name);

// The barrel's 5-pixel pen at every angle the scroll bar gives: the disc
// (a 5 x 5 square without its corners) stamped at each step of the line.
TEST(BarrelPixels, AreADiscStampedAtEveryStep) {
    HeadlessGame game;
    for (int angle = 0; angle <= 90; ++angle) {
        game.program.scroll_to(angle);
        const scene::Line& barrel = game.form().Line1;
        const int x1 = scene::pixels(barrel.X1), y1 = scene::pixels(barrel.Y1);
        const int x2 = scene::pixels(barrel.X2), y2 = scene::pixels(barrel.Y2);
        Pixels stamped;
        for (const auto& [x, y] : steps(x1, y1, x2, y2))
            for (int oy = -2; oy <= 2; ++oy)
                for (int ox = -2; ox <= 2; ++ox)
                    if (std::abs(ox) + std::abs(oy) < 4) stamped.insert({x + ox, y + oy});
        const Pixels drawn = covered(draw::line_pixels(x1, y1, x2, y2, barrel.BorderWidth));
        EXPECT_TRUE(drawn == stamped) << angle << " degrees; drawn only:" << only_in(drawn, stamped)
                                      << "; stamped only:" << only_in(stamped, drawn);
    }
}

struct DevicePlace {
    const char* name;
    double scale;
    draw::Rect scene, device;
};

void PrintTo(const DevicePlace& row, std::ostream* out) { *out << row.name; }

class DevicePixels : public ::testing::TestWithParam<DevicePlace> {};

// A scene pixel covers the device pixels between its edges rounded, halves
// away from zero: at 1.5 scene pixel 1 runs from 1.5 to 3, so device pixels
// 2 and no more.
TEST_P(DevicePixels, AreTheSceneEdgesRounded) {
    const DevicePlace& row = GetParam();
    EXPECT_EQ(draw::Painter(row.scale).to_device(row.scene), row.device);
}

INSTANTIATE_TEST_SUITE_P(
    Places, DevicePixels,
    ::testing::Values(DevicePlace{"pixel_1_at_1_5", 1.5, {1, 1, 1, 1}, {2, 2, 1, 1}},
                      DevicePlace{"pixel_3_at_1_5", 1.5, {3, 3, 1, 1}, {5, 5, 1, 1}},
                      DevicePlace{"pixel_1_at_1_75", 1.75, {1, 1, 1, 1}, {2, 2, 2, 2}},
                      DevicePlace{"pixel_2_at_1_75", 1.75, {2, 2, 1, 1}, {4, 4, 1, 1}},
                      DevicePlace{"television_at_1_5", 1.5, {328, 216, 21, 17}, {492, 324, 32, 26}},
                      DevicePlace{"television_at_1_75", 1.75, {328, 216, 21, 17}, {574, 378, 37, 30}},
                      DevicePlace{"window_at_1_5", 1.5, {0, 0, 585, 309}, {0, 0, 878, 464}},
                      DevicePlace{"window_at_1_75", 1.75, {0, 0, 585, 309}, {0, 0, 1024, 541}}),
    [](const auto& row) { return std::string(row.param.name); });

class CaptionReach : public ::testing::TestWithParam<double> {};

// A caption's glyphs may reach a few pixels past its label's box, and a
// repaint of a strip there must set the caption again, or the strip cuts
// part of it away: here the strips two and three pixels off each side.
TEST_P(CaptionReach, ARepaintBesideALabelSetsItsCaption) {
    const draw::Painter painter(GetParam());
    HeadlessGame game;
    PixelCanvas canvas(painter.window().w, painter.window().h);
    for (const scene::ControlRef& control : game.form().drawing_order()) {
        const auto* const* label = std::get_if<const scene::Label*>(&control);
        if (!label) continue;
        const draw::Rect box{scene::pixels((*label)->Left), scene::pixels((*label)->Top),
                             scene::pixels((*label)->Width), scene::pixels((*label)->Height)};
        const draw::Rect strips[] = {{box.x, box.bottom() + 2, box.w, 2}, {box.x, box.y - 4, box.w, 2},
                                     {box.right() + 2, box.y, 2, box.h}, {box.x - 4, box.y, 2, box.h}};
        for (const draw::Rect& strip : strips) {
            canvas.forget_calls();
            painter.paint(canvas, game.form(), game.program.trace(), painter.to_device(strip));
            bool set = false;
            for (const auto& text : canvas.texts()) set |= text.text == (*label)->Caption;
            EXPECT_TRUE(set) << (*label)->Caption << " beside " << strip.x << "," << strip.y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, CaptionReach, ::testing::Values(1.0, 1.5), scale_name);

}  // namespace
}  // namespace zorukan::testing
