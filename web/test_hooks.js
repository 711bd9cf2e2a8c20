// The test build's hooks (site-test only), for the browser test and the
// benchmark: a television placed where a known shot passes, a flight forced
// to overflow, the gauge's power, whether a wake-up is armed, the clock held
// still and let go, a count of the events the game has presented, a mark on
// the first frame, the window's size and scale as last placed, and the
// moments of the flight ticks once they are watched.
'use strict';

(() => {
  const page = Module.zorukanPage;
  const test = {
    presents: 0,
    armed: false,
    window: null,  // { w, h, scale }: the window's device pixels and device pixels a scene pixel
    flight: { period: 0, ticks: [] },
    placeTelevision: (left) => page.call(Module._zk_test_place_television, left),
    overflowFlightTime: () => page.call(Module._zk_test_overflow_flight_time),
    watchFlight: () => page.call(Module._zk_test_watch_flight),
    power: () => Module._zk_test_power(),
    // No wake-up while held: the scene stays as it is, a flight too.
    hold() {
      held = true;
      arm(-1, 0);
    },
    letGo() {
      held = false;
      arm(...wanted);
    },
    flightTick(period) {
      test.flight.period = period;
      test.flight.ticks.push(performance.now());
    },
  };
  window.zorukanTest = test;
  Module.zorukanTest = test;

  const { presented, arm, resize } = page;
  let held = false, wanted = [-1, 0];
  page.presented = () => {
    // The frame holding the first whole scene is rendered in the animation
    // frame after this; a task queued from there runs once it is done.
    if (test.presents++ === 0) requestAnimationFrame(() => setTimeout(() => performance.mark('first-frame')));
    presented();
  };
  page.arm = (deadline, period) => {
    test.armed = deadline >= 0;
    wanted = [deadline, period];
    if (!held) arm(deadline, period);
  };
  page.resize = (x, y, w, h, scale) => {
    test.window = { w, h, scale };
    resize(x, y, w, h, scale);
  };
})();
