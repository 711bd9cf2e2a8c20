// Plays the built web page in headless Chromium: node browser_test.mjs SITE [SCREENSHOTS]
// SITE is the shipped site (tools/web.sh build OUT writes OUT/site); the game
// is played in the test build beside it (OUT/site-test), which has the
// hooks. Checks the start-up scene at several pixel ratios and on phones,
// offline play and installing, the controls, a shot played with the keyboard
// alone, a hit with both dialogs, the angle bar, and the failures. With
// SCREENSHOTS it also saves the page, a phone and the canvas at load there.
import { createHash } from 'node:crypto';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch } from './chromium.mjs';
import { serve } from './serve.mjs';

const [site, screenshots] = process.argv.slice(2);
if (!site) {
  console.error('usage: node browser_test.mjs SITE [SCREENSHOTS]');
  process.exit(2);
}
const testSite = `${resolve(site)}-test`;

const CAPTION = 'ドンガラ　ゾルカン';
const HIT_TITLE = '破壊';
const HIT_PROMPTS = ['テレビが破壊されました。', '夜七時からのピロリン座も見れなくなりました。'];
// Twips: every shot passes through a television here, just past the barrel;
// no shot at 30 degrees reaches one here.
const TV_IN_THE_WAY = 900;
const TV_OUT_OF_REACH = 8400;
// Where the scene puts the windowed controls, in pixels: x, y, w, h.
const PLACES = { Cmd_Start: [104, 264, 17, 17], Cmd_Set: [40, 264, 17, 17], Text1: [528, 264, 25, 18],
                 HScroll1: [480, 283, 73, 17] };
const HIGHLIGHT = [44, 141, 199];  // the desktop's focus mark

const server = await serve(testSite);
const browser = await launch('browser_test');

