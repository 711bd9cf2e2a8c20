// The power gauge's swing and the launch values it gives, and the barrel the
// scroll bar turns.

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/headless.h"

namespace zorukan::testing {
namespace {

TEST(PowerGauge, SwingsInStepsOf200AndTurnsOnTheTickThatReachesAnEnd) {
    HeadlessGame rig;
    rig.program.click(rig.form().Cmd_Set);
    std::vector<float> widths;
    std::vector<int> directions;
    for (int tick = 0; tick < 42; ++tick) {
        rig.clock.advance(rig.form().Tmr_Power.period());
        widths.push_back(rig.form().Shape1.Width);
        directions.push_back(rig.state().PowerDir);
    }
    EXPECT_EQ(widths[0], 200);
    EXPECT_EQ(widths[19], 4000);
    EXPECT_EQ(directions[18], 0);
    EXPECT_EQ(directions[19], 1);  // turns on reaching the full bar
    EXPECT_EQ(widths[20], 3800);
    EXPECT_EQ(widths[39], 0);
    EXPECT_EQ(directions[38], 1);
    EXPECT_EQ(directions[39], 0);  // and again on reaching the empty bar
    EXPECT_EQ(widths[40], 200);    // a full swing is 40 ticks
    for (float width : widths) {
        EXPECT_EQ(static_cast<int>(width) % 200, 0);
        EXPECT_GE(width, 0);
        EXPECT_LE(width, 4000);
    }
}

TEST(PowerGauge, SetClickSwitchesTheButtonsAndStartsTheGauge) {
    HeadlessGame rig;
    rig.program.click(rig.form().Cmd_Set);
    EXPECT_FALSE(rig.form().Cmd_Set.Enabled);
    EXPECT_TRUE(rig.form().Cmd_Start.Enabled);
    EXPECT_TRUE(rig.form().Tmr_Power.enabled());
    EXPECT_FALSE(rig.program.click(rig.form().Cmd_Set)) << "a disabled button ignores clicks";
}

struct Launch {
    int gauge_ticks;
    int expected_speed;
};

class LaunchSpeed : public ::testing::TestWithParam<Launch> {};

TEST_P(LaunchSpeed, IsTheBarWidthPlus1800Over20) {
    HeadlessGame rig;
    rig.fire(GetParam().gauge_ticks, 30);
    EXPECT_EQ(rig.state().Speed, GetParam().expected_speed);
    EXPECT_EQ(rig.state().Angle, 30);
    EXPECT_FALSE(rig.form().Tmr_Power.enabled());
    EXPECT_TRUE(rig.form().Timer1.enabled());
    EXPECT_TRUE(rig.form().Cmd_Start.Enabled) << "the start button stays usable in flight";
}

INSTANTIATE_TEST_SUITE_P(GaugePositions, LaunchSpeed,
                         ::testing::Values(Launch{0, 90}, Launch{1, 100}, Launch{11, 200}, Launch{20, 290},
                                           Launch{21, 280}, Launch{40, 90}, Launch{59, 280}));

TEST(PowerGauge, StartAgainInFlightOnlyRereadsTheAngle) {
    HeadlessGame rig;
    rig.fire(11, 45);
    rig.wait_ms(5 * 60);
    rig.program.scroll_to(60);
    rig.program.click(rig.form().Cmd_Start);
    EXPECT_EQ(rig.state().Speed, 200);
    EXPECT_EQ(rig.state().Angle, 60);
    EXPECT_EQ(rig.state().FlightTime, 5) << "the flight goes on from where it was";
    rig.wait_ms(60);
    EXPECT_EQ(rig.state().FlightTime, 6);
}

struct Aim {
    int degrees;
    float tip_x, tip_y;
};

class Aiming : public ::testing::TestWithParam<Aim> {};

TEST_P(Aiming, TurnsTheBarrelAboutItsBaseAndShowsTheAngle) {
    HeadlessGame rig;
    if (GetParam().degrees == 30) rig.program.scroll_to(31);  // force a change back to 30
    rig.program.scroll_to(GetParam().degrees);
    const auto& barrel = rig.form().Line1;
    EXPECT_EQ(barrel.X2, GetParam().tip_x);
    EXPECT_EQ(barrel.Y2, GetParam().tip_y);
    EXPECT_EQ(barrel.X1, 720);
    EXPECT_EQ(barrel.Y1, 3360);
    EXPECT_EQ(rig.form().Text1.Text, std::to_string(GetParam().degrees));
}

INSTANTIATE_TEST_SUITE_P(Tips, Aiming,
                         ::testing::Values(Aim{30, 927.8461f, 3240.0f}, Aim{0, 960, 3360},
                                           Aim{90, 720.0003f, 3120}, Aim{45, 889.70575f, 3190.2944f}));

TEST(Aiming, NothingChangesUntilTheValueDoes) {
    HeadlessGame rig;
    rig.program.type("abc");
    rig.program.scroll_to(30);
    EXPECT_EQ(rig.form().Text1.Text, "abc") << "no change event for the same value";
    EXPECT_EQ(rig.form().Line1.X2, 928);
    rig.program.scroll_to(200);  // clamped to the bar's maximum
    EXPECT_EQ(rig.form().HScroll1.Value, 90);
    EXPECT_EQ(rig.form().Text1.Text, "90");
}

TEST(Aiming, TurningTheBarrelInFlightDoesNotChangeTheFlight) {
    HeadlessGame rig;
    rig.fire(11, 45);
    rig.wait_ms(60);
    rig.program.scroll_to(10);
    rig.wait_ms(60);
    EXPECT_EQ(rig.state().Angle, 45);
}

}  // namespace
}  // namespace zorukan::testing
