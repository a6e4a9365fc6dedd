// The page around the program: URL options, the start screen, the clock, the sound and the frames.
// ?t=SECONDS starts the scene there; size=WxH renders at that fixed size; still draws the one frame
// at t on a W x H canvas and stops. The state is document.documentElement.dataset.state:
// loading, waiting (start screen), playing, paused, lost (the GL context is gone for now), still
// (once its frame is on the screen), or error; document.documentElement.dataset.time is the scene
// time of the last frame drawn, and dataset.size the size the passes render at ("768x432"), which
// the calibration lowers while frames of play come too slowly. Once playing, web/player.js gives
// the visitor the player's keys, bar and media controls, through seekTo() and setPaused().
'use strict';

const params = new URLSearchParams(location.search);
const startTime = params.has('t') ? Number(params.get('t')) : 0;
const sizeMatch = /^(\d{1,4})x(\d{1,4})$/.exec(params.get('size'));
const fixedSize = sizeMatch ? { width: +sizeMatch[1], height: +sizeMatch[2] } : null;
const still = params.has('still');
// What is wrong with the URL's options, if anything; the page then says so instead of starting.
const optionError =
  !(Number.isFinite(startTime) && startTime >= 0 && startTime <= kMaxSeconds)
    ? `t=SECONDS wants a number of seconds, from 0 to ${kMaxSeconds}.`
    : params.has('size') && !(fixedSize && fixedSize.width >= 1 && fixedSize.height >= 1)
      ? 'size=WxH wants a width and a height in pixels, from 1 to 9999, such as size=640x360.'
      : null;
const canvas = document.getElementById('canvas');
const printed = [];  // the program's lines, shown on the page when it fails
const times = { startScreen: null, click: null, firstFrame: null };
window.twTimes = times;  // milliseconds since the page began loading
// Scene seconds at page time `at` (ms); the page's clock runs on from there while no sound does.
let clock = { scene: startTime, at: 0 };
let paused = false;     // the clock stands and the music is held
let shownTime = null;   // the scene time of the last frame drawn
let drawAgain = false;  // while paused: the picture must be drawn once more (a seek, a new size)

function state() {
  return document.documentElement.dataset.state;
}

function setState(value) {
  document.documentElement.dataset.state = value;
}

