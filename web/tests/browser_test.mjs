// Plays the built web page in headless Chromium: node browser_test.mjs SITE [SCREENSHOTS]
// Serves SITE on localhost, then checks the start-up scene at two pixel
// ratios, the controls' names and tab order, a shot played with the keyboard
// alone, a hit with both dialogs, the angle bar, and a run-time error. With
// SCREENSHOTS it also saves the page at both ratios there.
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';

const [site, screenshots] = process.argv.slice(2);
if (!site) {
  console.error('usage: node browser_test.mjs SITE [SCREENSHOTS]');
  process.exit(2);
}
const puppeteer = await import('puppeteer-core').then((module) => module.default, () => {
  console.error('browser_test: puppeteer-core is not installed; run tools/web.sh browser');
  process.exit(2);
});

const CAPTION = 'ドンガラ　ゾルカン';
const HIT_TITLE = '破壊';
const HIT_PROMPTS = ['テレビが破壊されました。', '夜七時からのピロリン座も見れなくなりました。'];
// Twips: every shot passes through a television here, just past the barrel;
// no shot at 30 degrees reaches one here.
const TV_IN_THE_WAY = 900;
const TV_OUT_OF_REACH = 8400;

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
                '.gif': 'image/gif', '.png': 'image/png' };
const server = createServer((request, response) => {
  const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
  try {
    const body = readFileSync(join(site, path.endsWith('/') ? `${path}index.html` : path));
    response.writeHead(200, { 'Content-Type': types[extname(path) || '.html'] ?? 'application/octet-stream' });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const address = `http://127.0.0.1:${server.address().port}/`;

const profile = mkdtempSync(join(tmpdir(), 'zorukan-chromium-'));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});

let passed = 0, failed = 0;
function check(what, ok, detail = '') {
  if (ok) ++passed;
  else ++failed;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${ok || !detail ? '' : `: ${String(detail).slice(0, 300)}`}`);
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function open(dpr) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  await page.setViewport({ width: 640, height: 360, deviceScaleFactor: dpr });
  await page.goto(`${address}?test`);
  await page.waitForFunction(() => window.zorukanTest?.presents > 0 && document.images !== undefined);
  await page.waitForFunction(() => document.getElementById('scene').width > 300);
  return { page, errors };
}

// The canvas's pixel at CSS pixel (x, y), as [r, g, b], from its backing store.
const pixel = (page, x, y) => page.evaluate((x, y) => {
  const canvas = document.getElementById('scene');
  const ratio = canvas.width / parseFloat(canvas.style.width);
  return [...canvas.getContext('2d').getImageData(Math.floor(x * ratio), Math.floor(y * ratio), 1, 1).data.slice(0, 3)];
}, x, y);

// Whether the canvas (at ratio 1) shows the picture `file` at (x, y); the
// trace's black may cross it.
const shows = (page, file, x, y) => page.evaluate(async (file, x, y) => {
  const image = new Image();
  image.src = file;
  await image.decode();
  const own = new OffscreenCanvas(image.width, image.height).getContext('2d');
  own.drawImage(image, 0, 0);
  const want = own.getImageData(0, 0, image.width, image.height).data;
  const got = document.getElementById('scene').getContext('2d').getImageData(x, y, image.width, image.height).data;
  for (let i = 0; i < want.length; i += 4) {
    const black = got[i] + got[i + 1] + got[i + 2] === 0;
    if (!black && (got[i] !== want[i] || got[i + 1] !== want[i + 1] || got[i + 2] !== want[i + 2])) return false;
  }
  return true;
}, file, x, y);

// How many pure black pixels the sky holds: the trace, nothing else.
const blackInSky = (page) => page.evaluate(() => {
  const canvas = document.getElementById('scene');
  const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, Math.floor(canvas.height * 0.7)).data;
  let count = 0;
  for (let i = 0; i < data.length; i += 4) if (data[i] + data[i + 1] + data[i + 2] === 0) ++count;
  return count;
});

const focusedId = (page) => page.evaluate(() => document.activeElement?.id ?? '');
const dialogState = (page) => page.evaluate(() => {
  const box = document.getElementById('box');
  return { open: box.open, title: box.querySelector('h1').textContent, prompt: box.querySelector('p').textContent };
});
const televisionFile = (page) => page.evaluate(() => window.zorukanTest.scene().draw
  .find((item) => item.name === 'Tv').file);
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

async function startUp() {
  for (const dpr of [1, 2]) {
    const { page, errors } = await open(dpr);
    check(`dpr ${dpr}: the page is titled with the window's caption`, (await page.title()) === CAPTION, await page.title());
    const size = await page.evaluate(() => [document.getElementById('scene').width, document.getElementById('scene').height]);
    check(`dpr ${dpr}: the canvas's backing store is ${dpr} device pixels a CSS pixel`,
          same(size, [585 * dpr, 309 * dpr]), JSON.stringify(size));
    const sky = await pixel(page, 300, 160), grass = await pixel(page, 300, 235), panel = await pixel(page, 100, 260);
    check(`dpr ${dpr}: sky above, blue`, sky[2] > 150 && sky[2] > sky[0] + 40, JSON.stringify(sky));
    check(`dpr ${dpr}: grass green RGB(0,192,0)`, same(grass, [0, 192, 0]), JSON.stringify(grass));
    check(`dpr ${dpr}: the grey panel below`, Math.abs(panel[0] - panel[2]) < 24 && panel[0] > 96, JSON.stringify(panel));
    // The power gauge's top edge is one black CSS pixel over white: crisp,
    // with no grey from smoothing on either side, at any ratio.
    const edge = await page.evaluate((dpr) => {
      const data = document.getElementById('scene').getContext('2d').getImageData(300 * dpr, 256 * dpr - 1, 1, dpr + 2).data;
      return Array.from({ length: dpr + 2 }, (_, i) => data[i * 4]);
    }, dpr);
    check(`dpr ${dpr}: the gauge's edge is crisp`, edge[0] > 96 && edge.slice(1, -1).every((v) => v === 0) && edge.at(-1) === 255,
          JSON.stringify(edge));
    if (screenshots) await page.screenshot({ path: join(screenshots, `web${dpr === 1 ? '' : `@${dpr}x`}.png`) });
    check(`dpr ${dpr}: no errors on the page`, errors.length === 0, errors.join(' | '));
    await page.close();
  }
}