let passed = 0, failed = 0;
function check(what, ok, detail = '') {
  if (ok) ++passed;
  else ++failed;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${ok || !detail ? '' : `: ${String(detail).slice(0, 300)}`}`);
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

async function open({ width = 640, height = 360, ratio = 1, phone = false, address = server.address } = {}) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => ['error', 'warning'].includes(message.type()) && errors.push(message.text()));
  await page.setViewport({ width, height, deviceScaleFactor: ratio, isMobile: phone, hasTouch: phone });
  await page.goto(address);
  await page.waitForFunction(() => window.zorukanTest?.presents > 0);
  return { page, errors };
}

// What the screen shows where the window is, against the canvas's own
// pixels: how many differ outside the real controls (and a pixel around
// them), of how many compared.
const screenAgainstCanvas = async (page) => {
  const shot = await page.screenshot({ encoding: 'base64' });
  return page.evaluate(async (shot) => {
    const bytes = Uint8Array.from(atob(shot), (c) => c.charCodeAt(0));
    const image = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const screen = new OffscreenCanvas(image.width, image.height).getContext('2d', { willReadFrequently: true });
    screen.drawImage(image, 0, 0);
    const ratio = devicePixelRatio, window = document.getElementById('form1').getBoundingClientRect();
    const [x0, y0, w, h] = [window.left, window.top, window.width, window.height].map((v) => Math.round(v * ratio));
    const own = document.getElementById('scene').getContext('2d').getImageData(0, 0, w, h).data;
    const shown = screen.getImageData(x0, y0, w, h).data;
    const controls = [...document.querySelectorAll('#form1 > :not(canvas)')].map((e) => e.getBoundingClientRect())
      .map((b) => [b.left * ratio - x0 - 1, b.top * ratio - y0 - 1, b.right * ratio - x0 + 1, b.bottom * ratio - y0 + 1]);
    let differ = 0, compared = 0;
    for (let y = 0; y < h; ++y) {
      for (let x = 0; x < w; ++x) {
        if (controls.some(([l, t, r, b]) => x >= l && x < r && y >= t && y < b)) continue;
        ++compared;
        const i = (y * w + x) * 4;
        if (own[i] !== shown[i] || own[i + 1] !== shown[i + 1] || own[i + 2] !== shown[i + 2]) ++differ;
      }
    }
    return { differ, compared };
  }, shot);
};

// The screen's pixel at CSS pixel (x, y) of the window, as [r, g, b].
const screenPixel = async (page, x, y) => {
  const at = await page.$eval('#form1', (form) => [form.getBoundingClientRect().left, form.getBoundingClientRect().top]);
  const shot = await page.screenshot({ encoding: 'base64', clip: { x: at[0] + x, y: at[1] + y, width: 1, height: 1 } });
  return page.evaluate(async (shot) => {
    const bytes = Uint8Array.from(atob(shot), (c) => c.charCodeAt(0));
    const image = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const g = new OffscreenCanvas(1, 1).getContext('2d');
    g.drawImage(image, 0, 0, 1, 1);
    return [...g.getImageData(0, 0, 1, 1).data.slice(0, 3)];
  }, shot);
};

// The canvas's pixel at scene pixel (x, y), as [r, g, b], at ratio 1.
const pixel = (page, x, y) => page.evaluate((x, y) =>
  [...document.getElementById('scene').getContext('2d').getImageData(x, y, 1, 1).data.slice(0, 3)], x, y);

// Whether the canvas (at ratio 1) shows the picture `file` at (x, y), or its
// first `rows`; the trace's black may cross it.
const shows = (page, file, x, y, rows = 1e6) => page.evaluate(async (file, x, y, rows) => {
  const image = new Image();
  image.src = file;
  await image.decode();
  const own = new OffscreenCanvas(image.width, image.height).getContext('2d');
  own.drawImage(image, 0, 0);
  const height = Math.min(rows, image.height);
  const want = own.getImageData(0, 0, image.width, height).data;
  const got = document.getElementById('scene').getContext('2d').getImageData(x, y, image.width, height).data;
  for (let i = 0; i < want.length; i += 4) {
    const black = got[i] + got[i + 1] + got[i + 2] === 0;
    if (!black && (got[i] !== want[i] || got[i + 1] !== want[i + 1] || got[i + 2] !== want[i + 2])) return false;
  }
  return true;
}, file, x, y, rows);

// How many pure black pixels an area of the canvas holds (at ratio 1).
const blackIn = (page, x, y, w, h) => page.evaluate((x, y, w, h) => {
  const data = document.getElementById('scene').getContext('2d').getImageData(x, y, w, h).data;
  let count = 0;
  for (let i = 0; i < data.length; i += 4) if (data[i] + data[i + 1] + data[i + 2] === 0) ++count;
  return count;
}, x, y, w, h);
const blackInSky = (page) => blackIn(page, 0, 0, 585, 216);

const focusedId = (page) => page.evaluate(() => document.activeElement?.id ?? '');
const angle = (page) => page.$eval('#Text1', (input) => input.value);
const dialogState = (page) => page.evaluate(() => {
  const box = document.getElementById('box');
  return { open: box.open, title: box.querySelector('h1').textContent, prompt: box.querySelector('p').textContent };
});
const presents = (page) => page.evaluate(() => window.zorukanTest.presents);

async function startUp() {
  for (const ratio of [1, 1.25, 1.5, 1.75]) {
    const { page, errors } = await open({ width: 800, height: 600, ratio });
    const { differ, compared } = await screenAgainstCanvas(page);
    check(`ratio ${ratio}: the screen shows the canvas's own pixels`, differ === 0 && compared > 585 * 309 * ratio * ratio * 0.9,
          `${differ} of ${compared} differ`);
    if (ratio === 1) {
      check('titled with the window\'s caption', (await page.title()) === CAPTION, await page.title());
      check('発射セット has the focus at load', (await focusedId(page)) === 'Cmd_Set', await focusedId(page));
      const places = await page.evaluate(() => {
        const window = document.getElementById('form1').getBoundingClientRect();
        return Object.fromEntries(['Cmd_Start', 'Cmd_Set', 'Text1', 'HScroll1'].map((id) => {
          const r = document.getElementById(id).getBoundingClientRect();
          return [id, [r.left - window.left, r.top - window.top, r.width, r.height]];
        }));
      });
      check('the controls are where the scene puts them', same(places, PLACES), JSON.stringify(places));
      const [x, y] = PLACES.Cmd_Set, [offX, offY] = PLACES.Cmd_Start;
      const mark = await screenPixel(page, x + 8, y + 8), usable = await screenPixel(page, x + 2, y + 8);
      const unusable = await screenPixel(page, offX + 8, offY + 8);
      const light = ([r, g, b]) => r + g + b;
      check('the focused button shows the desktop\'s mark', same(mark, HIGHLIGHT), JSON.stringify(mark));
      check('the button that cannot be pressed is darker', light(unusable) < light(usable) - 60,
            JSON.stringify([unusable, usable]));
      const grass = await pixel(page, 300, 238), edge = await pixel(page, 300, 256);
      check('grass green RGB(0,192,0) and the gauge\'s black edge', same(grass, [0, 192, 0]) && same(edge, [0, 0, 0]),
            JSON.stringify([grass, edge]));
      if (screenshots) {
        await page.screenshot({ path: join(screenshots, 'web.png') });
        const png = await page.$eval('#scene', (canvas) => canvas.toDataURL('image/png').split(',')[1]);
        writeFileSync(join(screenshots, 'canvas-at-load.png'), Buffer.from(png, 'base64'));
      }
    }
    check(`ratio ${ratio}: nothing in the console`, errors.length === 0, errors.join(' | '));
    await page.close();
  }

  // Phones, held upright and sideways: the whole game on screen, played by tapping.
  for (const [width, height] of [[375, 667], [844, 390]]) {
    const { page, errors } = await open({ width, height, ratio: 2, phone: true });
    const fits = await page.evaluate(() => {
      const r = document.getElementById('form1').getBoundingClientRect();
      return r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight &&
        document.documentElement.scrollWidth <= innerWidth;
    });
    check(`phone ${width} x ${height}: the whole game is on screen, no sideways scroll`, fits);
    if (width < height) {
      await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_OUT_OF_REACH);
      const thumb = await (await page.$('#HScroll1 > .thumb')).boundingBox();
      const [x, y] = [thumb.x + thumb.width / 2, thumb.y + thumb.height / 2];
      await page.touchscreen.touchStart(x, y);
      for (let dx = 2; dx <= 10; dx += 2) await page.touchscreen.touchMove(x + dx, y);
      await page.touchscreen.touchEnd();
      const aimed = await angle(page);
      await page.tap('#Cmd_Set');
      await sleep(300);
      await page.tap('#Cmd_Start');
      await sleep(600);
      const trace = await page.evaluate(() => {
        const canvas = document.getElementById('scene');
        const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height * 0.7).data;
        return data.filter((v, i) => i % 4 === 0 && v + data[i + 1] + data[i + 2] === 0).length;
      });
      check('phone: a shot aimed by dragging the thumb, set and fired by tapping', Number(aimed) > 30 && trace > 20,
            `${aimed} ${trace}`);
      if (screenshots) await page.screenshot({ path: join(screenshots, 'web-phone.png') });
    }
    check(`phone ${width} x ${height}: no errors`, errors.length === 0, errors.join(' | '));
    await page.close();
  }

  // Installable, and after one visit the game plays with no network.
  const own = await serve(testSite);
  const { page, errors } = await open({ address: own.address });
  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  check('Chromium lists no installability errors', installabilityErrors.length === 0, JSON.stringify(installabilityErrors));
  await page.evaluate(() => navigator.serviceWorker.ready);
  own.stop();
  await page.reload();
  const offline = await page.waitForFunction(() => window.zorukanTest?.presents > 0, { timeout: 5000 }).then(() => true, () => false);
  check('offline, the page reloads and paints the game', offline && (await shows(page, 'sky.gif', 0, 0, 200)));
  check('offline: no errors', errors.length === 0, errors.join(' | '));
  await page.close();
}