// A quiet line at the foot of the page (and in the console); empty hides it.
function notice(text) {
  document.getElementById('notice').textContent = text;
  if (text)
    console.warn(text);
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

// The canvas's size in device pixels: fixed for a still, else the box page.html fits into the
// window (a band within the aspects the composition holds at), at the screen's density. True
// when that changed the size.
function fitCanvas() {
  const ratio = still ? 1 : window.devicePixelRatio || 1;
  const width = Math.max(1, Math.round(canvas.clientWidth * ratio));
  const height = Math.max(1, Math.round(canvas.clientHeight * ratio));
  if (canvas.width !== width || canvas.height !== height) {
    canvas.width = width;
    canvas.height = height;
    return true;
  }
  return false;
}

// The program's lines since `from`, or `otherwise` when it printed none.
function linesSince(from, otherwise) {
  return printed.slice(from).join('\n') || otherwise;
}

// The program's return codes (kOk, kContextLost, kGlFailed, ...) and kMaxSeconds come ahead of
// this script from web/src/PageCodes.h and src/passes/SceneTime.h (web/assemble.mjs).

function contextIsLost() {
  const gl = canvas.getContext('webgl2');
  return gl !== null && gl.isContextLost();
}

// A call into the program. An exception it throws (a GL call on a context lost halfway, a
// trap) is kContextLost while the context is gone, else kGlFailed with its text among the
// program's lines: the page never goes on as if the call had worked.
function guarded(call) {
  try {
    return call();
  } catch (error) {
    if (contextIsLost())
      return kContextLost;
    printed.push(String(error));
    return kGlFailed;
  }
}

// dataset.size and the keys panel's line say the size the passes render at now.
function showRenderSize() {
  const size = `${Module._tw_render_width()}x${Module._tw_render_height()}`;
  if (document.documentElement.dataset.size !== size) {
    document.documentElement.dataset.size = size;
    document.getElementById('size').textContent = `Drawn at ${size} pixels`;
  }
}

// Starts the program; false (and the page says why) when it cannot run here.
function startProgram() {
  fitCanvas();
  const size = fixedSize || { width: canvas.width, height: canvas.height };
  // A program that fails to build prints the desktop's line, then its log; both end up here.
  const from = printed.length;
  const result = guarded(() => Module._tw_start(size.width, size.height, fixedSize ? 1 : 0));
  if (result === kNoWebGl2)
    fail('This page needs WebGL 2, which this browser does not offer or has switched off.');
  else if (result === kContextLost)
    fail('The graphics context was lost while the intro was being built; reload the page.');
  else if (result !== 0)
    fail(linesSince(from, 'The intro failed to start.'));
  else
    showRenderSize();
  return result === 0;
}

// Draws the still frame and says 'still' only once it is on the screen: the start screen goes
// at once, and the second animation frame after the drawing comes after the one that showed it.
// The page is 'loading' meanwhile; a loss on the way makes the drawing after the restore the one
// that counts.
let stillDrawing = 0;

function drawStill() {
  const drawing = ++stillDrawing;
  const from = printed.length;
  const result = guarded(() => Module._tw_frame(startTime, canvas.width, canvas.height, 1));
  if (result === kContextLost) {
    goLost('still');
    return;
  }
  if (result !== 0) {
    fail(linesSince(from, 'The still frame could not be drawn.'));
    return;
  }
  document.getElementById('screen').style.display = 'none';
  requestAnimationFrame(() => requestAnimationFrame(() => {
    if (drawing === stillDrawing && state() === 'loading')
      setState('still');
  }));
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
  canvas.addEventListener('webglcontextlost', contextLost);
  canvas.addEventListener('webglcontextrestored', contextRestored);
  if (still) {
    const size = fixedSize || { width: innerWidth, height: innerHeight };
    Object.assign(canvas.style, { width: `${size.width}px`, height: `${size.height}px`, margin: 0 });
    if (startProgram())
      drawStill();
    return;
  }
  setState('waiting');
  times.startScreen = performance.now();
  // Shaders compile behind the start screen, so the click starts the intro at once.
  await new Promise((resolve) => setTimeout(resolve, 0));
  if (!startProgram())
    return;
  const start = document.getElementById('start');
  start.textContent = matchMedia('(pointer: coarse)').matches ? 'tap to start' : 'click to start';
  start.hidden = false;
  document.getElementById('screen').addEventListener('click', begin);
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' || event.key === ' ')
      begin();
  });
  document.addEventListener('visibilitychange', () => {
    if (document.hidden)
      Module._tw_hold();  // frames of play stop: the calibration never times the gap
    else
      Sound.wake();
  });
}

// A lost context draws nothing until the browser gives it back; the clock and the music go on.
// The program may meet the loss first (in a frame before the browser's event), so either puts
// the page in 'lost', to come back to `resume` (the state it left) once the context is back.
let stateBeforeLoss = null;

function goLost(resume = state()) {
  if (state() === 'error' || state() === 'lost')
    return;
  stateBeforeLoss = resume;
  setState('lost');
  notice('The graphics context was lost; the picture comes back when the browser restores it.');
}

function contextLost(event) {
  event.preventDefault();  // without this the browser never restores it
  goLost(still ? 'still' : state());
}

