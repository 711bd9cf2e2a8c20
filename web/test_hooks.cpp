// Hooks for the browser test and the benchmark, built into the test build of
// the page only (site-test): the shipped page has none.

#include <emscripten.h>

#include "web/page.h"

namespace {

EM_JS(void, page_flight_tick, (double period_ms), { Module.zorukanTest.flightTick(period_ms); });

}  // namespace

using namespace zorukan;

extern "C" {

// Puts the television where a known shot passes, as the load's random draw
// would.
EMSCRIPTEN_KEEPALIVE void zk_test_place_television(float left) {
    web::program().form().Tv.Left = left;
    web::present();
}

// The next flight tick counts past the largest flight time and ends the game
// with an overflow, as a very long flight would.
EMSCRIPTEN_KEEPALIVE void zk_test_overflow_flight_time() { web::program().game().state().FlightTime = 32767; }

// The page hears of every flight tick as it starts, with the flight timer's
// period, so that a test can count the ticks and a benchmark time them.
EMSCRIPTEN_KEEPALIVE void zk_test_watch_flight() {
    runtime::Timer& timer = web::program().form().Timer1;
    timer.on_tick = [&timer, tick = std::move(timer.on_tick)] {
        page_flight_tick(static_cast<double>(timer.period()) / 1000.0);
        tick();
    };
}

// The power gauge's bar, in twips: full at 4000.
EMSCRIPTEN_KEEPALIVE float zk_test_power() { return web::program().form().Shape1.Width; }

}  // extern "C"
