// Makes the one self-contained page:
//   node assemble.mjs OUT PAGE.html HEADER.h... SCRIPT.js... ASSET...
// The constants the page shares with the program are written once, in C++ headers: each header's
// `constexpr <type> <name> = <number>;` lines become `const <name> = <number>;` ahead of the
// scripts. The scripts (the page's own, then the compiled program) go into one script element in
// order.
// The assets (the generated picture records and the music module, in the order the page hands
// them to the program) go in gzip-compressed and base64-encoded; the page inflates them with the
// browser's DecompressionStream. A PNG picture (the media controls' artwork) goes in as a data:
// URL named twArtwork. The compiled script already carries its wasm.
import { readFileSync, writeFileSync } from 'node:fs';
import { gzipSync } from 'node:zlib';

const [out, pagePath, ...inputs] = process.argv.slice(2);
const headerPaths = inputs.filter((path) => path.endsWith('.h'));
const scriptPaths = inputs.filter((path) => path.endsWith('.js'));
const artworkPath = inputs.find((path) => path.endsWith('.png'));
const assetPaths = inputs.filter((path) => !/\.(js|png|h)$/.test(path));
const limit = 4 * 1024 * 1024;

const constants = headerPaths.flatMap((path) => {
  const text = readFileSync(path, 'utf8');
  const lines = [...text.matchAll(/^constexpr \w+ (k\w+) = ([-\d.]+);/gm)];
  if (lines.length === 0) {
    console.error(`${path}: no constexpr line to share with the page`);
    process.exit(1);
  }
  return lines.map(([, name, value]) => `const ${name} = ${value};`);
});
const assets = assetPaths.map((path) => gzipSync(readFileSync(path), { level: 9 }).toString('base64'));
const script = [
  ...constants,
  `const twAssets = ${JSON.stringify(assets)};`,
  `const twArtwork = ${JSON.stringify(artworkPath
    ? `data:image/png;base64,${readFileSync(artworkPath).toString('base64')}` : null)};`,
  ...scriptPaths.map((path) => readFileSync(path, 'utf8')),
].join('\n').replace(/<\/script/gi, '<\\/script');

const page = readFileSync(pagePath, 'utf8');
const marker = '<!-- tidewatch:script -->';
if (!page.includes(marker)) {
  console.error(`${pagePath}: no ${marker} line`);
  process.exit(1);
}
const html = page.replace(marker, () => `<script>\n${script}\n</script>`);
if (Buffer.byteLength(html) > limit) {
  console.error(`${out}: ${Buffer.byteLength(html)} bytes, over the ${limit}-byte limit`);
  process.exit(1);
}
writeFileSync(out, html);
