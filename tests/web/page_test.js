// SPDX-License-Identifier: MIT
// What only the page has, in headless Chromium: a click on a phone key
// changes the screen; a dropped folder plays its first track with its
// lyrics; a track the browser cannot decode and a folder without tracks
// each give one line in the page; the lyrics view lists what zqlrc scan
// says of each track, its ZIP holds the phone's lyrics folder with the bytes
// zqlrc fix writes, its texts switch between English and Chinese; and the
// page asks the network for nothing.
//   node page_test.js PAGE.html RUNNER_DIR TEST_DATA_DIR ZQLRC LYRICS_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const [pageFile, runnerDir, dataDir, zqlrc, lyricsDir] = process.argv.slice(2);
const {execFileSync} = require('child_process');
const puppeteer = require(path.resolve(runnerDir, 'node_modules', 'puppeteer-core'));

const tone = fs.readFileSync(path.join(dataDir, 'tone_2500ms.mp3')).toString('base64');
const notAudio = fs.readFileSync(path.join(dataDir, 'not_audio.mp3')).toString('base64');
const gb2312 = fs.readFileSync(path.join(dataDir, '../../box/parity/lrc/enc_gb2312.lrc')).toString('base64');
const lyrics = Buffer.from('[00:01.00]dropped line one\n[00:02.00]dropped line two\n').toString('base64');
// Each case drops files on the page and waits for a line of the trace (the
// page's console) or for the page's one line of status.
const cases = [
  {name: 'dropped folder plays', files: [['a.mp3', tone], ['a.lrc', lyrics]],
   trace: 'lyrics "dropped line one" "dropped line two"'},
  {name: 'GB2312 lyrics beside the track', files: [['g.mp3', tone], ['g.lrc', gb2312]],
   trace: 'lyrics "白日依山尽" "黄河入海流"'},
  {name: 'broken track', files: [['b.mp3', notAudio]], status: /^cannot play b\.mp3: /},
  {name: 'not audio', files: [['notes.pdf', lyrics]], status: /^the folder: no MP3 or M4A track in this folder$/},
];

const failures = [];
const check = (ok, text) => { if (!ok) failures.push(text); };

