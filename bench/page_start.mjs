// How soon a web page slide show shows its first picture in Debian's headless
// Chromium, how long the whole page takes to load, how many pictures are
// images at once and how much memory the page's renderer process holds.
//   node bench/page_start.mjs DRIVER_FOLDER PAGE...
// DRIVER_FOLDER holds playwright-core (build/tests/page once the page test ran).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const [driverFolder, ...pages] = process.argv.slice(2);
const { chromium } = createRequire(path.join(driverFolder, 'package.json'))('playwright-core');
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'] });
const processes = await browser.newBrowserCDPSession();
const MiB = 2 ** 20;
for (const page of pages) {
  const tab = await browser.newPage({ viewport: { width: 1280, height: 720 } });
  await tab.goto(pathToFileURL(page).href, { waitUntil: 'load', timeout: 600000 });
  const loaded = await tab.evaluate(() => performance.getEntriesByType('navigation')[0].loadEventStart);
  // The first picture painted is the page's first largest contentful paint.
  const firstPicture = await tab.evaluate(() => new Promise((resolve) => new PerformanceObserver(
    (list) => resolve(list.getEntries()[0].startTime)).observe({ type: 'largest-contentful-paint', buffered: true })));
  await tab.waitForTimeout(3000);   // a picture or two later
  const images = await tab.evaluate(() => document.querySelectorAll('#stage img').length);
  const { processInfo } = await processes.send('SystemInfo.getProcessInfo');
  const rss = processInfo.filter((p) => p.type === 'renderer')
    .map((p) => parseInt(execFileSync('ps', ['-o', 'rss=', '-p', String(p.id)]).toString()) * 1024);
  console.log(`${path.basename(page)}: ${(fs.statSync(page).size / MiB).toFixed(1)} MiB, first picture after `
    + `${(firstPicture / 1000).toFixed(2)} s, loaded after ${(loaded / 1000).toFixed(2)} s, ${images} images, `
    + `renderer ${(Math.max(...rss) / MiB).toFixed(0)} MiB`);
  await tab.close();
}
await browser.close();
