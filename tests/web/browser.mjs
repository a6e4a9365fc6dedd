// The three engines a visitor brings, driven alike: Chromium (headless, SwiftShader's WebGL 2)
// and Firefox ESR through puppeteer-core (run.sh installs it), WebKitGTK's MiniBrowser through
// plain WebDriver. Every page offers goto, evaluate, click, press (a DOM key name), mouse.move and
// screenshot; noErrors() reads each one's console errors and exceptions.
import { execFileSync, spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { pathToFileURL } from 'node:url';

const { default: puppeteer } = await import(process.env.TW_PUPPETEER);

export const pageUrl = pathToFileURL(process.env.TW_PAGE).href;
export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// No sound device: run.sh's sound server hidden (an empty home and runtime folder), no ALSA card.
export function noSoundEnv() {
  const empty = mkdtempSync(join(tmpdir(), 'tidewatch-no-sound-'));
  return { ...process.env, HOME: empty, XDG_RUNTIME_DIR: empty,
    PULSE_SERVER: `unix:${empty}/none` };
}

const chromiumArgs = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--no-first-run'];

export async function launch(extraArgs = [], env = process.env) {
  return puppeteer.launch({
    executablePath: process.env.TW_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [...chromiumArgs, ...extraArgs],
    env,
  });
}

// A page at `query` in a window of the given size and viewport options (a phone's isMobile and
// hasTouch), `early` run in it before its scripts; its console errors collect in page.errors.
export async function open(browser, query, width = 640, height = 360, viewport = {}, early) {
  const page = await browser.newPage();
  page.errors = [];
  page.on('console', (m) => { if (m.type() === 'error') page.errors.push(m.text()); });
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.setViewport({ width, height, ...viewport });
  page.press = (key) => page.keyboard.press(key);
  if (early)
    await page.evaluateOnNewDocument(early);
  await page.goto(pageUrl + query);
  return page;
}

const webDriverKeys = { Tab: '\uE004', Enter: '\uE007', Escape: '\uE00C', Home: '\uE011',
  ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015' };

function freePort() {
  return new Promise((resolve) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// WebDriver has no console to read: each page WebKit loads gets a collector of its console errors
// and exceptions, which sees them from the end of the load on.
function collectErrors() {
  if (window.twTestErrors)
    return;
  window.twTestErrors = [];
  const error = console.error;
  console.error = (...args) => {
    window.twTestErrors.push(args.join(' '));
    error.apply(console, args);
  };
  addEventListener('error', (e) => window.twTestErrors.push(e.message));
  addEventListener('unhandledrejection', (e) => window.twTestErrors.push(String(e.reason)));
}

// MiniBrowser in one window, driven over WebDriver; open() navigates that window.
async function launchWebKit(env) {
  const port = await freePort();
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], { env, stdio: 'ignore' });
  const base = `http://127.0.0.1:${port}`;
  const call = async (method, path, body) => {
    const response = await fetch(base + path, { method, body: body && JSON.stringify(body),
      headers: { 'content-type': 'application/json' } });
    const { value } = await response.json();
    if (value && value.error)
      throw new Error(`WebDriver ${path}: ${value.error}: ${value.message}`);
    return value;
  };
  for (let i = 0; i < 100 && !(await call('GET', '/status').catch(() => null)); i += 1)
    await sleep(100);
  const { sessionId } = await call('POST', '/session', { capabilities: { alwaysMatch: {
    'webkitgtk:browserOptions': { args: ['--automation'],
      binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser' } } } });
  const session = (path, method = 'POST', body = {}) =>
    call(method, `/session/${sessionId}${path}`, method === 'POST' ? body : undefined);
  const page = {
    goto: async (url) => {
      await session('/url', 'POST', { url });
      await page.evaluate(collectErrors);
    },
    readErrors: () => page.evaluate(() => window.twTestErrors ?? ['no error collector']),
    evaluate: (fn, ...args) =>
      session('/execute/sync', 'POST', { script: `return (${fn}).apply(null, arguments)`, args }),
    click: async (selector) => {
      const element = await session('/element', 'POST', { using: 'css selector', value: selector });
      await session(`/element/${Object.values(element)[0]}/click`);
    },
    mouse: {
      move: async (x, y) => {
        await session('/actions', 'POST', { actions: [{ type: 'pointer', id: 'mouse',
          parameters: { pointerType: 'mouse' }, actions: [{ type: 'pointerMove', x, y }] }] });
      },
    },
    press: async (key) => {
      const value = webDriverKeys[key] ?? key;
      await session('/actions', 'POST', { actions: [{ type: 'key', id: 'keyboard',
        actions: [{ type: 'keyDown', value }, { type: 'keyUp', value }] }] });
      await session('/actions', 'DELETE');
    },
    screenshot: async () => Buffer.from(await session('/screenshot', 'GET'), 'base64'),
    // Scripts go into the page's frame number `index` from now on; null: the page itself.
    frame: (index) => session('/frame', 'POST', { id: index }),
    close: async () => {},
  };
  return {
    newPage: async () => page,
    close: async () => {
      await session('', 'DELETE').catch(() => {});
      driver.kill();
    },
  };
}

// One of 'chromium', 'firefox', 'webkit', with the environment's sound (or its lack).
export async function launchEngine(engine, env = process.env) {
  if (engine === 'webkit')
    return launchWebKit(env);
  if (engine === 'firefox') {
    return puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
      headless: false, env });
  }
  return launch([], env);
}

// `run(engine, browser)` in each of `engines` in turn, saying how long each took.
export async function eachEngine(engines, run, env = process.env) {
  for (const engine of engines) {
    const began = Date.now();
    const browser = await launchEngine(engine, env);
    try {
      await run(engine, browser);
    } finally {
      await browser.close();
      console.log(`   ${engine}: ${((Date.now() - began) / 1000).toFixed(0)} s`);
    }
  }
}

// A page of any engine at `query`, its window at least `width` x `height` CSS pixels.
export async function openIn(browser, query, width = 640, height = 360) {
  if (browser.process)
    return open(browser, query, width, height);
  const page = await browser.newPage();
  await page.goto(pageUrl + query);
  return page;
}

// Polls `fn` in the page until it gives something truthy; that, or null after `timeout` ms.
export async function until(page, fn, arg = null, timeout = 15000) {
  for (const end = Date.now() + timeout; Date.now() < end; await sleep(50)) {
    const value = await page.evaluate(fn, arg);
    if (value)
      return value;
  }
  return null;
}

// The first of `states` the page is in within `timeout` ms, or the state it is in then.
export async function waitForState(page, states, timeout = 60000) {
  return await until(page, (wanted) => {
    const { state } = document.documentElement.dataset;
    return wanted.includes(state) && state;
  }, states, timeout) ?? page.evaluate(() => document.documentElement.dataset.state);
}

export const timeOf = (page) => page.evaluate(() => Number(document.documentElement.dataset.time));

// The start screen, which shows once the program is built behind it and a click is handled, or
// the page's error.
export const ready = (page) => until(page, () => !document.getElementById('start').hidden
  || document.documentElement.dataset.state === 'error', null, 60000);

// A page started by a click once `prepare`'s functions ([function, ...arguments]) ran in it;
// page.started: 'playing', or what it says instead.
export async function startPage(browser, query = '', width = 640, height = 360, prepare = []) {
  const page = await openIn(browser, query, width, height);
  await ready(page);
  for (const [step, ...args] of prepare)
    await page.evaluate(step, ...args);
  await page.click('#screen');
  page.started = await waitForState(page, ['playing', 'error'], 20000);
  return page;
}

// The scene time of the first frame past `least` s, its frame clock and the music's clock then,
// read in the animation frame after the page's own; null after 10 s.
export const afterFrame = (page, least = -1) => until(page, (t) => new Promise((resolve) =>
  requestAnimationFrame((at) => {
    const time = Number(document.documentElement.dataset.time);
    resolve(time > t && { time, at, heard: Sound.heardTime() });
  })), least, 10000);

// Out of full screen, where a window keeps its size (Firefox waits for it for good).
export async function leaveFullScreen(page) {
  await page.evaluate(() => document.fullscreenElement
    && document.exitFullscreen().catch(() => {}));
  await until(page, () => !document.fullscreenElement);
}

// In the page, before the click: keeps the handlers the page gives the media controls, where
// there are any, in window.mediaHandlers as well.
export function catchMediaHandlers() {
  if (!('mediaSession' in navigator))
    return;
  const set = MediaSession.prototype.setActionHandler;
  window.mediaHandlers = {};
  MediaSession.prototype.setActionHandler = function (action, handler) {
    return set.call(this, action, mediaHandlers[action] = handler);
  };
}

// What run.sh's sound server plays, recorded from its null sink's monitor into `file`:
// recorded() is its length in frames, which marks "now" in what is heard; samples(from, frames)
// gives the interleaved stereo samples from there once they are recorded; stop() ends it.
export function recordSink(file) {
  writeFileSync(file, '');
  const parec = spawn('sh', ['-c', 'exec parec -d "$0" --raw --format=s16le --rate=44100 '
    + '--channels=2 --latency-msec=20 > "$1"', `${process.env.TW_SINK}.monitor`, file]);
  const recorded = () => Math.floor(statSync(file).size / 4);
  const samples = async (from, frames) => {
    while (recorded() < from + frames)
      await sleep(20);
    const bytes = readFileSync(file);
    return new Int16Array(bytes.buffer, bytes.byteOffset + from * 4, frames * 2);
  };
  return { recorded, samples, stop: () => parec.kill() };
}

// The RGB bytes of the top-left `width` x `height` of a PNG image.
export function rgb(png, width, height) {
  return execFileSync('convert', ['png:-', '-crop', `${width}x${height}+0+0`, '-depth', '8',
    'rgb:-'], { input: png, maxBuffer: 64 << 20 });
}

export async function shot(page, width, height) {
  const png = page.setViewport
    ? await page.screenshot({ clip: { x: 0, y: 0, width, height } }) : await page.screenshot();
  return rgb(Buffer.from(png), width, height);
}

// Whether the top-left `width` x `height` of the picture changes within 20 s: a loaded machine
// may take seconds for a frame, so no fixed wait decides.
export async function moves(page, width, height) {
  const before = await shot(page, width, height);
  for (const end = Date.now() + 20000; Date.now() < end;) {
    await sleep(250);
    if (!before.equals(await shot(page, width, height)))
      return true;
  }
  return false;
}

// What the page shows at 320x180 against the recorder's frame in the PNG file `frame`, with the
// tolerance engines.test.mjs explains: whether they agree, and the words for the check's line
// (naming the evidence kept, where they do not).
export async function likeRecorder(page, frame, name) {
  const seen = await shot(page, 320, 180);
  const native = rgb(readFileSync(frame), 320, 180);
  const differences = native.map((value, i) => Math.abs(seen[i] - value));
  const mean = meanLevel(differences);
  const within = differences.filter((d) => d <= 4).length / native.length;
  const agree = seen.length === native.length && mean <= 1.0 && within >= 0.99;
  const words = `mean difference ${mean.toFixed(2)} <= 1.0 level, ${(100 * within).toFixed(2)}% `
    + 'within 4 levels';
  return { agree, words: agree ? words : words + keepEvidence(name, seen, native, 320, 180) };
}

// In the page: the FXAA fragment stage (the one that samples lastBuffer) fails as the browser
// compiles it.
export function breakFxaaShader() {
  const source = WebGL2RenderingContext.prototype.shaderSource;
  WebGL2RenderingContext.prototype.shaderSource = function (shader, text) {
    const fxaa = text.includes('uniform sampler2D lastBuffer');
    source.call(this, shader, fxaa ? `${text}\n#error injected` : text);
  };
}

// The mean of RGB bytes, 0 to 255.
export function meanLevel(bytes) {
  return bytes.reduce((sum, value) => sum + value, 0) / Math.max(1, bytes.length);
}

// Keeps what a failed picture check saw, what it expected and their difference (eight times
// brighter) as NAME-*.png in the web build's test-output folder; gives the words naming them.
function keepEvidence(name, seen, expected, width, height) {
  const folder = join(dirname(process.env.TW_PAGE), 'test-output');
  mkdirSync(folder, { recursive: true });
  const save = (what, bytes) => {
    const path = join(folder, `${name}-${what}.png`);
    execFileSync('convert', ['-size', `${width}x${height}`, '-depth', '8', 'rgb:-', path],
      { input: bytes });
    return path;
  };
  if (seen.length !== width * height * 3)
    return `; a short picture of ${seen.length} bytes`;
  const difference = seen.map((value, i) => Math.min(255, 8 * Math.abs(value - expected[i])));
  return `; seen ${save('seen', seen)}, expected ${save('expected', expected)}, difference `
    + save('difference', difference);
}

let failures = 0;
export function check(ok, what) {
  console.log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
  if (!ok)
    failures += 1;
}

export async function noErrors(page, what) {
  const errors = page.readErrors ? await page.readErrors() : page.errors;
  const since = page.readErrors ? ' (since the page loaded)' : '';
  check(errors.length === 0, `${what}: no console errors${since} ${errors.join(' | ')}`);
}

export function finish() {
  process.exit(failures === 0 ? 0 : 1);
}
