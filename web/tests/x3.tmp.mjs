import { launch } from './chromium.mjs';
import { serve } from './serve.mjs';
const server = await serve('/work/wt15/build-web/site-test');
const browser = await launch('dbg');
const page = await browser.newPage();
await page.evaluateOnNewDocument(() => { ServiceWorkerContainer.prototype.register = () => new Promise(() => {}); });
await page.setViewport({ width: 640, height: 360, deviceScaleFactor: 1 });
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const out = [];
for (let i = 0; i < 3; ++i) {
  await page.goto(server.address); await page.waitForFunction(() => window.zorukanTest?.presents > 0);
  await page.evaluate(() => document.getElementById('Cmd_Set').click());
  await sleep(500);
  const a = await page.metrics(); await sleep(3000); const b = await page.metrics();
  out.push(`${((b.TaskDuration - a.TaskDuration) / (b.Timestamp - a.Timestamp) * 1000).toFixed(1)}/${((b.ScriptDuration - a.ScriptDuration) / (b.Timestamp - a.Timestamp) * 1000).toFixed(1)}`);
}
console.log(out.join(' '));
await browser.close(); server.stop();
