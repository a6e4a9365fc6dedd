// The player under any sequence of input, in Chromium and Firefox: fast-check's model-based
// commands play 300 actions or more per engine on one page (keys, clicks, pointer moves, window
// sizes, the tab hidden, the context lost and restored, media controls with missing and
// non-finite times) and check the page after each. At the end, played again, the picture moves
// and the music is in step with it: heard at the sound server in Firefox, by the music's clock in
// Chromium, whose headless output reaches no server. The seed is printed; TW_SEED replays it,
// with TW_PATH and TW_REPLAY the shrunk sequence; TW_ENGINES picks engines and
// TW_SHRINK_SECONDS bounds the shrinking (300 s), all within 560 s of the start.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { afterFrame, catchMediaHandlers, check, eachEngine, finish, leaveFullScreen, moves,
  recordSink, sleep, startPage, until, waitForState } from './browser.mjs';

const kActions = 300;
// CTest stops the suite at 600 s: the shrinking ends in time to print the seed and the replay.
const kDeadline = Date.now() + 560 * 1000;
const kStates = ['playing', 'paused', 'lost'];
const kWindows = [[400, 225], [480, 270], [560, 315], [640, 360], [720, 405]];
const kKeys = [' ', 'k', 'j', 'l', 'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Home', '0',
  'm', 'f', '?', 'Escape', 'Tab', 'Enter'];

const fc = createRequire(process.env.TW_PUPPETEER)('fast-check');
const seed = process.env.TW_SEED === undefined ? Date.now() % 2 ** 31
  : Number(process.env.TW_SEED);
const shrinkSeconds = Number(process.env.TW_SHRINK_SECONDS ?? 300);
if (!Number.isSafeInteger(seed) || !(shrinkSeconds >= 0)) {
  console.log('FAILED: TW_SEED wants a whole number and TW_SHRINK_SECONDS a number of seconds.');
  process.exit(2);
}
console.log(`   seed ${seed}`);

const observe = (page) => page.evaluate(() => {
  const { state, time, size } = document.documentElement.dataset;
  return { state, time, size, canvas: `${canvas.width}x${canvas.height}` };
});

// What must hold after every action, as words for each that does not.
function faults(before, after) {
  const found = [];
  if (!kStates.includes(after.state))
    found.push(`state ${after.state}`);
  const time = Number(after.time);
  if (!(after.time && Number.isFinite(time) && time >= 0 && time <= 86400))
    found.push(`time ${after.time}`);
  // Out of play only a new canvas (a window size, full screen) gives a new size: its own.
  const inPlay = before.state === 'playing' || after.state === 'playing';
  const newCanvas = after.canvas !== before.canvas && after.size === after.canvas;
  if (after.size !== before.size && !inPlay && !newCanvas)
    found.push(`size ${before.size} to ${after.size} out of play, canvas ${after.canvas}`);
  return found;
}

// One action on the page, then a frame (at most 0.3 s; 0.1 s for a hidden tab, which has none) and
// the checks.
// `act` may say what it did where that depends on the model (hide or show, lose or restore).
function action(name, act) {
  return {
    check: () => true,
    toString: () => name,
    async run(model, real) {
      const before = await observe(real.page);
      name = (await act(model, real)) ?? name;
      await (real.other ? sleep(100) : Promise.race([sleep(300),
        real.page.evaluate(() => new Promise(requestAnimationFrame))]));
      const after = await observe(real.page);
      real.actions += 1;
      const found = [...faults(before, after),
        ...real.page.errors.splice(0).map((e) => `console: ${e}`)];
      if (found.length > 0)
        throw new Error(`after ${name}: ${found.join('; ')}`);
    },
  };
}

// A point in the window, in thousandths of its width and height.
const point = fc.tuple(fc.integer({ min: 0, max: 999 }), fc.integer({ min: 0, max: 999 }));
const at = (real, [x, y]) =>
  [Math.round(x * real.width / 1000), Math.round(y * real.height / 1000)];