async function controlsAndKeyboardShot() {
  const { page, errors } = await open(1);
  const tree = await page.accessibility.snapshot({ interestingOnly: true });
  const named = [];
  (function walk(node) {
    if (['button', 'textbox', 'slider'].includes(node.role)) named.push(`${node.role} ${node.name}`);
    (node.children ?? []).forEach(walk);
  })(tree);
  check('the controls and their names, in tab order', same(named,
    ['button 発射ボタン', 'button 発射セット', 'textbox 発射角度', 'slider 発射角度']), JSON.stringify(named));

  const tabs = [];
  for (let i = 0; i < 3; ++i) {
    await page.keyboard.press('Tab');
    tabs.push(await focusedId(page));
  }
  check('Tab walks the controls that can be used, in order', same(tabs, ['Cmd_Set', 'Text1', 'HScroll1']),
        JSON.stringify(tabs));

  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');
  await page.keyboard.press('Tab');
  await page.keyboard.up('Shift');
  check('Shift+Tab walks them back', (await focusedId(page)) === 'Cmd_Set', await focusedId(page));

  await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_OUT_OF_REACH);
  const clearSky = await blackInSky(page);
  const armed = () => page.evaluate(() => window.zorukanTest.armed());
  check('idle, no wake-up is armed', !(await armed()));
  await page.keyboard.press('Space');
  check('Space on 発射セット hands the focus to 発射ボタン', (await focusedId(page)) === 'Cmd_Start', await focusedId(page));
  await sleep(300);
  check('the gauge\'s timer has its wake-up armed', await armed());
  check('the power gauge swings', same(await pixel(page, 178, 264), [64, 64, 64]), JSON.stringify(await pixel(page, 178, 264)));
  await page.keyboard.press('Space');
  await sleep(400);
  check('Space on 発射ボタン fires: the trace is drawn', (await blackInSky(page)) > clearSky + 20);
  await page.waitForFunction(() => !document.getElementById('Cmd_Set').disabled, { timeout: 10000 });
  check('the shot ends: 発射セット has the focus again', (await focusedId(page)) === 'Cmd_Set', await focusedId(page));
  check('the whole-window repaint wipes the trace', (await blackInSky(page)) === clearSky);
  check('armed again, no wake-up is armed', !(await armed()));
  check('no dialog', !(await dialogState(page)).open);

  // The angle bar: arrow keys step it, a drag changes the angle on release only.
  const angle = () => page.$eval('#Text1', (input) => input.value);
  await page.focus('#Text1');
  await page.keyboard.sendCharacter('角'.repeat(2_000_000));  // pasted
  await page.focus('#HScroll1');
  await page.keyboard.press('ArrowRight');
  check('a huge paste into the angle box gives way to the angle at the next scroll', (await angle()) === '31',
        await angle());
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  check('each arrow key turns the barrel a degree', (await angle()) === '29', await angle());
  const bar = await (await page.$('#HScroll1')).boundingBox();
  const thumbX = await page.$eval('#HScroll1', (range) => {
    const r = range.getBoundingClientRect();
    return r.left + 7.5 + (r.width - 15) * range.valueAsNumber / 90;
  });
  await page.mouse.move(thumbX, bar.y + bar.height / 2);
  await page.mouse.down();
  for (let dx = 5; dx <= 30; dx += 5) await page.mouse.move(thumbX + dx, bar.y + bar.height / 2);
  await sleep(100);
  const whileDragging = await angle();
  await page.mouse.up();
  check('dragging the thumb changes nothing until it is released', whileDragging === '29', whileDragging);
  check('releasing it sets the angle', Number(await angle()) > 29, await angle());
  const released = Number(await angle());
  await page.click('#form1 > .arrow.left');
  await page.click('#form1 > .arrow.left');
  await page.click('#form1 > .arrow.right');
  check('each click on an arrow turns it a degree', Number(await angle()) === released - 1, await angle());
  check('no errors', errors.length === 0, errors.join(' | '));
  await page.close();
}

