// The calibration times frames of play only, in Chromium and Firefox: pictures drawn while
// paused after a new window size, a pause and a hidden page each cost no step of the rendering
// size (dataset.size), however long they last. A step that is due comes half a second of play
// after the break at the earliest, so a machine too slow for the size still passes.
import { check, eachEngine, finish, leaveFullScreen, noSoundEnv, sleep, startPage, timeOf, until,
  waitForState } from './browser.mjs';

// In the page, before the click: every change of dataset.size with its page time, in twSizes; a
// step, unlike a new window size (full screen after the click), is not the canvas's size.
function watchSizes() {
  window.twSizes = [];
  new MutationObserver(() => twSizes.push({ at: performance.now(),
    size: document.documentElement.dataset.size, step: document.documentElement.dataset.size
      !== `${canvas.width}x${canvas.height}` }))
    .observe(document.documentElement, { attributes: true, attributeFilter: ['data-size'] });
}

// In the page: twSetHidden(true) hides it as a browser hides a tab behind another (document.hidden,
// visibilitychange, animation frames held until twSetHidden(false)), at a moment the page chooses.
function simulateVisibility() {
  let hidden = false;
  const waiting = [];
  const raf = window.requestAnimationFrame.bind(window);
  Object.defineProperty(document, 'hidden', { configurable: true, get: () => hidden });
  Object.defineProperty(document, 'visibilityState', { configurable: true,
    get: () => (hidden ? 'hidden' : 'visible') });
  window.requestAnimationFrame = (callback) => (hidden ? waiting.push(callback) : raf(callback));
  window.twSetHidden = (hide) => {
    if (hide === hidden)
      return;
    hidden = hide;
    document.dispatchEvent(new Event('visibilitychange'));
    if (!hidden)
      waiting.splice(0).forEach(raf);
  };
}

// In the page, before the click: right after the first frame of play, inside the calibration's
// first window, a pause (Space) or a hidden page for `ms`; its page times in twBreak.
function breakAtFirstFrame(kind, ms) {
  const set = (on) => (kind === 'pause'
    ? document.dispatchEvent(new KeyboardEvent('keydown', { key: ' ' })) : twSetHidden(on));
  new MutationObserver((records, observer) => {
    if (document.documentElement.dataset.state !== 'playing')
      return;
    observer.disconnect();
    window.twBreak = { firstFrame: twTimes.firstFrame, from: performance.now() };
    set(true);
    setTimeout(() => {
      twBreak.to = performance.now();
      set(false);
    }, ms);
  }).observe(document.documentElement, { attributes: true, attributeFilter: ['data-state'] });
}

// A page of `width` x `height` CSS pixels, started by a click after `prepare` ran in it.
async function started(engine, browser, width, height, prepare = []) {
  const page = await startPage(browser, '', width, height, [[watchSizes], ...prepare]);
  check(page.started === 'playing', `${engine}: a click starts it at ${width}x${height}`);
  return page;
}

// Play at 960x540 (full screen where the click gives it), pause, back from full screen, a window
// of 800x450, then → four times 0.8 s apart: every picture is drawn at 800x450.
async function seeksAfterResizeWhilePaused(engine, browser) {
  const page = await started(engine, browser, 960, 540);
  await page.press(' ');
  await waitForState(page, ['paused', 'error'], 5000);
  await leaveFullScreen(page);
  await page.setViewport({ width: 800, height: 450 });
  const resized = await until(page, () => document.documentElement.dataset.size === '800x450',
    null, 10000);
  let time = await timeOf(page);
  const seen = [];
  for (let seek = 0; seek < 4; seek += 1) {
    await sleep(800);
    await page.press('ArrowRight');
    seen.push(await until(page, (t) => Number(document.documentElement.dataset.time) > t + 4
      && `${document.documentElement.dataset.time} s ${document.documentElement.dataset.size}`,
    time, 5000));
    time = parseFloat(seen.at(-1));
  }
  check(resized && seen.every((s) => s?.endsWith(' 800x450')) && page.errors.length === 0,
    `${engine}: after a new size while paused, four seeks 0.8 s apart draw at 800x450 `
    + `(${seen.join(', ')}) ${page.errors.join(' | ')}`);
  await page.close();
}

// A pause or a hidden page of 3 s from the first frame of play: no step from the break until half
// a second after it.
async function breakCostsNoStep(engine, browser, kind) {
  // No full screen at the click: its new size would start a fresh window of its own.
  const noFullScreen = () => { document.documentElement.requestFullscreen = undefined; };
  const prepare = kind === 'pause' ? [] : [[simulateVisibility]];
  const page = await started(engine, browser, 640, 360,
    [[noFullScreen], ...prepare, [breakAtFirstFrame, kind, 3000]]);
  const ended = await until(page, () => window.twBreak && twBreak.to, null, 20000);
  await sleep(1500);
  const { sizes, from, firstFrame } = await page.evaluate(() => ({ sizes: twSizes, ...twBreak }));
  const steps = sizes.filter((s) => s.step && s.at >= from && s.at < ended + 450)
    .map((s) => s.size);
  const into = from - firstFrame;
  const later = sizes.filter((s) => s.at >= ended + 450).map((s) => s.size);
  check(ended && into < 500 && steps.length === 0 && page.errors.length === 0,
    `${engine}: a ${kind === 'pause' ? 'pause' : 'hidden page'} of 3 s, ${into.toFixed(0)} ms into `
    + `the first window, costs no step (steps: ${steps.join(', ') || 'none'}; sizes after it: `
    + `${later.join(', ') || 'none'}) ${page.errors.join(' | ')}`);
  await page.close();
}

await eachEngine(['chromium', 'firefox'], async (engine, browser) => {
  await seeksAfterResizeWhilePaused(engine, browser);
  await breakCostsNoStep(engine, browser, 'pause');
  await breakCostsNoStep(engine, browser, 'hidden');
}, noSoundEnv());
finish();