// Times and steps a media control may give: any, the ends of the day, and what is no time.
const seconds = fc.oneof(fc.double({ min: -100, max: 90000, noNaN: true }),
  fc.constantFrom(0, 86400, NaN, Infinity, -Infinity));

const actions = fc.oneof(
  { weight: 8, arbitrary: fc.constantFrom(...kKeys).map((key) =>
    action(`key ${JSON.stringify(key)}`, (model, real) => real.page.keyboard.press(key))) },
  { weight: 3, arbitrary: point.map((p) =>
    action(`click at ${p}`, (model, real) => real.page.mouse.click(...at(real, p)))) },
  { weight: 1, arbitrary: point.map((p) => action(`double click at ${p}`,
    (model, real) => real.page.mouse.click(...at(real, p), { count: 2 }))) },
  // No pointer reaches a tab behind another, and Chromium would wait 5 s for the move's ack.
  { weight: 2, arbitrary: point.map((p) => action(`pointer to ${p}`, async (model, real) => {
    if (real.other)
      return `pointer to ${p}, not over the hidden tab`;
    await real.page.mouse.move(...at(real, p));
    return `pointer to ${p}`;
  })) },
  { weight: 2, arbitrary: fc.constantFrom(...kWindows).map(([width, height]) =>
    action(`window ${width}x${height}`, async (model, real) => {
      await leaveFullScreen(real.page);
      await real.page.setViewport({ width, height });
      Object.assign(real, { width, height });
    })) },
  // Fresh for each draw: the action names itself by what it did.
  { weight: 1, arbitrary: fc.constant().map(() => action('the tab', async (model, real) => {
    if (real.other) {
      await real.page.bringToFront();
      await real.other.close();
      real.other = null;
      return 'show the tab';
    }
    real.other = await real.browser.newPage();
    await real.other.bringToFront();
    return 'hide the tab';
  })) },
  { weight: 1, arbitrary: fc.constant().map(() => action('the context', async (model, real) => {
    if (!model.lost) {
      await real.page.evaluate(() => twLose.loseContext());
      await waitForState(real.page, ['lost', 'error'], 5000);
      model.lost = true;
      return 'lose the context';
    }
    await real.page.evaluate(() => twLose.restoreContext());
    await until(real.page, () => document.documentElement.dataset.state !== 'lost', null, 20000);
    model.lost = false;
    return 'restore the context';
  })) },
  // The time or step only where the action takes one; missing where fc.option gives null.
  { weight: 4, arbitrary: fc.tuple(fc.constantFrom('play', 'pause', 'seekbackward', 'seekforward',
    'seekto'), fc.option(seconds)).map(([name, value]) => {
    const field = { seekto: 'seekTime', seekbackward: 'seekOffset',
      seekforward: 'seekOffset' }[name];
    const given = field && value !== null ? String(value) : null;
    return action(`media ${name}${given === null ? '' : ` ${field} ${given}`}`, (model, real) =>
      // As text: NaN and the infinities do not reach the page as numbers.
      real.page.evaluate((details, key, text) => {
        if (text !== null)
          details[key] = Number(text);
        window.mediaHandlers?.[details.action]?.(details);
      }, { action: name }, field ?? null, given));
  }) },
  { weight: 1, arbitrary: fc.integer({ min: 100, max: 1500 }).map((ms) =>
    action(`wait ${ms} ms`, () => sleep(ms))) },
);

// fc.commands of at least `least` actions: the generator draws again (the same draws for the
// same seed) until one is long enough; the shrinking is fc.commands' own, to any length.
class AtLeast extends fc.Arbitrary {
  constructor(inner, least) {
    super();
    Object.assign(this, { inner, least });
  }

  generate(random, bias) {
    for (;;) {
      const value = this.inner.generate(random, bias);
      if ([...value.value_].length >= this.least)
        return value;
    }
  }

