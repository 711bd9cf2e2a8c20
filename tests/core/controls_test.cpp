// The controls as both front ends use them: what each key, press, drag and
// touch does from the armed window, how they look at every scale, and where
// the window goes on every kind of screen.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "draw/control_look.h"
#include "draw/painter.h"
#include "draw/window_place.h"
#include "tests/support/headless.h"
#include "tests/support/pixel_canvas.h"

namespace zorukan::testing {
namespace {

using scene::Key;
using scene::PointerKind;

// The armed window: the angle at 30, its thumb over scene columns 507 to
// 514; the bar's arrows over 480 to 496 and 536 to 552; rows 283 to 299.
struct Press {
    double x, y;
    PointerKind kind = PointerKind::Mouse;
    double css_per_pixel = 1;
};
struct Move {
    double x, y;
};
struct Release {
    double x, y;
};
struct Hold {
    int repeats;  // the held arrow or track's repeat timer fires this often
};
struct Type {
    Key key;
    bool repeat = false;
};
using Step = std::variant<Press, Move, Release, Hold, Type>;

struct Case {
    std::string name;
    std::vector<Step> steps;
    int angle;                // the scroll bar's value after them
    std::string focus;        // the control with the focus after them
    bool gauge = false;       // 発射セット was pressed
    bool fired = false;       // 発射ボタン was pressed
};

// A finger on an upright phone: 0.64 CSS pixels a scene pixel, so a 44-pixel
// target is 69 scene pixels across.
constexpr double kPhone = 0.64;

const Case kCases[] = {
    {"FocusAtLoadIsTheSetButton", {}, 30, "Cmd_Set"},
    {"TabSkipsTheButtonThatCannotBePressed", {Type{Key::Tab}, Type{Key::Tab}, Type{Key::Tab}}, 30, "Cmd_Set"},
    {"TabTakesTheAngleBoxFirst", {Type{Key::Tab}}, 30, "Text1"},
    {"BackTabGoesTheOtherWay", {Type{Key::BackTab}}, 30, "HScroll1"},
    {"SpaceSetsAndHandsTheFocusOn", {Type{Key::Space}}, 30, "Cmd_Start", true},
    {"EnterPressesToo", {Type{Key::Enter}}, 30, "Cmd_Start", true},
    {"AHeldKeyPressesOnce", {Type{Key::Space}, Type{Key::Space, true}}, 30, "Cmd_Start", true},
    {"SpaceSpaceSetsAndFires", {Type{Key::Space}, Type{Key::Space}}, 30, "Cmd_Start", true, true},
    {"ArrowsOnAButtonTurnTheBarrelAndKeepTheFocus", {Type{Key::Right}, Type{Key::Up}, Type{Key::Down}, Type{Key::Right}},
     32, "Cmd_Set"},
    {"LeftOnAButtonLowers", {Type{Key::Left}}, 29, "Cmd_Set"},
    {"UpOnTheBarRaises", {Type{Key::BackTab}, Type{Key::Up}}, 31, "HScroll1"},
    {"DownOnTheBarLowers", {Type{Key::BackTab}, Type{Key::Down}}, 29, "HScroll1"},
    {"HeldArrowKeyRepeatsOnTheBar", {Type{Key::BackTab}, Type{Key::Right}, Type{Key::Right, true}}, 32, "HScroll1"},
    {"PageUpRaisesAPage", {Type{Key::BackTab}, Type{Key::PageUp}}, 31, "HScroll1"},
    {"PageDownLowersAPage", {Type{Key::BackTab}, Type{Key::PageDown}}, 29, "HScroll1"},
    {"HomeGoesToTheLeast", {Type{Key::BackTab}, Type{Key::Home}}, 0, "HScroll1"},
    {"EndGoesToTheMost", {Type{Key::BackTab}, Type{Key::End}}, 90, "HScroll1"},
    {"KeysInTheAngleBoxAreItsOwn", {Type{Key::Tab}, Type{Key::Right}, Type{Key::Space}, Type{Key::Home}}, 30, "Text1"},
    {"ClickOnTheSetButton", {Press{48, 272}, Release{48, 272}}, 30, "Cmd_Start", true},
    {"ClickLetGoOffTheButtonDoesNothing", {Press{48, 272}, Move{70, 272}, Release{70, 272}}, 30, "Cmd_Set"},
    {"ClickOnTheButtonThatCannotBePressed", {Press{112, 272}, Release{112, 272}}, 30, "Cmd_Set"},
    {"ClickInTheAngleBoxFocusesIt", {Press{540, 270}, Release{540, 270}}, 30, "Text1"},
    {"LeftArrowSteps", {Press{488, 290}, Release{488, 290}}, 29, "HScroll1"},
    {"RightArrowSteps", {Press{544, 290}, Release{544, 290}}, 31, "HScroll1"},
    {"HeldArrowRepeats", {Press{544, 290}, Hold{3}, Release{544, 290}}, 34, "HScroll1"},
    {"HeldArrowPausesOffIt", {Press{544, 290}, Move{544, 250}, Hold{3}, Release{544, 250}}, 31, "HScroll1"},
    {"TrackLeftOfTheThumbStepsDown", {Press{500, 290}, Release{500, 290}}, 29, "HScroll1"},
    {"TrackRightOfTheThumbStepsUp", {Press{530, 290}, Release{530, 290}}, 31, "HScroll1"},
    // At 75 the thumb covers columns 523 to 530 and comes under the pointer.
    {"HeldTrackStopsWhereTheThumbReachesThePointer", {Press{530, 290}, Hold{100}, Release{530, 290}}, 75, "HScroll1"},
    {"DragChangesNothingUntilLetGo", {Press{510, 290}, Move{520, 290}}, 30, "HScroll1"},
    {"DragSetsTheValueWhereItIsLetGo", {Press{510, 290}, Move{520, 290}, Release{525, 290}}, 73, "HScroll1"},
    {"DragPastTheEndStopsAtTheMost", {Press{510, 290}, Release{900, 290}}, 90, "HScroll1"},
    {"FingerNearTheSetButtonPressesIt", {Press{75, 300, PointerKind::Touch, kPhone}, Release{75, 300}}, 30, "Cmd_Start",
     true},
    {"SameTouchWithAMouseMisses", {Press{75, 300}, Release{75, 300}}, 30, "Cmd_Set"},
    {"FingerTapOnTheTrackSteps", {Press{500, 290, PointerKind::Touch, kPhone}, Release{500, 290}}, 29, "HScroll1"},
    {"FingerBelowTheBarDragsFromAnywhere",
     {Press{500, 318, PointerKind::Touch, kPhone}, Move{510, 318}, Move{520, 318}, Release{520, 318}}, 55, "HScroll1"},
    {"FingerOnTheThumbDragsWithoutAJump",
     {Press{512, 305, PointerKind::Touch, kPhone}, Move{514, 305}, Release{514, 305}}, 35, "HScroll1"},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ControlRulesTest : public ::testing::TestWithParam<Case> {};

TEST_P(ControlRulesTest, EndsAsNamed) {
    const Case& c = GetParam();
    HeadlessGame game({0.9f, 0.9f});
    scene::ControlRules& controls = game.program.controls();
    for (const Step& step : c.steps) {
        if (const auto* p = std::get_if<Press>(&step)) controls.pointer_down(p->x, p->y, p->kind, p->css_per_pixel);
        if (const auto* m = std::get_if<Move>(&step)) controls.pointer_move(m->x, m->y);
        if (const auto* r = std::get_if<Release>(&step)) controls.pointer_up(r->x, r->y);
        if (const auto* t = std::get_if<Type>(&step)) controls.key_down(t->key, t->repeat);
        if (const auto* h = std::get_if<Hold>(&step)) {
            for (int i = 0; i < h->repeats; ++i) {
                ASSERT_TRUE(controls.repeat_in_ms().has_value());
                controls.repeat();
            }
        }
    }
    EXPECT_EQ(game.form().HScroll1.Value, c.angle);
    EXPECT_EQ(game.form().Text1.Text, std::to_string(c.angle)) << "the change procedure ran";
    EXPECT_EQ(controls.focus(), c.focus);
    EXPECT_EQ(game.form().Tmr_Power.enabled() || game.form().Timer1.enabled(), c.gauge);
    EXPECT_EQ(game.form().Timer1.enabled(), c.fired);
}

INSTANTIATE_TEST_SUITE_P(FromTheArmedWindow, ControlRulesTest, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return param_info.param.name; });

// A dragged thumb shows where the pointer holds it; a held arrow shows
// pushed, and repeats after a first, longer delay.
TEST(ControlRules, DragAndHoldShowWhileTheyLast) {
    HeadlessGame game({0.9f, 0.9f});
    scene::ControlRules& controls = game.program.controls();
    controls.pointer_down(510, 290, PointerKind::Mouse);
    controls.pointer_move(520, 290);
    EXPECT_EQ(controls.look().thumb, std::optional<std::int16_t>{58});
    EXPECT_FALSE(controls.repeat_in_ms());
    controls.pointer_cancel();
    EXPECT_EQ(controls.look().thumb, std::nullopt) << "a cancelled drag puts the thumb back";
    EXPECT_EQ(game.form().HScroll1.Value, 30);

    controls.pointer_down(488, 290, PointerKind::Mouse);
    EXPECT_EQ(controls.look().held, scene::BarPart::LessArrow);
    EXPECT_EQ(controls.repeat_in_ms(), scene::ControlRules::kRepeatDelayMs);
    controls.repeat();
    EXPECT_EQ(controls.repeat_in_ms(), scene::ControlRules::kRepeatIntervalMs);
    controls.pointer_up(488, 290);
    EXPECT_EQ(controls.look().held, scene::BarPart::None);
    EXPECT_FALSE(controls.repeat_in_ms());
}

// Once a run-time error has stopped the game, no control answers.
TEST(ControlRules, NothingAnswersOnceHalted) {
    HeadlessGame game({0.9f, 0.9f});
    game.state().FlightTime = 32767;  // the next flight tick overflows
    game.fire(10, 30);
    game.wait_ms(120);
    ASSERT_TRUE(game.program.halted());
    scene::ControlRules& controls = game.program.controls();
    EXPECT_FALSE(controls.key_down(Key::Tab, false));
    EXPECT_FALSE(controls.pointer_down(48, 272, PointerKind::Mouse));
    EXPECT_TRUE(controls.look().halted);
}

// A click on the track, or Page Up and Page Down, steps toward a value and
// never past it; where the thumb already is, it does not step at all.
TEST(ControlRules, TrackStepsTowardAValueNeverPast) {
    HeadlessGame game;
    const scene::HScrollBar& bar = game.form().HScroll1;
    ASSERT_EQ(bar.Value, 30);
    for (const auto& [toward, after] : {std::pair{90, 31}, {31, 31}, {30, 30}, {29, 29}, {-5, 29}})
        EXPECT_EQ(bar.after_track_click(toward), after) << "toward " << toward;
}

TEST(ControlRules, OnlyAFreshEnterOrSpaceClosesABox) {
    EXPECT_TRUE(scene::ControlRules::closes_box(Key::Enter, false));
    EXPECT_TRUE(scene::ControlRules::closes_box(Key::Space, false));
    EXPECT_FALSE(scene::ControlRules::closes_box(Key::Enter, true)) << "held from before the box opened";
    EXPECT_FALSE(scene::ControlRules::closes_box(Key::Right, false));
}

// ---- The controls' look ---------------------------------------------------

constexpr scene::Rgb kGrass{0, 192, 0};

// At every scale each control's outermost device pixels are its border, and
// its face lies inside; the focus mark lies inside the face, with face all
// round it. Painted whole with the focus on 発射セット, then on the bar.
class ControlLookTest : public ::testing::TestWithParam<double> {};

TEST_P(ControlLookTest, BordersEncloseFacesAndTheMarkLiesInside) {
    const double scale = GetParam();
    HeadlessGame game({0.9f, 0.9f});
    const draw::Painter painter(scale);
    const auto paint = [&] {
        PixelCanvas canvas(painter.window().w, painter.window().h);
        painter.paint(canvas, game.form(), game.program.trace(), painter.window(), game.program.controls().look());
        return canvas;
    };
    const auto ring = [](const PixelCanvas& canvas, const draw::Rect& r) {
        std::set<std::tuple<int, int, int>> colours;
        for (int x = r.x; x < r.right(); ++x)
            for (const int y : {r.y, r.bottom() - 1}) colours.insert({canvas.at(x, y).r, canvas.at(x, y).g, canvas.at(x, y).b});
        for (int y = r.y; y < r.bottom(); ++y)
            for (const int x : {r.x, r.right() - 1}) colours.insert({canvas.at(x, y).r, canvas.at(x, y).g, canvas.at(x, y).b});
        return colours;
    };
    const auto as_tuple = [](scene::Rgb c) { return std::tuple<int, int, int>{c.r, c.g, c.b}; };
    // The smallest rectangle holding every pixel of `colour` within `r`.
    const auto extent = [](const PixelCanvas& canvas, const draw::Rect& r, scene::Rgb colour) {
        draw::Rect found;
        for (int y = r.y; y < r.bottom(); ++y)
            for (int x = r.x; x < r.right(); ++x)
                if (canvas.at(x, y) == colour) found = found.united({x, y, 1, 1});
        return found;
    };
    namespace c = draw::colours;

    const PixelCanvas armed = paint();
    // 発射セット raised, with the mark inside: face all round the mark.
    const draw::Rect set = painter.to_device(scene::pixel_rect(game.form().Cmd_Set));
    EXPECT_EQ(ring(armed, set), (std::set{as_tuple(c::kLight), as_tuple(c::kDark)}));
    const draw::Rect mark = extent(armed, set, c::kHighlight);
    ASSERT_FALSE(mark.empty());
    EXPECT_EQ(ring(armed, mark.adjusted(1, 1, 1, 1)), std::set{as_tuple(c::kFace)});
    // 発射ボタン flat: its outline, then its face.
    const draw::Rect start = painter.to_device(scene::pixel_rect(game.form().Cmd_Start));
    EXPECT_EQ(ring(armed, start), std::set{as_tuple(c::kOffEdge)});
    EXPECT_EQ(extent(armed, start, c::kOffFace), painter.to_device(scene::pixel_rect(game.form().Cmd_Start).adjusted(-1, -1, -1, -1)));
    EXPECT_FALSE(ring(armed, start.adjusted(1, 1, 1, 1)).contains(as_tuple(c::kOffFace))) << "nothing spills out";
    // The angle box: its frame, then the white field where the text goes.
    const draw::Rect box = painter.to_device(scene::pixel_rect(game.form().Text1));
    EXPECT_EQ(ring(armed, box), (std::set{as_tuple(c::kShadow), as_tuple(c::kLight)}));
    const draw::Rect field = painter.to_device(draw::text_entry_area(game.form().Text1));
    EXPECT_EQ(ring(armed, field.adjusted(1, 1, 1, 1)), (std::set{as_tuple(c::kDark), as_tuple(c::kFace)}));
    EXPECT_EQ(extent(armed, field, c::kField), field);

    game.program.controls().key_down(Key::BackTab, false);
    const PixelCanvas focused_bar = paint();
    const scene::BarLayout layout = scene::BarLayout::of(game.form().HScroll1, 30);
    const draw::Rect thumb = painter.to_device(layout.thumb);
    EXPECT_EQ(ring(focused_bar, thumb), (std::set{as_tuple(c::kLight), as_tuple(c::kDark)}));
    const draw::Rect thumb_mark = extent(focused_bar, thumb, c::kHighlight);
    ASSERT_FALSE(thumb_mark.empty());
    EXPECT_EQ(ring(focused_bar, thumb_mark.adjusted(1, 1, 1, 1)), std::set{as_tuple(c::kFace)});
    EXPECT_TRUE(extent(focused_bar, set, c::kHighlight).empty()) << "one mark, on the bar";
    for (const draw::Rect& arrow : {layout.less, layout.more}) {
        const draw::Rect at = painter.to_device(arrow);
        EXPECT_EQ(ring(focused_bar, at), (std::set{as_tuple(c::kLight), as_tuple(c::kDark)}));
        const draw::Rect head = extent(focused_bar, painter.to_device(arrow.adjusted(-1, -1, -1, -1)), c::kDark);
        ASSERT_FALSE(head.empty());
        const draw::Rect face = painter.to_device(arrow.adjusted(-1, -1, -2, -2));
        EXPECT_EQ(head.intersected(face), head) << "the arrow's head lies inside its face";
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, ControlLookTest, ::testing::Values(1.0, 1.25, 1.5, 1.75, 2.0, 3.0),
                         [](const auto& param_info) { return "x" + std::to_string(static_cast<int>(param_info.param * 100)); });

// ---- The window's place ---------------------------------------------------

struct Screen {
    std::string name;
    int css_width, css_height;
    double ratio;
};

void PrintTo(const Screen& s, std::ostream* os) { *os << s.name; }

const Screen kScreens[] = {
    {"Phone320x568", 320, 568, 2},     {"Phone375x667", 375, 667, 2},      {"Phone390x844", 390, 844, 3},
    {"Phone412x915", 412, 915, 2.625}, {"Phone430x932", 430, 932, 3},      {"Tablet768x1024", 768, 1024, 2},
    {"Tablet820x1180", 820, 1180, 2},  {"Tablet1024x1366", 1024, 1366, 2}, {"DesktopZoom67", 2865, 1612, 0.67},
    {"Desktop", 1920, 1080, 1},        {"DesktopZoom125", 1536, 864, 1.25}, {"DesktopZoom150", 1280, 720, 1.5},
    {"DesktopZoom200", 960, 540, 2},   {"DesktopZoom300", 640, 360, 3},    {"Laptop1280x1024Zoom300", 426, 341, 3},
};

class WindowPlaceTest : public ::testing::TestWithParam<std::tuple<Screen, bool>> {};

// Whole device pixels, inside the room, centred; a whole multiple of the
// game's size in CSS pixels where one fits, else as large as fits.
TEST_P(WindowPlaceTest, FitsTheRoom) {
    const auto& [screen, sideways] = GetParam();
    const int css_w = sideways ? screen.css_height : screen.css_width;
    const int css_h = sideways ? screen.css_width : screen.css_height;
    const int room_w = static_cast<int>(css_w * screen.ratio), room_h = static_cast<int>(css_h * screen.ratio);
    const draw::WindowPlace place = draw::place_window(room_w, room_h, screen.ratio);
    const draw::Rect& a = place.area;
    EXPECT_EQ(draw::Rect(a.x, a.y, a.w, a.h), draw::Rect(a.x, a.y, draw::Painter(place.scale).window().w,
                                                          draw::Painter(place.scale).window().h));
    EXPECT_GE(a.x, 0);
    EXPECT_GE(a.y, 0);
    EXPECT_LE(a.right(), room_w);
    EXPECT_LE(a.bottom(), room_h);
    EXPECT_LE(std::abs((room_w - a.right()) - a.x), 1);
    EXPECT_LE(std::abs((room_h - a.bottom()) - a.y), 1);
    const double zoom = place.scale / screen.ratio;  // CSS pixels a scene pixel
    if (css_w >= 585 && css_h >= 309) {
        EXPECT_DOUBLE_EQ(zoom, std::floor(zoom + 1e-9)) << "a whole multiple";
        EXPECT_TRUE(585 * (zoom + 1) > css_w || 309 * (zoom + 1) > css_h) << "the largest that fits";
    } else {
        EXPECT_LT(zoom, 1);
        EXPECT_TRUE(room_w - a.w <= 1 || room_h - a.h <= 1) << "as large as fits";
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowPlaceTest, ::testing::Combine(::testing::ValuesIn(kScreens), ::testing::Bool()),
                         [](const auto& param_info) {
                             return std::get<0>(param_info.param).name + (std::get<1>(param_info.param) ? "Sideways" : "Upright");
                         });

// Two screens' figures, worked out by hand.
TEST(WindowPlace, KnownScreens) {
    // A phone 412 CSS pixels wide at 2.625 has 1081 device pixels, not 1082.
    EXPECT_EQ(draw::place_window(1081, 2401, 2.625).area, (draw::Rect{0, 915, 1081, 571}));
    // A desktop with room for three times the game's size.
    const draw::WindowPlace desktop = draw::place_window(1920, 1080, 1);
    EXPECT_EQ(desktop.scale, 3);
    EXPECT_EQ(desktop.area, (draw::Rect{82, 76, 1755, 927}));
}

}  // namespace
}  // namespace zorukan::testing
