// The real converter writes a web page of four pictures; Debian's headless
// Chromium opens it from disk with every network request refused, and three
// points of the stage are watched: the pictures must follow each other in
// order, at the delay, upright and fitted. Moved to another folder, with the
// pictures gone, the page must still play.
//   node plays.mjs JPEG2SWF PAGE_PICTURES DRIVER_FOLDER
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { CHROMIUM, loadDriver } from './driver.mjs';

const [jpeg2swf, pagePictures, driverFolder] = process.argv.slice(2);
const { chromium, PNG } = loadDriver(driverFolder);

const DELAY = 0.5;
const COLOURS = { black: [0, 0, 0], red: [230, 20, 20], green: [20, 200, 20], blue: [20, 20, 230], yellow: [230, 230, 20] };
// At the stage's centre, a quarter from its left and near its top, for the
// 640 x 480 picture, 300 x 600, 600 x 200 turned upright, 1200 x 400 scaled down.
const POINTS = [[0.5, 0.5], [0.25, 0.5], [0.5, 0.15]];
const EXPECTED = ['red red red', 'green black green', 'blue black blue', 'yellow yellow black'];

function colourName([r, g, b]) {
  const [name, distance] = Object.entries(COLOURS)
    .map(([n, [R, G, B]]) => [n, Math.hypot(r - R, g - G, b - B)]).sort((x, y) => x[1] - y[1])[0];
  return distance < 60 ? name : '?';
}

function check(condition, message) {
  if (!condition) throw new Error(message);
}

async function watchPlays(context, page) {
  const tab = await context.newPage();
  const errors = [];
  tab.on('pageerror', (error) => errors.push(error.message));
  tab.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  await tab.goto(pathToFileURL(page).href);
  check(await tab.title() === 'Tom & Ann\'s "trip"', `title ${await tab.title()}`);
  const stage = await tab.locator('#stage').boundingBox();
  check(stage.x === 0 && stage.width === 320 && Math.abs(stage.y - 80) < 1 && Math.abs(stage.height - 240) < 1,
    `the stage does not fit the window: ${JSON.stringify(stage)}`);

  const shown = [];   // the pictures seen, with when each was first seen
  const start = Date.now();
  while (Date.now() - start < 4000) {
    const before = Date.now();
    const png = PNG.sync.read(await tab.screenshot({ clip: stage }));
    const pattern = POINTS.map(([fx, fy]) => {
      const i = (Math.floor(fy * png.height) * png.width + Math.floor(fx * png.width)) * 4;
      return colourName(png.data.subarray(i, i + 3));
    }).join(' ');
    const index = EXPECTED.indexOf(pattern);
    if (index >= 0 && shown.at(-1)?.index !== index) shown.push({ index, t: (before + Date.now()) / 2 });
  }
  await tab.close();
  const order = shown.map((s) => s.index).join(',');
  check(errors.length === 0, `page errors: ${errors.join('; ')}`);
  check(shown.length >= 6, `too few pictures seen: ${order}`);
  for (let k = 1; k < shown.length; ++k)
    check(shown[k].index === (shown[k - 1].index + 1) % EXPECTED.length, `out of order: ${order}`);
  // The first sighting is no change; the later ones are one delay apart on average.
  const spacing = (shown.at(-1).t - shown[1].t) / (shown.length - 2) / 1000;
  check(Math.abs(spacing - DELAY) < 0.15, `pictures change every ${spacing.toFixed(3)} s, not ${DELAY} s`);
  console.log(`${page}: ${order}, every ${spacing.toFixed(3)} s`);
}