  canShrinkWithoutContext() {
    return false;
  }

  shrink(value, context) {
    return this.inner.shrink(value, context);
  }
}

// The page started by a click, ready for the actions. Only the extension that lost the context
// restores it, and a lost context no longer gives it out: it is kept in twLose.
async function started(browser) {
  const page = await startPage(browser, '', 640, 360, [[catchMediaHandlers], [() => {
    window.twLose = canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
  }]]);
  if (page.started !== 'playing')
    throw new Error(`the page did not start: ${page.started}`);
  return { browser, page, other: null, width: 640, height: 360, actions: 0 };
}

// Loudness every 10 ms (the sum of squares of 441 stereo frames at 44100 Hz): what is heard keeps
// its envelope through the browser's and the sound server's resampling, where the waveform's
// phase does not.
const kBlocks = 100;  // a second
const envelope = (stereo) => Float64Array.from({ length: Math.floor(stereo.length / 882) },
  (_, i) => stereo.subarray(882 * i, 882 * i + 882).reduce((sum, x) => sum + x * x, 0));
const wav = readFileSync(join(process.env.TW_REFERENCE, 'music.wav'));
const song = envelope(new Int16Array(wav.buffer, wav.byteOffset + 44, (wav.length - 44) >> 1));

// Pearson's correlation of two series of one length.
function correlation(a, b) {
  const mean = (x) => x.reduce((sum, v) => sum + v, 0) / x.length;
  const [ma, mb] = [mean(a), mean(b)];
  let product = 0, powerA = 0, powerB = 0;
  for (let i = 0; i < a.length; i += 1) {
    product += (a[i] - ma) * (b[i] - mb);
    powerA += (a[i] - ma) ** 2;
    powerB += (b[i] - mb) ** 2;
  }
  return product / Math.sqrt(powerA * powerB || 1);
}

// Seconds from the scene time of `picture` to what is heard in `heard` (its envelope, heard as
// that picture was shown): the lag, within half a second either way, whose stretch of the song
// matches best, and how well (1 at best).
function heardOffset(heard, picture, layout) {
  const { seconds, loopStart } = layout;
  const position = (t) => (t < seconds ? t : loopStart + (t - seconds) % (seconds - loopStart));
  const reach = kBlocks / 2;
  const reference = Float64Array.from({ length: heard.length + 2 * reach },
    (_, i) => song[Math.floor(position(picture + (i - reach) / kBlocks) * kBlocks)] ?? 0);
  let best = { offset: 0, match: -1 };
  for (let lag = 0; lag <= 2 * reach; lag += 1) {
    const match = correlation(heard, reference.subarray(lag, lag + heard.length));
    if (match > best.match)
      best = { offset: (lag - reach) / kBlocks, match };
  }
  return best;
}

