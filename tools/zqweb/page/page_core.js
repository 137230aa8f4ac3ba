// SPDX-License-Identifier: MIT
// The page's side of the stand-in: starts the core (Emscripten's module),
// fills its in-memory file system with what the page carries (the program
// images, the font, the GB2312 table, the demo), and the one documented entry
// for zqweb, window.zqweb.run(job), which runs zqsim --headless's run as the
// big-endian box does and hands back its output:
//   job:    {args: [...], files: [{path, data}], keep: [path...]}
//           args as the box program takes them (see tools/zqbox/box_main.cpp),
//           files to write first (data in base64), paths of files already
//           there that are to be left out of the answer
//   answer: {status, stdout, stderr, files: [{path, data}]}
//           the files written under /out during the run
'use strict';

const zqCore = (() => {
  const fromBase64 = (text) => {
    const s = atob(text);
    const bytes = new Uint8Array(s.length);
    for (let i = 0; i < s.length; ++i) bytes[i] = s.charCodeAt(i);
    return bytes;
  };
  const toBase64 = (bytes) => {
    let s = '';
    for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(s);
  };
  const gunzip = async (bytes) => {
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  };

  let core = null;
  let sink = null;  // where the core's output goes during a headless run
  const onOut = (line) => (sink ? sink.out.push(line + '\n') : console.log(line));
  const onErr = (line) => (sink ? sink.err.push(line + '\n') : console.warn(line));

  const madeDirs = new Set();  // folders known to exist, for folders of many files
  const makeDirs = (path) => {
    const dir = path.slice(0, path.lastIndexOf('/'));
    if (dir === '' || madeDirs.has(dir)) return;
    let at = '';
    for (const part of dir.split('/').slice(1)) {
      at += '/' + part;
      if (!core.FS.analyzePath(at).exists) core.FS.mkdir(at);
    }
    madeDirs.add(dir);
  };
  const writeFile = (path, bytes) => {
    makeDirs(path);
    core.FS.writeFile(path, bytes);
  };
  const removeTree = (path) => {
    madeDirs.clear();
    if (!core.FS.analyzePath(path).exists) return;
    for (const name of core.FS.readdir(path)) {
      if (name === '.' || name === '..') continue;
      const full = path + '/' + name;
      if (core.FS.isDir(core.FS.stat(full).mode)) removeTree(full);
      else core.FS.unlink(full);
    }
    core.FS.rmdir(path);
  };
  const listFiles = (path, into) => {
    if (!core.FS.analyzePath(path).exists) return into;
    for (const name of core.FS.readdir(path)) {
      if (name === '.' || name === '..') continue;
      const full = path + '/' + name;
      if (core.FS.isDir(core.FS.stat(full).mode)) listFiles(full, into);
      else into.push(full);
    }
    return into;
  };

  const start = async () => {
    core = await ZqCore({noInitialRun: true, print: onOut, printErr: onErr});
    performance.mark('zq-core');
    for (const [name, data] of Object.entries(ZQ_DATA.images)) writeFile('/images/' + name + '.wasm', fromBase64(data));
    writeFile('/unifont/unifont.hex', await gunzip(fromBase64(ZQ_DATA.font)));
    writeFile('/firmware/gb2uc.map', fromBase64(ZQ_DATA.gb2uc));
    performance.mark('zq-files');
    return core;
  };
  const ready = start();

  const run = async (job) => {
    await ready;
    removeTree('/job');
    removeTree('/out');
    core.FS.mkdir('/out');
    for (const f of job.files || []) writeFile(f.path, fromBase64(f.data));
    const keep = new Set(job.keep || []);
    sink = {out: [], err: []};
    let status;
    try {
      status = core.callMain(job.args);
    } catch (e) {
      sink.err.push('zqweb: the page stopped: ' + e + '\n');
      status = 1;
    }
    const answer = {status, stdout: sink.out.join(''), stderr: sink.err.join(''), files: []};
    sink = null;
    for (const path of listFiles('/out', [])) {
      if (!keep.has(path)) answer.files.push({path, data: toBase64(core.FS.readFile(path))});
    }
    return answer;
  };

  return {ready, run, fromBase64, writeFile, removeTree, get core() { return core; }};
})();

window.zqweb = {run: zqCore.run, ready: zqCore.ready.then(() => true)};
