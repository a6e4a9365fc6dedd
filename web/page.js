// The page around the program: URL options, the start screen, the clock, the sound and the frames.
// ?t=SECONDS starts the scene there; size=WxH renders at that fixed size; still draws the one frame
// at t on a W x H canvas and stops. The state is document.documentElement.dataset.state:
// loading, waiting (start screen), playing, still, or error.
'use strict';

const params = new URLSearchParams(location.search);
const startTime = params.has('t') ? Number(params.get('t')) : 0;
const sizeMatch = /^(\d{1,4})x(\d{1,4})$/.exec(params.get('size'));
const fixedSize = sizeMatch ? { width: +sizeMatch[1], height: +sizeMatch[2] } : null;
const still = params.has('still');
// What is wrong with the URL's options, if anything; the page then says so instead of starting.
const optionError =
  !(Number.isFinite(startTime) && startTime >= 0) ? 't=SECONDS wants a number of seconds, 0 or more.'
  : params.has('size') && !(fixedSize && fixedSize.width >= 1 && fixedSize.height >= 1)
    ? 'size=WxH wants a width and a height in pixels, from 1 to 9999, such as size=640x360.'
    : null;
const canvas = document.getElementById('canvas');
const printed = [];  // the program's lines, shown on the page when it fails
const times = { startScreen: null, click: null, firstFrame: null };
window.twTimes = times;  // milliseconds since the page began loading
let audio = null;        // { context, node, sent, played: frames; at: context time of played }

function setState(state) {
  document.documentElement.dataset.state = state;
}

function fail(text) {
  setState('error');
  document.getElementById('start').hidden = true;
  document.getElementById('message').textContent = text;
  console.error(text);
}

var Module = {
  canvas,
  print: (line) => { printed.push(line); console.log(line); },
  printErr: (line) => { printed.push(line); console.warn(line); },
  onRuntimeInitialized: () => boot().catch((error) => fail(String(error))),
};

async function inflate(base64) {
  const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// The canvas's size in device pixels: fixed for a still, else the window's.
function fitCanvas() {
  const ratio = still ? 1 : window.devicePixelRatio || 1;
  const width = Math.max(1, Math.round(canvas.clientWidth * ratio));
  const height = Math.max(1, Math.round(canvas.clientHeight * ratio));
  if (canvas.width !== width || canvas.height !== height) {
    canvas.width = width;
    canvas.height = height;
  }
}

// Starts the program; false (and the page says why) when it cannot run here.
function startProgram() {
  fitCanvas();
  const size = fixedSize || { width: canvas.width, height: canvas.height };
  // A program that fails to build prints the desktop's line, then its log; both end up here.
  const result = Module._tw_start(size.width, size.height, fixedSize ? 1 : 0);
  if (result === 1)
    fail('This page needs WebGL 2, which this browser does not offer or has switched off.');
  else if (result !== 0)
    fail(printed.join('\n') || 'The intro failed to start.');
  return result === 0;
}

async function boot() {
  if (optionError) {
    fail(optionError);
    return;
  }
  const buffers = await Promise.all(twAssets.map(inflate));
  buffers.forEach((bytes, which) => {
    const pointer = Module._malloc(bytes.length);
    Module.HEAPU8.set(bytes, pointer);
    Module._tw_set_asset(which, pointer, bytes.length);
  });
  if (still) {
    const size = fixedSize || { width: innerWidth, height: innerHeight };
    Object.assign(canvas.style, { width: `${size.width}px`, height: `${size.height}px` });
    if (startProgram()) {
      Module._tw_frame(startTime, canvas.width, canvas.height);
      setState('still');
    }
    return;
  }
  setState('waiting');
  times.startScreen = performance.now();
  // Shaders compile behind the start screen, so the click starts the intro at once.
  await new Promise((resolve) => setTimeout(resolve, 0));
  if (!startProgram())
    return;
  document.getElementById('start').hidden = false;
  document.getElementById('screen').addEventListener('click', begin);
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' || event.key === ' ')
      begin();
  });
}

// The audio thread's end of the music: plays the chunks the page sends (planar stereo, left then
// right) and says, every 4096 frames, how many it has played by which context time.
const feedProcessor = `
class Feed extends AudioWorkletProcessor {
  constructor() {
    super();
    this.chunks = [];
    this.offset = 0;
    this.played = 0;
    this.port.onmessage = (event) => this.chunks.push(event.data);
  }
  process(inputs, outputs) {
    const [left, right] = outputs[0];
    for (let i = 0; i < left.length && this.chunks.length > 0;) {
      const chunk = this.chunks[0];
      const frames = chunk.length / 2;
      const n = Math.min(left.length - i, frames - this.offset);
      left.set(chunk.subarray(this.offset, this.offset + n), i);
      right.set(chunk.subarray(frames + this.offset, frames + this.offset + n), i);
      i += n;
      this.offset += n;
      this.played += n;
      if (this.offset === frames) {
        this.chunks.shift();
        this.offset = 0;
      }
      if (this.played % 4096 < n || this.played === n)
        this.port.postMessage({ played: this.played, at: currentTime + i / sampleRate });
    }
    return true;
  }
}
registerProcessor('tidewatch-feed', Feed);
`;

const kChunkFrames = 4096;
const kAheadFrames = 22050;  // half a second queued: a slow frame on the page never starves it

// Web Audio plays the music the program renders; the page keeps the feed half a second ahead.
async function startSound() {
  if (Module._tw_music_start(startTime) !== 0) {
    fail(printed.join('\n'));
    return false;
  }
  try {
    const context = new AudioContext({ sampleRate: 44100 });
    // A data: URL, since a page opened from disk may not load a blob: one into the worklet.
    const url = `data:text/javascript;base64,${btoa(feedProcessor)}`;
    const resumed = context.resume();
    await context.audioWorklet.addModule(url);
    const node = new AudioWorkletNode(context, 'tidewatch-feed', { outputChannelCount: [2] });
    audio = { context, node, sent: 0, played: 0, at: null };
    node.port.onmessage = (event) => {
      Object.assign(audio, event.data);
      feedSound();
    };
    feedSound();
    node.connect(context.destination);
    await resumed;
  } catch (error) {
    console.warn(`No sound: ${error}`);
  }
  return true;
}

function feedSound() {
  while (audio.sent - audio.played < kAheadFrames) {
    const at = Module._tw_music_fill(kChunkFrames) >> 2;
    const chunk = Module.HEAPF32.slice(at, at + 2 * kChunkFrames);
    audio.node.port.postMessage(chunk, [chunk.buffer]);
    audio.sent += kChunkFrames;
  }
}

// Scene seconds: the audio clock once the sound runs (what has been played, and since when).
// Until then the scene waits at its start; without sound after a second, the page's own clock
// takes over from there.
function sceneTime(now) {
  if (audio && audio.at !== null && audio.context.state === 'running')
    return startTime + audio.played / 44100 + Math.max(0, audio.context.currentTime - audio.at);
  return startTime + Math.max(0, now - times.click - 1000) / 1000;
}

async function begin() {
  if (document.documentElement.dataset.state !== 'waiting' || times.click !== null)
    return;
  times.click = performance.now();
  const full = document.documentElement.requestFullscreen;
  if (full)
    full.call(document.documentElement).catch(() => {});
  if (await startSound())
    requestAnimationFrame(frame);
}

function frame(now) {
  fitCanvas();
  Module._tw_frame(sceneTime(now), canvas.width, canvas.height);
  if (times.firstFrame === null) {
    times.firstFrame = performance.now();
    setState('playing');
  }
  requestAnimationFrame(frame);
}
