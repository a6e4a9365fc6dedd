// The page as a player in each engine, with run.sh's sound server: one page load per engine for
// the keys (pause, seek, start, mute), the media controls, the bar and a copied link, which then
// reopens as a still compared with the recorder's frame at the link's moment. What is heard is
// recorded where the sound server plays it, its null sink's monitor.
import { spawn } from 'node:child_process';
import { rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { afterFrame, catchMediaHandlers, check, eachEngine, finish, likeRecorder, noErrors, openIn,
  recordSink, shot, sleep, startPage, timeOf, until, waitForState } from './browser.mjs';

const reference = process.env.TW_REFERENCE;

// Presses `key`, then gives the scene time of the first frame that differs from `before`.
async function pressAndWait(page, key, before) {
  await page.press(key);
  const seen = await until(page, (t) => {
    const now = Number(document.documentElement.dataset.time);
    return now !== t && [now];
  }, before, 5000);
  return seen && seen[0];
}

const sink = recordSink(join(reference, 'sink.raw'));

// Frames with a channel above about -60 dBFS in the `seconds` recorded from now on.
async function loudFrames(seconds) {
  const samples = await sink.samples(sink.recorded(), seconds * 44100);
  return samples.filter((sample, i) => i % 2 === 0
    && (Math.abs(sample) >= 33 || Math.abs(samples[i + 1]) >= 33)).length;
}

// Pause and resume, seeks and a copied link; gives the link.
async function keys(engine, page) {
  await page.press(' ');
  check(await waitForState(page, ['paused'], 5000) === 'paused', `${engine}: Space pauses`);
  const pausedAt = await timeOf(page);
  const first = await shot(page, 320, 180);
  await sleep(1000);
  check(first.equals(await shot(page, 320, 180)) && await timeOf(page) === pausedAt
    && await page.evaluate(() => Sound.heardTime() === null), `${engine}: paused, two shots 1 s `
    + `apart are the same, no music and the time stands at ${pausedAt} s`);

  const on = await pressAndWait(page, 'ArrowRight', pausedAt);
  // The clipboard stands in for the system's, so that the test reads what was copied.
  await page.evaluate(() => {
    Object.defineProperty(navigator, 'clipboard', { configurable: true,
      value: { writeText: async (text) => { window.copied = text; } } });
  });
  await page.mouse.move(10, 10);  // the bar shows
  await page.click('#copy');
  const link = await until(page, () => window.copied);
  check(Math.abs(on - pausedAt - 5) < 0.01 && /[?&]t=\d+\.\d(&|$)/.test(link)
    && Math.abs(new URL(link).searchParams.get('t') - on) <= 0.05
    && await page.evaluate(() => location.href) === link, `${engine}: → goes on 5 s to ${on} s; `
    + `the copied link and the address bar give ${link.replace(/^.*\?/, '?')}`);

  await page.evaluate(() => {
    navigator.clipboard.writeText = async () => { throw new Error('refused'); };
  });
  await page.click('#copy');
  check(await until(page, () =>
    document.getElementById('said').textContent.includes('refused the clipboard')),
  `${engine}: a refused clipboard is said in the bar`);

  // Home, then a step back from 0 that stops there, then 10 s on: exactly 10.
  const start = await pressAndWait(page, 'Home', on);
  await page.press('ArrowLeft');
  const ten = await pressAndWait(page, 'l', start);
  check(start === 0 && ten === 10,
    `${engine}: Home goes to 0, ← stays at 0, L goes on 10 s (${start}, ${ten})`);

  const resumed = Date.now();
  await page.press('k');
  const runs = await until(page, () => Number(document.documentElement.dataset.time) > 10.5);
  const since = (Date.now() - resumed) / 1000;
  const time = await timeOf(page);
  check(runs && time < 10 + since + 0.5 && !first.equals(await shot(page, 320, 180)),
    `${engine}: K plays on: the picture moves, the time from 10 s (${time} s, ${since} s later)`);
  return link;
}

// → while playing: the first frame after it is 5 s on, and the music follows it there.
async function seekWhilePlaying(engine, page) {
  const before = await afterFrame(page, await until(page, () => Sound.heardTime()));
  await page.press('ArrowRight');
  const after = await afterFrame(page, before.time + 4);
  const jump = after.time - before.time - (after.at - before.at) / 1000;
  // The music starts again there: heard a little later, behind by its start-up at most.
  const heard = await until(page, (t) => Sound.heardTime() > t
    && [Sound.heardTime(), performance.now()], before.heard + 4, 5000);
  const heardJump = heard && heard[0] - before.heard - (heard[1] - before.at) / 1000;
  check(Math.abs(jump - 5) <= 0.2 && heardJump >= 4.6 && heardJump <= 5.2,
    `${engine}: → while playing moves the picture on by ${jump.toFixed(2)} s and the music by `
    + `${heardJump && heardJump.toFixed(2)} s`);
}

// M silences what the sound server plays, and M again brings it back.
async function mute(engine, page) {
  await until(page, () => Sound.heardTime() !== null);
  const loud = [await loudFrames(0.5)];
  for (const label of ['Unmute', 'Mute']) {
    await page.press('m');
    await until(page, (name) =>
      document.getElementById('mute').getAttribute('aria-label') === name, label);
    await loudFrames(0.5);  // what was on its way out of the browser plays out first
    loud.push(await loudFrames(0.5));
  }
  check(loud[0] > 4410 && loud[1] === 0 && loud[2] > 4410,
    `${engine}: M mutes the sound server's output and unmutes it (loud frames in 0.5 s: ${loud})`);
}

// The media controls' metadata, and their handlers at work.
async function mediaSession(engine, page) {
  const session = await page.evaluate(() => {
    const { metadata } = navigator.mediaSession;
    return [metadata.title, metadata.artist, metadata.artwork.map((a) => a.src.slice(0, 21)),
      Object.keys(window.mediaHandlers).sort()].join(' / ');
  });
  check(session === 'Tidewatch / Vendrel / data:image/png;base64 / '
    + 'pause,play,seekbackward,seekforward,seekto', `${engine}: the media controls: ${session}`);
  await page.evaluate(() => mediaHandlers.pause({ action: 'pause' }));
  const paused = await waitForState(page, ['paused'], 5000);
  await page.evaluate(() => mediaHandlers.seekto({ action: 'seekto', seekTime: 20 }));
  await page.evaluate(() => mediaHandlers.seekbackward({ action: 'seekbackward' }));
  const back = await until(page, () => Number(document.documentElement.dataset.time) === 15,
    null, 5000);
  const said = await page.evaluate(() => navigator.mediaSession.playbackState);
  await page.evaluate(() => mediaHandlers.play({ action: 'play' }));
  check(paused === 'paused' && said === 'paused' && back
    && await waitForState(page, ['playing'], 5000) === 'playing'
    && await page.evaluate(() => navigator.mediaSession.playbackState) === 'playing',
  `${engine}: the media controls pause, seek to 20 s and 5 s back, and play`);
}

// The bar: pointer movement shows it, it fades about 2 s later; Tab reaches its buttons, which
// work by keyboard. Leaves a screenshot of it for a look.
async function bar(engine, page) {
  await page.mouse.move(300, 200);
  await page.mouse.move(320, 210);
  const shownAt = Date.now();
  const shown = await until(page, () => getComputedStyle(document.getElementById('bar')).opacity
    === '1' && document.getElementById('time').textContent);
  writeFileSync(join(reference, `bar-${engine}.png`), await page.screenshot());
  const faded = await until(page, () =>
    !document.getElementById('bar').classList.contains('shown'), null, 6000);
  const after = (Date.now() - shownAt) / 1000;
  check(/^\d+:\d\d \/ 1:17$/.test(shown) && faded && after >= 1.8 && after < 4, `${engine}: the `
    + `bar shows on pointer movement ("${shown}") and fades ${after.toFixed(1)} s later`);
  await page.press('Tab');
  const focus = await until(page, () => getComputedStyle(document.getElementById('bar')).opacity
    === '1' && [document.activeElement.id, getComputedStyle(document.activeElement).outlineStyle,
    [...document.querySelectorAll('#bar button, #bar input')]
      .every((e) => e.getAttribute('aria-label'))]);
  await page.press('Enter');
  const paused = await waitForState(page, ['paused'], 5000);
  await page.press('Enter');
  check(String(focus) === 'play,solid,true' && paused === 'paused'
    && await waitForState(page, ['playing'], 5000) === 'playing',
  `${engine}: Tab reaches the bar's named controls, outlined; Enter pauses and plays (${focus})`);
  await page.press('ArrowDown');
  await page.press('ArrowDown');
}

// The recorder's frame at the link's moment, made while the page goes on: its folder.
function record(engine, link) {
  const folder = join(reference, `link-${engine}`);
  rmSync(folder, { recursive: true, force: true });
  const recorder = spawn(process.env.TW_RECORD, ['--size', '320x180', '--start',
    new URL(link).searchParams.get('t'), '--seconds', '1', '--fps', '1', '--frames', folder],
  { stdio: ['ignore', 'ignore', 'inherit'] });
  return new Promise((resolve) => recorder.on('exit', () => resolve(folder)));
}

// The copied link reopened as a still, against the recorder's frame at its moment.
async function reopened(engine, browser, link, recorded) {
  const t = new URL(link).searchParams.get('t');
  const folder = await recorded;
  const page = await openIn(browser, `${link.replace(/^[^?]*/, '')}&still&size=320x180`);
  const state = await waitForState(page, ['still', 'error']);
  const { agree, words } = await likeRecorder(page, join(folder, 'frame-000000.png'),
    `${engine}-link`);
  check(state === 'still' && agree,
    `${engine}: the link reopens at ${t} s as the recorder draws it: ${words}`);
  return page;
}

try {
  await eachEngine(['chromium', 'firefox', 'webkit'], async (engine, browser) => {
    const page = await startPage(browser, '', 640, 360, [[catchMediaHandlers]]);
    check(page.started === 'playing', `${engine}: a click starts it`);
    await until(page, () => Number(document.documentElement.dataset.time) > 0.5);
    const link = await keys(engine, page);
    const recorded = record(engine, link);
    await seekWhilePlaying(engine, page);
    if (engine !== 'chromium')  // Chromium's headless output never reaches the sound server
      await mute(engine, page);
    if (await page.evaluate(() => window.mediaHandlers))
      await mediaSession(engine, page);
    await bar(engine, page);
    await noErrors(page, engine);
    const still = await reopened(engine, browser, link, recorded);
    if (engine === 'chromium')
      check(await still.$eval('#volume', (e) => e.value) === '0.8', 'the volume set is remembered');
  });
} finally {
  sink.stop();
}
finish();
