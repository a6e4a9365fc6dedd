// The page in each engine a visitor brings, on a machine with no sound device: still frames at
// 3, 20 and 30 s, 320x180, against the desktop recorder's frames (TW_REFERENCE/still-T, made by
// run.sh), and the start screen, where a click gives a moving picture whatever the sound does
// (with a sound server, the music is player.test.mjs's).
// Tolerance: the rasterisers (SwiftShader in Chromium, Mesa's llvmpipe in the others and on the
// desktop) run the same shaders in single precision but round transcendental functions and pick
// mipmap levels each their own way: about one level of noise and rare large differences where a
// ray grazes a sphere's edge (measured: mean at most 0.35 levels, 99% of channel values within
// 2). A wrong texture, time, pass or formula moves large areas by tens of levels, so: mean at
// most 1.0 level, and 99% of channel values within 4 levels.
import { readFileSync } from 'node:fs';
import { changesFrom, check, finish, keepEvidence, launchEngine, noSoundEnv, openIn, rgb, shot,
  sleep, waitForState } from './browser.mjs';

async function stills(engine, browser) {
  for (const time of [3, 20, 30]) {
    const page = await openIn(browser, `?still&t=${time}&size=320x180`, 640, 360);
    const state = await waitForState(page, ['still', 'error']);
    check(state === 'still', `${engine}, t=${time}: the still frame is drawn (state ${state})`);
    const seen = await shot(page, 320, 180);
    const native = rgb(readFileSync(`${process.env.TW_REFERENCE}/still-${time}/frame-000000.png`), 320, 180);
    let sum = 0;
    let close = 0;
    for (let i = 0; i < native.length; i += 1) {
      const difference = Math.abs(seen[i] - native[i]);
      sum += difference;
      close += difference <= 4 ? 1 : 0;
    }
    const agree = seen.length === native.length && sum / native.length <= 1.0
      && close / native.length >= 0.99;
    check(agree, `${engine}, t=${time}: mean difference ${(sum / native.length).toFixed(2)} <= 1.0 level, `
      + `${(100 * close / native.length).toFixed(2)}% within 4 levels`
      + (agree ? '' : keepEvidence(`${engine}-still-${time}`, seen, native, 320, 180)));
    check(page.errors.length === 0, `${engine}, t=${time}: no console errors ${page.errors.join(' | ')}`);
    await page.close();
  }
}

// Start screen, click, a moving picture; resolves to what the page's sound says it does.
async function starts(engine, browser) {
  const page = await openIn(browser, '', 640, 360);
  check(await waitForState(page, ['waiting', 'error']) === 'waiting', `${engine}: the start screen waits`);
  await page.click('#screen');
  check(await waitForState(page, ['playing', 'error'], 20000) === 'playing', `${engine}: a click starts it`);
  check(await changesFrom(page, await shot(page, 320, 180), 320, 180), `${engine}: the picture moves`);
  const times = await page.evaluate(() => window.twTimes);
  console.log(`   ${engine}: opening to start screen ${times.startScreen.toFixed(0)} ms, `
    + `click to first frame ${(times.firstFrame - times.click).toFixed(0)} ms`);
  // The sound either plays or, a second on, says why not; a loaded machine may take longer.
  const said = () => page.evaluate(() => [Sound.heardTime(), document.getElementById('notice').textContent]);
  await sleep(1000);
  let sound = await said();
  for (const end = Date.now() + 20000; sound[0] === null && sound[1] === '' && Date.now() < end;) {
    await sleep(250);
    sound = await said();
  }
  check(page.errors.length === 0, `${engine}: no console errors ${page.errors.join(' | ')}`);
  await page.close();
  return sound;
}

for (const engine of ['chromium', 'firefox', 'webkit']) {
  const browser = await launchEngine(engine, noSoundEnv());
  try {
    await stills(engine, browser);
    const [heard, notice] = await starts(engine, browser);
    // Chromium's headless output is a fake device that always runs, and WebKit's sandbox finds
    // run.sh's sound server by its own route; Firefox meets the missing device head on.
    if (engine === 'firefox')
      check(heard === null && notice.startsWith('Playing without sound'), `${engine}: says it plays without sound`);
  } finally {
    await browser.close();
  }
}

finish();
