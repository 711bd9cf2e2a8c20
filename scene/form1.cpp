#include "scene/form1.h"

namespace zorukan::scene {

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
