// The page's sound: the program's music (Module._tw_music_start/_fill, the shared MusicStream)
// played through Web Audio without ever holding the picture back. An AudioWorklet plays it where
// the engine has one at 44100 Hz; elsewhere (no AudioWorklet, another output rate, a worklet
// module the engine will not load) buffers scheduled on the context's timeline do.
//
// Sound.open(sceneNow, say) inside the click; then Sound.heardTime() each frame gives the scene
// time of what is heard, or null while nothing plays (the page's clock runs then). The music
// (re)starts at sceneNow() whenever the context (re)starts running, so picture and sound join up
// however late the sound comes; Sound.wake() when the tab is shown again.
'use strict';

const Sound = (() => {
  const kRate = 44100;
  const kChunkFrames = 4096;
  const kWorkletAhead = 22050;  // frames queued: a slow frame on the page never starves it
  const kBufferAhead = 1.5;     // seconds scheduled ahead, for a timer throttled in the background
  const kWaitMs = 1000;         // how long the sound may take to start before the page says so
  const kBufferLead = 0.1;      // seconds from scheduling the first buffer to hearing it

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
// A module load that timed out may still finish after the next one has: the name is taken then.
try {
  registerProcessor('tidewatch-feed', Feed);
} catch (error) {}
`;

  let context = null;
  let route = null;  // 'worklet' or 'buffers' once the output is set up
  let feed = null;   // the music now playing
  let sceneNow = null;
  let say = null;
  let silence = '';  // why the intro plays without sound, while it does

  function silent(text) {
    silence = `Playing without sound: ${text}.`;
    say(silence);
  }

  // A promise that gives up after `ms`: some engines never settle a worklet's module load.
  function within(promise, ms, what) {
    return Promise.race([promise, new Promise((resolve, reject) =>
      setTimeout(() => reject(new Error(`${what} did not finish`)), ms))]);
  }

  // Where the worklet module loads from: a data: URL, since a page opened from disk may not load
  // a blob: one, or else a blob: URL; the engines differ in which they take.
  async function loadWorklet() {
    const urls = [`data:text/javascript;base64,${btoa(feedProcessor)}`,
      URL.createObjectURL(new Blob([feedProcessor], { type: 'text/javascript' }))];
    for (const url of urls) {
      try {
        await within(context.audioWorklet.addModule(url), kWaitMs, 'loading the worklet');
        return true;
      } catch (error) {
        console.warn(`Sound: ${url.slice(0, 5)} worklet not loaded (${error.message})`);
      }
    }
    return false;
  }

  // The next `frames` frames of music, planar (left, then right).
  function chunk(frames) {
    const at = Module._tw_music_fill(frames) >> 2;
    return Module.HEAPF32.slice(at, at + 2 * frames);
  }

  function startWorkletFeed(from) {
    const node = new AudioWorkletNode(context, 'tidewatch-feed', { outputChannelCount: [2] });
    const mine = {
      node, sent: 0, played: 0, at: null,
      heard: () => (mine.at === null ? null
        : from + mine.played / kRate + Math.max(0, context.currentTime - mine.at)),
      topUp: () => {
        while (mine.sent - mine.played < kWorkletAhead) {
          const samples = chunk(kChunkFrames);
          node.port.postMessage(samples, [samples.buffer]);
          mine.sent += kChunkFrames;
        }
      },
      stop: () => {
        node.port.onmessage = null;
        node.disconnect();
      },
    };
    node.port.onmessage = (event) => {
      Object.assign(mine, event.data);
      mine.topUp();
    };
    mine.topUp();
    node.connect(context.destination);
    return mine;
  }

  // Chunks as AudioBuffers at 44100 Hz, each started where the last ends; the engine resamples.
  function startBufferFeed(from) {
    const begins = context.currentTime + kBufferLead;
    const sources = new Set();
    const mine = {
      sent: 0,
      heard: () => (context.currentTime < begins ? null : from + context.currentTime - begins),
      topUp: () => {
        while (begins + mine.sent / kRate < context.currentTime + kBufferAhead) {
          const samples = chunk(kChunkFrames);
          const buffer = context.createBuffer(2, kChunkFrames, kRate);
          buffer.copyToChannel(samples.subarray(0, kChunkFrames), 0);
          buffer.copyToChannel(samples.subarray(kChunkFrames), 1);
          const source = context.createBufferSource();
          source.buffer = buffer;
          source.connect(context.destination);
          source.onended = () => sources.delete(source);
          source.start(begins + mine.sent / kRate);
          sources.add(source);
          mine.sent += kChunkFrames;
        }
      },
      stop: () => {
        clearInterval(mine.timer);
        sources.forEach((source) => source.stop());
      },
    };
    mine.topUp();
    mine.timer = setInterval(mine.topUp, 250);
    return mine;
  }

  // Follows the context: the music (re)starts at the picture's time whenever it runs, and the
  // page's clock takes over whenever it stops.
  function changed() {
    if (route === null)
      return;
    if (context.state !== 'running') {
      if (feed)
        feed.stop();
      feed = null;
      return;
    }
    if (feed)
      return;
    // Buffers are heard a lead after scheduling: the music starts where the picture is by then.
    const from = sceneNow() + (route === 'buffers' ? kBufferLead : 0);
    if (Module._tw_music_start(from) !== 0) {
      route = null;
      silent('the music did not load');
      return;
    }
    feed = route === 'worklet' ? startWorkletFeed(from) : startBufferFeed(from);
    if (silence) {
      silence = '';
      say('');
    }
  }

  async function open(now, tell) {
    sceneNow = now;
    say = tell;
    if (typeof AudioContext === 'undefined') {
      silent('this browser has no Web Audio');
      return;
    }
    // An engine that cannot open its output at 44100 Hz opens it at its own rate.
    for (const options of [{ sampleRate: kRate }, {}]) {
      try {
        context = context || new AudioContext(options);
      } catch (error) {
        console.warn(`Sound: no AudioContext with ${JSON.stringify(options)} (${error.message})`);
      }
    }
    if (!context) {
      silent('this browser would not open a sound output');
      return;
    }
    context.onstatechange = changed;
    context.resume().catch(() => {});
    setTimeout(() => {
      if (!feed && !silence)
        silent(`the sound output did not start (${context.state})`);
    }, kWaitMs);
    const worklet = context.audioWorklet && context.sampleRate === kRate && await loadWorklet();
    route = worklet ? 'worklet' : 'buffers';
    changed();
  }

  return {
    open,
    heardTime: () => (feed && context.state === 'running' ? feed.heard() : null),
    // Tabs brought back may find the context suspended by the browser.
    wake: () => {
      if (context && context.state !== 'running' && context.state !== 'closed')
        context.resume().catch(() => {});
    },
    silentReason: () => silence,
  };
})();
