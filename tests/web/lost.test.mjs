// The page never plays dead. A WebGL context lost at any moment (at the click, before the first
// frame is drawn; in the first frames, while the scene's cheaper programs are still being built;
// later; and again as it is being restored) comes back a second later lit, moving and at the
// music's time, with nothing in the console, in Chromium and, with fewer moments, Firefox. A
// fault inside a frame (an exception, a GL error) or in a rebuild takes the page to 'error' with
// its line on the page and in the console.
import { breakFxaaShader, changesFrom, check, finish, launch, launchEngine, meanLevel,
  noSoundEnv, openIn, shot, waitForState } from './browser.mjs';

// A canvas that draws nothing is black (mean level 0 of 255); the scene a few seconds in measures
// 24 (Firefox) to 72 (Chromium).
const kLit = 3;

// Arranges the losses inside the page, where their timing holds however slow the test's messages
// are. Each of `moments` is 'click' (before any frame) or so many ms after the page says
// 'playing' (0: in the same task as the first frame), the first after the click, each next one
// after the restore of the one before: a restore rebuilds everything, so its first frames are
// those of a start. With `again`, the last loss is followed by another as its restore arrives,
// before the page's own handler has rebuilt anything. Each loss is restored 1 s on.
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

// Loses the context at each of `moments` in turn (see arrangeLosses) and checks the page comes
// back from the last; then does `fault` to it, if any (its steps in turn), which the page must
// report.
async function lostAndBack(engine, browser, moments, again = false, fault = null) {
  const what = `${engine}, lost ${moments.map((m) => (m === 'click' ? 'at the click' : `${m} ms after playing`))
    .join(', then ')}${again ? ' and again at the restore' : ''}`;
  const page = await openIn(browser, '', 320, 180);
  // The start screen once the program is built behind it, ready for the click.
  await page.waitForFunction(() => !document.getElementById('start').hidden
    || document.documentElement.dataset.state === 'error', { timeout: 60000 });
  if (await page.evaluate(() => document.documentElement.dataset.state) !== 'waiting') {
    check(false, `${what}: the page starts (it says ${await page.$eval('#message', (e) => e.textContent)})`);
    await page.close();
    return;
  }
  await page.evaluate(arrangeLosses, moments, again);
  await page.click('#screen');
  const losses = moments.length + (again ? 1 : 0);
  const restored = await page.waitForFunction((n) => twLoss.restores === n
    && document.documentElement.dataset.state !== 'lost', { timeout: 60000 }, losses)
    .then(() => true, () => false);
  const state = await waitForState(page, ['playing', 'error'], 60000);
  check(restored && state === 'playing', `${what}: plays again (state ${state})`);
  const seen = await shot(page, 320, 180);
  // A frame drawn before the loss may still be on the screen: lit is judged once it has moved.
  const moves = await changesFrom(page, seen, 320, 180);
  const level = meanLevel(await shot(page, 320, 180));
  check(moves && level > kLit, `${what}: lit (mean level ${level.toFixed(1)}) and moving`);
  const [scene, heard, atLoss] = await page.evaluate(() => [clock.scene, Sound.heardTime(), twLoss.sceneAtLoss]);
  check(scene > atLoss + 0.9 && (heard === null || Math.abs(scene - heard) < 0.5),
    `${what}: at the music's time (scene ${scene.toFixed(2)} s, heard ${heard === null ? 'nothing' : `${heard.toFixed(2)} s`}, last lost at ${atLoss.toFixed(2)} s)`);
  check(page.errors.length === 0, `${what}: no console errors ${page.errors.join(' | ')}`);
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

// The moments side by side in three pages (Chromium runs a page's frames whether it is in front
// or not), each page a chain of them: each page times its own losses, so a slow machine only
// makes a moment come later. Each page then meets a fault.
const began = Date.now();
const chromium = await launch();
try {
  await Promise.all([
    lostAndBack('chromium', chromium, ['click', 300], false, ['an exception in a frame', [() => {
      Module._tw_frame = () => { throw new Error('injected frame fault'); };
    }], 'injected frame fault']),
    lostAndBack('chromium', chromium, [0, 600, 2000], true, ['a GL error in a frame', [() => {
      canvas.getContext('webgl2').bindTexture(0x1234, null);
    }], 'GL error 0x0500 in a frame']),
    // The rebuild after a restore meets a shader that does not compile.
    lostAndBack('chromium', chromium, [50, 150, 1000], false, ['a failed rebuild', [breakFxaaShader, () => {
      const lose = canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
      canvas.addEventListener('webglcontextlost', () => setTimeout(() => lose.restoreContext(), 100),
        { once: true });
      lose.loseContext();
    }], 'FXAA Shader : ERROR']),
  ]);
} finally {
  await chromium.close();
}
console.log(`   chromium: ${((Date.now() - began) / 1000).toFixed(0)} s`);

// Firefox draws only the page in front: one page, its two moments in turn.
const firefox = await launchEngine('firefox', noSoundEnv());
try {
  await lostAndBack('firefox', firefox, [0, 1000]);
} finally {
  await firefox.close();
}
console.log(`   with firefox: ${((Date.now() - began) / 1000).toFixed(0)} s`);
finish();
