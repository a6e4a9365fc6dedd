// The page as a visitor meets it: the start screen, then a click starts a moving picture; and
// words instead of a black canvas where WebGL is switched off or a shader does not compile.
import { check, finish, launch, open, pageUrl, waitForState } from './browser.mjs';

const browser = await launch();
const page = await open(browser, '');
check(await waitForState(page, ['waiting', 'error']) === 'waiting', 'the start screen waits');
check(await page.$eval('#start', (e) => !e.hidden && e.textContent === 'click to start'),
  'the start screen says "click to start"');
await page.click('#screen');
check(await waitForState(page, ['playing', 'error'], 20000) === 'playing', 'a click starts it');
const shot = () => page.screenshot({ clip: { x: 0, y: 0, width: 640, height: 360 } });
const first = await shot();
await new Promise((resolve) => setTimeout(resolve, 1500));
check(!first.equals(await shot()), 'the picture moves');
check(await page.evaluate(() => audio !== null && audio.played > 0), 'the music plays');
await page.setViewport({ width: 480, height: 270 });
const follows = await page.waitForFunction(() => canvas.width === 480 && canvas.height === 270,
  { timeout: 10000 }).then(() => true, () => false);
check(follows, 'the canvas follows the window');
check(page.errors.length === 0, `no console errors ${page.errors.join(' | ')}`);
await page.close();

for (const query of ['?t=soon', '?t=-1', '?size=0x360', '?still&size=640']) {
  const wrong = await open(browser, query);
  check(await waitForState(wrong, ['waiting', 'still', 'error']) === 'error'
    && (await wrong.$eval('#message', (e) => e.textContent)).includes('wants'), `${query} is refused`);
}
await browser.close();

const noWebGl = await launch(['--disable-3d-apis']);
const blank = await open(noWebGl, '');
check(await waitForState(blank, ['waiting', 'error']) === 'error', 'without WebGL the page fails');
check((await blank.$eval('#message', (e) => e.textContent)).includes('WebGL 2'),
  'and says that it needs WebGL 2');
await noWebGl.close();

// The FXAA fragment stage (the one that samples lastBuffer) made to fail as the browser compiles
// it: the page shows the desktop's line for that pass and puts it in the console as an error.
const faulty = await launch();
const page2 = await faulty.newPage();
await page2.evaluateOnNewDocument(() => {
  const source = WebGL2RenderingContext.prototype.shaderSource;
  WebGL2RenderingContext.prototype.shaderSource = function (shader, text) {
    const fxaa = text.includes('uniform sampler2D lastBuffer');
    source.call(this, shader, fxaa ? `${text}\n#error injected` : text);
  };
});
const messages = [];
page2.on('console', (m) => messages.push(`${m.type()}: ${m.text()}`));
await page2.goto(pageUrl);
check(await waitForState(page2, ['waiting', 'error']) === 'error', 'a shader that fails stops the page');
const shown = await page2.$eval('#message', (e) => e.textContent);
check(shown.startsWith('FXAA Shader : ERROR\n') && shown.includes('injected'),
  `the page shows the line, then the log: ${shown.split("\n")[0]}`);
check(messages.some((m) => m.startsWith('error: FXAA Shader : ERROR')), 'the console has it as an error');
await faulty.close();
finish();