async function hit() {
  const { page, errors } = await open(1);
  await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_IN_THE_WAY);
  const television = (file) => shows(page, file, TV_IN_THE_WAY / 15, 216);
  check('hit: the television stands in the way', await television('tv.gif'));
  await page.focus('#Cmd_Set');
  await page.keyboard.press('Space');
  await page.keyboard.press('Enter');  // Enter presses a button too
  await page.waitForFunction(() => document.getElementById('box').open, { timeout: 5000 });
  for (const [i, prompt] of HIT_PROMPTS.entries()) {
    const box = await dialogState(page);
    check(`hit, box ${i + 1}: titled ${HIT_TITLE}, "${prompt}"`, box.open && box.title === HIT_TITLE && box.prompt === prompt,
          JSON.stringify(box));
    check(`hit, box ${i + 1}: OK has the focus`, (await focusedId(page)) === 'box-ok', await focusedId(page));
    check(`hit, box ${i + 1}: the television is still whole`, (await televisionFile(page)) === 'tv.gif');
    if (screenshots && i === 0) await page.screenshot({ path: join(screenshots, 'web-hit.png') });
    const presents = await page.evaluate(() => window.zorukanTest.presents);
    await sleep(400);  // six flight periods
    check(`hit, box ${i + 1}: no flight tick while it is open`,
          (await page.evaluate(() => window.zorukanTest.presents)) === presents && (await dialogState(page)).open);
    await page.keyboard.press('Enter');
    await sleep(50);
  }
  check('both boxes closed with Enter', !(await dialogState(page)).open);
  check('then the broken television', (await televisionFile(page)) === 'tv_broken.gif' &&
        (await television('tv_broken.gif')));
  const presents = await page.evaluate(() => window.zorukanTest.presents);
  await sleep(300);
  check('the flight goes on after the boxes', (await page.evaluate(() => window.zorukanTest.presents)) > presents);
  check('no errors', errors.length === 0, errors.join(' | '));
  await page.close();
}

async function runTimeError() {
  const { page } = await open(1);
  await page.evaluate((left) => window.zorukanTest.placeTelevision(left), TV_OUT_OF_REACH);
  await page.focus('#Cmd_Set');
  await page.keyboard.press('Space');
  await page.keyboard.press('Space');
  await page.evaluate(() => window.zorukanTest.overflowFlightTime());
  await page.waitForFunction(() => document.getElementById('box').open, { timeout: 5000 });
  const box = await dialogState(page);
  check('a run-time error shows in a dialog', box.title === 'ゾルカン' && box.prompt.startsWith('実行時エラー 6: オーバーフローしました。'),
        JSON.stringify(box));
  await page.keyboard.press('Enter');
  const presents = await page.evaluate(() => window.zorukanTest.presents);
  await sleep(300);
  const controls = await page.$$eval('#form1 > :is(button, input)', (all) => all.map((c) => c.disabled));
  check('and stops the game: nothing ticks, every control is off',
        (await page.evaluate(() => window.zorukanTest.presents)) === presents && controls.every(Boolean),
        JSON.stringify(controls));
  await page.close();
}

try {
  for (const part of [startUp, controlsAndKeyboardShot, hit, runTimeError]) {
    try {
      await part();
    } catch (error) {
      check(`${part.name} ran to the end`, false, error.message);
    }
  }
} finally {
  await browser.close();
  server.close();
  rmSync(profile, { recursive: true, force: true });
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
