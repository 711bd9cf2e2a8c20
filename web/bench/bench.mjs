// Measures the web edition in headless Chromium and prints its rows of the
// benchmark table: node web/bench/bench.mjs SITE [LOADS]
// SITE is the built site (tools/web.sh build OUT writes OUT/site); LOADS is
// how many times each page is loaded for the first frame (21 by default).
// Exits 1 when a target is missed, 2 when the benchmark cannot run.
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { basename, dirname, extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';
import { median, percentile99, table } from './table.mjs';

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

const FLOOR_PAGE = 'floor.html';
const FLIGHT_INTERVALS = 200;

// ---- The server ------------------------------------------------------------
// The site as a static server sends it, uncompressed, and the floor page
// beside it so that both reach the same pictures. Nothing may be cached: every
// load is a first visit. Every response is logged, for the bytes sent.
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
                '.gif': 'image/gif', '.png': 'image/png' };
const floorFile = join(dirname(fileURLToPath(import.meta.url)), FLOOR_PAGE);
const sent = [];

const server = createServer((request, response) => {
  const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
  const file = path === `/${FLOOR_PAGE}` ? floorFile : join(site, path.endsWith('/') ? `${path}index.html` : path);
  try {
    const body = readFileSync(file);
    response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream',
                              'Cache-Control': 'no-store' });
    response.end(body);
    sent.push({ file, body });
  } catch {
    response.writeHead(404).end();
  }
});

// The first free port of 8800 to 8849.
async function listen() {
  for (let port = 8800; port < 8850; ++port) {
    const bound = await new Promise((resolve) => {
      server.once('error', () => resolve(false));
      server.listen(port, '127.0.0.1', () => resolve(true));
    });
    if (bound) return port;
  }
  throw new Error('no free port from 8800 to 8849');
}

// ---- Bytes -----------------------------------------------------------------
// What one load of a page fetched, by kind: the WebAssembly and the script
// that loads it, the page's own files and the pictures. Compressed as a
// static server sends files it has compressed beforehand: gzip at level 9,
// except the pictures, whose formats are compressed already.
const pictureTypes = ['.gif', '.png'];
const compressed = (file, body) => (pictureTypes.includes(extname(file)) ? body : gzipSync(body, { level: 9 }));

function bytesOf(responses) {
  const files = new Map(responses.map(({ file, body }) => [file, body]));
  const wasm = [...files.keys()].filter((file) => extname(file) === '.wasm');
  const loaders = wasm.map((file) => file.replace(/\.wasm$/, '.js'));
  const kinds = { wasm: [], loader: [], page: [], pictures: [] };
  for (const file of files.keys()) {
    const kind = wasm.includes(file) ? 'wasm' : loaders.includes(file) ? 'loader'
      : pictureTypes.includes(extname(file)) ? 'pictures' : 'page';
    kinds[kind].push(file);
  }
  const size = (list, pack) => list.reduce((sum, file) => sum + pack(file, files.get(file)).length, 0) / 1024;
  const sizes = (pack) => Object.fromEntries(Object.entries(kinds).map(([kind, list]) => [kind, size(list, pack)]));
  return { kinds, raw: sizes((file, body) => body), gzip: sizes(compressed) };
}

// A kind's row names its files, or counts the pictures by format.
function label(kind, files) {
  const names = files.map((file) => basename(file)).sort();
  if (kind !== 'pictures') return kind === 'page' ? `page: ${names.join(', ')}` : names.join(', ');
  const formats = {};
  for (const file of files) formats[extname(file).slice(1).toUpperCase()] = (formats[extname(file).slice(1).toUpperCase()] ?? 0) + 1;
  return `pictures: ${Object.entries(formats).map(([format, count]) => `${count} ${format}`).join(', ')}`;
}

// ---- First frame -----------------------------------------------------------
// Milliseconds from the start of the navigation to the first-frame mark both
// pages set once the frame holding their first whole scene is rendered.
async function firstFrame(page, url) {
  await page.goto(url);
  return page.evaluate(() => new Promise((resolve) => {
    new PerformanceObserver((list) => resolve(list.getEntriesByName('first-frame')[0]?.startTime))
      .observe({ type: 'mark', buffered: true });
  }));
}

