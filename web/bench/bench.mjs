// Measures the web edition in headless Chromium and prints its rows of the
// benchmark table: node web/bench/bench.mjs SITE [LOADS]
// SITE is the built site (tools/web.sh build OUT writes OUT/site); LOADS is
// how many times each page is loaded for the first frame (21 by default).
// Exits 1 when a target is missed, 2 when the benchmark cannot run.
import { mkdtempSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { bytesOf, kinds, label, total } from './bytes.mjs';
import { serve } from './server.mjs';
import { mean, median, percentile99, table } from './table.mjs';

const [site, loadsArgument = '21'] = process.argv.slice(2);
const loads = Number(loadsArgument);
if (!site || !(loads >= 1)) {
  console.error('usage: node web/bench/bench.mjs SITE [LOADS]');
  process.exit(2);
}
// The browser test's packages, pinned by its lock file, drive the browser.
let puppeteer;
try {
  puppeteer = createRequire(new URL('../tests/package.json', import.meta.url))('puppeteer-core');
} catch {
  console.error('web bench: puppeteer-core is not installed; run tools/web.sh browser');
  process.exit(2);
}
const progress = (text) => console.error(`web bench: ${text}`);

const FLIGHT_INTERVALS = 200;

// ---- First frame -----------------------------------------------------------
// Milliseconds from the start of the navigation to the first-frame mark both
// pages set once the frame holding their first whole scene is rendered; NaN
// when none comes within 10 s.
async function firstFrame(page, url) {
  await page.goto(url);
  return page.evaluate(() => new Promise((resolve) => {
    setTimeout(() => resolve(NaN), 10000);
    new PerformanceObserver((list) => resolve(list.getEntriesByName('first-frame')[0]?.startTime))
      .observe({ type: 'mark', buffered: true });
  }));
}

// ---- The flight clock --------------------------------------------------------
// Turns the barrel straight up, so that no shot reaches the television.
const aimStraightUp = (page) => page.evaluate(() => {
  const bar = window.zorukanTest.scene().controls.find((c) => c.kind === 'scroll');
  const angle = document.getElementById(bar.name);
  angle.value = bar.max;
  angle.dispatchEvent(new Event('change'));
  return window.zorukanTest.scene().controls.find((c) => c.kind === 'scroll').value === bar.max;
});

// One shot fired when the gauge is full, to its end: the moments of its
// flight ticks and the flight timer's period. The page drives it itself, so
// no round trip to the browser falls inside the flight.
const shot = (page) => page.evaluate(() => new Promise((resolve, reject) => {
  const test = window.zorukanTest;
  const [fire, set] = test.scene().controls.filter((c) => c.kind === 'button').map((c) => document.getElementById(c.name));
  test.flight.ticks = [];
  set.click();
  if (!set.disabled) return reject(new Error('the gauge did not start'));

  // The gauge's bar is drawn over its frame; the bar fills it at full power.
  const full = () => {
    const [frame, bar] = test.scene().draw.filter((item) => item.kind === 'shape');
    return bar.w >= frame.w;
  };
  const tooLong = setTimeout(() => reject(new Error('the shot did not end within 20 s')), 20000);
  const giveUp = Date.now() + 5000;
  (function watchGauge() {
    if (!full()) {
      if (Date.now() > giveUp) reject(new Error('the gauge never filled'));
      else requestAnimationFrame(watchGauge);
      return;
    }
    fire.click();
    new MutationObserver((changes, observer) => {
      if (set.disabled) return;
      observer.disconnect();
      clearTimeout(tooLong);
      resolve({ ticks: test.flight.ticks, period: test.flight.period });
    }).observe(set, { attributes: true, attributeFilter: ['disabled'] });
  })();
}));

// A plain chain of timeouts at the same period in the same page, while the
// game idles: the moments it runs.
const chain = (page, period, count) => page.evaluate((period, count) => new Promise((resolve) => {
  const moments = [];
  (function step() {
    moments.push(performance.now());
    if (moments.length > count) resolve(moments);
    else setTimeout(step, period);
  })();
}), period, count);

const intervals = (moments) => moments.slice(1).map((moment, i) => moment - moments[i]);

// ---- The run ---------------------------------------------------------------
const FLOOR_PAGE = '/floor.html';
const server = await serve(site, { [FLOOR_PAGE]: fileURLToPath(new URL(`.${FLOOR_PAGE}`, import.meta.url)) });
const gameUrl = `${server.address}?test`;
const profile = mkdtempSync(join(tmpdir(), 'zorukan-bench-chromium-'));
let browser;
try {
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.setViewport({ width: 640, height: 360, deviceScaleFactor: 1 });

  // A first load of each page, not timed: what each fetches, and the scene
  // the floor page is given.
  server.sent.length = 0;
  await firstFrame(page, gameUrl);
  const game = bytesOf(server.sent);
  const scene = await page.evaluate(() => {
    const { width, height, back, pictures, draw } = window.zorukanTest.scene();
    return { width, height, back, pictures, draw: draw.filter((item) => item.kind === 'picture' && item.visible) };
  });
  const floorUrl = `${server.address.slice(0, -1)}${FLOOR_PAGE}?scene=${encodeURIComponent(JSON.stringify(scene))}`;
  server.sent.length = 0;
  await firstFrame(page, floorUrl);
  const floor = bytesOf(server.sent);

  const gameMs = [], floorMs = [];
  for (let i = 0; i < loads; ++i) {
    gameMs.push(await firstFrame(page, gameUrl));
    floorMs.push(await firstFrame(page, floorUrl));
  }
  if (![...gameMs, ...floorMs].every(Number.isFinite)) throw new Error('a page set no first-frame mark');
  const spread = (list) => `${Math.min(...list).toFixed(0)} to ${Math.max(...list).toFixed(0)} ms`;
  progress(`first frame done (${loads} loads of each page: game ${spread(gameMs)}, floor ${spread(floorMs)})`);

  // Shots, each followed by a chain of as many timeouts, until there are
  // enough intervals of both.
  await firstFrame(page, gameUrl);
  await page.evaluate(() => window.zorukanTest.watchFlight());
  if (!(await aimStraightUp(page))) throw new Error('the barrel did not turn straight up');
  const flight = [], plain = [];
  let period;
  while (flight.length < FLIGHT_INTERVALS) {
    const { ticks, period: ticked } = await shot(page);
    if (ticks.length < 2) throw new Error('a shot flew without flight ticks');
    period = ticked;
    flight.push(...intervals(ticks));
    plain.push(...intervals(await chain(page, period, ticks.length - 1)));
  }
  flight.length = plain.length = FLIGHT_INTERVALS;
  progress('flight clock done');
  if (errors.length) throw new Error(`errors on the page: ${errors.join(' | ')}`);

  const rows = [];
  const add = (figure, value, floorValue, unit, target, met) => rows.push({ figure, value, floor: floorValue, unit, target, met });
  for (const [how, pack, budget] of [['gzip -9', 'gzip', 100], ['uncompressed', 'raw', 256]]) {
    add(`web: bytes sent, ${how}`, total(game[pack]), total(floor[pack]), 'KiB', `< ${budget} KiB`, total(game[pack]) < budget);
    for (const kind of kinds) add(`  ${label(kind, game.files[kind])}`, game[pack][kind], NaN, 'KiB', '-', null);
  }
  const firstFrameRatio = median(gameMs) / median(floorMs);
  add('web: first frame (median)', median(gameMs), median(floorMs), 'ms', 'ratio <= 2', firstFrameRatio <= 2);
  const off = (list) => percentile99(list.map((interval) => Math.abs(interval - period)));
  add(`web: Timer1 interval (median of ${FLIGHT_INTERVALS})`, median(flight), median(plain), 'ms', `${period} +- 0.5 ms`,
      Math.abs(median(flight) - period) <= 0.5);
  // Timeouts are whole milliseconds that fire late: the median shows the
  // lateness, the mean whether the clock keeps its phase or drifts.
  add('  mean of the same', mean(flight), mean(plain), 'ms', '-', null);
  add(`web: Timer1 interval: 99th pct. off ${period}`, off(flight), off(plain), 'ms', '<= 5 ms', off(flight) <= 5);
  console.log(table(rows));
  process.exitCode = rows.every((row) => row.met !== false) ? 0 : 1;
} catch (error) {
  console.error(`web bench: ${error.message}`);
  process.exitCode = 2;
} finally {
  await browser?.close();
  server.close();
  rmSync(profile, { recursive: true, force: true });
}