async function controlsAndKeyboardShot() {
  const { page, errors } = await open();
  const tree = await page.accessibility.snapshot({ interestingOnly: true });
  const named = [];
  (function walk(node) {
    if (['button', 'textbox', 'slider'].includes(node.role)) named.push(`${node.role} ${node.name}`);
    (node.children ?? []).forEach(walk);
  })(tree);
  check('the controls and their names, in tab order', same(named,
    ['button 発射ボタン', 'button 発射セット', 'textbox 発射角度', 'slider 発射角度']), JSON.stringify(named));

  const tabs = [];
  for (let i = 0; i < 2; ++i) {
    await page.keyboard.press('Tab');
    tabs.push(await focusedId(page));
  }
  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  await page.keyboard.up('Shift');
  tabs.push(await focusedId(page));
  check('Tab walks the controls that can be used, Shift+Tab back', same(tabs, ['Text1', 'HScroll1', 'Cmd_Set']),
        JSON.stringify(tabs));

  await page.keyboard.press('ArrowRight');
  check('an arrow key on a button turns the barrel, the focus stays',
        (await angle(page)) === '31' && (await focusedId(page)) === 'Cmd_Set', await angle(page));
  await page.keyboard.press('ArrowLeft');

  await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_OUT_OF_REACH);
  const clearSky = await blackInSky(page);
  check('idle, no wake-up is armed', !(await page.evaluate(() => window.zorukanTest.armed)));
  await page.keyboard.down('Enter');
  for (let i = 0; i < 3; ++i) await page.keyboard.down('Enter');  // held: the key repeats
  await page.keyboard.up('Enter');
  const power = () => page.evaluate(() => window.zorukanTest.power());
  const swing = [await power(), await sleep(100).then(power)];
  check('a held Enter sets the gauge once and fires nothing: the gauge swings on',
        (await focusedId(page)) === 'Cmd_Start' && swing[0] !== swing[1] && (await blackInSky(page)) === clearSky,
        `${await focusedId(page)} ${swing}`);

  await page.evaluate(() => window.zorukanTest.watchFlight());
  const before = await presents(page);
  await page.keyboard.press('Space');
  await sleep(400);
  check('Space on 発射ボタン fires: the trace is drawn', (await blackInSky(page)) > clearSky + 20);

  // Typing while the shell flies: the game leaves the text box alone.
  await page.focus('#Text1');
  await page.keyboard.press('End');
  await page.keyboard.type('ab');
  await page.keyboard.press('Home');
  await sleep(200);  // three flight ticks
  await page.keyboard.type('X');
  const typed = await angle(page);
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyZ');
  await page.keyboard.press('KeyZ');
  await page.keyboard.up('Control');
  check('typing during a flight keeps the caret and what undo takes back', typed === 'X30ab' && (await angle(page)) === '30',
        `${typed} ${await angle(page)}`);
  await page.focus('#Cmd_Start');

  await page.waitForFunction(() => !document.getElementById('Cmd_Set').disabled, { timeout: 10000 });
  const ticks = await page.evaluate(() => window.zorukanTest.flight.ticks.length);
  const updates = (await presents(page)) - before;
  // One a flight tick, and one each for a gauge tick just before the shot,
  // the click and the explosion's end.
  check('one scene update a flight tick', ticks > 10 && updates <= ticks + 3, `${updates} updates, ${ticks} ticks`);
  check('the shot ends: 発射セット has the focus again', (await focusedId(page)) === 'Cmd_Set', await focusedId(page));
  check('the whole-window repaint wipes the trace', (await blackInSky(page)) === clearSky);
  check('armed again, no wake-up is armed', !(await page.evaluate(() => window.zorukanTest.armed)));

  // The angle bar: a click on the track steps it toward the click, arrow
  // keys step it, a drag changes the angle on release only.
  const bar = await (await page.$('#HScroll1')).boundingBox();
  await page.mouse.click(bar.x + bar.width - bar.height - 2, bar.y + bar.height / 2);
  check('a click on the track at its right end turns the barrel a degree', (await angle(page)) === '31', await angle(page));
  await page.focus('#Text1');
  await page.keyboard.sendCharacter('角'.repeat(2_000_000));  // pasted
  await page.focus('#HScroll1');
  await page.keyboard.press('ArrowRight');
  check('a huge paste into the angle box gives way to the angle at the next scroll', (await angle(page)) === '32',
        await angle(page));
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  check('each arrow key turns the barrel a degree', (await angle(page)) === '29', await angle(page));
  const thumb = await (await page.$('#HScroll1 > .thumb')).boundingBox();
  await page.mouse.move(thumb.x + thumb.width / 2, thumb.y + thumb.height / 2);
  await page.mouse.down();
  for (let dx = 4; dx <= 20; dx += 4) await page.mouse.move(thumb.x + thumb.width / 2 + dx, thumb.y + thumb.height / 2);
  await sleep(100);
  const whileDragging = await angle(page);
  await page.mouse.up();
  check('dragging the thumb changes nothing until it is released', whileDragging === '29', whileDragging);
  check('releasing it sets the angle', Number(await angle(page)) > 29, await angle(page));
  const released = Number(await angle(page));
  await page.click('#HScroll1 > .less');
  await page.click('#HScroll1 > .less');
  await page.click('#HScroll1 > .more');
  check('each click on an arrow turns it a degree', Number(await angle(page)) === released - 1, await angle(page));
  check('no errors', errors.length === 0, errors.join(' | '));
  await page.close();
}

