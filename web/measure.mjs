// The page's figures in headless Chromium (SwiftShader's WebGL 2 on this machine's CPU):
// its size, the time from opening it to the start screen, from the click to the first frame, and
// milliseconds per frame at 640x360 (scene, FXAA, post and stretch; median of runs of 5 frames,
// each run finished by a pixel read) at scene times 3, 20 and 30 s.
// Usage: node web/measure.mjs PAGE PUPPETEER_CORE_MODULE   (e.g. after tests/web/run.sh:
//   node web/measure.mjs build-web/tidewatch.html build-web/npm/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js)
import { statSync } from 'node:fs';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [pagePath, puppeteerPath] = process.argv.slice(2);
const { default: puppeteer } = await import(resolve(puppeteerPath));
const url = pathToFileURL(resolve(pagePath)).href;
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-first-run'],
});
const state = (page, wanted) => page.waitForFunction(
  (s) => s.includes(document.documentElement.dataset.state), { timeout: 120000 }, wanted);

console.log(`page size: ${statSync(pagePath).size} bytes`);
const page = await browser.newPage();
await page.setViewport({ width: 640, height: 360 });
await page.goto(url);
await state(page, ['waiting', 'error']);
await page.waitForFunction(() => !document.getElementById('start').hidden, { timeout: 120000 });
await page.click('#screen');
await state(page, ['playing', 'error']);
const times = await page.evaluate(() => window.twTimes);
console.log(`opening to start screen: ${times.startScreen.toFixed(0)} ms`);
console.log(`click to first frame: ${(times.firstFrame - times.click).toFixed(0)} ms`);
await page.close();

const still = await browser.newPage();
await still.goto(`${url}?still&size=640x360`);
await state(still, ['still', 'error']);
for (const time of [3, 20, 30]) {
  const runs = await still.evaluate((t) => Array.from({ length: 5 },
    () => Module._tw_bench(t, 5, 640, 360)).sort((a, b) => a - b), time);
  console.log(`frame at ${time} s, 640x360: ${runs[2].toFixed(1)} ms`);
}
await browser.close();
