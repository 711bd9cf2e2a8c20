import { launch } from './chromium.mjs';
import { serve } from './serve.mjs';
const server = await serve('/work/wt15/build-web/site-test', { '/floor.html': '/work/wt15/web/bench/floor.html' });
const browser = await launch('dbg');
const page = await browser.newPage();
await page.evaluateOnNewDocument(() => { ServiceWorkerContainer.prototype.register = () => new Promise(() => {}); });
await page.setViewport({ width: 640, height: 360, deviceScaleFactor: 1 });
const rows = [];
for (let i = 0; i < 8; ++i) {
  for (const url of [server.address, server.address + 'floor.html?width=585&height=309&pictures=sky.gif,panel.gif,tv.gif,tv_broken.gif,explosion.gif,cannon_body.gif']) {
    await page.goto(url);
    await page.waitForFunction(() => performance.getEntriesByName('first-frame').length > 0);
    rows.push(await page.evaluate(() => {
      const res = performance.getEntriesByType('resource');
      const nav = performance.getEntriesByType('navigation')[0];
      const ff = performance.getEntriesByName('first-frame')[0].startTime;
      const fp = performance.getEntriesByType('paint').map((p) => p.startTime.toFixed(0)).join(',');
      return `${location.pathname.padEnd(12)} html ${nav.responseEnd.toFixed(0)} firstReq ${Math.min(...res.map((r) => r.startTime)).toFixed(0)} lastResp ${Math.max(...res.filter((r) => !r.name.endsWith('png') && !r.name.includes('manifest')).map((r) => r.responseEnd)).toFixed(0)} paints ${fp} ff ${ff.toFixed(0)}`;
    }));
  }
}
console.log(rows.join('\n'));
await browser.close(); server.stop();
