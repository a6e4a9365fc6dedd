// The page as a player in each engine, with run.sh's sound server: one page load per engine for
// the keys (pause, seek, start, mute), the bar, the media controls and a copied link, which then
// reopens as a still compared with the recorder's frame at the link's moment. What is heard is
// recorded where the sound server plays it (its null sink's monitor).
import { execFileSync, spawn } from 'node:child_process';
import { mkdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { check, finish, launchEngine, openIn, rgb, shot, waitForState } from './browser.mjs';

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const reference = process.env.TW_REFERENCE;

// Polls `fn` in the page until it gives something truthy; that, or null after `timeout` ms.
async function until(page, fn, arg = null, timeout = 15000) {
  const end = Date.now() + timeout;
  for (;;) {
    const value = await page.evaluate(fn, arg);
    if (value || Date.now() > end)
      return value || null;
    await sleep(50);
  }
}

const sceneTime = (page) => page.evaluate(() => Number(document.documentElement.dataset.time));

// Presses `key` and waits for the frame that shows its effect: dataset.time other than `before`.
async function pressAndWait(page, key, before) {
  await page.press(key);
  const seen = await until(page, (t) => {
    const now = Number(document.documentElement.dataset.time);
    return now !== t ? [now] : null;
  }, before, 5000);
  return seen ? seen[0] : null;
}

// What the sound server plays, recorded from the null sink's monitor into `path`.
class SinkRecording {
  constructor(path) {
    this.path = path;
    writeFileSync(path, '');
    this.parec = spawn('sh', ['-c', `exec parec -d "$0" --raw --format=s16le --rate=44100 `
      + '--channels=2 --latency-msec=20 > "$1"', `${process.env.TW_SINK}.monitor`, path]);
  }

  frames() {
    return Math.floor(statSync(this.path).size / 4);
  }

  // Waits until `seconds` more have been recorded; the frame count then.
  async after(seconds) {
    const target = this.frames() + Math.round(seconds * 44100);
    while (this.frames() < target)
      await sleep(20);
    return target;
  }

  // Frames in [from, to) with a channel above about -60 dBFS.
  loudFrames(from, to) {
    const bytes = readFileSync(this.path);
    const samples = new Int16Array(bytes.buffer, bytes.byteOffset, bytes.length >> 1);
    let loud = 0;
    for (let f = from; f < to && 2 * f + 1 < samples.length; f += 1)
      loud += Math.abs(samples[2 * f]) >= 33 || Math.abs(samples[2 * f + 1]) >= 33 ? 1 : 0;
    return loud;
  }

  stop() {
    this.parec.kill();
  }
}

// The mean difference of `seen` and `native` (RGB bytes) and the share of values within 4
// levels, with the page's usual still tolerance: mean at most 1.0, 99% within 4.
function likeNative(seen, native) {
  let sum = 0;
  let close = 0;
  for (let i = 0; i < native.length; i += 1) {
    const difference = Math.abs(seen[i] - native[i]);
    sum += difference;
    close += difference <= 4 ? 1 : 0;
  }
  const mean = sum / native.length;
  const within = close / native.length;
  return { ok: seen.length === native.length && mean <= 1.0 && within >= 0.99,
    text: `mean difference ${mean.toFixed(2)}, ${(100 * within).toFixed(2)}% within 4 levels` };
}

// Pause and resume, seeks and a copied link; resolves to the link.
async function keys(engine, page) {
  await page.press(' ');
  check(await waitForState(page, ['paused', 'error'], 5000) === 'paused', `${engine}: Space pauses`);
  const pausedAt = await sceneTime(page);
  const first = await shot(page, 320, 180);
  await sleep(1000);
  check(first.equals(await shot(page, 320, 180)) && await sceneTime(page) === pausedAt,
    `${engine}: paused, two shots 1 s apart are the same and the time stands at ${pausedAt} s`);
  check(await page.evaluate(() => Sound.heardTime() === null), `${engine}: paused, no music`);

  const on = await pressAndWait(page, 'ArrowRight', pausedAt);
  check(Math.abs(on - pausedAt - 5) < 0.01, `${engine}: → moves the time by 5 s (${pausedAt} to ${on})`);
  // The clipboard stands in for the system's, so that the test reads what was copied.
  await page.evaluate(() => {
    window.copied = null;
    Object.defineProperty(navigator, 'clipboard', { configurable: true,
      value: { writeText: async (text) => { window.copied = text; } } });
  });
  await page.click('#copy');
  const link = await until(page, () => window.copied);
  const linkTime = Number(new URL(link).searchParams.get('t'));
  check(Math.abs(linkTime - on) <= 0.05 && /[?&]t=\d+\.\d(&|$)/.test(link),
    `${engine}: the copied link holds the moment to a tenth: ${link.replace(/^.*\?/, '?')}`);
  check(await page.evaluate(() => location.href) === link, `${engine}: paused, the address bar has it too`);

  // Home, then a step back from 0 that stops there, then 10 s on: exactly 10.
  const start = await pressAndWait(page, 'Home', on);
  await page.press('ArrowLeft');
  const ten = await pressAndWait(page, 'l', start);
  check(start === 0 && ten === 10, `${engine}: Home goes to 0, ← stays at 0, L goes on 10 s (${start}, ${ten})`);

  const resumedAt = Date.now();
  await page.press('k');
  check(await waitForState(page, ['playing', 'error'], 5000) === 'playing', `${engine}: K resumes`);
  const runs = await until(page, () => Number(document.documentElement.dataset.time) > 10.5);
  const since = (Date.now() - resumedAt) / 1000;
  const picture = await shot(page, 320, 180);
  const time = await sceneTime(page);
  check(runs && time < 10 + since + 0.5 && !picture.equals(first),
    `${engine}: the picture moves and the time runs on from 10 s (${time} s, ${since} s later)`);
  return link;
}

// → while playing moves the picture's time and the music's heard time by 5 s.
async function seekWhilePlaying(engine, page) {
  const moment = () => page.evaluate(() => ({ time: Number(document.documentElement.dataset.time),
    heard: Sound.heardTime(), at: performance.now() }));
  const heard = await until(page, () => Sound.heardTime() !== null);
  const before = await moment();
  await page.press('ArrowRight');
  await until(page, (t) => Number(document.documentElement.dataset.time) > t + 4.5, before.time, 5000);
  // The music restarts at the new moment: its first block is heard a little later.
  await until(page, (t) => Sound.heardTime() > t + 4.5, before.heard, 5000);
  const after = await moment();
  const elapsed = (after.at - before.at) / 1000;
  const jump = after.time - before.time;
  const heardJump = after.heard - before.heard;
  check(heard && jump >= 4.8 && jump <= 5.2 + elapsed && heardJump >= 4.8 && heardJump <= 5.2 + elapsed,
    `${engine}: → while playing: the picture moves ${jump.toFixed(2)} s and the music `
    + `${heardJump.toFixed(2)} s in ${elapsed.toFixed(2)} s`);
}

// M silences what the sound server plays, and M again brings it back.
async function mute(engine, page, recording) {
  await until(page, () => Sound.heardTime() !== null);
  const loudBefore = recording.loudFrames(await recording.after(0.3), await recording.after(0.5));
  await page.press('m');
  await until(page, () => document.getElementById('mute').getAttribute('aria-label') === 'Unmute');
  // What was already on its way out of the browser plays out first.
  const from = await recording.after(0.5);
  const loudMuted = recording.loudFrames(from, await recording.after(0.5));
  await page.press('m');
  await until(page, () => document.getElementById('mute').getAttribute('aria-label') === 'Mute');
  const back = recording.loudFrames(await recording.after(0.5), await recording.after(0.5));
  check(loudBefore > 4410 && loudMuted === 0 && back > 4410,
    `${engine}: M mutes what the sound server plays and unmutes it (loud frames in 0.5 s: `
    + `${loudBefore}, muted ${loudMuted}, then ${back})`);
}

// The handlers the page gives the system's media controls, caught as it sets them.
async function catchMediaHandlers(page) {
  return page.evaluate(() => {
    if (!('mediaSession' in navigator))
      return false;
    window.mediaHandlers = {};
    const set = navigator.mediaSession.setActionHandler.bind(navigator.mediaSession);
    navigator.mediaSession.setActionHandler = (action, handler) => {
      window.mediaHandlers[action] = handler;
      set(action, handler);
    };
    return true;
  });
}

async function mediaSession(engine, page) {
  const session = await page.evaluate(() => {
    const { metadata } = navigator.mediaSession;
    return { title: metadata.title, artist: metadata.artist, artwork: metadata.artwork.map((a) => a.src),
      actions: Object.keys(window.mediaHandlers).sort() };
  });
  check(session.title === 'Tidewatch' && session.artist === 'Vendrel'
    && session.artwork.length === 1 && session.artwork[0].startsWith('data:image/png;base64,'),
  `${engine}: media metadata "${session.title}" by "${session.artist}", artwork ${session.artwork.length}`);
  check(session.actions.join() === 'pause,play,seekbackward,seekforward,seekto',
    `${engine}: media handlers ${session.actions.join()}`);
  await page.evaluate(() => mediaHandlers.pause({ action: 'pause' }));
  const paused = await waitForState(page, ['paused'], 5000);
  const before = await sceneTime(page);
  await page.evaluate(() => mediaHandlers.seekto({ action: 'seekto', seekTime: 20 }));
  const at = await until(page, () => Number(document.documentElement.dataset.time) === 20 && 20, null, 5000);
  await page.evaluate(() => mediaHandlers.seekbackward({ action: 'seekbackward' }));
  const back = await until(page, () => Number(document.documentElement.dataset.time) === 15 && 15, null, 5000);
  const state = await page.evaluate(() => navigator.mediaSession.playbackState);
  await page.evaluate(() => mediaHandlers.play({ action: 'play' }));
  check(paused === 'paused' && state === 'paused' && at === 20 && back === 15
    && await waitForState(page, ['playing'], 5000) === 'playing'
    && await page.evaluate(() => navigator.mediaSession.playbackState) === 'playing',
  `${engine}: the media controls pause (from ${before} s), seek to 20 s, back to ${back} s and play`);
}

// The bar: pointer movement shows it, it fades about 2 s later; Tab reaches its buttons, which
// work by keyboard. Leaves a screenshot of it for a look.
async function bar(engine, page) {
  await page.mouse.move(300, 200);
  await page.mouse.move(320, 210);
  const shownAt = Date.now();
  const shown = await until(page, () => getComputedStyle(document.getElementById('bar')).opacity === '1');
  writeFileSync(join(reference, `bar-${engine}.png`), await page.screenshot());
  const text = await page.$eval('#time', (e) => e.textContent);
  const faded = await until(page, () => !document.getElementById('bar').classList.contains('shown'), null, 6000);
  const after = (Date.now() - shownAt) / 1000;
  check(shown && /^\d+:\d\d \/ 1:17$/.test(text) && faded && after >= 1.8 && after < 4,
    `${engine}: the bar shows on pointer movement ("${text}") and fades ${after.toFixed(1)} s later`);
  await page.press('Tab');
  const focus = await page.evaluate(() => [document.activeElement.id,
    document.activeElement.getAttribute('aria-label'), getComputedStyle(document.getElementById('bar')).opacity,
    getComputedStyle(document.activeElement).outlineStyle]);
  await page.press('Enter');
  const paused = await waitForState(page, ['paused'], 5000);
  await page.press('Enter');
  check(focus.join() === 'play,Pause,1,solid' && paused === 'paused'
    && await waitForState(page, ['playing'], 5000) === 'playing',
  `${engine}: Tab reaches the bar's play button with an outline, and Enter on it pauses and plays (${focus})`);
  const names = await page.$$eval('#bar button, #bar input', (all) => all.map((e) => e.getAttribute('aria-label')));
  check(names.every(Boolean), `${engine}: every control of the bar has a name (${names.join(', ')})`);
  await page.press('ArrowDown');
  await page.press('ArrowDown');
}

// The copied link reopened as a still: the recorder's frame at its moment.
async function reopened(engine, browser, link) {
  const t = new URL(link).searchParams.get('t');
  const folder = join(reference, `link-${engine}`);
  mkdirSync(folder, { recursive: true });
  execFileSync(process.env.TW_RECORD, ['--size', '320x180', '--start', t, '--seconds', '1',
    '--fps', '1', '--frames', folder], { stdio: 'ignore' });
  const page = await openIn(browser, `${link.replace(/^[^?]*/, '')}&still&size=320x180`, 640, 360);
  const state = await waitForState(page, ['still', 'error']);
  const match = likeNative(await shot(page, 320, 180), rgb(readFileSync(join(folder, 'frame-000000.png')), 320, 180));
  check(state === 'still' && match.ok, `${engine}: the link reopens at ${t} s as the recorder draws it: ${match.text}`);
  return page;
}

const recording = new SinkRecording(join(reference, 'sink.raw'));
try {
  for (const engine of ['chromium', 'firefox', 'webkit']) {
    const browser = await launchEngine(engine);
    try {
      const page = await openIn(browser, '', 640, 360);
      await waitForState(page, ['waiting', 'error']);
      const media = await catchMediaHandlers(page);
      await page.click('#screen');
      check(await waitForState(page, ['playing', 'error'], 20000) === 'playing', `${engine}: a click starts it`);
      await until(page, () => Number(document.documentElement.dataset.time) > 0.5);
      const link = await keys(engine, page);
      await seekWhilePlaying(engine, page);
      // Chromium's headless output never reaches the sound server.
      if (engine !== 'chromium')
        await mute(engine, page, recording);
      if (media)
        await mediaSession(engine, page);
      if (page.mouse)
        await bar(engine, page);
      check(page.errors.length === 0, `${engine}: no console errors ${page.errors.join(' | ')}`);
      const still = await reopened(engine, browser, link);
      if (engine === 'chromium') {
        check(await still.$eval('#volume', (e) => e.value) === '0.8',
          `${engine}: the volume set before is remembered`);
      }
    } finally {
      await browser.close();
    }
  }
} finally {
  recording.stop();
}
finish();
