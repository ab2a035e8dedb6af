// A SWF show of a red, a narrower green and a turned, narrower blue picture
// with --fade 0.5 and a delay of 2 s, played by Ruffle in headless Chromium on
// a clock the test moves 40 ms at a time: at the centre each sample is a pure
// picture or a blend into the next, in order and on time; beside the narrower
// pictures their black margins fade with them.
//   node swf_plays_in_ruffle.mjs JPEG2SWF PAGE_PICTURES DRIVER_FOLDER
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { CHROMIUM, loadDriver } from './driver.mjs';

const [jpeg2swf, pagePictures, driverFolder] = process.argv.slice(2);
const { chromium, PNG } = loadDriver(driverFolder, ['@ruffle-rs/ruffle@0.6.0']);
const ruffle = path.join(driverFolder, 'node_modules', '@ruffle-rs', 'ruffle');

const CENTRE = [[230, 20, 20], [20, 200, 20], [20, 20, 230]];
const BESIDE = [[230, 20, 20], [0, 0, 0], [0, 0, 0]];   // a tenth from the left
const mix = (a, b, f) => a.map((v, k) => (1 - f) * v + f * b[k]);
const distance = (a, b) => Math.hypot(...a.map((v, k) => v - b[k]));

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'swf-ruffle-'));
let browser;
try {
  execFileSync(pagePictures, [folder]);
  const swf = path.join(folder, 'show.swf');
  execFileSync(jpeg2swf, ['-r', '2', '--fade', '0.5', ...['a', 'b', 'c'].map((n) => `${folder}/${n}.jpg`), '-o', swf]);
  const page = `<!DOCTYPE html><body style="margin: 0"><script src="/ruffle.js"></script><script>
    const player = RufflePlayer.newest().createPlayer();
    player.style.cssText = 'display: block; width: 320px; height: 240px';
    document.body.append(player);
    player.addEventListener('loadeddata', () => { window.playing = true; });
    player.ruffle().load({ url: '/show.swf', autoplay: 'on', unmuteOverlay: 'hidden', splashScreen: false,
      preferredRenderer: 'canvas' });
  </script>`;
  browser = await chromium.launch({ executablePath: CHROMIUM, args: ['--headless', '--no-sandbox'] });
  const tab = await browser.newPage({ viewport: { width: 320, height: 240 } });
  await tab.route('**/*', (route) => {   // served from the disk under a made-up name; nothing else
    const name = new URL(route.request().url()).pathname.slice(1);
    const file = name === 'show.swf' ? swf : path.join(ruffle, name);
    if (!name) return route.fulfill({ body: page, contentType: 'text/html' });
    if (!/^[\w.-]+$/.test(name) || !fs.existsSync(file)) return route.abort();
    return route.fulfill({ path: file, contentType: file.endsWith('.wasm') ? 'application/wasm' : 'text/javascript' });
  });
  await tab.clock.install({ time: 0 });
  await tab.clock.pauseAt(1000);
  await tab.goto('http://show.test/');
  // Ruffle's loading waits on timers too: the clock moves until it plays.
  for (let step = 0; !(await tab.evaluate(() => window.playing)); ++step)
    await (step < 3000 ? tab.clock.runFor(20) : Promise.reject(new Error('Ruffle did not start playing')));

  // Each sample as a position in the show: picture k whole is k, a fade from
  // k into the next k + f.
  const positions = [];
  for (let t = 0; t < 6500; t += 40) {
    await tab.clock.runFor(40);
    const png = PNG.sync.read(await tab.screenshot());
    const at = (fx) => [...png.data.subarray((120 * 320 + Math.floor(fx * 320)) * 4).subarray(0, 3)];
    const [centre, beside] = [at(0.5), at(0.1)], { k, f, off } = CENTRE.map((from, k) => {
      const to = CENTRE[(k + 1) % 3];
      const f = Math.min(1, Math.max(0, from.reduce((s, v, c) => s + (centre[c] - v) * (to[c] - v), 0)
        / distance(from, to) ** 2));
      return { k, f, off: distance(centre, mix(from, to, f)) };
    }).sort((x, y) => x.off - y.off)[0];
    if (off > 25 || distance(beside, mix(BESIDE[k], BESIDE[(k + 1) % 3], f)) > 25)
      throw new Error(`at ${t} ms: ${centre} in the middle, ${beside} beside it fit no picture nor blend`);
    positions.push(f > 0.97 ? (k + 1) % 3 : f < 0.03 ? k : k + f);
  }
  // Runs of samples: a picture whole, or a fade with its blend rising.
  const runs = [];
  for (const p of positions) {
    const last = runs.at(-1);
    if (last && Math.floor(last.p) === Math.floor(p) && Number.isInteger(last.p) === Number.isInteger(p)) {
      if (!Number.isInteger(p) && p < last.p) throw new Error(`a fade goes back: ${last.p} then ${p}`);
      ++last.n;
      last.p = p;
    } else runs.push({ p, n: 1 });
  }
  const seen = runs.map((r) => `${Number.isInteger(r.p) ? r.p : 'fade'}x${r.n}`).join(' ');
  // Whole for 1.5 s (37 or 38 samples), fading for 0.5 s (12 or 13), in order;
  // give or take a frame or two, as Ruffle's frames and the steps are not in phase.
  const middle = runs.slice(1, -1), whole = (r) => Number.isInteger(r.p);
  if (middle.length < 5 || middle.some((r, i) => Math.abs(r.n - (whole(r) ? 37.5 : 12.5)) > 2.5
      || (whole(r) && i >= 2 && r.p !== (middle[i - 2].p + 1) % 3)))
    throw new Error(`the show plays out of time or order: ${seen}`);
  console.log(`Ruffle: ${seen}`);
} catch (error) {
  console.error(`FAIL: ${error.message}`);
  process.exitCode = 1;
} finally {
  await browser?.close();
  fs.rmSync(folder, { recursive: true, force: true });
}
