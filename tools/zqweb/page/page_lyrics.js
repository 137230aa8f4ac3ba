// SPDX-License-Identifier: MIT
// The lyrics view: every track of the folder with what zqlrc scan says of
// it (the lrc file the phone opens, what the phone shows, what fix mends),
// the selected track's zqlrc check, line by line; a click on a track plays
// it on the phone. Fix writes one file, or all of them as a ZIP of the
// phone's lyrics folder (mobile/audio/lrc/) with a note on where it goes:
// the bytes zqlrc fix writes, from zqlrc's own code (page_lrc.js).
'use strict';

const zqPageLyrics = (() => {
  const t = zqTexts.t;
  let view = null;
  let folder = null, play = null;
  let rows = [];  // [{track, file, verdict, kind}]
  let selected = null;
  let target = '', join = false;  // the fix options a person chose ('': zqlrc fix's own choice)
  const kKinds = [['lyrics: ', 'kindShows'], ['no lyrics file', 'kindNoFile']];

  const escape = (s) => String(s).replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'})[c]);
  const lyricsFiles = async (f) => Promise.all([...f.lyrics].map(async ([name, blob]) =>
    ({path: '/job/music/lrc/' + name, bytes: new Uint8Array(await blob.arrayBuffer())})));

  // zqlrc scan over the folder as the phone's card holds it.
  const scan = async (f) => {
    const tracks = [...f.tracks].map(([name, blob]) => ({path: '/job/music/' + name, bytes: new Uint8Array(blob.size > 0 ? 1 : 0)}));
    const answer = await zqLrc.run(['scan', '/job/music'], [...tracks, ...(await lyricsFiles(f))]);
    const names = [...f.tracks.keys()].sort((a, b) => b.length - a.length);
    const out = [];
    for (const line of answer.stdout.split('\n')) {
      const track = names.find((n) => line.startsWith(n + ': '));
      if (track === undefined) continue;
      let rest = line.slice(track.length + 2);
      let file = '';
      const m = /^lrc\/(.*?): /.exec(rest);
      if (m && f.lyrics.has(m[1])) {
        file = m[1];
        rest = rest.slice(m[0].length);
      }
      const kind = rest.includes('; zqlrc fix mends it: ') ? 'kindMends' : (kKinds.find(([p]) => rest.startsWith(p)) || [0, 'kindOther'])[1];
      out.push({track, file, verdict: rest, kind});
    }
    return out;
  };

  // The file of each report line zqlrc fix gives that reads the file with
  // one of the browser's decoders for legacy encodings, and the encoding: on
  // the PC zqlrc reads them with the C library's, which can differ on rare
  // characters (the browser's Big5, Shift_JIS and EUC-KR are supersets).
  const browserReads = (report) => new Map(report.split('\n').map((l) => /^(.*?): (?:would fix|fixed): (?!UTF-|GB2312 |ISO-8859-1 )(\S+) to /.exec(l))
                                                   .filter((m) => m).map((m) => [m[1], m[2]]));
  const options = () => {
    const list = target ? ['--to', target] : [];
    if (join) list.push('--join-same-time');
    return list;
  };
  // zqlrc fix over lyrics files of the folder: {report, files: Map(name -> bytes)}.
  const fix = async (names) => {
    const all = await lyricsFiles(folder);
    const chosen = all.filter((f) => names.includes(f.path.slice('/job/music/lrc/'.length)));
    const answer = await zqLrc.run(['fix', ...chosen.map((f) => f.path), '--out', '/out', ...options()], chosen);
    const files = new Map(answer.files.map((f) => [f.path.slice('/out/'.length), f.bytes]));
    return {report: answer.stdout.split('/job/music/lrc/').join('').split('/out/').join(''), files};
  };
  const download = (name, bytes) => {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([bytes]));
    a.download = name;
    a.click();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  };
  // The ZIP of the phone's lyrics folder, and the note inside it.
  const zip = async () => {
    const names = [...new Set(rows.map((r) => r.file).filter((n) => n))];
    const {report, files} = await fix(names);
    const left = names.filter((n) => !files.has(n));
    const browserRead = [...browserReads(report).keys()].map((n) => '  ' + n);
    const note = [t('zipNote', ['zqlrc fix', ...options()].join(' ')), '', left.length ? t('zipNotWritten') : t('zipNone'),
                  ...left.map((n) => '  ' + n), '', ...(browserRead.length ? [t('zipBrowser'), ...browserRead, ''] : []),
                  'zqlrc fix:', report].join('\r\n');
    const entries = [...files].sort().map(([name, bytes]) => ({name: 'mobile/audio/lrc/' + name, bytes}));
    entries.push({name: 'README.txt', bytes: new TextEncoder().encode('\uFEFF' + note)});
    return zqZip(entries);
  };

  const showCheck = async (row) => {
    selected = row;
    const pre = view.querySelector('#lyrics-check');
    if (!row.file) {
      pre.textContent = row.verdict;
      return;
    }
    const all = await lyricsFiles(folder);
    const answer = await zqLrc.run(['check', '/job/music/lrc/' + row.file], all.filter((f) => f.path.endsWith('/' + row.file)));
    pre.textContent = t('checkOf', row.file) + '\n' + answer.stdout.split('/job/music/lrc/').join('');
  };

  const draw = () => {
    if (!view || !folder) return;
    const counts = ['kindShows', 'kindMends', 'kindNoFile', 'kindOther'].map((k) => rows.filter((r) => r.kind === k).length);
    view.innerHTML = '<h2>' + escape(t('lyricsTitle', folder.name)) + '</h2><p class="hint">' + escape(t('clickPlays')) +
      '</p><p id="lyrics-summary">' + escape(t('summary', rows.length, ...counts)) + '</p><div class="fixbar"><label>' +
      escape(t('to')) + ' <select id="fix-to">' + ['', 'utf8', 'utf16le', 'utf16be', 'gb2312'].map((e) => '<option value="' + e + '"' + (e === target ? ' selected' : '') + '>' + (e || escape(t('toKeep'))) + '</option>').join('') +
      '</select></label> <label><input type="checkbox" id="fix-join"' + (join ? ' checked' : '') + '> ' + escape(t('joinSameTime')) +
      '</label> <button id="fix-all">' + escape(t('fixAll')) + '</button></div><table id="lyrics-list"><thead><tr><th>' +
      escape(t('track')) + '</th><th>' + escape(t('file')) + '</th><th></th><th>' + escape(t('verdict')) +
      '</th><th></th></tr></thead><tbody>' + rows.map((r, i) => '<tr class="track ' + r.kind + (r === selected ? ' selected' : '') + '" data-row="' + i + '"><td class="name">' +
      escape(r.track) + '</td><td class="file">' + escape(r.file || t('noFile')) + '</td><td class="kind">' + escape(t(r.kind)) +
      '</td><td class="verdict">' + escape(r.verdict) + (r.browser ? '<div class="browser">' + escape(t('browserRow', r.browser)) + '</div>' : '') + '</td><td>' +
      (r.file ? '<button class="fix-one" data-row="' + i + '">' + escape(t('fixOne')) + '</button>' : '') +
      '</td></tr>').join('') + '</tbody></table><pre id="lyrics-check"></pre>';
    view.querySelector('#fix-to').addEventListener('change', (e) => { target = e.target.value; });
    view.querySelector('#fix-join').addEventListener('change', (e) => { join = e.target.checked; });
    view.querySelector('#fix-all').addEventListener('click', async () => {
      if (!rows.some((r) => r.file)) {
        view.querySelector('#lyrics-check').textContent = t('nothingToFix');
        return;
      }
      download((folder.name || 'lyrics') + '-lrc.zip', await zip());
    });
    for (const tr of view.querySelectorAll('tr.track')) {
      tr.addEventListener('click', (e) => {
        const row = rows[Number(tr.dataset.row)];
        if (e.target.classList.contains('fix-one')) {
          fix([row.file]).then(({report, files}) => {
            view.querySelector('#lyrics-check').textContent = 'zqlrc fix:\n' + report;
            if (files.has(row.file)) download(row.file, files.get(row.file));
          });
          return;
        }
        for (const other of view.querySelectorAll('tr.selected')) other.classList.remove('selected');
        tr.classList.add('selected');
        showCheck(row);
        play(row.track);
      });
    }
    if (selected) showCheck(selected);
  };

  // A folder on the phone: its tracks, their verdicts.
  const show = async (f, playTrack) => {
    folder = f;
    play = playTrack;
    selected = null;
    rows = [];
    view = view || document.getElementById('lyrics');
    rows = await scan(f);
    // What fix would do, for the files the browser's legacy decoders read.
    const names = [...new Set(rows.map((r) => r.file).filter((n) => n))];
    const files = (await lyricsFiles(f)).filter((x) => names.includes(x.path.slice('/job/music/lrc/'.length)));
    const reads = browserReads((await zqLrc.run(['fix', ...files.map((x) => x.path)], files)).stdout.split('/job/music/lrc/').join(''));
    for (const r of rows) r.browser = reads.get(r.file) || '';
    if (folder === f) draw();
  };
  zqTexts.onChange(draw);
  return {show, zip, get rows() { return rows; }};
})();
