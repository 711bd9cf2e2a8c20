// The game in a web page: the core composed with the browser's clock, a
// random source seeded from the browser's clock, modal dialogs, the page's
// canvas and its error report. The page is told once what never changes
// (description.h); after that it forwards the player's raw input (keys,
// pointers, focus) to the controls' rules through the exports below, and
// the clock's wake-ups. The painter draws on its canvas what each call
// changed, the controls included; the page's own elements (the angle box's
// text entry, and what assistive technology reads) hear the controls'
// states when they change, and the focus after every call.
//
// A message box suspends the running procedure (Asyncify) until its OK is
// pressed. Until then the page enters the game no more: the stack of the
// suspended procedure is the game's only one. Only zk_place and
// zk_closes_box run then; neither touches the game.

#include <emscripten.h>

#include <cmath>
#include <map>
#include <memory>
#include <optional>

#include "draw/control_look.h"
#include "draw/damage.h"
#include "draw/painter.h"
#include "draw/window_place.h"
#include "runtime/errors.h"
#include "runtime/random.h"
#include "web/description.h"
#include "web/page.h"
#include "web/page_canvas.h"

namespace {

// Names travel with their length: a scene name is a view, not a C string.
EM_JS(void, page_resize, (int x, int y, int w, int h, double scale), { Module.zorukanPage.resize(x, y, w, h, scale); });
EM_JS(void, page_place, (const char* name, int length, int x, int y, int w, int h), {
    Module.zorukanPage.place(UTF8ToString(name, length), x, y, w, h);
});
EM_JS(void, page_enable, (const char* name, int length, bool on), {
    Module.zorukanPage.enable(UTF8ToString(name, length), on);
});
EM_JS(void, page_value, (const char* name, int length, int value), {
    Module.zorukanPage.value(UTF8ToString(name, length), value);
});
EM_JS(void, page_power, (int power), { Module.zorukanPage.power(power); });
EM_JS(void, page_text, (const char* name, int length, const char* text), {
    Module.zorukanPage.text(UTF8ToString(name, length), UTF8ToString(text));
});
EM_JS(void, page_focus, (const char* name, int length), { Module.zorukanPage.focus(UTF8ToString(name, length)); });
EM_JS(void, page_halt, (), { Module.zorukanPage.halt(); });
EM_JS(void, page_presented, (), { Module.zorukanPage.presented(); });
EM_JS(void, page_arm, (double deadline_ms, double period_ms), { Module.zorukanPage.arm(deadline_ms, period_ms); });
EM_JS(void, page_repeat, (int delay_ms), { Module.zorukanPage.repeat(delay_ms); });
EM_JS(void, page_fail, (const char* text, const char* title), {
    Module.zorukanPage.fail(UTF8ToString(text), UTF8ToString(title));
});
EM_ASYNC_JS(void, page_box, (const char* prompt, const char* title), {
    await Module.zorukanPage.box(UTF8ToString(prompt), UTF8ToString(title));
});

using namespace zorukan;

// Time is the page's performance.now(); the page wakes the game at the
// earliest deadline, on that timer's cadence while it keeps to it, and not
// at all while no timer runs.
class BrowserClock final : public runtime::Clock {
public:
    runtime::Micros now() const override { return std::llround(emscripten_get_now() * 1000.0); }
    void attach(runtime::Timers& timers) override { timers_ = &timers; }
    void deadline_changed(std::optional<runtime::Deadline> deadline) override {
        if (!deadline) page_arm(-1, 0);
        else page_arm(static_cast<double>(deadline->at) / 1000.0, static_cast<double>(deadline->period) / 1000.0);
    }
    void wake() {
        if (timers_) timers_->run_due();  // re-arms through deadline_changed
    }

private:
    runtime::Timers* timers_ = nullptr;
};

class Page;

class DialogBoxes final : public runtime::MessageBoxUi {
public:
    explicit DialogBoxes(Page& page) : page_(page) {}
    void show(const std::string& prompt, const std::string& title) override;

private:
    Page& page_;
};

// The trace goes on the canvas as it is drawn: the segment that reaches the
// television is there before the box that announces the hit opens.
class TraceOnCanvas final : public runtime::TraceObserver {
public:
    explicit TraceOnCanvas(Page& page) : page_(page) {}
    void segment_drawn(const runtime::Segment& segment) override;
    void window_repainted() override;

private:
    Page& page_;
};

class Page {
public:
    Page()
        : boxes_(*this),
          trace_(*this),
          program_({.clock = clock_,
                    .random = random_,
                    .boxes = boxes_,
                    .trace = &trace_,
                    .report_error = [](const runtime::RuntimeError& error) {
                        page_fail(runtime::fatal_error_text(error).c_str(), runtime::kErrorTitle);
                    }}),
          damage_(program_.form()) {}