async function hit() {
  const { page, errors } = await open();
  await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_IN_THE_WAY);
  const television = (file) => shows(page, file, TV_IN_THE_WAY / 15, 216);
  check('hit: the television stands in the way', await television('tv.gif'));
  await page.keyboard.press('Space');
  await page.keyboard.press('Enter');  // Enter presses a button too
  await page.waitForFunction(() => document.getElementById('box').open, { timeout: 5000 });
  check('hit, box 1: the segment that hits is drawn on the television',
        (await blackIn(page, TV_IN_THE_WAY / 15, 216, 21, 17)) > 0);
  for (const [i, prompt] of HIT_PROMPTS.entries()) {
    const box = await dialogState(page);
    check(`hit, box ${i + 1}: titled ${HIT_TITLE}, "${prompt}"`, box.open && box.title === HIT_TITLE && box.prompt === prompt,
          JSON.stringify(box));
    check(`hit, box ${i + 1}: the television is still whole`, await television('tv.gif'));
    if (screenshots && i === 0) await page.screenshot({ path: join(screenshots, 'web-hit.png') });
    const before = await presents(page);
    // A click on the text, the title or the page behind leaves OK the focus.
    for (const selector of ['#box-prompt', '#box-title']) await page.click(selector);
    await page.mouse.click(5, 5);
    check(`hit, box ${i + 1}: OK keeps the focus whatever is clicked`, (await focusedId(page)) === 'box-ok',
          await focusedId(page));
    await sleep(400);  // six flight periods
    check(`hit, box ${i + 1}: no flight tick while it is open`, (await presents(page)) === before && (await dialogState(page)).open);
    await page.keyboard.press(i === 0 ? 'Space' : 'Enter');
    await sleep(50);
  }
  check('both boxes closed, with Space and Enter', !(await dialogState(page)).open);
  check('then the broken television', await television('tv_broken.gif'));
  const after = await presents(page);
  await sleep(300);
  check('the flight goes on after the boxes', (await presents(page)) > after);
  check('no errors', errors.length === 0, errors.join(' | '));
  await page.close();
}