// ---- The flight clock --------------------------------------------------------
// One shot straight up, fired when the gauge is full: the moments of its
// flight ticks. The page drives it itself, so no round trip to the browser
// falls inside the flight.
const shot = (page) => page.evaluate(() => new Promise((resolve, reject) => {
  const test = window.zorukanTest;
  const [fire, set] = test.scene().controls.filter((c) => c.kind === 'button').map((c) => document.getElementById(c.name));
  test.flight.ticks = [];
  set.click();
  if (!set.disabled) reject(new Error('the gauge did not start'));

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
      resolve(test.flight.ticks);
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
const port = await listen();
const address = `http://127.0.0.1:${port}/`;
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
  sent.length = 0;
  await firstFrame(page, `${address}?test`);
  const game = bytesOf(sent);
  const scene = await page.evaluate(() => {
    const { width, height, back, pictures, draw } = window.zorukanTest.scene();
    return { width, height, back, pictures,
             draw: draw.filter((item) => item.kind === 'picture' && item.visible) };
  });
  const floorUrl = `${address}${FLOOR_PAGE}?scene=${encodeURIComponent(JSON.stringify(scene))}`;
  sent.length = 0;
  await firstFrame(page, floorUrl);
  const floor = bytesOf(sent);

  const gameMs = [], floorMs = [];
  for (let i = 0; i < loads; ++i) {
    gameMs.push(await firstFrame(page, `${address}?test`));
    floorMs.push(await firstFrame(page, floorUrl));
  }
  if (![...gameMs, ...floorMs].every(Number.isFinite)) throw new Error('a page set no first-frame mark');
  const spread = (list) => `${Math.min(...list).toFixed(0)} to ${Math.max(...list).toFixed(0)} ms`;
  progress(`first frame done (${loads} loads of each page: game ${spread(gameMs)}, floor ${spread(floorMs)})`);

  // Shots, each followed by a chain of as many timeouts, until there are
  // enough intervals of both.
  await firstFrame(page, `${address}?test`);
  await page.evaluate(() => window.zorukanTest.watchFlight());
  const straightUp = await page.evaluate(() => {
    const bar = window.zorukanTest.scene().controls.find((c) => c.kind === 'scroll');
    const angle = document.getElementById(bar.name);
    angle.value = bar.max;
    angle.dispatchEvent(new Event('change'));
    return window.zorukanTest.scene().controls.find((c) => c.kind === 'scroll').value === bar.max;
  });
  if (!straightUp) throw new Error('the barrel did not turn straight up');
  const flight = [], plain = [];
  while (flight.length < FLIGHT_INTERVALS) {
    const ticks = intervals(await shot(page));
    flight.push(...ticks);
    plain.push(...intervals(await chain(page, await page.evaluate(() => window.zorukanTest.flight.period), ticks.length)));
  }
  const period = await page.evaluate(() => window.zorukanTest.flight.period);
  flight.length = plain.length = FLIGHT_INTERVALS;
  progress("flight clock done");
  if (errors.length) throw new Error(`errors on the page: ${errors.join(' | ')}`);

  const off = (list) => percentile99(list.map((interval) => Math.abs(interval - period)));
  const rows = [];
  const add = (figure, value, floorValue, unit, target, met) => rows.push({ figure, value, floor: floorValue, unit, target, met });
  for (const [how, pack, budget] of [['gzip -9, pictures as they are', 'gzip', 100], ['uncompressed', 'raw', 256]]) {
    const total = (bytes) => Object.values(bytes[pack]).reduce((sum, kib) => sum + kib, 0);
    add(`web: bytes sent, ${how}`, total(game), total(floor), 'KiB', `< ${budget} KiB`, total(game) < budget);
    for (const kind of ['wasm', 'loader', 'page', 'pictures']) add(`  ${label(kind, game.kinds[kind])}`, game[pack][kind], NaN, 'KiB', '-', null);
  }
  const startUp = median(gameMs) / median(floorMs);
  add('web: first frame (median)', median(gameMs), median(floorMs), 'ms', 'ratio <= 2', startUp <= 2);
  add(`web: Timer1 interval (median of ${FLIGHT_INTERVALS})`, median(flight), median(plain), 'ms', `${period} +- 0.5 ms`,
      Math.abs(median(flight) - period) <= 0.5);
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
