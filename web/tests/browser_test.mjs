// Plays the built web page in headless Chromium: node browser_test.mjs SITE [SCREENSHOTS]
// SITE is the shipped site (tools/web.sh build OUT writes OUT/site); the game
// is played in the test build beside it (OUT/site-test), which has the
// hooks. Checks the start-up scene at several pixel ratios, on phones held
// either way and turned, and at 300 % zoom, offline play and installing,
// what assistive technology reads, a shot played with the keyboard alone and
// one by touch, the angle bar, a hit with both dialogs, a release reaching
// players, and the failures.
// With SCREENSHOTS it also saves the page, phones and the canvas at load there.
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
// Where the scene puts the controls, in scene pixels: x, y, w, h. The angle
// bar has an arrow at each end as wide as it is high, an 8-pixel thumb
// between; the angle box's text entry lies inside its 2-pixel frame.
const PLACES = { Cmd_Start: [104, 264, 17, 17], Cmd_Set: [40, 264, 17, 17], Text1: [530, 266, 21, 14],
                 HScroll1: [480, 283, 73, 17], Shape1: [176, 256, 267, 17] };
const BAR = { y: 291, less: 488, more: 544, track: [497, 536] };
const thumbAt = (angle) => BAR.track[0] + Math.round((angle * (BAR.track[1] - BAR.track[0] - 8)) / 90) + 4;
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
  // Warnings count too, but for Chromium's advice on reading the canvas back,
  // which only this test's own pixel checks bring about.
  const ours = (text) => !text.startsWith('Canvas2D: Multiple readback operations');
  page.on('console', (message) => ['error', 'warn'].includes(message.type()) && ours(message.text()) &&
    errors.push(message.text()));
  await page.setViewport({ width, height, deviceScaleFactor: ratio, isMobile: phone, hasTouch: phone });
  await page.goto(address);
  await page.waitForFunction(() => window.zorukanTest?.presents > 0);
  return { page, errors };
}

// Turns a phone, and gives the page the time to lay itself out again.
async function turn(page, width, height, ratio) {
  await page.setViewport({ width, height, deviceScaleFactor: ratio, isMobile: true, hasTouch: true });
  await sleep(300);
}

// Where the window is: its corner in CSS pixels, its own device pixels,
// and CSS pixels a scene pixel.
const windowOf = (page) => page.evaluate(() => {
  const box = document.getElementById('form1').getBoundingClientRect();
  const { w, h, scale } = window.zorukanTest.window;
  return { left: box.left, top: box.top, w, h, css: scale / devicePixelRatio };
});
// The middle of scene pixel (x, y) in CSS pixels of the page.
const at = (win, x, y) => [win.left + (x + 0.5) * win.css, win.top + (y + 0.5) * win.css];
const middle = (win, name) => {
  const [x, y, w, h] = PLACES[name];
  return at(win, x + w / 2, y + h / 2);
};