// The fade to the next picture starts `fade` before the delay ends; the test
// moves the page's clock and the progress of its CSS transitions itself.
async function steer(context, page) {
  const tab = await context.newPage();
  const errors = [];
  tab.on('pageerror', (error) => errors.push(error.message));
  await tab.clock.install({ time: 0 });
  await tab.clock.pauseAt(1000);
  await tab.goto(pathToFileURL(page).href);
  const cdp = await context.newCDPSession(tab);
  await cdp.send('Animation.enable');
  await cdp.send('Animation.setPlaybackRate', { playbackRate: 0 });
  await tab.evaluate(() => Promise.all([...document.images].map((image) => image.decode())));
  const stage = await tab.locator('#stage').boundingBox();
  const centre = async (fx = 0.5) => {
    const png = PNG.sync.read(await tab.screenshot({ clip: stage }));
    const i = (Math.floor(png.height / 2) * png.width + Math.floor(fx * png.width)) * 4;
    return [...png.data.subarray(i, i + 3)];
  };
  const state = () => tab.evaluate(() => ({
    fades: document.getAnimations().filter((a) => a.effect.target.tagName === 'IMG')
      .map((a) => `${a.transitionProperty} ${a.effect.getTiming().duration}`).join(),
    hud: document.getElementById('hud').className && document.getElementById('hud').textContent,
    fullScreen: Boolean(document.fullscreenElement),
  }));
  const expect = async (step, colour, wanted) => {
    const [seen, now] = [colourName(await centre()), await state()];
    for (const [key, value] of Object.entries(wanted))
      check(now[key] === value, `${step}: ${key} is '${now[key]}', not '${value}'`);
    check(seen === colour, `${step}: ${seen} shown, not ${colour}`);
  };

  // Red for 2 s, the last 0.5 s of them fading into green.
  await expect('start', 'red', { fades: '', hud: '' });
  await tab.clock.runFor(1499);
  await expect('before the fade', 'red', { fades: '' });
  await tab.clock.runFor(2);
  await expect('fade begun', 'red', { fades: 'opacity 500' });
  await tab.evaluate(() => { document.getAnimations().find((a) => a.effect.target.tagName === 'IMG').currentTime = 250; });
  // Half red, half green where both are; half red, half black beside the narrower green.
  for (const [fx, mean] of [[0.5, [125, 110, 20]], [0.1, [115, 10, 10]]]) {
    const colour = await centre(fx);
    check(Math.hypot(...colour.map((c, k) => c - mean[k])) < 25, `mid-fade ${colour} at ${fx} is no even blend`);
  }
  await tab.clock.runFor(500);
  await expect('after the fade', 'green', { fades: '' });

  for (const [input, colour, hud, fullScreen = false, fades = ''] of [
    ['ArrowRight', 'blue', '3 / 4 · Playing'], ['ArrowLeft', 'green', '2 / 4 · Playing'],
    ['PageDown', 'blue', '3 / 4 · Playing'], ['PageUp', 'green', '2 / 4 · Playing'],
    ['End', 'yellow', '4 / 4 · Playing'], ['Home', 'red', '1 / 4 · Playing'],
    ['Space', 'red', '1 / 4 · Paused'], [10000, 'red', ''], ['Space', 'red', '1 / 4 · Playing'],
    [1600, 'red', '', false, 'opacity 500'], [500, 'green', ''], ['click', 'blue', '3 / 4 · Playing'],
    ['dblclick', 'blue', '3 / 4 · Playing', true], ['Escape', 'blue', '3 / 4 · Playing'],
    ['f', 'blue', '3 / 4 · Playing', true], ['F', 'blue', '3 / 4 · Playing'],
    [[250, 90], 'yellow', '4 / 4 · Playing'], [[90, 250], 'blue', '3 / 4 · Playing'],
    ['reduce', 'blue', '3 / 4 · Playing'], [1600, 'blue', ''], [500, 'yellow', ''],   // less motion: a cut
  ]) {
    if (typeof input === 'number') await tab.clock.runFor(input);
    else if (input === 'reduce') await tab.emulateMedia({ reducedMotion: 'reduce' });
    else if (Array.isArray(input)) {   // a swipe
      for (const [type, x] of [['touchStart', input[0]], ['touchMove', (input[0] + input[1]) / 2], ['touchMove', input[1]]])
        await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: [{ x, y: 200 }] });
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    } else if (input.endsWith('click')) await tab.mouse[input](160, 200);
    else await tab.keyboard.press(input);
    await expect(String(input), colour, { hud, fullScreen, fades });
  }
  check(errors.length === 0, `page errors: ${errors.join('; ')}`);

  // Its policy refuses what the page tries to load beside it or from afar.
  for (const [target, attempt] of [['beside.jpg', 'new Image().src = "beside.jpg"'],
    ['example.com', 'fetch("https://example.com/").catch(() => {})']]) {
    const refused = tab.waitForEvent('console', { timeout: 20000,
      predicate: (m) => m.text().includes(target) && m.text().includes('violates the following Content Security') });
    await tab.evaluate(attempt);
    await refused.catch(() => check(false, `no content security policy refused ${attempt}`));
  }
  await tab.close();
  console.log(`${page}: fades, keys, clicks, swipes and full screen answered`);
}

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'page-plays-'));
let browser;
try {
  const pictures = path.join(folder, 'pictures');
  fs.mkdirSync(pictures);
  execFileSync(pagePictures, [pictures]);
  const page = path.join(folder, 'Tom & Ann\'s "trip".html');
  const jpegs = ['a', 'b', 'c', 'd'].map((n) => `${pictures}/${n}.jpg`);
  execFileSync(jpeg2swf, ['-r', String(DELAY), ...jpegs, '-o', page]);
  const faded = path.join(folder, 'faded.html');
  execFileSync(jpeg2swf, ['-r', '2', '--fade', '0.5', ...jpegs, '-o', faded]);

  browser = await chromium.launchPersistentContext(path.join(folder, 'profile'), {
    executablePath: CHROMIUM,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    viewport: { width: 320, height: 400 },
    hasTouch: true,
  });
  const outside = [];
  await browser.route('**/*', (route) => {
    if (route.request().url().startsWith('file:')) return route.continue();
    outside.push(route.request().url());
    return route.abort();
  });
  browser.on('request', (request) => /^(file|blob):/.test(request.url()) || outside.push(request.url()));

  await watchPlays(browser, page);
  const moved = path.join(folder, 'moved', path.basename(page));
  fs.mkdirSync(path.dirname(moved));
  fs.renameSync(page, moved);
  fs.rmSync(pictures, { recursive: true });
  await watchPlays(browser, moved);
  await steer(browser, faded);
  check(outside.length === 0, `requests beyond the disk: ${outside.join(' ')}`);
} catch (error) {
  console.error(`FAIL: ${error.message}`);
  process.exitCode = 1;
} finally {
  await browser?.close();
  fs.rmSync(folder, { recursive: true, force: true });
}
