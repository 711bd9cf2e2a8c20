// The game in a web page: the core composed with the browser's clock, a
// random source seeded from the browser's clock, modal dialogs, the page's
// canvas and its error report. The page calls the exported functions below
// for the player's actions and the clock's wake-ups. It is told once what
// never changes (description.h); after that the painter draws on its canvas
// what each event changed, and the controls' states go to it when they
// change.
//
// A message box suspends the running procedure (Asyncify) until its OK is
// pressed. Until then the page calls nothing here: the stack of the
// suspended procedure is the game's only one.

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>

#include "draw/damage.h"
#include "draw/painter.h"
#include "scene/pictures.h"
#include "runtime/errors.h"
#include "runtime/random.h"
#include "web/description.h"
#include "web/page.h"
#include "web/page_canvas.h"

namespace {

// Names travel with their length: a scene name is a view, not a C string.
EM_JS(void, page_place, (const char* name, int length, int x, int y, int w, int h), {
    Module.zorukanPage.place(UTF8ToString(name, length), x, y, w, h);
});
EM_JS(void, page_resize, (int w, int h), { Module.zorukanPage.resize(w, h); });
EM_JS(void, page_enable, (const char* name, int length, bool on), {
    Module.zorukanPage.enable(UTF8ToString(name, length), on);
});
EM_JS(void, page_value, (const char* name, int length, int value), {
    Module.zorukanPage.value(UTF8ToString(name, length), value);
});
EM_JS(void, page_text, (const char* name, int length, const char* text), {
    Module.zorukanPage.text(UTF8ToString(name, length), UTF8ToString(text));
});
EM_JS(int, page_focused, (), { return Module.zorukanPage.focused(); });
EM_JS(void, page_focus, (const char* name, int length), { Module.zorukanPage.focus(UTF8ToString(name, length)); });
EM_JS(void, page_halt, (), { Module.zorukanPage.halt(); });
EM_JS(void, page_presented, (), { Module.zorukanPage.presented(); });
EM_JS(void, page_arm, (double delay_ms), { Module.zorukanPage.arm(delay_ms); });
EM_JS(void, page_fail, (const char* text, const char* title), {
    Module.zorukanPage.fail(UTF8ToString(text), UTF8ToString(title));
});
EM_ASYNC_JS(void, page_box, (const char* prompt, const char* title), {
    await Module.zorukanPage.box(UTF8ToString(prompt), UTF8ToString(title));
});

using namespace zorukan;

// Time is the page's performance.now(); the wake-up is one timeout at the
// earliest deadline, none while no timer runs.
class BrowserClock final : public runtime::Clock {
public:
    runtime::Micros now() const override { return std::llround(emscripten_get_now() * 1000.0); }
    void attach(runtime::Timers& timers) override { timers_ = &timers; }
    void deadline_changed(std::optional<runtime::Micros> deadline) override {
        if (!deadline) {
            page_arm(-1);
            return;
        }
        // Round up: waking a little early would only find nothing due.
        const runtime::Micros wait = std::max<runtime::Micros>(0, *deadline - now());
        page_arm(static_cast<double>((wait + 999) / 1000));
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
          damage_(program_.form()),
          focusable_(web::focusable(program_.form())) {}

    game::Program& program() { return program_; }
    BrowserClock& clock() { return clock_; }

    // A new scale (device pixels per scene pixel): a new canvas, the
    // controls at their new places, and everything painted anew.
    void set_scale(double scale) {
        painter_ = draw::Painter(scale);
        const draw::Rect window = painter_.window();
        page_resize(window.w, window.h);
        const scene::Form1& form = program_.form();
        place(form.Cmd_Start);
        place(form.Cmd_Set);
        place(form.Text1);
        place(form.HScroll1);
        paint(window);
        present();
    }

    void paint(const draw::Rect& device_area) { painter_.paint(canvas_, program_.form(), program_.trace(), device_area); }
    void paint_scene_area(const draw::Rect& scene_area) { paint(painter_.to_device(scene_area)); }
    void paint_window() { paint(painter_.window()); }

    void present() {
        for (const draw::Rect& changed : damage_.changes(program_.form())) paint_scene_area(changed);
        sync_controls();
        page_presented();
    }

    // The player typed this; the page shows it already.
    void typed(std::string text) {
        shown_text_ = text;
        program_.type(std::move(text));
    }

private:
    template <typename Control>
    void place(const Control& control) {
        const draw::Rect at = painter_.to_device(scene::pixel_rect(control));
        page_place(control.name.data(), static_cast<int>(control.name.size()), at.x, at.y, at.w, at.h);
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
        hand_focus_on();
        if (program_.halted() && !shown_halted_) {
            shown_halted_ = true;
            page_halt();
        }
    }

    void hand_focus_on() {
        const int focused = page_focused();
        if (focused < 0 || focused >= static_cast<int>(focusable_.size())) return;
        const std::string_view held = web::name_of(focusable_[static_cast<std::size_t>(focused)]);
        const std::string_view next = program_.form().focus_after(held);
        if (next != held) page_focus(next.data(), static_cast<int>(next.size()));
    }

    BrowserClock clock_;
    runtime::SeededRandom random_{runtime::SeededRandom::system_clock_reading};
    DialogBoxes boxes_;
    TraceOnCanvas trace_;
    web::PageCanvas canvas_;
    draw::Painter painter_;
    game::Program program_;
    draw::Damage damage_;
    std::vector<scene::ControlRef> focusable_;
    std::map<std::string_view, bool> shown_enabled_;
    std::optional<std::string> shown_text_;
    std::optional<std::int16_t> shown_value_;
    bool shown_halted_ = false;
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

// The page's scale: device pixels per scene pixel. Repaints everything.
EMSCRIPTEN_KEEPALIVE void zk_scale(double scale) { page->set_scale(scale); }

EMSCRIPTEN_KEEPALIVE void zk_wake() {
    page->clock().wake();
    page->present();
}

EMSCRIPTEN_KEEPALIVE void zk_click(const char* name) {
    if (scene::CommandButton* button = page->program().form().button(name)) page->program().click(*button);
    page->present();
}

EMSCRIPTEN_KEEPALIVE void zk_type(const char* text) { page->typed(text); }

// The scroll bar's thumb released after a drag at `value`.
EMSCRIPTEN_KEEPALIVE void zk_scroll(int value) {
    page->program().scroll_to(value);
    page->present();
}

// One of the scroll bar's arrows, or an arrow key on it (scene::Arrow).
EMSCRIPTEN_KEEPALIVE void zk_scroll_arrow(int arrow) {
    page->program().scroll_to(page->program().form().HScroll1.after(static_cast<scene::Arrow>(arrow)));
    page->present();
}

// An arrow key on a focused button: the barrel turns a step, the focus stays.
EMSCRIPTEN_KEEPALIVE void zk_button_arrow(int arrow) {
    page->program().scroll_to(page->program().form().arrow_on_button(static_cast<scene::Arrow>(arrow)));
    page->present();
}

// A click on the scroll bar's track toward `value` (or Page Up, Page Down).
EMSCRIPTEN_KEEPALIVE void zk_track(int toward) {
    page->program().scroll_to(page->program().form().HScroll1.after_track_click(toward));
    page->present();
}

}  // extern "C"