// Whether the whole window is in view, and how many of its pixels on the
// screen differ from the canvas's own, but for the angle box's text (which
// the page's text entry sets over it) and an open message box, of how many
// compared.
const onScreen = async (page) => {
  const shot = await page.screenshot({ encoding: 'base64' });
  return page.evaluate(async (shot) => {
    const bytes = Uint8Array.from(atob(shot), (c) => c.charCodeAt(0));
    const image = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const screen = new OffscreenCanvas(image.width, image.height).getContext('2d', { willReadFrequently: true });
    screen.drawImage(image, 0, 0);
    const ratio = devicePixelRatio, box = document.getElementById('form1').getBoundingClientRect();
    const { w, h } = window.zorukanTest.window;
    const [x0, y0] = [Math.round(box.left * ratio), Math.round(box.top * ratio)];
    const inView = x0 >= 0 && y0 >= 0 && x0 + w <= visualViewport.width * ratio && y0 + h <= visualViewport.height * ratio;
    const own = document.getElementById('scene').getContext('2d').getImageData(0, 0, w, h).data;
    const shown = screen.getImageData(x0, y0, w, h).data;
    const over = [...document.querySelectorAll('#Text1, #box[open]')].map((e) => e.getBoundingClientRect())
      .map((t) => [t.left * ratio - x0 - 1, t.top * ratio - y0 - 1, t.right * ratio - x0 + 1, t.bottom * ratio - y0 + 1]);
    let differ = 0, compared = 0;
    for (let y = 0; y < h; ++y) {
      for (let x = 0; x < w; ++x) {
        if (over.some(([l, u, r, b]) => x >= l && x < r && y >= u && y < b)) continue;
        ++compared;
        const i = (y * w + x) * 4;
        if (own[i] !== shown[i] || own[i + 1] !== shown[i + 1] || own[i + 2] !== shown[i + 2]) ++differ;
      }
    }
    return { inView, differ, compared, size: [w, h] };
  }, shot);
};
async function checkShown(what, page) {
  const { inView, differ, compared, size } = await onScreen(page);
  check(`${what}: the whole window in view, each pixel of its canvas one of the screen`,
        inView && differ === 0 && compared > size[0] * size[1] * 0.75, `in view ${inView}, ${differ} of ${compared} differ`);
}

// The canvas's pixel at scene pixel (x, y), as [r, g, b].
const pixel = (page, x, y) => page.evaluate((x, y) => {
  const { scale } = window.zorukanTest.window;
  const at = (v) => Math.floor((v + 0.5) * scale);
  return [...document.getElementById('scene').getContext('2d').getImageData(at(x), at(y), 1, 1).data.slice(0, 3)];
}, x, y);

// The power bar as drawn and as the game holds it, in one moment: about as
// many scene pixels of its gauge's middle row as the bar is wide (its dark
// grey, and its black end), and its width in twips. A tick moves it by 13.
const barShown = (page) => page.evaluate((x, y, w) => {
  const { scale } = window.zorukanTest.window;
  const at = (v) => Math.floor((v + 0.5) * scale);
  const row = document.getElementById('scene').getContext('2d').getImageData(0, at(y), at(x + w), 1).data;
  let drawn = 0;
  for (let i = x; i < x + w; ++i) if (row[4 * at(i)] === 64 && row[4 * at(i) + 1] === 64) ++drawn;
  return { drawn: drawn + 1, power: window.zorukanTest.power() };
}, PLACES.Shape1[0], PLACES.Shape1[1] + 8, PLACES.Shape1[2]);

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

// How many pure black pixels the sky holds, at any scale.
const blackInSky = (page) => page.evaluate(() => {
  const { w, scale } = window.zorukanTest.window;
  const data = document.getElementById('scene').getContext('2d').getImageData(0, 0, w, Math.floor(216 * scale)).data;
  let count = 0;
  for (let i = 0; i < data.length; i += 4) if (data[i] + data[i + 1] + data[i + 2] === 0) ++count;
  return count;
});

const focusedId = (page) => page.evaluate(() => document.activeElement?.id ?? '');
const angle = (page) => page.$eval('#Text1', (input) => input.value);
const dialogState = (page) => page.evaluate(() => {
  const box = document.getElementById('box');
  return { open: box.open, title: box.querySelector('h1').textContent, prompt: box.querySelector('p').textContent };
});
const presents = (page) => page.evaluate(() => window.zorukanTest.presents);
const usable = (page, id) => page.$eval(`#${id}`, (button) => !button.disabled);

