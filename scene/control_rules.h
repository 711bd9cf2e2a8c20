#pragma once
// How the window's controls answer the player: which control has the focus
// and where Tab takes it, what a key does on each, what a press, a drag or a
// touch does where it lands, and how a held arrow or track repeats. Every
// front end forwards its raw input here and keeps no rule of its own; the
// painter shows what look() says.
//
// Places are scene pixels (a front end divides its device pixels by the
// painter's scale). The angle box's typing stays with the front end's own
// text entry: here it only takes and gives the focus.

#include <cstdint>
#include <optional>
#include <string_view>

#include "scene/form1.h"
#include "scene/rect.h"

namespace zorukan::scene {

enum class Key { Left, Right, Up, Down, PageUp, PageDown, Home, End, Space, Enter, Tab, BackTab };

enum class PointerKind { Mouse, Touch };

// The scroll bar's parts, left to right.
enum class BarPart { None, LessArrow, LessTrack, Thumb, MoreTrack, MoreArrow };

// What the controls do to the game: the game's own procedures run behind
// these.
class ControlEvents {
public:
    virtual ~ControlEvents() = default;
    virtual bool click(CommandButton& button) = 0;
    virtual void scroll_to(int value) = 0;
    // Once the game has stopped, no control can be used.
    virtual bool halted() const = 0;
};

// What the controls show beyond the form's own properties.
struct ControlLook {
    std::string_view focus;        // the control with the focus
    bool focus_shown = false;      // the window is the active one
    std::string_view pushed;       // a button held down under the pointer
    BarPart held = BarPart::None;  // a scroll bar arrow held down under the pointer
    std::optional<std::int16_t> thumb;  // where a dragged thumb shows, if not at the value
    bool halted = false;           // every control is off
    friend bool operator==(const ControlLook&, const ControlLook&) = default;
};

// The scroll bar's parts in scene pixels, with the thumb where `value` puts
// it: an arrow at each end as wide as the bar is high, a narrow thumb between.
struct BarLayout {
    Rect less, track, thumb, more;
    static constexpr int kThumbWidth = 8;
    static BarLayout of(const HScrollBar& bar, std::int16_t value);
    // The part under scene column x; nothing outside the bar's columns.
    BarPart part_at(double x) const;
};

// The value whose thumb has the point `grab` pixels into it at column x.
std::int16_t bar_value_at(const HScrollBar& bar, double x, double grab);

class ControlRules {
public:
    // A held arrow or track steps again after the first delay, then at the
    // interval, as long as it is held.
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 50;
    // A finger on the track that moves this far (in CSS pixels, the player's
    // own units) drags the thumb instead of stepping.
    static constexpr double kDragSlopCss = 4;
    // A finger's touch reaches a control this many CSS pixels across at least.
    static constexpr double kTouchTargetCss = 44;

    ControlRules(Form1& form, ControlEvents& events);

    // The controls that take the focus, in tab order.
    static constexpr std::array<std::string_view, 4> kFocusable{"Cmd_Start", "Cmd_Set", "Text1", "HScroll1"};

    std::string_view focus() const { return focus_; }
    ControlLook look() const;

    // The window became active or inactive: the focus mark shows only in
    // the active one.
    void set_active(bool active) { active_ = active; }
    // The front end moved the focus itself (a click into the angle box's
    // text, assistive technology); ignored for a control that cannot take it.
    void focus_on(std::string_view control);
    // After anything that may have changed the game, a tick included: a
    // focused button that can no longer be pressed hands the focus on.
    void settle();

    // A key pressed while the window has the focus; `repeat` when it is the
    // key's auto-repeat. True when the controls used it.
    bool key_down(Key key, bool repeat);
    // Whether a key pressed at an open message box closes it: Enter and
    // Space do, but not a key held from before the box opened.
    static bool closes_box(Key key, bool repeat) { return (key == Key::Enter || key == Key::Space) && !repeat; }

    // A pointer pressed, moved, let go or taken away at scene pixel (x, y).
    // `css_per_pixel`: CSS pixels a scene pixel, the scale at which a finger
    // is measured. True when the press landed on a control.
    bool pointer_down(double x, double y, PointerKind kind, double css_per_pixel = 1);
    void pointer_move(double x, double y);
    void pointer_up(double x, double y);
    void pointer_cancel();

    // The milliseconds until a held arrow or track steps again, or none.
    std::optional<int> repeat_in_ms() const;
    // That time has come: one more step, if the pointer is still on it.
    void repeat();

    // The area around a control where a press lands on it: the control
    // itself, grown for a finger to kTouchTargetCss across, centred on it.
    static Rect target(const Rect& control, PointerKind kind, double css_per_pixel);

private:
    bool can_focus(std::string_view control) const;
    void tab(int direction);
    void step_held();
    void release_held();

    Form1& form_;
    ControlEvents& events_;
    std::string_view focus_;
    bool active_ = true;

    // The pointer's press, while it lasts.
    enum class Press { None, Button, Arrow, Track, Thumb, TouchOnTrack };
    Press press_ = Press::None;
    PointerKind kind_ = PointerKind::Mouse;
    double css_per_pixel_ = 1;
    CommandButton* button_ = nullptr;  // the button pressed
    BarPart part_ = BarPart::None;     // the bar's arrow or track pressed
    double down_x_ = 0, at_x_ = 0, at_y_ = 0;
    double grab_ = 0;                  // pixels into the thumb where it is held
    bool over_ = false;                // the pointer is over what it pressed
    std::optional<std::int16_t> drag_; // the dragged thumb's value
    int repeats_ = 0;                  // steps taken by the held arrow or track
};

}  // namespace zorukan::scene
