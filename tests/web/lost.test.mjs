// The page never plays dead. A WebGL context lost at any moment (at the click, before the first
// frame; in the first frames, while the cheaper programs are still being built; later; and again
// as it is being restored) comes back a second later lit, moving and at the music's time, with
// nothing in the console, in Chromium and, with fewer moments, Firefox. A fault in a frame (an
// exception, a GL error) or in a rebuild takes the page to 'error', said on the page and console.
import { breakFxaaShader, check, eachEngine, finish, meanLevel, moves, noErrors, noSoundEnv, shot,
  startPage, waitForState } from './browser.mjs';

// A canvas that draws nothing has mean level 0; the scene a few seconds in 24 (Firefox) to 72.
const kLit = 3;

// In the page, where the timing holds however slow the test is: a loss at each of `moments`,
// 'click' (before any frame) or so many ms after the page says 'playing' (0: in the task of the
// first frame), each after the restore of the one before, which rebuilds as a start does. With
// `again`, another loss as the last restore arrives, before the page rebuilt anything. Each loss
// is restored 1 s on.
function arrangeLosses(moments, again) {
  const lose = canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
  window.twLoss = { losses: 0, restores: 0, sceneAtLoss: null };
  const pending = [...moments];
  const loseNow = () => {
    twLoss.losses += 1;
    twLoss.sceneAtLoss = clock.scene;
    lose.loseContext();
    setTimeout(() => {
      twLoss.restores += 1;
      if (pending.length === 0 && again) {
        again = false;
        window.addEventListener('webglcontextrestored', loseNow, { capture: true, once: true });
      }
      lose.restoreContext();
    }, 1000);
  };
  if (pending[0] === 'click') {
    pending.shift();
    document.getElementById('screen').addEventListener('click', loseNow, { once: true });
  }
  new MutationObserver(() => {
    if (document.documentElement.dataset.state !== 'playing' || pending.length === 0)
      return;
    const moment = pending.shift();
    if (moment === 0)
      loseNow();
    else
      setTimeout(loseNow, moment);
  }).observe(document.documentElement, { attributes: true, attributeFilter: ['data-state'] });
}

// The losses at `moments`, the page back from the last; then `fault` ([what, steps, says]), which
// the page must report.
async function lostAndBack(engine, browser, moments, again = false, fault = null) {
  const what = `${engine}, lost ${moments.map((m) => (m === 'click' ? 'at the click'
    : `${m} ms after playing`)).join(', then ')}${again ? ' and again at the restore' : ''}`;
  const page = await startPage(browser, '', 320, 180, [[arrangeLosses, moments, again]]);
  const losses = moments.length + (again ? 1 : 0);
  const restored = await page.waitForFunction((n) => twLoss.restores === n
    && document.documentElement.dataset.state !== 'lost', { timeout: 60000 }, losses)
    .then(() => true, () => false);
  const state = await waitForState(page, ['playing', 'error'], 60000);
  check(restored && state === 'playing', `${what}: plays again (state ${state})`);
  // A frame drawn before the loss may still be on the screen: lit is judged once it has moved.
  const moving = await moves(page, 320, 180);
  const level = meanLevel(await shot(page, 320, 180));
  check(moving && level > kLit, `${what}: lit (mean level ${level.toFixed(1)}) and moving`);
  const [scene, heard, atLoss] = await page.evaluate(() =>
    [clock.scene, Sound.heardTime(), twLoss.sceneAtLoss]);
  check(scene > atLoss + 0.9 && (heard === null || Math.abs(scene - heard) < 0.5),
    `${what}: at the music's time (scene ${scene.toFixed(2)} s, heard ${heard?.toFixed(2)} s, `
    + `last lost at ${atLoss.toFixed(2)} s)`);
  await noErrors(page, what);
  if (fault) {
    const [done, steps, says] = fault;
    for (const step of steps)
      await page.evaluate(step);
    const after = await waitForState(page, ['error'], 20000);
    const shown = await page.$eval('#message', (e) => e.textContent);
    check(after === 'error' && shown.includes(says) && page.errors.some((m) => m.includes(says)),
      `${done}: the page fails and says "${shown.split('\n')[0]}" on the page and in the console`);
  }
  await page.close();
}

// Chromium runs the frames of pages behind others: three pages side by side, each timing its own
// losses and then meeting a fault. Firefox draws only the page in front: one page.
await eachEngine(['chromium', 'firefox'], (engine, browser) => (engine === 'firefox'
  ? lostAndBack('firefox', browser, [0, 1000])
  : Promise.all([
    lostAndBack(engine, browser, ['click', 300], false, ['an exception in a frame', [() => {
      Module._tw_frame = () => { throw new Error('injected frame fault'); };
    }], 'injected frame fault']),
    lostAndBack(engine, browser, [0, 600, 2000], true, ['a GL error in a frame', [() => {
      canvas.getContext('webgl2').bindTexture(0x1234, null);
    }], 'GL error 0x0500 in a frame']),
    // The rebuild after a restore meets a shader that does not compile.
    lostAndBack(engine, browser, [50, 150, 1000], false, ['a failed rebuild', [breakFxaaShader,
      () => {
        const lose = canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
        canvas.addEventListener('webglcontextlost', () => setTimeout(() =>
          lose.restoreContext(), 100), { once: true });
        lose.loseContext();
      }], 'FXAA Shader : ERROR']),
  ])), noSoundEnv());
finish();
