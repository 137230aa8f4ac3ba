// SPDX-License-Identifier: MIT
// What a person sees and does at the page: the phone (drawn by the core as
// zqsim's window draws it) on a canvas, its keys under the mouse and on the
// keyboard (zqsim's map; F1 shows it), the image to run, a music folder to
// drop or pick, sound through an audio element once a click or key allows
// it, and one line saying what went wrong when something does.
'use strict';

const zqPageUi = (() => {
  const M = 0x40000000;  // SDL's mark of a key code made from a scan code
  const kKeys = {
    Backspace: 8, Escape: 27, ' ': 32, '*': 42, '#': 35, End: 77 | M, PageUp: 75 | M, PageDown: 78 | M,
    ArrowUp: 82 | M, ArrowDown: 81 | M, ArrowLeft: 80 | M, ArrowRight: 79 | M,
  };
  const keyCode = (e) => {
    if (e.key.length === 1 && e.key >= '0' && e.key <= '9') return e.key.charCodeAt(0);
    if (/^F([1-9]|1[0-2])$/.test(e.key)) return (57 + Number(e.key.slice(1))) | M;
    return kKeys[e.key];
  };
  const kFacts = {Track: 0, EngineStart: 1, EnginePause: 2, EngineStop: 3, EngineDelete: 4, EngineSeek: 5};
  const isTrack = (name) => /\.(mp3|m4a)$/i.test(name);
  const isLyrics = (name) => /\.(lrc|txt)$/i.test(name);

  let core = null;
  let canvas, context, status, imageChoice;
  let width = 0, height = 0;
  let folder = null;  // {name, tracks: Map(name -> Blob), lyrics: Map(name -> Blob)}
  let sound = false;
  const audio = new Audio();
  let audioTrack = '';
  let pendingSeek = null;  // a place to go to once the element knows the track
  const seekAudio = (seconds) => {
    if (audio.readyState >= 1) audio.currentTime = seconds;
    else pendingSeek = seconds;
  };
  audio.addEventListener('loadedmetadata', () => {
    if (pendingSeek !== null) audio.currentTime = pendingSeek;
    pendingSeek = null;
  });
  const say = (text) => { status.textContent = text; };

  // The engine's facts move the audio element.
  const onFact = (fact, value, text) => {
    if (fact === kFacts.Track) audioTrack = text;
    if (!sound || !folder) return;
    if (fact === kFacts.Track) {
      const blob = folder.tracks.get(text);
      if (audio.src) URL.revokeObjectURL(audio.src);
      pendingSeek = null;
      audio.src = blob ? URL.createObjectURL(blob) : '';
    } else if (fact === kFacts.EngineStart) {
      audio.play().catch(() => {});
    } else if (fact === kFacts.EnginePause || fact === kFacts.EngineStop || fact === kFacts.EngineDelete) {
      audio.pause();
      if (fact === kFacts.EngineStop) seekAudio(0);
    } else if (fact === kFacts.EngineSeek) {
      seekAudio(value / 1000);
    }
  };
  audio.addEventListener('ended', () => core.ccall('ZqPageTrackEnded', null, ['number'], [0]));
  audio.addEventListener('error', () => {
    if (!audio.getAttribute('src')) return;
    say(zqTexts.t('cannotPlay', audioTrack));
    core.ccall('ZqPageTrackEnded', null, ['number'], [1]);
  });

  // A track's length as the browser measures it, or null.
  const measure = (blob) => new Promise((resolve) => {
    const a = new Audio();
    const url = URL.createObjectURL(blob);
    const done = (v) => { URL.revokeObjectURL(url); resolve(v); };
    a.preload = 'metadata';
    a.addEventListener('loadedmetadata', () => done(isFinite(a.duration) ? Math.round(a.duration * 1000) : null));
    a.addEventListener('error', () => done(null));
    a.src = url;
  });

  // The folder as the phone's card: tracks in mobile/audio/ (the stand-in
  // needs only their names and whether they are empty; the audio element
  // plays them from the page's memory), lyrics in mobile/audio/lrc/.
  const start = async (f, chosen) => {
    const names = [...f.tracks.keys()].sort((a, b) => (a < b ? -1 : a > b ? 1 : 0));
    if (names.length === 0) {
      say(zqTexts.t('noTracks', f.name));
      return false;
    }
    core.ccall('ZqPageReset', null, [], []);
    zqCore.removeTree('/card');
    for (const name of names) zqCore.writeFile('/card/mobile/audio/' + name, new Uint8Array(f.tracks.get(name).size > 0 ? 1 : 0));
    // Lyrics files are read all at once, not one after the other.
    const texts = await Promise.all([...f.lyrics].map(([name, blob]) => blob.arrayBuffer().then((b) => [name, b], () => [name, null])));
    for (const [name, bytes] of texts) {
      if (bytes === null) say(zqTexts.t('cannotRead', name));
      else zqCore.writeFile('/card/mobile/audio/lrc/' + name, new Uint8Array(bytes));
    }
    const first = chosen || names[0];
    performance.mark('zq-listed');
    const ms = await measure(f.tracks.get(first));
    performance.mark('zq-measured');
    if (ms !== null) core.ccall('ZqPageTrackLength', null, ['string', 'number'], ['file://b/mobile/audio/' + first, ms]);
    folder = f;
    const image = '/images/' + imageChoice.value + '.wasm';
    const ok = core.ccall('ZqPageStart', 'number', ['string', 'string', 'string', 'string', 'number'],
                          [image, '/card', 'file://b/mobile/audio/' + first, '/firmware/gb2uc.map', sound ? 1 : 0]);
    performance.mark('zq-started');
    if (!ok) {
      say(core.ccall('ZqPageError', 'string', [], []));
      return false;
    }
    say('');
    // The lyrics view follows once the phone is on the screen.
    if (!chosen) requestAnimationFrame(() => setTimeout(() => zqPageLyrics.show(f, (name) => start(f, name)), 0));
    // The other tracks' lengths, as the browser finds them.
    for (const name of names.filter((n) => n !== first)) {
      if (folder !== f) return true;
      const len = await measure(f.tracks.get(name));
      if (len !== null) core.ccall('ZqPageTrackLength', null, ['string', 'number'], ['file://b/mobile/audio/' + name, len]);
    }
    return true;
  };

  // Files of a folder, as [{path, file}] with paths below the folder.
  const gather = (list) => {
    const f = {name: zqTexts.t('theFolder'), tracks: new Map(), lyrics: new Map()};
    const beside = new Map();
    for (const {path, file} of list) {
      const parts = path.split('/');
      const name = parts[parts.length - 1];
      const inLrc = parts.length === 2 && parts[0].toLowerCase() === 'lrc';
      if (parts.length === 1 && isTrack(name)) f.tracks.set(name, file);
      else if (parts.length === 1 && isLyrics(name)) beside.set(name, file);
      else if (inLrc && isLyrics(name)) f.lyrics.set(name, file);
    }
    // The one in lrc/ wins when both exist.
    for (const [name, file] of beside) if (!f.lyrics.has(name)) f.lyrics.set(name, file);
    return f;
  };
  const dropped = async (dataTransfer) => {
    const list = [];
    const items = [...(dataTransfer.items || [])].map((i) => (i.webkitGetAsEntry ? i.webkitGetAsEntry() : null));
    try {
      if (items.length === 1 && items[0] && items[0].isDirectory) {
        const reader = items[0].createReader();
        const walk = async (dirReader, prefix) => {
          for (;;) {
            const batch = await new Promise((ok, bad) => dirReader.readEntries(ok, bad));
            if (batch.length === 0) break;
            for (const e of batch) {
              if (e.isFile) list.push({path: prefix + e.name, file: await new Promise((ok, bad) => e.file(ok, bad))});
              else if (e.isDirectory && prefix === '' && e.name.toLowerCase() === 'lrc') await walk(e.createReader(), 'lrc/');
            }
          }
        };
        await walk(reader, '');
      } else {
        for (const file of dataTransfer.files) list.push({path: file.name, file});
      }
    } catch (e) {
      say(zqTexts.t('cannotDrop', e && e.message ? e.message : e));
      return;
    }
    const f = gather(list);
    if (items.length === 1 && items[0]) f.name = items[0].name;
    await start(f);
  };
  const picked = async (files) => {
    const list = [...files].map((file) => ({path: (file.webkitRelativePath || file.name).split('/').slice(1).join('/') || file.name, file}));
    const f = gather(list);
    if (files.length > 0 && files[0].webkitRelativePath) f.name = files[0].webkitRelativePath.split('/')[0];
    await start(f);
  };

  const demoFolder = () => {
    const list = ZQ_DATA.demo.map((d) => ({path: d.path, file: new Blob([zqCore.fromBase64(d.data)])}));
    const f = gather(list);
    f.name = zqTexts.t('theDemo');
    return f;
  };

  // The first click or key lets the page make sound: the track playing goes
  // on in the audio element from where the engine is.
  const allowSound = () => {
    if (sound) return;
    sound = true;
    core.ccall('ZqPageSound', null, ['number'], [1]);
    say('');
    // The track playing silently goes on with sound from where it is.
    const at = core.ccall('ZqPagePlayingMs', 'number', [], []);
    if (at >= 0 && audioTrack) {
      onFact(kFacts.Track, 0, audioTrack);
      seekAudio(at / 1000);
      onFact(kFacts.EngineStart, 0, '');
    }
  };

  const frame = (last) => (now) => {
    core.ccall('ZqPageAdvance', null, ['number'], [Math.min(250, Math.max(0, Math.round(now - last)))]);
    const pixels = core.ccall('ZqViewPaint', 'number', [], []);
    context.putImageData(new ImageData(new Uint8ClampedArray(core.HEAPU8.buffer, pixels, width * height * 4).slice(), width, height), 0, 0);
    requestAnimationFrame(frame(now));
  };

  const build = async () => {
    core = await zqCore.ready;
    core.onFact = onFact;
    core.ccall('ZqViewOpen', 'number', ['string'], ['/unifont/unifont.hex']);
    width = core.ccall('ZqViewWidth', 'number', [], []);
    height = core.ccall('ZqViewHeight', 'number', [], []);
    performance.mark('zq-view');
    const page = document.getElementById('page');
    page.innerHTML = '<div id="bar"><label><span data-text="image"></span> <select id="image">' +
      ['zq_player_blue', 'zq_player_blue_patch', 'zq_player', 'zq_player_patch'].map((n) => '<option>' + n + '</option>').join('') +
      '</select></label> <label class="pick"><span data-text="open"></span><input id="pick" type="file" webkitdirectory multiple></label>' +
      ' <span class="hint" data-text="hint"></span> <button id="language"></button></div><div id="status"></div>' +
      '<div id="main"><div id="phone"></div><div id="lyrics"></div></div>';
    const label = () => {
      for (const e of page.querySelectorAll('[data-text]')) e.textContent = zqTexts.t(e.dataset.text);
      document.getElementById('language').textContent = zqTexts.t('language');
    };
    label();
    zqTexts.onChange(label);
    document.getElementById('language').addEventListener('click', () => zqTexts.set(zqTexts.lang === 'zh' ? 'en' : 'zh'));
    canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.tabIndex = 0;
    document.getElementById('phone').appendChild(canvas);
    context = canvas.getContext('2d');
    status = document.getElementById('status');
    imageChoice = document.getElementById('image');
    imageChoice.addEventListener('change', () => folder && start(folder));
    document.getElementById('pick').addEventListener('change', (e) => picked(e.target.files));
    const at = (e) => {
      const r = canvas.getBoundingClientRect();
      return [Math.floor((e.clientX - r.left) * width / r.width), Math.floor((e.clientY - r.top) * height / r.height)];
    };
    canvas.addEventListener('mousemove', (e) => core.ccall('ZqViewMouse', null, ['number', 'number', 'number'], [...at(e), 0]));
    canvas.addEventListener('mousedown', (e) => { allowSound(); canvas.focus(); core.ccall('ZqViewMouse', null, ['number', 'number', 'number'], [...at(e), 1]); });
    canvas.addEventListener('mouseup', (e) => core.ccall('ZqViewMouse', null, ['number', 'number', 'number'], [...at(e), 2]));
    canvas.addEventListener('mouseleave', (e) => core.ccall('ZqViewMouse', null, ['number', 'number', 'number'], [...at(e), 3]));
    const ids = new Map();
    const idOf = (code) => { if (!ids.has(code)) ids.set(code, ids.size + 1); return ids.get(code); };
    window.addEventListener('keydown', (e) => {
      const sym = keyCode(e);
      if (sym === undefined || e.target === imageChoice) return;
      e.preventDefault();
      allowSound();
      if (!e.repeat) core.ccall('ZqViewKey', null, ['number', 'number', 'number', 'number'], [idOf(e.code), sym, e.shiftKey ? 1 : 0, 1]);
    });
    window.addEventListener('keyup', (e) => {
      if (keyCode(e) === undefined) return;
      core.ccall('ZqViewKey', null, ['number', 'number', 'number', 'number'], [idOf(e.code), 0, 0, 0]);
    });
    window.addEventListener('dragover', (e) => e.preventDefault());
    window.addEventListener('drop', (e) => { e.preventDefault(); allowSound(); dropped(e.dataTransfer); });
    await start(demoFolder());
    say(zqTexts.t('sound'));
    requestAnimationFrame(frame(performance.now()));
    requestAnimationFrame(() => performance.mark('zq-first-screen'));
    return true;
  };
  window.addEventListener('error', (e) => status && say(zqTexts.t('failed', e.message)));
  window.addEventListener('unhandledrejection', (e) => status && say(zqTexts.t('failed', e.reason && e.reason.message ? e.reason.message : e.reason)));
  // zqweb runs the page without a person: no demo, no view.
  return {ready: window.zqwebHeadless ? Promise.resolve(false) : build(), audio};
})();
window.zqweb.page = zqPageUi.ready;
