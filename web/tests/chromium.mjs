// Headless Chromium for the browser test and the benchmark: Debian's browser
// (or $CHROMIUM) with a profile of its own, removed when it closes, driven by
// the puppeteer-core that web/tests/package-lock.json pins.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export async function launch(who) {
  const puppeteer = await import('puppeteer-core').then((module) => module.default, () => {
    console.error(`${who}: puppeteer-core is not installed; run tools/web.sh browser`);
    process.exit(2);
  });
  const profile = mkdtempSync(join(tmpdir(), 'zorukan-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    // Without the background services' flags Chromium keeps calling hosts
    // that a closed network refuses. The address bar's popups are pages of
    // their own that a headless browser never shows, yet they redraw on every
    // navigation: 20 to 35 ms of work a load on a machine of two cores.
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--disable-features=WebUIOmniboxPopup,WebUIOmniboxAimPopup'],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// Puppeteer's predefined network conditions, by name ('Fast 4G', 'Slow 4G').
export const networkConditions = () => import('puppeteer-core').then((module) => module.PredefinedNetworkConditions);
