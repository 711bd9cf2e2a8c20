#pragma once
// The game's one window and everything in it, as designed: every control with
// its initial state, the drawing order, the tab order and the three timers.
// The game procedures move and switch these controls; the window only reads
// them to draw.

#include <array>
#include <string_view>
#include <variant>

#include "runtime/timers.h"
#include "scene/controls.h"

namespace zorukan::scene {

struct FontSpec {
    std::string_view family;
    float points;
};

// "ＭＳ Ｐゴシック" at 8.25 points, for the gauge's MIN and MAX.
inline constexpr FontSpec kPGothicSmall{"ＭＳ Ｐゴシック", 8.25f};
inline constexpr FontSpec kWindowDefaultFont{"", 9.0f};

constexpr const FontSpec& font_spec(FontId id) {
    return id == FontId::PGothicSmall ? kPGothicSmall : kWindowDefaultFont;
}

using ControlRef = std::variant<const Picture*, const Shape*, const Line*, const Label*, const CommandButton*,
                                const TextBox*, const HScrollBar*>;

// A place in the keyboard focus order; its index is its place in tab_order().
struct TabStop {
    std::string_view name;
};

class Form1 {
public:
    static constexpr std::string_view Caption = "ドンガラ　ゾルカン";
    static constexpr Rgb BackColor{0, 192, 0};
    static constexpr float ClientWidth = 8775.0f;
    static constexpr float ClientHeight = 4635.0f;
    static constexpr float FrameSide = 45.0f;  // each side

    explicit Form1(runtime::Timers& timers);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The window's outer width as designed. The real frame depends on the
    // desktop, but the field's right edge must not.
    float Width = ClientWidth + 2 * FrameSide;

    // Front to back; buttons, the text box and the scroll bar are windows of
    // their own and always lie above the rest.
    HScrollBar HScroll1{"HScroll1", 7200, 4250, 1095, 255, 0, 90, 30, {}};
    TextBox Text1{"Text1", 7920, 3960, 375, 270, "30"};
    CommandButton Cmd_Start{"Cmd_Start", 1560, 3960, 255, 255, false, {}};
    CommandButton Cmd_Set{"Cmd_Set", 600, 3960, 255, 255, true, {}};
    Picture tv2{"tv2", 8400, 3360, 315, 255, PictureId::TvBroken, false};
    Picture Image2{"Image2", 5520, 3360, 390, 210, PictureId::Explosion, false};
    Picture Image4{"Image4", 600, 3240, 255, 255, PictureId::CannonBody, true};
    Picture Tv{"Tv", 7200, 3240, 315, 255, PictureId::TvIntact, true};
    Label Label6{"Label6", 4200, 4320, 885, 180, "発射パワー"};
    Label Label5{"Label5", 2520, 4200, 270, 165, "MIN", FontId::PGothicSmall};
    Label Label4{"Label4", 6480, 4200, 330, 165, "MAX", FontId::PGothicSmall};
    Line Line4{"Line4", 4635, 4080, 4635, 4200};
    Line Line3{"Line3", 6630, 4080, 6630, 4200};
    Line Line2{"Line2", 2640, 4080, 2640, 4200};
    Label Label3{"Label3", 1320, 4320, 810, 180, "発射ボタン"};
    Label Label2{"Label2", 360, 4320, 780, 180, "発射セット"};
    Label Label1{"Label1", 7200, 4000, 720, 180, "発射角度"};
    Shape Shape1{"Shape1", 2640, 3840, 135, 255, {64, 64, 64}};
    Shape Shape2{"Shape2", 2640, 3840, 4005, 255, {255, 255, 255}};
    Picture Image3{"Image3", 0, 3650, 8775, 1005, PictureId::Panel};
    Line Line1{"Line1", 720, 3360, 928, 3240, 5};
    Picture Image1{"Image1", 0, 0, 8775, 3330, PictureId::Sky};

    // Created in this order, which is also the order of ticks due together.
    runtime::Timer Timer1;
    runtime::Timer Timer2;
    runtime::Timer Tmr_Power;

    std::array<ControlRef, 22> drawing_order() const;  // front to back
    static constexpr std::array<TabStop, 10> tab_order() {
        return {{{"Cmd_Start"}, {"Cmd_Set"}, {"Text1"}, {"Label1"}, {"HScroll1"},
                 {"Label2"}, {"Label3"}, {"Label4"}, {"Label5"}, {"Label6"}}};
    }

    // The label the player reads beside a control that takes the focus: it
    // names the control for assistive technology. Null for other controls.
    const Label* naming_label(std::string_view control) const;

    // Where the keyboard focus goes after an event, given the control that
    // holds it: a button that can no longer be pressed hands it to the next
    // button in tab order that can (set, then fire, then set again), so that
    // Space, Space keeps playing; any other control keeps it.
    std::string_view focus_after(std::string_view focused) const;

    // An arrow key pressed while a button has the focus turns the barrel a
    // step, as the scroll bar's arrows do, and the focus stays on the button:
    // the value the scroll bar takes then.
    std::int16_t arrow_on_button(Arrow arrow) const { return HScroll1.after(arrow); }

    CommandButton* button(std::string_view name);
    runtime::Timer* timer(std::string_view name);
};

}  // namespace zorukan::scene
