#pragma once
// The game's procedures: the load that prepares a shot, the reset that ends
// one, and the handlers of the buttons, the scroll bar and the three timers.
// Each is a short straight-line handler over the window's controls and the
// one GameState.

#include "game/game_state.h"
#include "runtime/message_boxes.h"
#include "runtime/random.h"
#include "runtime/trace.h"
#include "scene/form1.h"

namespace zorukan::game {

struct Services {
    runtime::RandomSource& random;
    runtime::Trace& trace;
    runtime::MessageBoxes& boxes;
};

inline constexpr const char* kHitTitle = "破壊";
inline constexpr const char* kHitPrompt = "テレビが破壊されました。";
inline constexpr const char* kHitPromptAfter = "夜七時からのピロリン座も見れなくなりました。";

class Game {
public:
    Game(scene::Form1& form, Services services) : form_(form), services_(services) {}

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }

    // Shot preparation and reset.
    void Form_Load();
    void ResetShot();

    // Power gauge and launch.
    void Cmd_Set_Click();
    void Tmr_Power_Timer();
    void Cmd_Start_Click();

    // Aiming.
    void HScroll1_Change();

    // Flight.
    void Timer1_Timer();
    void Timer2_Timer();

private:
    void fly(double theta, std::int32_t& x, std::int32_t& y, const std::int32_t& from_x, const std::int32_t& from_y);
    void land();
    void television_test();
    bool shell_passed_television() const;

    scene::Form1& form_;
    Services services_;
    GameState state_;
};

}  // namespace zorukan::game
