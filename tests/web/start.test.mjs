// The page as a visitor meets it in Chromium (a moving picture after the click is engines.test's,
// in every engine): the start screen's words, a canvas that follows the window, music from a day
// in and without AudioWorklet; a lost context is said (its return is lost.test.mjs's); an upright
// phone sees a landscape band; and words instead of a black canvas where an option is malformed,
// WebGL is switched off or a shader does not compile.
import { breakFxaaShader, check, finish, launch, noErrors, open, ready, sleep, startPage,
  waitForState } from './browser.mjs';

// A click, then 3 s (up to 20 s while nothing is heard): what is heard, how long after the click,
// and the notice at the foot of the page; bounds from the wall clock, which a loaded machine
// cannot fail.
async function heardAfterClick(browser, query, early) {
  const page = await open(browser, query, 640, 360, {}, early);
  await ready(page);
  const clicked = Date.now();
  await page.click('#screen');
  await sleep(3000);
  await page.waitForFunction(() => Sound.heardTime() !== null, { timeout: 17000 }).catch(() => {});
  const [heard, notice] = await page.evaluate(() =>
    [Sound.heardTime(), document.getElementById('notice').textContent]);
  await page.close();
  return { heard, notice, since: (Date.now() - clicked) / 1000 };
}

const browser = await launch();
const page = await startPage(browser, '', 640, 360, [[() => {
  window.twStartSaid = !document.getElementById('start').hidden
    && document.getElementById('start').textContent;
}]]);
check(await page.evaluate(() => twStartSaid) === 'click to start' && page.started === 'playing',
  'the start screen says "click to start", and a click starts it');
await page.setViewport({ width: 480, height: 270 });
const follows = await page.waitForFunction(() => canvas.width === 480 && canvas.height === 270,
  { timeout: 10000 }).then(() => true, () => false);
check(follows, 'the canvas follows the window');
await page.evaluate(() =>
  canvas.getContext('webgl2').getExtension('WEBGL_lose_context').loseContext());
check(await waitForState(page, ['lost', 'error'], 10000) === 'lost'
  && (await page.$eval('#notice', (e) => e.textContent)).includes('lost'),
'a lost context is said');
await noErrors(page, 'the start');
await page.close();

// A day in (the recorder's limit): the music finds its place at once, so it is heard there.
const late = await heardAfterClick(browser, '?t=86000');
check(late.heard >= 86000 && late.heard < 86000 + late.since + 0.2 && late.notice === '',
  `t=86000: the music is heard at ${late.heard} s, ${late.since} s after the click, `
  + `with no notice ('${late.notice}')`);
// An engine without AudioWorklet: the music plays from buffers scheduled on the audio clock.
const buffers = await heardAfterClick(browser, '', () =>
  Object.defineProperty(BaseAudioContext.prototype, 'audioWorklet', { get: () => undefined }));
check(buffers.heard > 1 && buffers.heard < buffers.since + 0.2, 'without AudioWorklet the music '
  + `plays (at ${buffers.heard} s, ${buffers.since} s after the click)`);

// An upright phone: "tap to start", and the scene in a 3:2 band across the middle.
const phone = await open(browser, '', 390, 844, { deviceScaleFactor: 3, isMobile: true,
  hasTouch: true });
await ready(phone);
check(await phone.$eval('#start', (e) => e.textContent) === 'tap to start',
  'a phone says "tap to start"');
await phone.tap('#screen');
check(await waitForState(phone, ['playing', 'error'], 20000) === 'playing', 'a tap starts it');
const band = await phone.evaluate(() =>
  [canvas.width, canvas.height, canvas.getBoundingClientRect().top]);
check(String(band) === '1170,780,292', `the band is 1170x780 at 292 CSS px: ${band}`);
await phone.close();

for (const [query, says] of [['?t=soon', 'wants'], ['?t=-1', 'wants'], ['?t=86401', 'wants'],
  ['?size=0x360', 'wants'], ['?still&size=640', 'wants'], ['?still&size=9999x360', 'beyond']]) {
  const wrong = await open(browser, query);
  check(await waitForState(wrong, ['waiting', 'still', 'error']) === 'error'
    && (await wrong.$eval('#message', (e) => e.textContent)).includes(says), `${query} is refused`);
}

// The FXAA fragment stage failing to compile: the desktop's line for that pass, then the log, on
// the page and as an error in the console.
const broken = await open(browser, '', 640, 360, {}, breakFxaaShader);
const stopped = await waitForState(broken, ['error'], 30000);
const shown = await broken.$eval('#message', (e) => e.textContent);
check(stopped === 'error' && shown.startsWith('FXAA Shader : ERROR\n') && shown.includes('injected')
  && broken.errors.some((m) => m.startsWith('FXAA Shader : ERROR')),
`a shader that fails stops the page, which shows the line, then the log, and the console the `
+ `line: ${shown.split('\n')[0]}`);
await browser.close();

// The start screen shows before the program starts, so 'waiting' may come first.
const noWebGl = await launch(['--disable-3d-apis']);
const blank = await open(noWebGl, '');
check(await waitForState(blank, ['error'], 30000) === 'error'
  && (await blank.$eval('#message', (e) => e.textContent)).includes('WebGL 2'),
'without WebGL the page fails and says that it needs WebGL 2');
await noWebGl.close();
finish();
