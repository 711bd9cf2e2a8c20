import { launch } from './chromium.mjs';
import { serve } from './serve.mjs';
const server = await serve('/work/wt15/build-web/site-test');
const browser = await launch('dbg');
const page = await browser.newPage();
await page.evaluateOnNewDocument(() => { ServiceWorkerContainer.prototype.register = () => new Promise(() => {}); });
await page.setViewport({ width: 640, height: 360, deviceScaleFactor: 1 });
for (let i = 0; i < 8; ++i) {
  await page.goto(server.address);
  await page.waitForFunction(() => performance.getEntriesByName('first-frame').length > 0);
  console.log(await page.evaluate(() => {
    const res = performance.getEntriesByType('resource');
    const last = Math.max(...res.filter((r) => /gif|wasm|js$/.test(r.name)).map((r) => r.responseEnd));
    const m = performance.getEntriesByType('mark').map((e) => `${e.name} ${e.startTime.toFixed(0)}`).join(' ');
    return `lastResp ${last.toFixed(0)} ${m}`;
  }));
}
await browser.close(); server.stop();