async function startUp() {
  for (const ratio of [1, 1.25, 1.5, 1.75, 2]) {
    const { page, errors } = await open({ width: 800, height: 600, ratio });
    await checkShown(`ratio ${ratio}`, page);
    if (ratio === 1) {
      check('titled with the window\'s caption', (await page.title()) === CAPTION, await page.title());
      check('発射セット has the focus at load', (await focusedId(page)) === 'Cmd_Set', await focusedId(page));
      const places = await page.evaluate(() => {
        const window = document.getElementById('form1').getBoundingClientRect();
        return Object.fromEntries(['Cmd_Start', 'Cmd_Set', 'Text1', 'HScroll1', 'Shape1'].map((id) => {
          const r = document.getElementById(id).getBoundingClientRect();
          return [id, [r.left - window.left, r.top - window.top, r.width, r.height]];
        }));
      });
      check('the controls\' elements lie over the controls', same(places, PLACES), JSON.stringify(places));
      const grass = await pixel(page, 300, 238), edge = await pixel(page, 300, 256);
      check('grass green RGB(0,192,0) and the gauge\'s black edge', same(grass, [0, 192, 0]) && same(edge, [0, 0, 0]),
            JSON.stringify([grass, edge]));
      if (screenshots) {
        await page.screenshot({ path: join(screenshots, 'web.png') });
        const png = await page.$eval('#scene', (canvas) => canvas.toDataURL('image/png').split(',')[1]);
        writeFileSync(join(screenshots, 'canvas-at-load.png'), Buffer.from(png, 'base64'));
      }
    }
    if (screenshots && ratio === 2) await page.screenshot({ path: join(screenshots, 'web@2x.png') });
    check(`ratio ${ratio}: nothing in the console`, errors.length === 0, errors.join(' | '));
    await page.close();
  }

  // A browser zoomed to 300 %: three device pixels a CSS pixel, little room,
  // and the window's height not a whole number of CSS pixels.
  {
    const { page, errors } = await open({ width: 427, height: 240, ratio: 3 });
    await checkShown('300 % zoom', page);
    check('300 % zoom: no errors', errors.length === 0, errors.join(' | '));
    await page.close();
  }

  // A phone opened sideways and turned upright at rest, played by touch,
  // and turned back during the flight.
  {
    const { page, errors } = await open({ width: 844, height: 390, ratio: 2, phone: true });
    await checkShown('phone sideways', page);
    await turn(page, 390, 844, 2);
    await checkShown('phone turned upright', page);
    await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_OUT_OF_REACH);
    // The angle set by a finger that lands on the bar's track left of the
    // thumb, below the window's edge, and drags the thumb to the far end.
    // A finger reaches a control 22 CSS pixels from its middle.
    const win = await windowOf(page);
    const [x, y] = at(win, BAR.track[0] + 1, 309);
    await page.touchscreen.touchStart(x, y + 6);
    for (const dx of [2, 8, 20, 40, 60]) await page.touchscreen.touchMove(x + dx, y + 6);
    await page.touchscreen.touchEnd();
    const aimed = await angle(page);
    // Each button tapped beside itself, within a finger's reach.
    const [setX, setY] = middle(win, 'Cmd_Set');
    await page.touchscreen.tap(setX + 18, setY);
    await sleep(300);
    const [fireX, fireY] = middle(win, 'Cmd_Start');
    await page.touchscreen.tap(fireX, fireY + 18);
    await sleep(500);
    const trace = await blackInSky(page);
    check('phone: a shot aimed by a drag from the track past the window\'s edge, set and fired by tapping beside',
          aimed === '90' && trace > 20, `angle ${aimed}, ${trace} black pixels in the sky`);
    if (screenshots) await page.screenshot({ path: join(screenshots, 'web-phone.png') });
    await page.evaluate(() => window.zorukanTest.hold());
    await turn(page, 844, 390, 2);
    await checkShown('phone turned sideways during a flight', page);
    const grass = await pixel(page, 300, 238), shell = await blackInSky(page);
    check('the scene and the trace are painted anew at the new size', same(grass, [0, 192, 0]) && shell > trace &&
          shell < 20000, `${grass} ${shell}`);
    await page.evaluate(() => window.zorukanTest.letGo());
    await page.waitForFunction(() => !document.getElementById('Cmd_Set').disabled, { timeout: 15000 });
    check('phone: no errors', errors.length === 0, errors.join(' | '));
    await page.close();
  }

  // Installable, and after one visit the game plays with no network.
  const own = await serve(testSite);
  const { page, errors } = await open({ address: own.address });
  // The page links its manifest and registers its worker only once it is idle
  // after the first frame; on a busy machine that can come a while later.
  await page.waitForSelector('link[rel=manifest]');
  await page.evaluate(() => navigator.serviceWorker.ready);
  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  check('Chromium lists no installability errors', installabilityErrors.length === 0, JSON.stringify(installabilityErrors));
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
    if (['main', 'button', 'textbox', 'slider', 'progressbar'].includes(node.role)) named.push(`${node.role} ${node.name}`);
    (node.children ?? []).forEach(walk);
  })(tree);
  check('the window and its controls with their names, in tab order', same(named,
    [`main ${CAPTION}`, 'button 発射ボタン', 'button 発射セット', 'textbox 発射角度', 'slider 発射角度', 'progressbar 発射パワー']),
        JSON.stringify(named));

  // The focus mark shows only while the page has the focus.
  const mark = () => pixel(page, 48, 272);
  const other = await browser.newPage();
  await other.bringToFront();
  const away = await mark();
  await other.close();
  await page.bringToFront();
  await sleep(50);
  check('the focus mark shows while the page has the focus, and not while another has',
        same(await mark(), HIGHLIGHT) && !same(away, HIGHLIGHT), JSON.stringify([await mark(), away]));

  // Round and round, which the page's own tab order would not do.
  const tabs = [];
  for (let i = 0; i < 3; ++i) {
    await page.keyboard.press('Tab');
    tabs.push(await focusedId(page));
  }
  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');
  tabs.push(await focusedId(page));
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  await page.keyboard.up('Shift');
  tabs.push(await focusedId(page));
  check('Tab walks the controls that can be used, round, Shift+Tab back', same(tabs,
    ['Text1', 'HScroll1', 'Cmd_Set', 'HScroll1', 'Cmd_Set']), JSON.stringify(tabs));

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
  const gauge = () => page.$eval('#Shape1', (bar) => bar.getAttribute('aria-valuenow'));
  const swing = [await power(), await gauge(), await sleep(300).then(power), await gauge()];  // its value is told four times a second
  const bar = await barShown(page);
  check('a held Enter sets the gauge once and fires nothing: the gauge swings on, is drawn, and says so',
        (await focusedId(page)) === 'Cmd_Start' && swing[0] !== swing[2] && swing[1] !== swing[3] &&
        Math.abs(bar.drawn - bar.power / 15) <= 2 && (await blackInSky(page)) === clearSky,
        `${await focusedId(page)} ${swing}, bar ${JSON.stringify(bar)}`);

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
  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');  // to 発射ボタン, which the shot's end disables
  await page.keyboard.up('Shift');

  await page.waitForFunction(() => !document.getElementById('Cmd_Set').disabled, { timeout: 10000 });
  const ticks = await page.evaluate(() => window.zorukanTest.flight.ticks.length);
  const updates = (await presents(page)) - before;
  // One a flight tick, and one each for a gauge tick just before the shot,
  // the key, the focus moved into the angle box and out, and the
  // explosion's end.
  check('one scene update a flight tick', ticks > 10 && updates <= ticks + 5, `${updates} updates, ${ticks} ticks`);
  check('the shot ends: 発射セット has the focus again', (await focusedId(page)) === 'Cmd_Set', await focusedId(page));
  check('the whole-window repaint wipes the trace', (await blackInSky(page)) === clearSky);
  check('armed again, no wake-up is armed', !(await page.evaluate(() => window.zorukanTest.armed)));

  // The angle bar, by mouse: a click on the track steps it toward the
  // click, a held arrow repeats, a drag changes the angle on release only.
  const win = await windowOf(page);
  await page.mouse.click(...at(win, BAR.track[1] - 2, BAR.y));
  check('a click on the track at its right end turns the barrel a degree', (await angle(page)) === '31', await angle(page));
  await page.focus('#Text1');
  await page.keyboard.sendCharacter('角'.repeat(2_000_000));  // pasted
  await page.keyboard.press('Tab');
  await page.keyboard.press('ArrowRight');
  check('a huge paste into the angle box gives way to the angle at the next scroll', (await angle(page)) === '32',
        await angle(page));
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  check('each arrow key turns the barrel a degree', (await angle(page)) === '29', await angle(page));
  await page.keyboard.press('End');
  const end = await angle(page);
  await page.keyboard.press('Home');
  check('End and Home turn it to the ends', end === '90' && (await angle(page)) === '0', `${end} ${await angle(page)}`);
  await page.mouse.move(...at(win, BAR.more, BAR.y));
  await page.mouse.down();
  await sleep(700);
  await page.mouse.up();
  const held = Number(await angle(page));
  await sleep(200);
  check('an arrow held down steps on and on, until let go', held >= 4 && held <= 25 && (await angle(page)) === String(held),
        `${held} ${await angle(page)}`);
  const [x, y] = at(win, thumbAt(held), BAR.y);
  await page.mouse.move(x, y);
  await page.mouse.down();
  for (let dx = 4; dx <= 20; dx += 4) await page.mouse.move(x + dx, y);
  await sleep(100);
  const whileDragging = await angle(page);
  await page.mouse.up();
  check('dragging the thumb changes nothing until it is released', whileDragging === String(held), whileDragging);
  check('releasing it sets the angle', Number(await angle(page)) > held, await angle(page));
  const released = Number(await angle(page));
  await page.mouse.click(...at(win, BAR.less, BAR.y));
  await page.mouse.click(...at(win, BAR.less, BAR.y));
  await page.mouse.click(...at(win, BAR.more, BAR.y));
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
  const segment = await page.evaluate((x) => {
    const data = document.getElementById('scene').getContext('2d').getImageData(x, 216, 21, 17).data;
    return data.filter((v, i) => i % 4 === 0 && v + data[i + 1] + data[i + 2] === 0).length;
  }, TV_IN_THE_WAY / 15);
  check('hit, box 1: the segment that hits is drawn on the television', segment > 0);
  const tree = await page.accessibility.snapshot({ interestingOnly: true });
  const box = (function find(node) {
    return node.role === 'dialog' ? node : (node.children ?? []).map(find).find(Boolean);
  })(tree);
  check('hit, box 1: a modal dialog named by its title, described by its prompt',
        box?.modal && box.name === HIT_TITLE && box.description === HIT_PROMPTS[0], JSON.stringify(box));
  for (const [i, prompt] of HIT_PROMPTS.entries()) {
    const shown = await dialogState(page);
    check(`hit, box ${i + 1}: titled ${HIT_TITLE}, "${prompt}"`, shown.open && shown.title === HIT_TITLE &&
          shown.prompt === prompt, JSON.stringify(shown));
    check(`hit, box ${i + 1}: the television is still whole`, await television('tv.gif'));
    if (screenshots && i === 0) await page.screenshot({ path: join(screenshots, 'web-hit.png') });
    const before = await presents(page);
    // A click on the text, the title or the page behind leaves OK the focus.
    for (const selector of ['#box-prompt', '#box-title']) await page.click(selector);
    await page.mouse.click(5, 5);
    check(`hit, box ${i + 1}: OK keeps the focus whatever is clicked`, (await focusedId(page)) === 'box-ok',
          await focusedId(page));
    await page.keyboard.press('Escape');
    await sleep(400);  // six flight periods
    check(`hit, box ${i + 1}: no flight tick while it is open, and Escape leaves it open`,
          (await presents(page)) === before && (await dialogState(page)).open);
    if (i === 0) {
      // Space held down closes this box, and its repeats leave the next one open.
      await page.keyboard.down('Space');
      await page.waitForFunction((p) => document.getElementById('box-prompt').textContent === p, {}, HIT_PROMPTS[1]);
      await page.keyboard.down('Space');
      await page.keyboard.down('Space');
      await page.keyboard.up('Space');
      await sleep(50);
    } else {
      await page.keyboard.press('Enter');
      await sleep(50);
    }
  }
  check('both boxes closed, with Space and Enter', !(await dialogState(page)).open);
  check('then the broken television', await television('tv_broken.gif'));
  const after = await presents(page);
  await sleep(300);
  check('the flight goes on after the boxes', (await presents(page)) > after);
  check('no errors', errors.length === 0, errors.join(' | '));
  await page.close();

  // On a phone, by touch, turned while a box is open.
  {
    const { page, errors } = await open({ width: 412, height: 915, ratio: 2.625, phone: true });
    await checkShown('phone 412 x 915 at 2.625', page);
    if (screenshots) await page.screenshot({ path: join(screenshots, 'web-phone-412.png') });
    await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_IN_THE_WAY);
    const win = await windowOf(page);
    await page.touchscreen.tap(...middle(win, 'Cmd_Set'));
    await page.touchscreen.tap(...middle(win, 'Cmd_Start'));
    await page.waitForFunction(() => document.getElementById('box').open, { timeout: 5000 });
    const ok = await page.$eval('#box-ok', (button) => [button.offsetWidth, button.offsetHeight]);
    check('phone: OK is a finger\'s size', ok[0] >= 44 && ok[1] >= 44, JSON.stringify(ok));
    await turn(page, 915, 412, 2.625);
    await checkShown('phone turned sideways with a box open', page);
    const before = await presents(page);
    for (let i = 0; i < 2; ++i) {
      await page.waitForFunction((p) => document.getElementById('box').open &&
        document.getElementById('box-prompt').textContent === p, { timeout: 5000 }, HIT_PROMPTS[i]);
      const button = await (await page.$('#box-ok')).boundingBox();
      await page.touchscreen.tap(button.x + button.width / 2, button.y + button.height / 2);
    }
    await sleep(300);
    check('phone: both boxes closed by tapping OK, the flight goes on at the new size',
          !(await dialogState(page)).open && (await presents(page)) > before + 2 &&
          (await page.evaluate(() => window.zorukanTest.window.w)) > win.w, await presents(page) - before);
    check('phone 412 x 915: no errors', errors.length === 0, errors.join(' | '));
    await page.close();
  }
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
  const controls = await page.$$eval('#form1 > [tabindex], #form1 > button, #form1 > input',
                                     (all) => all.map((c) => c.disabled ?? c.ariaDisabled === 'true'));
  check('and stops the game: nothing ticks, every control is off',
        (await presents(page)) === before && controls.length === 4 && controls.every(Boolean), JSON.stringify(controls));

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

    // A picture missing, one the first frame shows or one only a hit shows:
    // the page names it in Japanese, before the first frame or in a box.
    for (const file of ['sky.gif', 'explosion.gif']) {
      const dir = copy();
      rmSync(join(dir, file));
      const host = await serve(dir);
      const page = await browser.newPage();
      await page.goto(host.address);
      const said = () => page.evaluate(() => ['cannot-start', 'box-prompt'].map((id) => document.getElementById(id))
        .filter((element) => element.checkVisibility()).map((element) => element.textContent).join(''));
      let text = '';
      for (let i = 0; i < 50 && !text; ++i) text = await sleep(100).then(said);
      check(`${file} missing: the page says in Japanese which picture it could not load`,
            text.startsWith(`ゲームの絵（${file}）を読み込めませんでした`), text);
      await page.close();
      host.stop();
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
