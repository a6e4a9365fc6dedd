// The page as a player once the intro plays: the keys people know from video players, a bar over
// the foot of the picture that pointer movement or a tap shows, links to a moment, and the
// system's media controls (Media Session). It acts through page.js's seekTo() and setPaused();
// page.js calls Player.start() at the first frame and Player.shown(time) after every frame.
// The volume and mute are kept in localStorage where the browser allows it. A feature the browser
// refuses (the clipboard, full screen, Media Session) is said quietly; the picture goes on.
// On a touch screen a tap shows or hides the bar and a centre button, and a double tap on the
// left or right third seeks 10 s back or on, as in phone players.
'use strict';

const Player = (() => {
  const kSeek = 5;         // seconds for the arrow keys and the media controls' default step
  const kLongSeek = 10;    // seconds for J and L
  const kVolumeStep = 0.1;
  const kBarMs = 2000;     // how long the bar stays after the pointer stops
  const kSaidMs = 4000;    // how long a line in the bar stays
  const kDoubleTapMs = 300;  // a second tap within this is a double tap (Android's timeout)
  const kJumpMs = 700;     // how long the double tap's "+10 s" stays
  const kStorageKey = 'tidewatch.sound';
  const icons = {
    play: '<path fill="currentColor" d="M8 5v14l11-7z"/>',
    pause: '<path fill="currentColor" d="M6 5h4v14H6zM14 5h4v14h-4z"/>',
    sound: '<path fill="currentColor" d="M3 9h4l5-5v16l-5-5H3z"/>'
      + '<path d="M15.5 8.5a5 5 0 0 1 0 7M18 6a8.5 8.5 0 0 1 0 12"/>',
    muted: '<path fill="currentColor" d="M3 9h4l5-5v16l-5-5H3z"/><path d="M15 9l6 6M21 9l-6 6"/>',
    full: '<path d="M4 9V4h5M15 4h5v5M20 15v5h-5M9 20H4v-5"/>',
    link: '<path d="M10 14a4 4 0 0 0 5.7 0l3-3a4 4 0 0 0-5.7-5.7l-1 1"/>'
      + '<path d="M14 10a4 4 0 0 0-5.7 0l-3 3a4 4 0 0 0 5.7 5.7l1-1"/>',
  };

  let song = { seconds: 0, loopStart: 0 };
  let sound = { volume: 1, muted: false };
  let started = false;
  let hideTimer = null;
  let saidTimer = null;
  let dragging = false;  // the seek bar is held: frames leave its value alone
  let pointer = 'mouse';  // the kind of the last pointer pressed: 'mouse', 'pen' or 'touch'
  let lastTap = null;     // { side, at, run }: where and when (ms) the last tap was, the seek run
  let tapTimer = null;
  let jumpTimer = null;
  const byId = (id) => document.getElementById(id);

  try {
    const kept = JSON.parse(localStorage.getItem(kStorageKey));
    if (kept && Number.isFinite(kept.volume) && kept.volume >= 0 && kept.volume <= 1)
      sound = { volume: kept.volume, muted: kept.muted === true };
  } catch (error) {
    console.info(`Player: the volume is not remembered here (${error.message})`);
  }
  Sound.setVolume(sound.volume, sound.muted);
  byId('volume').value = sound.volume;

  // A quiet line in the bar (shown for a while) and the console.
  function say(text) {
    byId('said').textContent = text;
    console.info(`Player: ${text}`);
    showBar();
    clearTimeout(saidTimer);
    saidTimer = setTimeout(() => { byId('said').textContent = ''; }, kSaidMs);
  }

  // Seconds into the song heard at scene time `time`: past its end the song repeats its loop.
  function songPosition(time) {
    const { seconds, loopStart } = song;
    if (!(seconds > 0) || time < seconds)
      return time;
    const loop = seconds - loopStart;
    return loop > 0 ? loopStart + (time - seconds) % loop : time % seconds;
  }

  function clockText(seconds) {
    const whole = Math.floor(seconds);
    return `${Math.floor(whole / 60)}:${String(whole % 60).padStart(2, '0')}`;
  }

  // This page's address with t set to `time`, to a tenth of a second.
  function linkAt(time) {
    const url = new URL(location.href);
    url.searchParams.set('t', time.toFixed(1));
    return url.href;
  }

  function now() {
    return sceneTime(performance.now());
  }

  function showAddress(link = linkAt(now())) {
    try {
      history.replaceState(history.state, '', link);
    } catch (error) {
      console.info(`Player: the address bar cannot show the moment (${error.message})`);
    }
  }

  function setIcon(button, name, label) {
    button.innerHTML = `<svg viewBox="0 0 24 24" aria-hidden="true">${icons[name]}</svg>`;
    button.setAttribute('aria-label', label);
    button.title = label;
  }

  function updateMediaPosition() {
    if (!('mediaSession' in navigator) || !(song.seconds > 0))
      return;
    try {
      navigator.mediaSession.setPositionState({ duration: song.seconds, playbackRate: 1,
        position: Math.min(song.seconds, songPosition(now())) });
    } catch (error) {
      console.info(`Player: the media controls take no position here (${error.message})`);
    }
  }

  function pause(yes) {
    // Play at the end of the day starts it again from the beginning, as at a video's end.
    if (!yes && now() >= kMaxSeconds)
      seek(0);
    setPaused(yes);
    for (const button of [byId('play'), byId('centre')])
      setIcon(button, paused ? 'play' : 'pause', paused ? 'Play' : 'Pause');
    if ('mediaSession' in navigator)
      navigator.mediaSession.playbackState = paused ? 'paused' : 'playing';
    if (paused)
      showAddress();
    updateMediaPosition();
  }

  function togglePause() {
    pause(!paused);
  }

  // A time that is no number (a media control's seek without one) moves nothing.
  function seek(seconds) {
    if (!Number.isFinite(seconds)) {
      say('A seek came without a time; the clock stands.');
      return null;
    }
    const scene = seekTo(seconds);
    if (paused)
      showAddress();
    updateMediaPosition();
    showClock(scene);
    return scene;
  }

  function setSound(volume, muted) {
    if (!Number.isFinite(volume)) {
      say('A volume came without a level; the sound stays as it was.');
      return;
    }
    sound = { volume: Math.min(1, Math.max(0, Math.round(volume * 100) / 100)), muted };
    Sound.setVolume(sound.volume, sound.muted);
    byId('volume').value = sound.volume;
    setIcon(byId('mute'), sound.muted ? 'muted' : 'sound', sound.muted ? 'Unmute' : 'Mute');
    try {
      localStorage.setItem(kStorageKey, JSON.stringify(sound));
    } catch {
      // Storage refused (a private window, a page from disk in some engines): forgotten quietly.
    }
  }

  function toggleFullScreen() {
    const page = document.documentElement;
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (!page.requestFullscreen) {
      say('This browser offers no full screen for a page.');
    } else {
      page.requestFullscreen().then(turnSideways, () => say('The browser refused full screen.'));
    }
  }

  async function copyLink() {
    const link = linkAt(now());
    try {
      await navigator.clipboard.writeText(link);
      say(`Copied a link to ${clockText(songPosition(now()))}.`);
    } catch {
      showAddress(link);
      say('The browser refused the clipboard; the address bar has the link.');
    }
  }

  function showBar() {
    if (!started)
      return;
    byId('bar').classList.add('shown');
    document.documentElement.classList.add('controls');
    showClock(now());
    clearTimeout(hideTimer);
    hideTimer = setTimeout(hideBar, kBarMs);
  }

  function hideBar() {
    // A bar in use stays: the pointer over it, or the keyboard's focus in it. A phone's paused
    // picture keeps its controls until a tap hides them, as phone players do.
    if (byId('bar').matches(':hover') || byId('bar').querySelector(':focus-visible')
      || (paused && pointer === 'touch')) {
      hideTimer = setTimeout(hideBar, kBarMs);
      return;
    }
    concealBar();
  }

  function concealBar() {
    clearTimeout(hideTimer);
    byId('bar').classList.remove('shown');
    document.documentElement.classList.remove('controls');
  }

  // The double tap's sign over the side tapped: "+10 s", "-20 s" (`seconds` so far in this run).
  function showJump(seconds) {
    const sign = byId('jump');
    sign.textContent = `${seconds < 0 ? '\u2212' : '+'}${Math.abs(seconds)} s`;
    sign.className = `${seconds < 0 ? 'back' : 'on'} shown`;
    clearTimeout(jumpTimer);
    jumpTimer = setTimeout(() => sign.classList.remove('shown'), kJumpMs);
  }

  // A tap on the picture: alone, it shows or hides the controls once no second tap follows; quick
  // taps on the left or right third seek 10 s back or on each after the first.
  function onTap(event) {
    const side = Math.min(2, Math.floor(3 * event.clientX / innerWidth)) - 1;  // -1, 0 or 1
    const at = performance.now();
    const again = side !== 0 && lastTap !== null && lastTap.side === side
      && at - lastTap.at < kDoubleTapMs;
    lastTap = { side, at, run: again ? lastTap.run + kLongSeek : 0 };
    clearTimeout(tapTimer);
    if (again) {
      seek(now() + side * kLongSeek);
      showJump(side * lastTap.run);
    } else {
      const shown = () => byId('bar').classList.contains('shown');
      tapTimer = setTimeout(() => (shown() ? concealBar() : showBar()), kDoubleTapMs);
    }
  }

  // The bar's clock and seek bar at scene time `time`.
  function showClock(time) {
    const position = songPosition(time);
    const length = song.seconds > 0 ? ` / ${clockText(Math.round(song.seconds))}` : '';
    byId('time').textContent = `${clockText(position)}${length}`;
    if (!dragging)
      byId('seek').value = position;
  }

  function onKey(event) {
    if (state() !== 'playing' && state() !== 'paused')
      return;
    if (event.ctrlKey || event.metaKey || event.altKey)
      return;
    const target = event.target;
    // Controls keep their own keys: a button's Space and Enter, the volume slider's arrows.
    const onButton = target instanceof HTMLButtonElement;
    const onVolume = target === byId('volume');
    const actions = {
      ' ': onButton ? null : togglePause,
      k: togglePause,
      f: toggleFullScreen,
      m: () => setSound(sound.volume, !sound.muted),
      ArrowUp: onVolume ? null : () => setSound(sound.volume + kVolumeStep, false),
      ArrowDown: onVolume ? null : () => setSound(sound.volume - kVolumeStep, sound.muted),
      ArrowLeft: onVolume ? null : () => seek(now() - kSeek),
      ArrowRight: onVolume ? null : () => seek(now() + kSeek),
      j: () => seek(now() - kLongSeek),
      l: () => seek(now() + kLongSeek),
      Home: () => seek(0),
      0: () => seek(0),
      '?': () => { byId('keys').hidden = !byId('keys').hidden; },
      Escape: () => { byId('keys').hidden = true; },
    };
    const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
    const action = actions[key];
    if (!action)
      return;
    event.preventDefault();
    action();
  }

  // A click's pointer: its own where the engine says it, else the last one pressed.
  const touched = (event) => (event.pointerType || pointer) === 'touch';

  function onPictureClick(event) {
    if ((state() === 'playing' || state() === 'paused')
      && !event.target.closest('#bar, #keys, #centre'))
      (touched(event) ? onTap : togglePause)(event);
  }

  function onPictureDoubleClick(event) {
    if ((state() === 'playing' || state() === 'paused')
      && !event.target.closest('#bar, #keys, #centre') && !touched(event))
      toggleFullScreen();
  }

  function buildBar() {
    setIcon(byId('play'), 'pause', 'Pause');
    setIcon(byId('centre'), 'pause', 'Pause');
    setIcon(byId('full'), 'full', 'Full screen');
    setIcon(byId('copy'), 'link', 'Copy link at this moment');
    setSound(sound.volume, sound.muted);
    const seekBar = byId('seek');
    seekBar.max = song.seconds > 0 ? song.seconds : 60;
    byId('play').addEventListener('click', togglePause);
    byId('centre').addEventListener('click', togglePause);
    byId('mute').addEventListener('click', () => setSound(sound.volume, !sound.muted));
    byId('full').addEventListener('click', toggleFullScreen);
    byId('copy').addEventListener('click', copyLink);
    byId('volume').addEventListener('input', (event) => setSound(Number(event.target.value), false));
    // The bar covers the song once: a place on it is that moment of the first pass.
    seekBar.addEventListener('pointerdown', () => { dragging = true; });
    seekBar.addEventListener('input', () => seek(Number(seekBar.value)));
    seekBar.addEventListener('change', () => { dragging = false; });
    seekBar.addEventListener('pointerup', () => { dragging = false; });
    byId('bar').addEventListener('focusin', showBar);
    // A button clicked keeps no focus, so that Space after it pauses instead of pressing it again.
    for (const button of byId('bar').querySelectorAll('button')) {
      button.addEventListener('click', (event) => {
        if (event.detail > 0)
          button.blur();
      });
    }
  }

  // A media control's step: its seekOffset, the default where it gives none; NaN (no seek) where
  // it gives one that is no length of time.
  function offset(details) {
    const seconds = details?.seekOffset ?? kSeek;
    return Number.isFinite(seconds) && seconds >= 0 ? seconds : NaN;
  }

  function setUpMediaSession() {
    if (!('mediaSession' in navigator)) {
      console.info('Player: this browser has no Media Session; the system\'s media keys do nothing here.');
      return;
    }
    const session = navigator.mediaSession;
    try {
      session.metadata = new MediaMetadata({ title: 'Tidewatch', artist: 'Vendrel',
        artwork: twArtwork ? [{ src: twArtwork, type: 'image/png' }] : [] });
    } catch (error) {
      console.info(`Player: no media metadata here (${error.message})`);
    }
    const handlers = {
      play: () => pause(false),
      pause: () => pause(true),
      seekbackward: (details) => seek(now() - offset(details)),
      seekforward: (details) => seek(now() + offset(details)),
      seekto: (details) => seek(details?.seekTime),
    };
    for (const [action, handler] of Object.entries(handlers)) {
      try {
        session.setActionHandler(action, handler);
      } catch (error) {
        console.info(`Player: the media controls have no ${action} here (${error.message})`);
      }
    }
    session.playbackState = 'playing';
  }

  return {
    // Once, at the intro's first frame: the keys, the bar and the media controls start working.
    start: () => {
      if (started)
        return;
      started = true;
      song = { seconds: Module._tw_song_seconds(), loopStart: Module._tw_song_loop_start() };
      buildBar();
      byId('bar').hidden = false;
      byId('centre').hidden = false;
      document.addEventListener('keydown', onKey);
      document.addEventListener('click', onPictureClick);
      document.addEventListener('dblclick', onPictureDoubleClick);
      document.addEventListener('pointermove', (event) => {
        if (event.pointerType === 'mouse')
          showBar();
      });
      // A touch on the picture is a tap, which shows or hides the bar itself (onTap).
      document.addEventListener('pointerdown', (event) => {
        pointer = event.pointerType;
        if (pointer !== 'touch' || event.target.closest('#bar, #centre'))
          showBar();
      });
      setUpMediaSession();
      updateMediaPosition();
    },
    // After each frame drawn at scene time `time`: the bar's clock and seek bar follow it.
    shown: (time) => {
      // The clock stops at the end of the day (the recorder's limit): so does the player.
      if (started && time >= kMaxSeconds && !paused)
        pause(true);
      if (started && byId('bar').classList.contains('shown'))
        showClock(time);
    },
  };
})();