async function failures() {
  const { page } = await open();
  await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_OUT_OF_REACH);
  await page.keyboard.press('Space');
  await page.keyboard.press('Space');
  await page.evaluate(() => window.zorukanTest.overflowFlightTime());
  await page.waitForFunction(() => document.getElementById('box').open, { timeout: 5000 });
  const box = await dialogState(page);
  check('a run-time error shows in a dialog', box.title === 'ゾルカン' && box.prompt.startsWith('実行時エラー 6: オーバーフローしました。'),
        JSON.stringify(box));
  await page.keyboard.press('Enter');
  const before = await presents(page);
  await sleep(300);
  const controls = await page.$$eval('#form1 > :not(canvas)', (all) => all.map((c) => c.disabled ?? c.ariaDisabled === 'true'));
  check('and stops the game: nothing ticks, every control is off',
        (await presents(page)) === before && controls.every(Boolean), JSON.stringify(controls));

  // Opened from a file: a Japanese message that says how to play.
  await page.goto(pathToFileURL(join(resolve(site), 'index.html')).href);
  const notice = await page.$eval('#cannot-start', (p) => (p.hidden ? '' : p.textContent));
  check('opened from a file, the page says in Japanese how to play', /ファイル/.test(notice) && notice.includes('tools/web.sh'),
        notice);
  await page.close();

  // The shipped program exports no test hook. Its exports' names are
  // shortened; the loader, which maps every one to its function's name,
  // names the hooks in the test build and none in the shipped one.
  const hooks = (dir) => readFileSync(join(dir, 'zorukan.js'), 'utf8').match(/zk_test_\w+/g) ?? [];
  check('the shipped program exports no test hook', hooks(site).length === 0 && hooks(testSite).length > 0,
        hooks(site).join(' '));
}

