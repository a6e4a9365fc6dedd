// The page's figures in each engine (Chromium headless on SwiftShader; Firefox ESR and WebKitGTK
// on the X display named by DISPLAY, Mesa's llvmpipe): its size, the time from opening it to the
// start screen, from the click to the first frame, and milliseconds per frame at 640x360 (scene,
// FXAA, post and stretch; median of runs of 5 frames, each run finished by a pixel read) at scene
// times 3, 20 and 30 s. The engines are driven as the tests drive them (tests/web/browser.mjs).
// Usage: node web/measure.mjs PAGE PUPPETEER_CORE_MODULE [ENGINE...]   (e.g. after
//   tests/web/run.sh: node web/measure.mjs build-web/tidewatch.html
//   build-web/npm/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js firefox)
import { statSync } from 'node:fs';
import { resolve } from 'node:path';

const [pagePath, puppeteerPath, ...chosen] = process.argv.slice(2);
process.env.TW_PAGE = resolve(pagePath);
process.env.TW_PUPPETEER = resolve(puppeteerPath);
const { launchEngine, openIn, waitForState } = await import('../tests/web/browser.mjs');

console.log(`page size: ${statSync(pagePath).size} bytes`);
for (const engine of chosen.length > 0 ? chosen : ['chromium', 'firefox', 'webkit']) {
  const browser = await launchEngine(engine);
  try {
    const page = await openIn(browser, '', 640, 360);
    await waitForState(page, ['waiting', 'error'], 120000);
    await page.click('#screen');
    await waitForState(page, ['playing', 'error'], 120000);
    const times = await page.evaluate(() => window.twTimes);
    console.log(`${engine}: opening to start screen ${times.startScreen.toFixed(0)} ms, `
      + `click to first frame ${(times.firstFrame - times.click).toFixed(0)} ms`);
    await page.close();

    const still = await openIn(browser, '?still&size=640x360', 700, 400);
    await waitForState(still, ['still', 'error'], 120000);
    for (const time of [3, 20, 30]) {
      const runs = await still.evaluate((t) => Array.from({ length: 5 },
        () => Module._tw_bench(t, 5, 640, 360)).sort((a, b) => a - b), time);
      console.log(`${engine}: frame at ${time} s, 640x360: ${runs[2].toFixed(1)} ms`);
    }
    await still.close();
  } finally {
    await browser.close();
  }
}