// After the actions: shown, restored and played (from the start near the day's end), the volume
// up, in a small window, the picture moves and the music is heard in step with it.
async function playsAtTheEnd(engine, real) {
  const { page } = real;
  if (real.other) {
    await real.other.close();
    real.other = null;
    await page.bringToFront();
  }
  if (await page.evaluate(() => document.documentElement.dataset.state === 'lost')) {
    await page.evaluate(() => twLose.restoreContext());
    await until(page, () => document.documentElement.dataset.state !== 'lost', null, 30000);
  }
  if (await page.evaluate(() => Number(document.documentElement.dataset.time) > 86380))
    await page.keyboard.press('Home');
  if (await page.evaluate(() => document.documentElement.dataset.state === 'paused'))
    await page.keyboard.press('k');
  for (let i = 0; i < 20; i += 1)
    await page.keyboard.press('ArrowUp');
  // A small window: the frames leave a slow machine's sound its share, so that it plays unbroken.
  await leaveFullScreen(page);
  await page.setViewport({ width: 320, height: 180 });
  const state = await waitForState(page, ['playing', 'error'], 10000);
  if (state !== 'playing')
    throw new Error(`at the end: ${state} after a resume`);
  if (!await moves(page, 160, 90))
    throw new Error('at the end: the picture stands');
  await sleep(1000);  // the music starts again a little after the resume
  await until(page, () => Sound.heardTime() !== null, null, 10000);
  const clock = await afterFrame(page);
  if (clock?.heard == null || Math.abs(clock.heard - clock.time) > 0.1)
    throw new Error(`at the end: the music's clock is not the picture's: ${JSON.stringify(clock)}`);
  if (engine === 'chromium')
    return;
  const sink = recordSink(join(process.env.TW_REFERENCE, `random-${engine}.raw`));
  try {
    await sink.samples(0, 4410);  // parec has started
    const { time: picture } = await afterFrame(page);
    const from = sink.recorded();
    const heard = envelope(await sink.samples(from, 2 * 44100));
    const layout = await page.evaluate(() => ({ seconds: Module._tw_song_seconds(),
      loopStart: Module._tw_song_loop_start() }));
    const { offset, match } = heardOffset(heard, picture, layout);
    real.heard = `; heard ${offset.toFixed(3)} s from the picture, match ${match.toFixed(2)}`;
    if (!(match > 0.5 && Math.abs(offset) <= 0.25))
      throw new Error(`at the end: the music heard is not in step with the picture at ${picture} s`
        + real.heard);
  } finally {
    sink.stop();
  }
}

function property(engine, browser, runs) {
  const commands = new AtLeast(fc.commands([actions], { maxCommands: kActions + 30, size: 'max',
    replayPath: process.env.TW_REPLAY }), kActions);
  return fc.asyncProperty(commands, async (sequence) => {
    const began = Date.now();
    const real = await started(browser);
    try {
      await fc.asyncModelRun(() => ({ model: { lost: false }, real }), sequence);
      await playsAtTheEnd(engine, real);
    } finally {
      const seconds = ((Date.now() - began) / 1000).toFixed(0);
      runs.push({ actions: real.actions, seconds, heard: real.heard ?? '' });
      await real.other?.close();
      await real.page.close();
    }
  });
}

// How long the actions take is said, never judged: a loaded machine is slow, not wrong.
const engines = (process.env.TW_ENGINES ?? 'chromium,firefox').split(',');
await eachEngine(engines, async (engine, browser) => {
  const runs = [];
  const replaying = process.env.TW_PATH ? { path: process.env.TW_PATH } : {};
  const details = await fc.check(property(engine, browser, runs), { seed, numRuns: 1,
    ...replaying, interruptAfterTimeLimit: Math.min(kDeadline - Date.now(),
      (240 + shrinkSeconds) * 1000) });
  const [first] = runs;
  if (!details.failed) {
    check(process.env.TW_PATH || first.actions >= kActions, `${engine}: ${first.actions} `
      + `actions, each keeping the player whole, and the end, in ${first.seconds} s (seed ${seed})`
      + first.heard);
    return;
  }
  console.log(`   the first run failed after ${first.actions} actions in ${first.seconds} s`);
  const sequence = details.counterexample?.[0] ?? [];
  const shrunk = String(sequence);
  const replay = /replayPath="([^"]*)"/.exec(shrunk)?.[1] ?? '';
  check(false, `${engine}: seed ${seed} breaks the player: `
    + (details.errorInstance?.message ?? details.error));
  console.log(`   shrunk in ${details.numShrinks} steps to `
    + `${[...sequence].filter((c) => c.hasRan).length} actions: `
    + shrunk.replace(/\s*\/\*replayPath=.*$/, ''));
  console.log(`   replay: TW_ENGINES=${engine} TW_SEED=${seed} `
    + `TW_PATH=${details.counterexamplePath} TW_REPLAY='${replay}' node tests/web/random.test.mjs`);
});
finish();