// The page as other hosts serve it: a release that the browser's HTTP cache
// may keep for ten minutes, the game's script refused or blocked, and the
// service worker missing or refused. Each host serves a copy of the site.
async function hosts() {
  const copies = [];
  const copy = () => {
    const dir = mkdtempSync(join(tmpdir(), 'zorukan-host-'));
    cpSync(testSite, dir, { recursive: true });
    copies.push(dir);
    return dir;
  };
  const visit = async (host) => {
    const page = await browser.newPage();
    // Whether the page's own words that the game could not start were ever
    // there while its script had yet to run: shown through a slow load.
    await page.evaluateOnNewDocument(() => new MutationObserver((changes, observer) => {
      if (!document.getElementById('not-run')) return;
      window.wordsBeforeScript = !document.documentElement.classList.contains('scripted');
      observer.disconnect();
    }).observe(document, { childList: true, subtree: true }));
    await page.goto(host.address);
    await page.waitForFunction(() => window.zorukanTest?.presents > 0, { timeout: 10000 });
    return page;
  };
  try {
    // A new release: each file of the site changed, and a new worker.
    const dir = copy();
    const host = await serve(dir, { headers: { 'Cache-Control': 'max-age=600' } });
    const first = await visit(host);
    await first.evaluate(() => navigator.serviceWorker.ready);
    await first.waitForFunction(async () => (await caches.keys()).length === 1);
    await first.close();
    const release = (file, edit) => writeFileSync(join(dir, file), edit(readFileSync(join(dir, file))));
    release('index.html', (text) => String(text).replace('<title>', '<meta name="release" content="2">\n<title>'));
    release('zorukan.js', (text) => `${text}\nwindow.release = 2;\n`);
    release('page.css', (text) => `${text}\n/* release 2 */\n`);
    for (const file of ['sky.gif', 'zorukan-512.png']) release(file, (bytes) => Buffer.concat([bytes, Buffer.from([2])]));
    let cacheName;
    release('sw.js', (text) => String(text).replace(/'(zorukan-\w+)'/, (_, name) => `'${(cacheName = `${name}-2`)}'`));
    const shows = async (page) => page.evaluate(() => [document.querySelector('meta[name=release]')?.content, window.release,
      window.wordsBeforeScript]);
    const second = await visit(host);
    check('served with max-age=600, the next online visit shows the new release', same(await shows(second), ['2', 2, false]),
          JSON.stringify(await shows(second)));
    // The new worker keeps the new release whole and nothing else.
    await second.waitForFunction(async (name) => (await caches.keys()).join() === name, { timeout: 10000 }, cacheName)
      .catch(() => {});
    const kept = await second.evaluate(async () => {
      const files = {};
      for (const name of await caches.keys()) {
        const cache = await caches.open(name);
        for (const request of await cache.keys()) {
          const digest = await crypto.subtle.digest('SHA-256', await (await cache.match(request)).arrayBuffer());
          files[`${name} ${new URL(request.url).pathname}`] = [...new Uint8Array(digest)].map((b) => b.toString(16).padStart(2, '0')).join('');
        }
      }
      return files;
    });
    const stale = Object.entries(kept).filter(([key, digest]) => {
      const [name, path] = key.split(' ');
      const file = join(dir, path.endsWith('/') ? 'index.html' : path);
      return name !== cacheName || createHash('sha256').update(readFileSync(file)).digest('hex') !== digest;
    });
    check('and its worker keeps the new release alone', Object.keys(kept).length > 10 && stale.length === 0,
          stale.map(([key]) => key).join(' ') || JSON.stringify(kept));
    await second.close();
    host.stop();
    const offline = await visit(host).catch(() => null);
    check('offline after that, the new release plays', offline !== null && same(await shows(offline), ['2', 2, false]),
          offline && JSON.stringify(await shows(offline)));
    await offline?.close();

    // The script refused, or blocked: the page's own words, no empty window.
    for (const [how, options] of [
      ['refused (text/plain, nosniff)', { types: { '.js': 'text/plain' }, headers: { 'X-Content-Type-Options': 'nosniff' } }],
      ['blocked', {}]]) {
      const refusing = await serve(testSite, options);
      const page = await browser.newPage();
      if (how === 'blocked') {
        await page.setRequestInterception(true);
        page.on('request', (request) => (request.url().endsWith('/zorukan.js') ? request.abort('blockedbyclient') : request.continue()));
      }
      await page.goto(refusing.address);
      const said = await page.evaluate(() => ({ words: document.getElementById('not-run').checkVisibility(),
                                                window: document.getElementById('form1').checkVisibility() }));
      const text = await page.$eval('#not-run', (p) => p.textContent);
      check(`the script ${how}: the page says in Japanese that the game could not start, and shows no window`,
            said.words && !said.window && text.startsWith('ゲームを始められませんでした'), JSON.stringify(said));
      await page.close();
      refusing.stop();
    }

    // No worker: said on the console, with the browser's reason, and the game plays.
    const noWorker = copy();
    rmSync(join(noWorker, 'sw.js'));
    for (const [how, site, options, reason] of [['missing', noWorker, {}, /404/],
      ['served as text/plain', testSite, { types: { '/sw.js': 'text/plain' } }, /MIME/]]) {
      const workerless = await serve(site, options);
      const page = await browser.newPage();
      const warnings = [];
      page.on('console', (message) => message.type() === 'warn' && warnings.push(message.text()));
      await page.goto(workerless.address);
      await page.waitForFunction(() => window.zorukanTest?.presents > 0);
      for (let i = 0; i < 50 && !warnings.length; ++i) await sleep(100);
      await page.keyboard.press('Space');  // on 発射セット, which has the focus
      const power = () => page.evaluate(() => window.zorukanTest.power());
      const swing = [await power(), await sleep(100).then(power)];
      check(`sw.js ${how}: a warning on the console with the reason, and the gauge swings`,
            warnings.some((text) => text.includes('オフライン') && reason.test(text)) && swing[0] !== swing[1],
            `${warnings.join(' | ')} ${swing}`);
      await page.close();
      workerless.stop();
    }
  } finally {
    for (const dir of copies) rmSync(dir, { recursive: true, force: true });
  }
}

try {
  for (const part of [startUp, controlsAndKeyboardShot, hit, failures, hosts]) {
    try {
      await part();
    } catch (error) {
      check(`${part.name} ran to the end`, false, error.message);
    }
  }
} finally {
  await browser.close();
  server.stop();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
