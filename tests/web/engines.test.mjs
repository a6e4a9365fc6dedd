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
import { check, eachEngine, finish, likeRecorder, moves, noErrors, noSoundEnv, openIn, sleep,
  startPage, until, waitForState } from './browser.mjs';

await eachEngine(['chromium', 'firefox', 'webkit'], async (engine, browser) => {
  for (const time of [3, 20, 30]) {
    const page = await openIn(browser, `?still&t=${time}&size=320x180`);
    const state = await waitForState(page, ['still', 'error']);
    const frame = `${process.env.TW_REFERENCE}/still-${time}/frame-000000.png`;
    const { agree, words } = await likeRecorder(page, frame, `${engine}-still-${time}`);
    check(state === 'still' && agree, `${engine}, t=${time}: the still (${state}): ${words}`);
    await noErrors(page, `${engine}, t=${time}`);
    await page.close();
  }
  const page = await startPage(browser);
  check(page.started === 'playing' && await moves(page, 320, 180),
    `${engine}: a click on the start screen starts it (${page.started}) and the picture moves`);
  const times = await page.evaluate(() => window.twTimes);
  console.log(`   ${engine}: opening to start screen ${times.startScreen.toFixed(0)} ms, `
    + `click to first frame ${(times.firstFrame - times.click).toFixed(0)} ms`);
  // The sound either plays or, a second on, says why not; a loaded machine may take longer.
  await sleep(1000);
  const [heard, notice] = await until(page, () => {
    const said = [Sound.heardTime(), document.getElementById('notice').textContent];
    return (said[0] !== null || said[1]) && said;
  }, null, 20000) ?? [null, ''];
  await noErrors(page, engine);
  // Chromium's headless output is a fake device that always runs, and WebKit's sandbox finds
  // run.sh's sound server by its own route; Firefox meets the missing device head on.
  if (engine === 'firefox') {
    check(heard === null && notice.startsWith('Playing without sound'),
      `${engine}: says it plays without sound`);
  }
  await page.close();
}, noSoundEnv());
finish();
