// The page as a visitor meets it in Chromium (a moving picture after the click is engines.test.mjs's
// in every engine): the start screen's words, a canvas that follows the window, music from a day
// in and without AudioWorklet; a lost context is said (its return is lost.test.mjs's); an upright
// phone sees a landscape band; and words instead of a black canvas where an option is malformed,
// WebGL is switched off or a shader does not compile.
import { breakFxaaShader, check, finish, launch, open, pageUrl, sleep, waitForState } from './browser.mjs';

// Clicks to start, waits 3 s (longer while nothing is heard yet, up to 20 s) and says what is
// heard then, how long after the click, and the notice at the foot of the page: bounds taken from
// the wall clock, so a loaded machine cannot fail them.
async function heardAfterClick(page) {
  const clicked = Date.now();
  await page.click('#screen');
  await sleep(3000);
  await page.waitForFunction(() => Sound.heardTime() !== null, { timeout: 17000 }).catch(() => {});
  const [heard, notice] = await page.evaluate(() => [Sound.heardTime(), document.getElementById('notice').textContent]);
  return { heard, notice, since: (Date.now() - clicked) / 1000 };
}
const browser = await launch();
const page = await open(browser, '');
await waitForState(page, ['waiting', 'error']);
check(await page.$eval('#start', (e) => !e.hidden && e.textContent === 'click to start'),
  'the start screen says "click to start"');
await page.click('#screen');
check(await waitForState(page, ['playing', 'error'], 20000) === 'playing', 'a click starts it');
await page.setViewport({ width: 480, height: 270 });
const follows = await page.waitForFunction(() => canvas.width === 480 && canvas.height === 270,
  { timeout: 10000 }).then(() => true, () => false);
check(follows, 'the canvas follows the window');

// The browser takes the context away: the page says so.
await page.evaluate(() => canvas.getContext('webgl2').getExtension('WEBGL_lose_context').loseContext());
check(await waitForState(page, ['lost', 'error'], 10000) === 'lost'
  && (await page.$eval('#notice', (e) => e.textContent)).includes('lost'), 'a lost context is said');
check(page.errors.length === 0, `no console errors ${page.errors.join(' | ')}`);
await page.close();

// A day in (the recorder's limit): the music finds its place at once, so it is heard there.
const late = await open(browser, '?t=86000');
await waitForState(late, ['waiting', 'error']);
const lateStart = await heardAfterClick(late);
check(lateStart.heard !== null && lateStart.heard >= 86000
  && lateStart.heard < 86000 + lateStart.since + 0.2 && lateStart.notice === '',
  `t=86000: the music is heard at ${lateStart.heard} s, ${lateStart.since} s after the click, `
  + `with no notice ('${lateStart.notice}')`);
await late.close();

// An engine without AudioWorklet: the music plays from buffers scheduled on the audio clock.
const buffers = await browser.newPage();
await buffers.evaluateOnNewDocument(() =>
  Object.defineProperty(BaseAudioContext.prototype, 'audioWorklet', { get: () => undefined }));
await buffers.goto(pageUrl);
await waitForState(buffers, ['waiting', 'error']);
const buffersStart = await heardAfterClick(buffers);
check(buffersStart.heard > 1 && buffersStart.heard < buffersStart.since + 0.2,
  `without AudioWorklet the music plays (at ${buffersStart.heard} s, ${buffersStart.since} s after the click)`);
await buffers.close();

// An upright phone: "tap to start", and the scene in a 3:2 band across the middle.
const phone = await browser.newPage();
await phone.setViewport({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
await phone.goto(pageUrl);
await waitForState(phone, ['waiting', 'error']);
check(await phone.$eval('#start', (e) => e.textContent) === 'tap to start', 'a phone says "tap to start"');
await phone.tap('#screen');
check(await waitForState(phone, ['playing', 'error'], 20000) === 'playing', 'a tap starts it');
const band = await phone.evaluate(() => [canvas.width, canvas.height, canvas.getBoundingClientRect().top]);
check(band[0] === 1170 && band[1] === 780 && band[2] === 292, `the band is 1170x780 at 292 CSS px: ${band}`);
await phone.close();

for (const [query, says] of [['?t=soon', 'wants'], ['?t=-1', 'wants'], ['?t=86401', 'wants'],
  ['?size=0x360', 'wants'], ['?still&size=640', 'wants'], ['?still&size=9999x360', 'beyond']]) {
  const wrong = await open(browser, query);
  check(await waitForState(wrong, ['waiting', 'still', 'error']) === 'error'
    && (await wrong.$eval('#message', (e) => e.textContent)).includes(says), `${query} is refused`);
}

// The FXAA fragment stage failing to compile: the page shows the desktop's line for that pass
// and puts it in the console as an error.
const page2 = await browser.newPage();
await page2.evaluateOnNewDocument(breakFxaaShader);
const messages = [];
page2.on('console', (m) => messages.push(`${m.type()}: ${m.text()}`));
await page2.goto(pageUrl);
check(await waitForState(page2, ['error'], 30000) === 'error', 'a shader that fails stops the page');
const shown = await page2.$eval('#message', (e) => e.textContent);
check(shown.startsWith('FXAA Shader : ERROR\n') && shown.includes('injected'),
  `the page shows the line, then the log: ${shown.split("\n")[0]}`);
check(messages.some((m) => m.startsWith('error: FXAA Shader : ERROR')), 'the console has it as an error');
await page2.close();
await browser.close();

const noWebGl = await launch(['--disable-3d-apis']);
const blank = await open(noWebGl, '');
// The start screen shows before the program starts, so 'waiting' may come first.
check(await waitForState(blank, ['error'], 30000) === 'error', 'without WebGL the page fails');
check((await blank.$eval('#message', (e) => e.textContent)).includes('WebGL 2'),
  'and says that it needs WebGL 2');
await noWebGl.close();

finish();
