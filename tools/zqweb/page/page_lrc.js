// SPDX-License-Identifier: MIT
// zqlrc in the page: the module ZqLrc (zqlrc's own sources, see
// lrc_module.cmake) with zqlrc's command line, over files in its in-memory
// file system. The lyrics view calls it for scan, check and fix; zqweb hands
// it a job whose "tool" is "zqlrc":
//   zqLrc.run(args, files)  files: [{path, bytes}] written first
//     -> {status, stdout, stderr, files: [{path, bytes}]} (what it wrote under /out)
'use strict';

const zqLrc = (() => {
  let module = null;
  let sink = null;
  const onOut = (line) => (sink ? sink.out.push(line + '\n') : console.log(line));
  const onErr = (line) => (sink ? sink.err.push(line + '\n') : console.warn(line));
  // The module starts at its first use (or at once for zqweb), so that the
  // phone's first screen does not wait for it.
  let started = null;
  const ready = () => {
    started = started || (async () => {
      module = await ZqLrc({noInitialRun: true, print: onOut, printErr: onErr});
      module.FS.mkdir('/firmware');
      module.FS.writeFile('/firmware/gb2uc.map', zqCore.fromBase64(ZQ_DATA.gb2uc));
      return true;
    })();
    return started;
  };

  const exists = (path) => module.FS.analyzePath(path).exists;
  const makeDirs = (path) => {
    let at = '';
    for (const part of path.split('/').slice(1, -1)) {
      at += '/' + part;
      if (!exists(at)) module.FS.mkdir(at);
    }
  };
  const removeTree = (path) => {
    if (!exists(path)) return;
    for (const name of module.FS.readdir(path)) {
      if (name === '.' || name === '..') continue;
      const full = path + '/' + name;
      if (module.FS.isDir(module.FS.stat(full).mode)) removeTree(full);
      else module.FS.unlink(full);
    }
    module.FS.rmdir(path);
  };
  const listFiles = (path, into) => {
    if (!exists(path)) return into;
    for (const name of module.FS.readdir(path)) {
      if (name === '.' || name === '..') continue;
      const full = path + '/' + name;
      if (module.FS.isDir(module.FS.stat(full).mode)) listFiles(full, into);
      else into.push(full);
    }
    return into;
  };

  // One run of zqlrc; the folders /job and /out are fresh for each.
  const run = async (args, files) => {
    await ready();
    removeTree('/job');
    removeTree('/out');
    for (const f of files || []) {
      makeDirs(f.path);
      module.FS.writeFile(f.path, f.bytes);
    }
    sink = {out: [], err: []};
    let status;
    try {
      status = module.callMain(args);
    } catch (e) {
      sink.err.push('zqlrc: the page stopped: ' + e + '\n');
      status = 2;
    }
    const answer = {status, stdout: sink.out.join(''), stderr: sink.err.join(''), files: []};
    sink = null;
    for (const path of listFiles('/out', [])) {
    // Emscripten's umask is 0777, so zqlrc's new files carry no permissions.
    module.FS.chmod(path, 0o644);
    answer.files.push({path, bytes: module.FS.readFile(path)});
  }
    return answer;
  };
  return {ready, run};
})();

// zqweb's jobs for zqlrc: files in base64 both ways; the files of "keep"
// (already in the host's folder) are not handed back.
(() => {
  const runCore = window.zqweb.run;
  const toBase64 = (bytes) => {
    let s = '';
    for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(s);
  };
  window.zqweb.run = async (job) => {
    if (job.tool !== 'zqlrc') return runCore(job);
    const files = (job.files || []).map((f) => ({path: f.path, bytes: zqCore.fromBase64(f.data)}));
    const answer = await zqLrc.run(job.args, files);
    const keep = new Set(job.keep || []);
    answer.files = answer.files.filter((f) => !keep.has(f.path)).map((f) => ({path: f.path, data: toBase64(f.bytes)}));
    return answer;
  };
  if (window.zqwebHeadless) window.zqweb.ready = Promise.all([window.zqweb.ready, zqLrc.ready()]).then(() => true);
})();