    game::Program& program() { return program_; }
    scene::ControlRules& controls() { return program_.controls(); }
    BrowserClock& clock() { return clock_; }

    // A room of `room_w` by `room_h` device pixels at `ratio` of them a CSS
    // pixel: the window's new place, its elements at theirs, and everything
    // painted anew. Reads the game and changes none of it, so it may run
    // while a message box holds a procedure suspended.
    void place(int room_w, int room_h, double ratio) {
        const draw::WindowPlace at = draw::place_window(room_w, room_h, ratio);
        painter_ = draw::Painter(at.scale);
        page_resize(at.area.x, at.area.y, at.area.w, at.area.h, at.scale);
        const scene::Form1& form = program_.form();
        place(form.Cmd_Start.name, scene::pixel_rect(form.Cmd_Start));
        place(form.Cmd_Set.name, scene::pixel_rect(form.Cmd_Set));
        place(form.Text1.name, draw::text_entry_area(form.Text1));
        place(form.HScroll1.name, scene::pixel_rect(form.HScroll1));
        place(form.Shape1.name, scene::pixel_rect(form.Shape2));  // the power bar, in its gauge
        paint(painter_.window());
    }

    void paint(const draw::Rect& device_area) {
        painter_.paint(canvas_, program_.form(), program_.trace(), device_area, program_.controls().look());
    }
    void paint_scene_area(const draw::Rect& scene_area) { paint(painter_.to_device(scene_area)); }
    void paint_window() { paint(painter_.window()); }

    // After every event: the focus settled, what changed repainted, the
    // page's elements brought in step; with `rearm`, the held arrow's or
    // track's next step timed anew.
    void present(bool rearm = false) {
        scene::ControlRules& rules = controls();
        rules.settle();
        const scene::ControlLook look = rules.look();
        for (const draw::Rect& changed : damage_.changes(program_.form(), look)) paint_scene_area(changed);
        sync_controls();
        const std::optional<int> repeat = rules.repeat_in_ms();
        if (rearm || (repeat_armed_ && !repeat)) page_repeat(repeat.value_or(-1));
        repeat_armed_ = repeat.has_value();
        page_presented();
    }

    // The player typed this; the page shows it already.
    void typed(std::string text) {
        shown_text_ = text;
        program_.type(std::move(text));
    }

private:
    void place(std::string_view name, const draw::Rect& scene_area) {
        const draw::Rect at = painter_.to_device(scene_area);
        page_place(name.data(), static_cast<int>(name.size()), at.x, at.y, at.w, at.h);
    }

    // Only what changed since the page last heard: the text box keeps the
    // player's caret and undo history while the game leaves its text alone.
    void sync_controls() {
        const scene::Form1& form = program_.form();
        for (const scene::CommandButton* button : {&form.Cmd_Start, &form.Cmd_Set}) {
            const auto shown = shown_enabled_.find(button->name);
            if (shown != shown_enabled_.end() && shown->second == button->Enabled) continue;
            shown_enabled_[button->name] = button->Enabled;
            page_enable(button->name.data(), static_cast<int>(button->name.size()), button->Enabled);
        }
        if (form.Text1.Text != shown_text_) {
            shown_text_ = form.Text1.Text;
            page_text(form.Text1.name.data(), static_cast<int>(form.Text1.name.size()), shown_text_->c_str());
        }
        if (form.HScroll1.Value != shown_value_) {
            shown_value_ = form.HScroll1.Value;
            page_value(form.HScroll1.name.data(), static_cast<int>(form.HScroll1.name.size()), *shown_value_);
        }
        // The power as the player sees it: how much of its gauge the bar fills.
        const int power = scene::round_to_int(100.0 * form.Shape1.Width / form.Shape2.Width);
        if (power != shown_power_) {
            shown_power_ = power;
            page_power(power);
        }
        const std::string_view focus = controls().focus();
        if (focus != shown_focus_) {
            shown_focus_ = focus;
            page_focus(focus.data(), static_cast<int>(focus.size()));
        }
        if (program_.halted() && !shown_halted_) {
            shown_halted_ = true;
            page_halt();
        }
    }

