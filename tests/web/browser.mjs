// Shared by the page's tests: headless Chromium (Debian's, SwiftShader's WebGL 2) driven through
// puppeteer-core, which tests/web/run.sh installs into the build folder and names in
// TW_PUPPETEER. Every page opened here fails its test on a console error or an uncaught exception.
import { pathToFileURL } from 'node:url';

const { default: puppeteer } = await import(process.env.TW_PUPPETEER);

export const pageUrl = pathToFileURL(process.env.TW_PAGE).href;

export async function launch(extraArgs = []) {
  return puppeteer.launch({
    executablePath: process.env.TW_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', ...extraArgs],
  });
}

// A page at `query` in a window of the given size; its console errors collect in page.errors.
export async function open(browser, query, width = 640, height = 360) {
  const page = await browser.newPage();
  page.errors = [];
  page.on('console', (m) => { if (m.type() === 'error') page.errors.push(m.text()); });
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.setViewport({ width, height });
  await page.goto(pageUrl + query);
  return page;
}

export async function waitForState(page, states, timeout = 60000) {
  await page.waitForFunction((s) => s.includes(document.documentElement.dataset.state),
    { timeout }, states);
  return page.evaluate(() => document.documentElement.dataset.state);
}

// RGBA pixels of a PNG (bytes), decoded by the browser in `page`.
export async function decodePng(page, png) {
  const rgba = await page.evaluate(async (base64) => {
    const blob = new Blob([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))]);
    const bitmap = await createImageBitmap(blob);
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const data = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    return { width: bitmap.width, height: bitmap.height, data: Array.from(data) };
  }, Buffer.from(png).toString('base64'));
  return { ...rgba, data: Uint8Array.from(rgba.data) };
}

let failures = 0;
export function check(ok, what) {
  console.log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
  if (!ok)
    failures += 1;
}

export function finish() {
  process.exit(failures === 0 ? 0 : 1);
}
