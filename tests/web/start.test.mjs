// The page as a visitor meets it: the start screen, then a click starts a moving picture; and the
// words instead of a black canvas where WebGL is switched off.
import { check, finish, launch, open, waitForState } from './browser.mjs';

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
check(page.errors.length === 0, `no console errors ${page.errors.join(' | ')}`);
await browser.close();

const noWebGl = await launch(['--disable-3d-apis']);
const blank = await open(noWebGl, '');
check(await waitForState(blank, ['waiting', 'error']) === 'error', 'without WebGL the page fails');
check((await blank.$eval('#message', (e) => e.textContent)).includes('WebGL 2'),
  'and says that it needs WebGL 2');
await noWebGl.close();
finish();
