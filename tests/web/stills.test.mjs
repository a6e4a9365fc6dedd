// Still frames of the page at 3, 20 and 30 s, 320x180, against the desktop recorder's frames at
// the same time and size (TW_REFERENCE/still-T/frame-000000.png, made by run.sh).
// Tolerance: the two rasterisers (SwiftShader here, llvmpipe there) run the same shaders in single
// precision but round transcendental functions and pick mipmap levels each their own way. That
// leaves about one level of noise over the frame and rare large differences where a ray grazes a
// sphere's edge and hits on one side, misses on the other (measured: mean at most 0.35 levels,
// 99% of channel values within 2). A wrong texture, time, pass or formula moves large areas by
// tens of levels, so: mean at most 1.0 level, and 99% of channel values within 4 levels.
import { readFileSync } from 'node:fs';
import { check, decodePng, finish, launch, open, waitForState } from './browser.mjs';

const browser = await launch();
for (const time of [3, 20, 30]) {
  const page = await open(browser, `?still&t=${time}&size=320x180`);
  const state = await waitForState(page, ['still', 'error']);
  check(state === 'still', `t=${time}: the still frame is drawn (state ${state})`);
  const shot = await decodePng(page, await page.screenshot({ clip: { x: 0, y: 0, width: 320, height: 180 } }));
  const native = await decodePng(page,
    readFileSync(`${process.env.TW_REFERENCE}/still-${time}/frame-000000.png`));
  check(native.width === 320 && native.height === 180, `t=${time}: the native frame is 320x180`);
  let sum = 0;
  let close = 0;
  let count = 0;
  for (let i = 0; i < shot.data.length; i += 4) {
    for (let c = 0; c < 3; c += 1) {
      const difference = Math.abs(shot.data[i + c] - native.data[i + c]);
      sum += difference;
      close += difference <= 4 ? 1 : 0;
      count += 1;
    }
  }
  check(sum / count <= 1.0, `t=${time}: mean difference ${(sum / count).toFixed(2)} <= 1.0 level`);
  check(close / count >= 0.99, `t=${time}: ${(100 * close / count).toFixed(2)}% within 4 levels`);
  check(page.errors.length === 0, `t=${time}: no console errors ${page.errors.join(' | ')}`);
  await page.close();
}
await browser.close();
finish();