function contextRestored() {
  if (state() !== 'lost')
    return;
  const from = printed.length;
  const result = guarded(() => Module._tw_restore());
  if (result === kContextLost)
    return;  // gone again already: its next restore rebuilds
  if (result !== 0) {
    fail(linesSince(from, 'The graphics context came back, but the intro could not be rebuilt.'));
    return;
  }
  notice(Sound.silentReason());
  if (stateBeforeLoss === 'still') {
    setState('loading');
    drawStill();
    return;
  }
  setState(stateBeforeLoss);
  drawAgain = true;
}

// Scene seconds now: the music's position while it plays, else the page's clock running on from
// the last moment shown, so that a picture without sound (or whose sound stopped) never stalls.
function sceneTime(now) {
  if (paused)
    return clock.scene;
  const heard = Sound.heardTime();
  // The clock stands at the end of the day; the player pauses there (Player.shown).
  const scene = Math.min(kMaxSeconds, heard ?? clock.scene + Math.max(0, now - clock.at) / 1000);
  clock = { scene, at: now };
  return scene;
}

function begin() {
  if (state() !== 'waiting' || times.click !== null)
    return;
  times.click = performance.now();
  clock = { scene: startTime, at: times.click };
  // Inside the click, where browsers allow sound to start; the picture never waits for it. Before
  // the full screen, whose request uses up the click's permission to start sound in some engines.
  Sound.open(() => sceneTime(performance.now()), notice);
  const full = document.documentElement.requestFullscreen;
  if (full)
    full.call(document.documentElement).then(turnSideways, () => {});
  requestAnimationFrame(frame);
}

// Once in full screen on a touch screen: the phone turns the picture on its side where the
// browser allows it (most allow the lock only in full screen); a refusal changes nothing.
function turnSideways() {
  if (matchMedia('(pointer: coarse)').matches)
    Promise.resolve().then(() => screen.orientation.lock('landscape')).catch(() => {});
}

// Moves the picture and the music to `seconds` (kept within 0 to the recorder's limit), playing
// or paused; the music starts again there at once. A time that is no number moves nothing: null.
function seekTo(seconds) {
  if (!Number.isFinite(seconds))
    return null;
  const scene = Math.min(kMaxSeconds, Math.max(0, seconds));
  clock = { scene, at: performance.now() };
  drawAgain = true;
  Sound.restart();
  return scene;
}

// Pauses or resumes picture and music together. A pause holds the picture on screen and keeps
// its moment, from which both resume in step.
function setPaused(pause) {
  if (pause === paused)
    return;
  const now = performance.now();
  clock = { scene: pause && shownTime !== null ? shownTime : sceneTime(now), at: now };
  paused = pause;
  if (pause)
    Module._tw_hold();  // the calibration never times the pause
  Sound.hold(pause);
  if (state() === 'playing' || state() === 'paused')
    setState(pause ? 'paused' : 'playing');
  else if (stateBeforeLoss === 'playing' || stateBeforeLoss === 'paused')
    stateBeforeLoss = pause ? 'paused' : 'playing';
}

function frame(now) {
  const scene = sceneTime(now);
  // Paused, the picture on screen stays until a seek or a new size needs another.
  const drawing = state() === 'waiting' || state() === 'playing' || state() === 'paused';
  if (drawing && (fitCanvas() || state() !== 'paused' || drawAgain)) {
    const from = printed.length;
    // A picture drawn while paused or hidden (a seek, a new size) is no frame of play.
    const held = paused || document.hidden ? 1 : 0;
    const result = guarded(() => Module._tw_frame(scene, canvas.width, canvas.height, held));
    if (result === kContextLost) {
      goLost();
    } else if (result !== 0) {
      fail(linesSince(from, 'The intro stopped in a frame.'));
    } else {
      drawAgain = false;
      shownTime = scene;
      document.documentElement.dataset.time = scene.toFixed(3);
      showRenderSize();
      if (times.firstFrame === null) {
        times.firstFrame = performance.now();
        setState('playing');
        Player.start();
      }
      Player.shown(scene);
    }
  }
  if (state() !== 'error')
    requestAnimationFrame(frame);
}
