// The game's rules where the golden replays cannot reach or say less: the
// television's hit box, the gauge's swing and the speeds it gives, the
// scroll bar's ends, the load's seeding, and the end a run-time error makes.

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

#include "game/hit_test.h"
#include "tests/support/headless.h"

namespace zorukan::testing {
namespace {

// A row's words as its test's name: "level with it, above" runs as
// "level_with_it_above".
template <typename Row>
std::string row_name(const ::testing::TestParamInfo<Row>& info) {
    std::string name;
    for (const char c : std::string(info.param.name)) {
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
        else if (!name.empty() && name.back() != '_') name += '_';
    }
    return name;
}

struct Crossing {
    const char* name;
    game::Point from, to;
    bool hit;
};

void PrintTo(const Crossing& row, std::ostream* out) { *out << row.name; }

class TelevisionHitTest : public ::testing::TestWithParam<Crossing> {};

// The television at (4600, 3240), 315 x 255 twips.
TEST_P(TelevisionHitTest, CountsOnlySegmentsThroughTheOpenInterior) {
    const game::Box tv{4600, 3240, 315, 255};
    EXPECT_EQ(game::passes_through(GetParam().from, GetParam().to, tv), GetParam().hit);
    EXPECT_EQ(game::passes_through(GetParam().to, GetParam().from, tv), GetParam().hit) << "reversed";
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
                      Crossing{"the odd probe's phantom", {2000, 3300}, {2150, 3300}, false}),
    row_name<Crossing>);

struct Swing {
    const char* name;
    int ticks;  // of the gauge since 発射セット
    float width;
    int direction;  // PowerDir
    int speed;      // at the launch that follows
};

void PrintTo(const Swing& row, std::ostream* out) { *out << row.name; }

class GaugeSwing : public ::testing::TestWithParam<Swing> {};

// The bar grows and shrinks by 200 twips a tick and turns on the tick that
// reaches either end, so that each end shows for one tick; the launch speed
// is the bar's width plus 1800, over 20.
TEST_P(GaugeSwing, GivesTheBarAndTheSpeed) {
    HeadlessGame game;
    game.program.click(game.form().Cmd_Set);
    game.clock.advance(GetParam().ticks * game.form().Tmr_Power.period());
    EXPECT_EQ(game.form().Shape1.Width, GetParam().width);
    EXPECT_EQ(game.state().PowerDir, GetParam().direction);
    game.program.click(game.form().Cmd_Start);
    EXPECT_EQ(game.state().Speed, GetParam().speed);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, GaugeSwing,
    ::testing::Values(Swing{"at rest", 0, 0, 0, 90}, Swing{"after 1 tick", 1, 200, 0, 100},
                      Swing{"after 11 ticks", 11, 2200, 0, 200}, Swing{"after 19 ticks", 19, 3800, 0, 280},
                      Swing{"after 20 ticks, turned at the full bar", 20, 4000, 1, 290},
                      Swing{"after 21 ticks", 21, 3800, 1, 280}, Swing{"after 39 ticks", 39, 200, 1, 100},
                      Swing{"after 40 ticks, turned at the empty bar", 40, 0, 0, 90},
                      Swing{"after 41 ticks", 41, 200, 0, 100}, Swing{"after 59 ticks", 59, 3800, 0, 280}),
    row_name<Swing>);

// The player can drag past either end; the bar stops there, and the barrel
// and the text box follow it.
TEST(ScrollBar, StopsAtItsEnds) {
    HeadlessGame game;
    game.program.scroll_to(200);
    EXPECT_EQ(game.form().HScroll1.Value, 90);
    EXPECT_EQ(game.form().Text1.Text, "90");
    game.program.scroll_to(-5);
    EXPECT_EQ(game.form().HScroll1.Value, 0);
    EXPECT_EQ(game.form().Text1.Text, "0");
}

// The load seeds the random source once, from its clock: the real game's
// first television then stands somewhere new each time it starts.
TEST(Load, SeedsTheRandomSourceOnce) { EXPECT_EQ(HeadlessGame().random.seedings, 1); }

// After a run-time error nothing of the game runs again.
TEST(Errors, ARuntimeErrorEndsTheProgramAtTheEventBoundary) {
    HeadlessGame game;
    game.fire(0, 0);
    game.state().FlightTime = 32767;
    game.wait_ms(60);
    ASSERT_EQ(game.errors.size(), 1u);
    EXPECT_EQ(game.errors[0].code(), 6);
    EXPECT_TRUE(game.program.halted());
    EXPECT_FALSE(game.program.timers().next_due().has_value()) << "no timer ticks after the error";
    EXPECT_FALSE(game.program.click(game.form().Cmd_Start));
}

}  // namespace
}  // namespace zorukan::testing
