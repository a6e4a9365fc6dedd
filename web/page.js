// The page around the program: URL options, the start screen, the clock, the sound and the frames.
// ?t=SECONDS starts the scene there; size=WxH renders at that fixed size; still draws the one frame
// at t on a W x H canvas and stops. The state is document.documentElement.dataset.state:
// loading, waiting (start screen), playing, still, or error.
'use strict';

const params = new URLSearchParams(location.search);
const startTime = Math.max(0, parseFloat(params.get('t')) || 0);
const sizeMatch = /^(\d+)x(\d+)$/.exec(params.get('size') || '');
const fixedSize = sizeMatch ? { width: +sizeMatch[1], height: +sizeMatch[2] } : null;
const still = params.has('still');
const canvas = document.getElementById('canvas');
const printed = [];  // the program's lines, shown on the page when it fails
const times = { opened: 0, startScreen: null, click: null, firstFrame: null };
window.twTimes = times;  // milliseconds since the page began loading
let audio = null;        // { context, startsAt: context time of the music's first frame }

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

// Web Audio pulls the music from the program; the first buffer's play time is the music's start.
function startSound() {
  if (Module._tw_music_start(startTime) !== 0) {
    fail(printed.join('\n'));
    return false;
  }
  try {
    const context = new AudioContext({ sampleRate: 44100 });
    const node = context.createScriptProcessor(4096, 0, 2);
    audio = { context, startsAt: null };
    node.onaudioprocess = (event) => {
      const output = event.outputBuffer;
      const frames = output.length;
      const at = Module._tw_music_fill(frames) >> 2;
      output.getChannelData(0).set(Module.HEAPF32.subarray(at, at + frames));
      output.getChannelData(1).set(Module.HEAPF32.subarray(at + frames, at + 2 * frames));
      if (audio.startsAt === null)
        audio.startsAt = event.playbackTime;
    };
    node.connect(context.destination);
    context.resume();
  } catch (error) {
    console.warn(`No sound: ${error}`);
  }
  return true;
}

// Scene seconds: the audio clock once the sound runs. Until then the scene waits at its start;
// without sound after a second, the page's own clock takes over from there.
function sceneTime(now) {
  if (audio && audio.startsAt !== null && audio.context.state === 'running')
    return startTime + Math.max(0, audio.context.currentTime - audio.startsAt);
  return startTime + Math.max(0, now - times.click - 1000) / 1000;
}

function begin() {
  if (document.documentElement.dataset.state !== 'waiting')
    return;
  times.click = performance.now();
  const full = document.documentElement.requestFullscreen;
  if (full)
    full.call(document.documentElement).catch(() => {});
  if (!startSound())
    return;
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
