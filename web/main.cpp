// The game in a web page: the core composed with the browser's clock, a
// random source seeded from the browser's clock, modal dialogs and the page's
// error report. The page calls the exported functions below for the player's
// actions and the clock's wake-ups; after each, the scene goes back to the
// page as JSON to paint (page.js).
//
// A message box suspends the running procedure (Asyncify) until its OK is
// pressed. Until then the page calls nothing here: the stack of the
// suspended procedure is the game's only one.

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "game/program.h"
#include "runtime/errors.h"
#include "runtime/random.h"
#include "web/scene_json.h"

namespace {

EM_JS(void, page_present, (const char* json), { Module.zorukanPage.present(UTF8ToString(json)); });
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

class Page {
public:
    Page()
        : boxes_(*this),
          program_({.clock = clock_,
                    .random = random_,
                    .boxes = boxes_,
                    .report_error = [](const runtime::RuntimeError& error) {
                        page_fail(runtime::fatal_error_text(error).c_str(), runtime::kErrorTitle);
                    }}) {}

    game::Program& program() { return program_; }
    BrowserClock& clock() { return clock_; }

    // The player typed this; the page shows it already.
    void typed(std::string text) {
        shown_text_ = text;
        program_.type(std::move(text));
    }

    void present() {
        const std::string& text = program_.form().Text1.Text;
        const bool text_changed = text != shown_text_;
        shown_text_ = text;
        page_present(web::scene_json(program_, text_changed).c_str());
    }

private:
    BrowserClock clock_;
    runtime::SeededRandom random_{runtime::SeededRandom::system_clock_reading};
    DialogBoxes boxes_;
    game::Program program_;
    std::string shown_text_;
};

void DialogBoxes::show(const std::string& prompt, const std::string& title) {
    page_.present();  // what the procedure changed so far shows behind the box
    page_box(prompt.c_str(), title.c_str());
}

std::unique_ptr<Page> page;

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void zk_start() {
    if (page) return;
    page = std::make_unique<Page>();
    page->present();
}

EMSCRIPTEN_KEEPALIVE void zk_wake() {
    page->clock().wake();
    page->present();
}

EMSCRIPTEN_KEEPALIVE void zk_click(const char* name) {
    if (scene::CommandButton* button = page->program().form().button(name)) page->program().click(*button);
    page->present();
}

EMSCRIPTEN_KEEPALIVE void zk_scroll(int value) {
    page->program().scroll_to(value);
    page->present();
}

EMSCRIPTEN_KEEPALIVE void zk_type(const char* text) { page->typed(text); }

// Test-only (the page offers it with ?test): puts the television where a
// known shot passes, as the load's random draw would.
EMSCRIPTEN_KEEPALIVE void zk_test_place_television(float left) {
    page->program().form().Tv.Left = left;
    page->present();
}

// Test-only: the next flight tick counts past the largest flight time and
// ends the game with an overflow, as a very long flight would.
EMSCRIPTEN_KEEPALIVE void zk_test_overflow_flight_time() { page->program().game().state().FlightTime = 32767; }

}  // extern "C"
