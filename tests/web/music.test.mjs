// The music as the page's Web Audio callback receives it (4096-frame pulls from the wasm player)
// against the desktop's render of the same module: the song's first 6 s (TW_REFERENCE/music.wav,
// from tidewatch-assets) and 2 s across the end of the order list, where the player goes on at
// the restart position (TW_REFERENCE/loop/audio.wav, from the recorder). Same libxmp, same
// settings, integer mixing: every sample must be equal.
import { readFileSync } from 'node:fs';
import { check, finish, launch, noErrors, open, waitForState } from './browser.mjs';

// Signed 16-bit interleaved samples of a canonical 44-byte-header WAV file.
function wavSamples(path, seconds) {
  const bytes = readFileSync(path);
  const samples = new Int16Array(bytes.buffer, bytes.byteOffset + 44, (bytes.length - 44) >> 1);
  return samples.subarray(0, Math.round(seconds * 44100) * 2);
}

async function pageSamples(page, start, seconds) {
  return Int16Array.from(await page.evaluate((from, frames) => {
    if (Module._tw_music_start(from) !== 0)
      return [];
    const out = [];
    for (let done = 0; done < frames; done += 4096) {
      const n = Math.min(4096, frames - done);
      const at = Module._tw_music_fill(n) >> 2;
      for (let i = 0; i < n; i += 1)
        out.push(Math.round(Module.HEAPF32[at + i] * 32768),
          Math.round(Module.HEAPF32[at + n + i] * 32768));
    }
    return out;
  }, start, Math.round(seconds * 44100)));
}

function firstDifference(a, b) {
  if (a.length !== b.length)
    return `lengths ${a.length} and ${b.length}`;
  const i = a.findIndex((value, index) => value !== b[index]);
  return i < 0 ? null : `sample ${i}: page ${a[i]}, native ${b[i]}`;
}

const browser = await launch();
const page = await open(browser, '');
await waitForState(page, ['waiting', 'error']);
const reference = process.env.TW_REFERENCE;
const loopStart = Number(readFileSync(`${reference}/loop/start`, 'utf8'));
for (const [what, start, seconds, wav] of [['the first 6 s', 0, 6, 'music.wav'],
  [`2 s across the restart at ${loopStart} s`, loopStart, 2, 'loop/audio.wav']]) {
  const difference = firstDifference(await pageSamples(page, start, seconds),
    wavSamples(`${reference}/${wav}`, seconds));
  check(difference === null, `${what} equal the native render ${difference ?? ''}`);
}
await noErrors(page, 'the music');
await browser.close();
finish();
