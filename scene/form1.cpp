#include "scene/form1.h"

#include <algorithm>

namespace zorukan::scene {

std::int16_t HScrollBar::after(Arrow arrow) const {
    const int step = arrow == Arrow::Right || arrow == Arrow::Up ? SmallChange : -SmallChange;
    return static_cast<std::int16_t>(std::clamp(Value + step, int{Min}, int{Max}));
}

std::int16_t HScrollBar::after_track_click(int toward) const {
    const int target = std::clamp(toward, int{Min}, int{Max});
    if (target > Value) return static_cast<std::int16_t>(std::min(Value + LargeChange, target));
    return static_cast<std::int16_t>(std::max(Value - LargeChange, target));
}

Form1::Form1(runtime::Timers& timers)
    : Timer1(timers, "Timer1", 60), Timer2(timers, "Timer2", 500), Tmr_Power(timers, "Tmr_Power", 1) {}

std::array<ControlRef, 22> Form1::drawing_order() const {
    return {&HScroll1, &Text1, &Cmd_Start, &Cmd_Set, &tv2,    &Image2, &Image4, &Tv,     &Label6, &Label5, &Label4,
            &Line4,    &Line3, &Line2,     &Label3,  &Label2, &Label1, &Shape1, &Shape2, &Image3, &Line1,  &Image1};
}

const Label* Form1::naming_label(std::string_view control) const {
    if (control == Cmd_Set.name) return &Label2;
    if (control == Cmd_Start.name) return &Label3;
    if (control == Text1.name || control == HScroll1.name) return &Label1;
    return nullptr;
}

std::string_view Form1::focus_after(std::string_view focused) const {
    const std::array<const CommandButton*, 2> in_tab_order{&Cmd_Start, &Cmd_Set};
    const auto held = std::find_if(in_tab_order.begin(), in_tab_order.end(),
                                   [focused](const CommandButton* button) { return button->name == focused; });
    if (held == in_tab_order.end() || (*held)->Enabled) return focused;
    for (std::size_t i = 1; i < in_tab_order.size(); ++i) {
        const CommandButton* next = in_tab_order.at((static_cast<std::size_t>(held - in_tab_order.begin()) + i) % in_tab_order.size());
        if (next->Enabled) return next->name;
    }
    return focused;
}

CommandButton* Form1::button(std::string_view name) {
    if (name == Cmd_Set.name) return &Cmd_Set;
    if (name == Cmd_Start.name) return &Cmd_Start;
    return nullptr;
}

runtime::Timer* Form1::timer(std::string_view name) {
    for (runtime::Timer* timer : {&Timer1, &Timer2, &Tmr_Power}) {
        if (timer->name() == name) return timer;
    }
    return nullptr;
}

}  // namespace zorukan::scene
