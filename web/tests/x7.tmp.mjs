import { launch } from './chromium.mjs';
import { serve } from './serve.mjs';
const server = await serve(process.argv[2], { '/floor.html': '/work/wt15/web/bench/floor.html' });
const browser = await launch('dbg');
const page = await browser.newPage();
await page.evaluateOnNewDocument(() => { ServiceWorkerContainer.prototype.register = () => new Promise(() => {}); });
await page.evaluateOnNewDocument(() => {
  new MutationObserver((changes, observer) => {
    if (document.getElementById('form1')?.inert !== false) return;
    observer.disconnect();
    requestAnimationFrame(() => setTimeout(() => performance.mark('first-frame')));
  }).observe(document, { subtree: true, attributes: true, attributeFilter: ['inert'] });
});
await page.setViewport({ width: 640, height: 360, deviceScaleFactor: 1 });
async function ff(url) { await page.goto(url); return page.evaluate(() => new Promise((resolve) => { setTimeout(() => resolve(NaN), 10000); new PerformanceObserver((l) => resolve(l.getEntriesByName('first-frame')[0]?.startTime)).observe({ type: 'mark', buffered: true }); })); }
const floorQ = 'floor.html?width=585&height=309&pictures=sky.gif,panel.gif,tv.gif,tv_broken.gif,explosion.gif,cannon_body.gif';
const g = [], f = [];
for (let i = 0; i < 15; ++i) { g.push(await ff(server.address)); f.push(await ff(server.address + floorQ)); }
const med = (l) => [...l].sort((x, y) => x - y)[l.length >> 1];
console.log(process.argv[3], 'game', med(g).toFixed(1), 'floor', med(f).toFixed(1), 'ratio', (med(g) / med(f)).toFixed(2));
await browser.close(); server.stop();
