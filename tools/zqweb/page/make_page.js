// SPDX-License-Identifier: MIT
// Puts the page together as one file: the shell, the stand-in's core and
// zqlrc (each with its WebAssembly inside), the page's script, and the data it carries: the four
// program images, the font (gzip-compressed; the page unpacks it), the
// GB2312 table and the demo folder.
//   node make_page.js OUT.html SHELL.html CORE.js LRC.js IMAGES_DIR FONT.hex.gz GB2UC.map DEMO_DIR STYLE.css PAGE.js...
// An image that imports anything but a firmware service (platform/services.txt)
// and what a side module needs to be linked in is refused: no page is written.
'use strict';
const fs = require('fs');
const path = require('path');

const [out, shell, core, lrc, imagesDir, font, gb2uc, demoDir, style, ...pages] = process.argv.slice(2);
if (pages.length === 0) {
  console.error('usage: node make_page.js OUT SHELL CORE LRC IMAGES_DIR FONT_GZ GB2UC_MAP DEMO_DIR STYLE PAGE_JS...');
  process.exit(2);
}
const b64 = (file) => fs.readFileSync(file).toString('base64');
const services = new Set(fs.readFileSync(path.join(__dirname, '../../../platform/services.txt'), 'utf8')
                             .split('\n').filter((l) => /^[A-Za-z_][A-Za-z0-9_]*$/.test(l)));
const linking = ['memory', '__indirect_function_table', '__memory_base', '__table_base', '__stack_pointer'];
const images = {};
for (const name of fs.readdirSync(imagesDir).sort()) {
  if (!name.endsWith('.wasm')) continue;
  const bytes = fs.readFileSync(path.join(imagesDir, name));
  const module = new WebAssembly.Module(bytes);
  const exported = new Set(WebAssembly.Module.exports(module).map((e) => e.name));
  for (const i of WebAssembly.Module.imports(module)) {
    const ok = (i.module === 'env' && (i.kind === 'function' ? services.has(i.name) : linking.includes(i.name))) ||
               (i.module === 'GOT.func' && (services.has(i.name) || exported.has(i.name))) ||
               (i.module === 'GOT.mem' && exported.has(i.name));
    if (!ok) {
      console.error(name + ' imports ' + i.module + '.' + i.name + ', which is not a firmware service');
      process.exit(1);
    }
  }
  images[name.slice(0, -5)] = bytes.toString('base64');
}
// The demo as a folder: tracks, and lyrics in lrc/.
const demo = [];
const walk = (dir, rel) => {
  for (const name of fs.readdirSync(dir).sort()) {
    const full = path.join(dir, name);
    if (fs.statSync(full).isDirectory()) walk(full, rel + name + '/');
    else if (/\.(mp3|m4a|lrc|txt)$/i.test(name)) demo.push({path: rel + name, data: b64(full)});
  }
};
walk(demoDir, '');
const data = {images, font: b64(font), gb2uc: b64(gb2uc), demo};
// Nothing in the scripts may close their element early.
const safe = (text) => text.replace(/<\/script/gi, '<\\/script');
const html = fs.readFileSync(shell, 'utf8')
                 .replace('/*ZQ_DATA*/', () => 'const ZQ_DATA = ' + JSON.stringify(data) + ';')
                 .replace('/*ZQ_CORE*/', () => safe(fs.readFileSync(core, 'utf8')))
                 .replace('/*ZQ_LRC*/', () => safe(fs.readFileSync(lrc, 'utf8')))
                 .replace('/*ZQ_STYLE*/', () => fs.readFileSync(style, 'utf8'))
                 .replace('/*ZQ_PAGE*/', () => safe(pages.map((p) => fs.readFileSync(p, 'utf8')).join('\n')));
fs.writeFileSync(out, html);
console.log('zq-player.html: ' + fs.statSync(out).size + ' bytes');