    BrowserClock clock_;
    runtime::SeededRandom random_{runtime::SeededRandom::system_clock_reading};
    DialogBoxes boxes_;
    TraceOnCanvas trace_;
    web::PageCanvas canvas_;
    draw::Painter painter_;
    game::Program program_;
    draw::Damage damage_;
    std::map<std::string_view, bool> shown_enabled_;
    std::optional<std::string> shown_text_;
    std::optional<std::int16_t> shown_value_;
    std::optional<int> shown_power_;
    std::string_view shown_focus_;
    bool shown_halted_ = false;
    bool repeat_armed_ = false;
};

void DialogBoxes::show(const std::string& prompt, const std::string& title) {
    page_.present();  // what the procedure changed so far shows behind the box
    page_box(prompt.c_str(), title.c_str());
}

void TraceOnCanvas::segment_drawn(const runtime::Segment& segment) {
    page_.paint_scene_area(draw::segment_area(segment));
}

void TraceOnCanvas::window_repainted() { page_.paint_window(); }

std::unique_ptr<Page> page;

// What a pointer did, as the page numbers it.
enum class PointerPhase { Down, Move, Up, Cancel };

}  // namespace

namespace zorukan::web {

game::Program& program() { return page->program(); }
void present() { page->present(); }

}  // namespace zorukan::web

extern "C" {

// Creates the game (the load runs) and returns what the page is told once.
EMSCRIPTEN_KEEPALIVE const char* zk_start() {
    static std::string told;
    if (!page) {
        page = std::make_unique<Page>();
        told = web::description(page->program().form());
    }
    return told.c_str();
}

// The room the page leaves the window, in device pixels, at `ratio` device
// pixels a CSS pixel: the window placed in it and painted anew.
EMSCRIPTEN_KEEPALIVE void zk_place(int room_w, int room_h, double ratio) { page->place(room_w, room_h, ratio); }

EMSCRIPTEN_KEEPALIVE void zk_wake() {
    page->clock().wake();
    page->present();
}

// The page has the focus, or has lost it: the focus mark shows only while it
// has.
EMSCRIPTEN_KEEPALIVE void zk_active(int active) {
    page->controls().set_active(active != 0);
    page->present();
}

// A key (scene::Key) pressed, or repeating while held. True when the
// controls used it, and the page's default for it must not run.
EMSCRIPTEN_KEEPALIVE int zk_key(int key, int repeat) {
    const bool used = page->controls().key_down(static_cast<scene::Key>(key), repeat != 0);
    page->present();
    return used;
}

// Whether a key (scene::Key) closes an open message box. Touches nothing.
EMSCRIPTEN_KEEPALIVE int zk_closes_box(int key, int repeat) {
    return scene::ControlRules::closes_box(static_cast<scene::Key>(key), repeat != 0);
}

// A pointer (kind: scene::PointerKind) pressed, moved, let go or taken away
// (phase: PointerPhase) at scene pixel (x, y). True when a press landed on a
// control.
EMSCRIPTEN_KEEPALIVE int zk_pointer(int kind, int phase, double x, double y, double css_per_pixel) {
    scene::ControlRules& rules = page->controls();
    bool landed = false;
    switch (static_cast<PointerPhase>(phase)) {
    case PointerPhase::Down: landed = rules.pointer_down(x, y, static_cast<scene::PointerKind>(kind), css_per_pixel); break;
    case PointerPhase::Move: rules.pointer_move(x, y); break;
    case PointerPhase::Up: rules.pointer_up(x, y); break;
    case PointerPhase::Cancel: rules.pointer_cancel(); break;
    }
    page->present(phase == static_cast<int>(PointerPhase::Down));
    return landed;
}

// The time the page was told has come: a held arrow or track steps again.
EMSCRIPTEN_KEEPALIVE void zk_repeat() {
    page->controls().repeat();
    page->present(true);
}

// The page moved the focus itself (a tap into the angle box, assistive
// technology).
EMSCRIPTEN_KEEPALIVE void zk_focus_on(const char* name) {
    page->controls().focus_on(name);
    page->present();
}

// Assistive technology pressed a button.
EMSCRIPTEN_KEEPALIVE void zk_click(const char* name) {
    if (scene::CommandButton* button = page->program().form().button(name)) page->program().click(*button);
    page->present();
}

EMSCRIPTEN_KEEPALIVE void zk_type(const char* text) { page->typed(text); }

}  // extern "C"
