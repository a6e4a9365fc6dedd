// The page on a phone, in Chromium's mobile emulation (touch, a coarse pointer), upright and on
// its side, in one page resized: the start screen's text within the screen, controls a finger can
// hit, the seek bar's width, full screen's turn to landscape, the centre button, the double tap's
// seek, and no serious accessibility fault (axe-core); then WebKit's start screen at an upright
// phone's size. Leaves screenshots at 360x640 and 844x390 in the web build's test-output folder.
import { mkdirSync, statSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { check, finish, launch, launchEngine, noErrors, open, pageUrl, ready, sleep, timeOf,
  waitForState } from './browser.mjs';

const began = Date.now();
const phone = { isMobile: true, hasTouch: true };
const sizes = [[320, 568], [360, 640], [390, 844], [844, 390]];
const output = join(dirname(process.env.TW_PAGE), 'test-output');
mkdirSync(output, { recursive: true });
const axeScript = createRequire(process.env.TW_PUPPETEER).resolve('axe-core/axe.min.js');

// The page at each of the sizes, photographed at two of them as `name`.
async function eachSize(page, name, look) {
  for (const [width, height] of sizes) {
    await page.setViewport({ width, height, ...phone });
    await look(width, height);
    if (['360x640', '844x390'].includes(`${width}x${height}`))
      writeFileSync(join(output, `phone-${name}-${width}x${height}.png`), await page.screenshot());
  }
}

const bytes = statSync(process.env.TW_PAGE).size;
check(bytes < 1.5 * 1024 * 1024, `the page is one file of ${bytes} bytes, under 1.5 MiB`);

// In the page: the start screen's lines of text that reach outside the window.
function textOutside() {
  const outside = [];
  const walker = document.createTreeWalker(document.getElementById('screen'), NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    const range = document.createRange();
    range.selectNodeContents(node);
    for (const r of range.getClientRects()) {
      if (r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight)
        outside.push(`"${node.textContent.trim()}" ${r.left | 0}..${r.right | 0}`);
    }
  }
  return outside;
}

// In the page: the shown buttons and sliders smaller than 44x44 CSS px or not all on the screen,
// and the seek bar's width.
function outOfReach() {
  const shown = [...document.querySelectorAll('button, input')]
    .filter((e) => e.getClientRects().length);
  const bad = shown.map((e) => [e.id, e.getBoundingClientRect()]).filter(([, r]) => r.width < 44
    || r.height < 44 || r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight);
  return { bad: bad.map(([id, r]) => `${id} ${r.width | 0}x${r.height | 0} at ${r.left | 0},`
    + `${r.top | 0}`), seek: document.getElementById('seek').getBoundingClientRect().width,
  count: shown.length };
}

// axe-core finds no serious or critical violation in the page as it is now.
async function axeChecks(page, what) {
  await page.addScriptTag({ path: axeScript });
  const { violations } = await page.evaluate(() => axe.run());
  const faults = violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
    .map((v) => `${v.id} at ${v.nodes.map((n) => n.target).join(' ')}`);
  check(faults.length === 0, `axe-core finds no serious fault in the ${what} ${faults}`);
}

const browser = await launch();
const page = await open(browser, '?t=20&size=320x180', ...sizes[0], phone);
await ready(page);
await eachSize(page, 'start', async (width, height) => {
  const outside = await page.evaluate(textOutside);
  check(outside.length === 0, `${width}x${height}: the start screen's text is on the screen `
    + outside);
});
await axeChecks(page, 'start screen');

// The browser refuses the turn to landscape, as a desktop's does: the page plays on regardless.
await page.evaluate(() => {
  window.locks = [];
  screen.orientation.lock = async (to) => {
    locks.push(to);
    throw new DOMException('no lock here', 'NotSupportedError');
  };
});
await page.tap('#screen');
check(await waitForState(page, ['playing', 'error'], 20000) === 'playing', 'a tap starts it');
const locks = await page.waitForFunction(() => locks.length && locks, { timeout: 5000 })
  .then((handle) => handle.jsonValue(), () => []);
await sleep(200);  // time for a refusal let loose to reach page.errors
check(String(locks) === 'landscape'
  && await page.evaluate(() => document.fullscreenElement !== null) && page.errors.length === 0
  && await waitForState(page, ['playing']) === 'playing',
`full screen asks to turn the phone on its side (${locks}); the refusal is quiet`);

// Paused by its key, so that the controls stay once shown and the time moves by seeks alone; a
// tap on the picture (844x390 still) shows them.
await page.keyboard.press('k');
const paused = await waitForState(page, ['paused'], 5000);
await page.touchscreen.tap(sizes[3][0] / 2, sizes[3][1] / 2);
await page.waitForFunction(() => document.documentElement.classList.contains('controls'),
  { timeout: 5000 });
await eachSize(page, 'controls', async (width, height) => {
  const { bad, seek, count } = await page.evaluate(outOfReach);
  check(bad.length === 0 && count >= 6 && seek >= width / 2, `${width}x${height}: ${count} `
    + `controls, each 44x44 or more and on the screen ${bad}; the seek bar ${seek | 0} px wide`);
});
await axeChecks(page, 'controls');

// A double tap on the right third, at 844x390.
const before = await timeOf(page);
await page.touchscreen.tap(sizes[3][0] * 5 / 6, sizes[3][1] / 2);
await page.touchscreen.tap(sizes[3][0] * 5 / 6, sizes[3][1] / 2);
await page.waitForFunction((t) => Number(document.documentElement.dataset.time) !== t,
  { timeout: 5000 }, before).catch(() => {});
const jump = await timeOf(page) - before;
const sign = await page.evaluate(() => document.getElementById('jump')?.textContent);
check(paused === 'paused' && jump >= 9.5 && jump <= 10.5 && sign === '+10 s',
  `a double tap on the right third seeks ${jump.toFixed(2)} s on and shows "${sign}"`);
await page.tap('#centre').catch(() => {});  // a centre button hidden fails the check below
check(await waitForState(page, ['playing'], 5000) === 'playing' && await page.evaluate(() =>
  document.getElementById('centre')?.getAttribute('aria-label')) === 'Pause',
'the centre button plays');
await noErrors(page, 'the phone');
await browser.close();

// WebKit's window is wider than a phone, so the page plays in a frame of an upright phone's size.
const framed = join(output, 'phone-frame.html');
writeFileSync(framed, `<!DOCTYPE html><body style="margin:0"><iframe src="${pageUrl}?size=320x180" `
  + 'width="390" height="844" style="border:0; display:block"></iframe>');
const webkit = await launchEngine('webkit');
try {
  const start = await webkit.newPage();
  await start.goto(pathToFileURL(framed).href);
  await start.frame(0);
  await ready(start);
  const [width, height] = await start.evaluate(() => [innerWidth, innerHeight]);
  const outside = await start.evaluate(textOutside);
  check(width === 390 && height === 844 && outside.length === 0,
    `webkit ${width}x${height}: the start screen's text is on the screen ${outside}`);
} finally {
  await webkit.close();
}
console.log(`   ${((Date.now() - began) / 1000).toFixed(0)} s`);
finish();