(async () => {
  const browser = await puppeteer.launch({executablePath: process.env.ZQ_CHROMIUM || '/usr/bin/chromium',
    headless: true, args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required']});
  const page = await browser.newPage();
  await page.setViewport({width: 1280, height: 900});
  const url = 'file://' + path.resolve(pageFile);
  const stray = [], trace = [];
  page.on('request', (r) => { if (![url, 'data:', 'blob:'].some((u) => r.url().startsWith(u))) stray.push(r.url()); });
  page.on('console', (m) => trace.push(m.text()));
  await page.goto(url, {waitUntil: 'load'});
  await page.evaluate(() => window.zqweb.page);
  const wait = async (test) => { for (let i = 0; i < 100 && !(await test()); ++i) await new Promise((r) => setTimeout(r, 100)); return test(); };

  // The stop key (8), clicked: the screen stops moving and says so.
  const screen = () => page.evaluate(() => document.querySelector('canvas').toDataURL());
  const [x, y] = await page.evaluate(() => { const c = zqCore.core.ccall('ZqViewKeyCenter', 'number', ['number'], [8]); return [c >> 16, c & 0xffff]; });
  const box = await (await page.$('canvas')).boundingBox();
  const before = await screen();
  await page.mouse.click(box.x + x, box.y + y);
  check(await wait(async () => trace.some((t) => /engine stop/.test(t))), 'click on key 8: no "engine stop" in the trace');
  check(await wait(async () => (await screen()) !== before), 'click on key 8: the screen did not change');

  for (const c of cases) {
    trace.length = 0;
    await page.evaluate((files) => {
      const dt = new DataTransfer();
      for (const [name, data] of files) dt.items.add(new File([Uint8Array.from(atob(data), (ch) => ch.charCodeAt(0))], name));
      window.dispatchEvent(new DragEvent('drop', {dataTransfer: dt, bubbles: true, cancelable: true}));
    }, c.files);
    const status = () => page.evaluate(() => document.getElementById('status').textContent);
    if (c.trace) check(await wait(async () => trace.some((t) => t.includes(c.trace))), c.name + ': the trace lacks ' + c.trace);
    if (c.status) check(await wait(async () => c.status.test(await status())), c.name + ': the page says "' + (await status()) + '"');
    check(!(await status()).includes('\n'), c.name + ': more than one line');
  }
  // A folder of every wild lyrics file beside a track of its name, and a track without lyrics.
  const music = fs.mkdtempSync(path.join(require('os').tmpdir(), 'zq-page-'));
  fs.mkdirSync(path.join(music, 'lrc'));
  const dropped = [['none.mp3', tone]];
  for (const n of fs.readdirSync(lyricsDir).filter((f) => f.endsWith('.lrc'))) {
    fs.copyFileSync(path.join(lyricsDir, n), path.join(music, 'lrc', n));
    fs.copyFileSync(path.join(dataDir, 'tone_2500ms.mp3'), path.join(music, n.slice(0, -4) + '.mp3'));
    dropped.push([n.slice(0, -4) + '.mp3', tone], [n, fs.readFileSync(path.join(lyricsDir, n)).toString('base64')]);
  }
  fs.copyFileSync(path.join(dataDir, 'tone_2500ms.mp3'), path.join(music, 'none.mp3'));
  const run = (args) => { try { return execFileSync(zqlrc, args, {encoding: 'utf8'}); } catch (e) { return e.stdout; } };
  const scanned = run(['scan', music]).trim().split('\n').slice(0, -1);
  run(['fix', ...fs.readdirSync(path.join(music, 'lrc')).map((n) => path.join(music, 'lrc', n)), '--out', path.join(music, 'fixed')]);
  await page.evaluate((files) => {
    const dt = new DataTransfer();
    for (const [name, data] of files) dt.items.add(new File([Uint8Array.from(atob(data), (ch) => ch.charCodeAt(0))], name));
    window.dispatchEvent(new DragEvent('drop', {dataTransfer: dt, bubbles: true, cancelable: true}));
  }, dropped);
  const listed = () => page.evaluate(() => zqPageLyrics.rows.map((r) => r.track + ': ' + (r.file ? 'lrc/' + r.file + ': ' : '') + r.verdict));
  check(await wait(async () => (await listed()).length === scanned.length), 'lyrics view: ' + (await listed()).length + ' tracks, zqlrc scan ' + scanned.length);
  check(JSON.stringify(await listed()) === JSON.stringify(scanned), 'lyrics view differs from zqlrc scan:\n' + (await listed()).join('\n'));
  // The ZIP: mobile/audio/lrc/ holding what zqlrc fix wrote, byte for byte, and the note.
  const zip = Buffer.from(await page.evaluate(async () => btoa(String.fromCharCode(...(await zqPageLyrics.zip())))), 'base64');
  const entries = {};
  for (let at = 0; zip.readUInt32LE(at) === 0x04034B50;) {
    const size = zip.readUInt32LE(at + 18), nameLength = zip.readUInt16LE(at + 26);
    entries[zip.toString('utf8', at + 30, at + 30 + nameLength)] = zip.subarray(at + 30 + nameLength, at + 30 + nameLength + size);
    at += 30 + nameLength + size;
  }
  const fixed = fs.readdirSync(path.join(music, 'fixed')).sort();
  check(JSON.stringify(Object.keys(entries)) === JSON.stringify([...fixed.map((n) => 'mobile/audio/lrc/' + n), 'README.txt']), 'ZIP holds ' + Object.keys(entries).join(', '));
  for (const n of fixed) check(entries['mobile/audio/lrc/' + n] && entries['mobile/audio/lrc/' + n].equals(fs.readFileSync(path.join(music, 'fixed', n))), 'ZIP: ' + n + ' is not what zqlrc fix wrote');
  check(/mobile\/audio\/lrc\//.test(entries['README.txt'] || ''), 'ZIP: the note does not say where the folder goes');
  fs.rmSync(music, {recursive: true});
  // The language switch: every text of the page changes, and back.
  const texts = () => page.evaluate(() => document.getElementById('bar').innerText + document.querySelector('#lyrics h2').innerText + document.querySelector('#lyrics thead').innerText);
  const english = await texts();
  await page.click('#language');
  const chinese = await texts();
  check(/打开音乐文件夹/.test(chinese) && /歌词/.test(chinese) && /lrc文件/.test(chinese) && !/Open a music folder|Track/.test(chinese), 'Chinese page: ' + chinese);
  await page.click('#language');
  check((await texts()) === english, 'switching back does not give the English page');
  check(stray.length === 0, 'the page asked the network for ' + stray[0]);
  await browser.close();
  for (const f of failures) console.log('FAILED: ' + f);
  if (process.env.ZQ_SHOW_TRACE) console.log(trace.join('\n'));
  console.log(failures.length === 0 ? 'page tests passed' : failures.length + ' page tests failed');
  process.exit(failures.length === 0 ? 0 : 1);
})().catch((e) => { console.log('FAILED: ' + e.message); process.exit(1); });
