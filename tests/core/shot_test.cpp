// Preparing and ending shots: the television's random place, the reset, the
// explosion timer, the right edge and the television hit.

#include <gtest/gtest.h>

#include "game/hit_test.h"
#include "tests/support/headless.h"

namespace zorukan::testing {
namespace {

TEST(Load, PlacesTheTelevisionFromTheRandomValue) {
    EXPECT_EQ(HeadlessGame({0.0f}).form().Tv.Left, 1560);
    EXPECT_EQ(HeadlessGame({0.99999994f}).form().Tv.Left, 8280);  // the largest single below 1
    EXPECT_EQ(HeadlessGame({0.5f}).form().Tv.Left, 4920);
}

TEST(Load, ArmsTheFirstShot) {
    HeadlessGame rig;
    const auto& f = rig.form();
    EXPECT_EQ(rig.random.seedings, 1);
    EXPECT_EQ(f.Shape1.Width, 0);
    EXPECT_EQ(rig.state().PosXA, 720);
    EXPECT_EQ(rig.state().PosYB, 3360);
    EXPECT_EQ(rig.state().Gravity, 10);
    EXPECT_TRUE(f.Cmd_Set.Enabled);
    EXPECT_FALSE(f.Cmd_Start.Enabled);
    EXPECT_FALSE(f.Timer1.enabled() || f.Timer2.enabled() || f.Tmr_Power.enabled());
    EXPECT_FALSE(f.Image2.Visible || f.tv2.Visible);
    EXPECT_EQ(f.Text1.Text, "30");
    EXPECT_EQ(f.HScroll1.Value, 30);
}

TEST(Explosion, EndsTheShot500msAfterTheLandingWhileFlightTicksGoOn) {
    HeadlessGame rig({0.99f, 0.25f});
    rig.fire(1, 30);  // speed 100: the landing is seen by tick 12
    rig.wait_ms(12 * 60);
    ASSERT_TRUE(rig.form().Image2.Visible);
    EXPECT_EQ(rig.form().Image2.Left, 1488);
    EXPECT_TRUE(rig.form().Timer1.enabled());
    rig.wait_ms(499);
    EXPECT_TRUE(rig.form().Timer2.enabled()) << "re-enabling by later flight ticks must not restart it";
    rig.wait_ms(1);
    EXPECT_FALSE(rig.form().Timer2.enabled());
    EXPECT_FALSE(rig.form().Timer1.enabled());
    EXPECT_FALSE(rig.form().Image2.Visible);
    EXPECT_TRUE(rig.form().Cmd_Set.Enabled);
    EXPECT_TRUE(rig.program.trace().segments().empty());
    EXPECT_EQ(rig.form().Tv.Left, 3240) << "a new place from the next random value";
    EXPECT_EQ(rig.state().Speed, 100) << "the last shot's values stay";
}

TEST(RightEdge, EndsTheShotAtOnceWithoutAnExplosion) {
    HeadlessGame rig({0.99f});
    rig.fire(20, 45);
    rig.wait_ms(39 * 60);
    EXPECT_TRUE(rig.form().Timer1.enabled());
    rig.wait_ms(60);
    EXPECT_FALSE(rig.form().Timer1.enabled());
    EXPECT_FALSE(rig.form().Timer2.enabled());
    EXPECT_FALSE(rig.form().Image2.Visible);
    EXPECT_TRUE(rig.form().Cmd_Set.Enabled);
}

TEST(TickCount, WrapsPastTheSixteenBitLimitWithoutAnError) {
    HeadlessGame rig({0.99f});
    rig.state().TickCount = 32760;
    for (int shot = 0; shot < 3; ++shot) {
        rig.fire(20, 90);  // straight up: the longest shots, about 60 ticks each
        rig.clock.advance_until([&] { return rig.form().Cmd_Set.Enabled; });
    }
    EXPECT_TRUE(rig.errors.empty());
    EXPECT_LT(rig.state().TickCount, 0);
}

struct Crossing {
    const char* what;
    zorukan::game::Point from, to;
    bool hit;
};

class TelevisionHitTest : public ::testing::TestWithParam<Crossing> {};

// The television at (4600, 3240), 315 x 255 twips.
TEST_P(TelevisionHitTest, CountsOnlySegmentsThroughTheOpenInterior) {
    const zorukan::game::Box tv{4600, 3240, 315, 255};
    EXPECT_EQ(zorukan::game::passes_through(GetParam().from, GetParam().to, tv), GetParam().hit) << GetParam().what;
    EXPECT_EQ(zorukan::game::passes_through(GetParam().to, GetParam().from, tv), GetParam().hit)
        << GetParam().what << ", reversed";
}

INSTANTIATE_TEST_SUITE_P(
    Segments, TelevisionHitTest,
    ::testing::Values(Crossing{"ends inside", {4500, 3300}, {4700, 3300}, true},
                      Crossing{"crosses right through", {4500, 3200}, {5000, 3500}, true},
                      Crossing{"both ends inside", {4700, 3300}, {4710, 3310}, true},
                      Crossing{"a point inside", {4700, 3300}, {4700, 3300}, true},
                      Crossing{"ends on the left edge", {4500, 3300}, {4600, 3300}, false},
                      Crossing{"runs along the top edge", {4500, 3240}, {5000, 3240}, false},
                      Crossing{"runs along the right edge", {4915, 3200}, {4915, 3600}, false},
                      Crossing{"grazes the top-left corner", {4590, 3250}, {4610, 3230}, false},
                      Crossing{"a point on the corner", {4600, 3240}, {4600, 3240}, false},
                      Crossing{"level with it, above", {4500, 3100}, {5000, 3100}, false},
                      Crossing{"level with it, below", {4500, 3600}, {5000, 3600}, false},
                      Crossing{"stops short", {4400, 3300}, {4599, 3300}, false},
                      Crossing{"the odd probe's phantom", {2000, 3300}, {2150, 3300}, false}));

TEST(TelevisionHit, ShowsBothMessagesOnceAndBreaksTheSet) {
    HeadlessGame rig({0.45233f, 0.45233f});  // television at 4600, in the path of a 200-speed shot at 45 degrees
    rig.boxes.open_for = runtime::micros_from_ms(1000);
    rig.fire(11, 45);
    rig.clock.advance_until([&] { return !rig.boxes.shown.empty(); });
    ASSERT_EQ(rig.boxes.shown.size(), 2u);
    EXPECT_EQ(rig.boxes.shown[0].title, "破壊");
    EXPECT_EQ(rig.boxes.shown[0].prompt, "テレビが破壊されました。");
    EXPECT_EQ(rig.boxes.shown[1].title, "破壊");
    EXPECT_EQ(rig.boxes.shown[1].prompt, "夜七時からのピロリン座も見れなくなりました。");
    EXPECT_EQ(rig.state().FlightTime, 28);
    EXPECT_EQ(rig.state().TvBroken, 1);
    EXPECT_EQ(rig.form().Tv.picture, scene::PictureId::TvBroken);

    // Ticks were held while the boxes were open: none ran, none queued.
    EXPECT_EQ(rig.form().Timer1.ticks_run(), 28u);
    rig.clock.advance_until([&] { return rig.form().Cmd_Set.Enabled; });
    EXPECT_EQ(rig.boxes.shown.size(), 2u) << "the shell stays in the set, but one hit per shot";
    EXPECT_EQ(rig.form().Tv.picture, scene::PictureId::TvBroken) << "the set stays broken";
    EXPECT_EQ(rig.form().Tv.Left, 4600);
    EXPECT_EQ(rig.state().TvBroken, 0);

    rig.fire(11, 45);
    rig.clock.advance_until([&] { return rig.form().Cmd_Set.Enabled; });
    EXPECT_EQ(rig.boxes.shown.size(), 4u) << "a second hit in a later shot shows both again";
    EXPECT_TRUE(rig.errors.empty());
}

TEST(Errors, ARuntimeErrorEndsTheProgramAtTheEventBoundary) {
    HeadlessGame rig;
    rig.fire(0, 0);
    rig.state().FlightTime = 32767;
    rig.wait_ms(60);
    ASSERT_EQ(rig.errors.size(), 1u);
    EXPECT_EQ(rig.errors[0].code(), 6);
    EXPECT_TRUE(rig.program.halted());
    EXPECT_FALSE(rig.program.timers().next_due().has_value()) << "no timer ticks after the error";
    EXPECT_FALSE(rig.program.click(rig.form().Cmd_Start));
}

}  // namespace
}  // namespace zorukan::testing
