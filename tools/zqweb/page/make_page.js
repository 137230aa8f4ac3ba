// SPDX-License-Identifier: MIT
// Puts the page together as one file: the shell, the stand-in's core (its
// WebAssembly inside), the page's script, and the data it carries: the four
// program images, the font (gzip-compressed; the page unpacks it), the
// GB2312 table and the demo folder.
//   node make_page.js OUT.html SHELL.html CORE.js IMAGES_DIR FONT.hex.gz GB2UC.map DEMO_DIR STYLE.css PAGE.js...
'use strict';
const fs = require('fs');
const path = require('path');

const [out, shell, core, imagesDir, font, gb2uc, demoDir, style, ...pages] = process.argv.slice(2);
if (pages.length === 0) {
  console.error('usage: node make_page.js OUT SHELL CORE IMAGES_DIR FONT_GZ GB2UC_MAP DEMO_DIR STYLE PAGE_JS...');
  process.exit(2);
}
const b64 = (file) => fs.readFileSync(file).toString('base64');
const images = {};
for (const name of fs.readdirSync(imagesDir).sort()) {
  if (name.endsWith('.wasm')) images[name.slice(0, -5)] = b64(path.join(imagesDir, name));
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
                 .replace('/*ZQ_STYLE*/', () => fs.readFileSync(style, 'utf8'))
                 .replace('/*ZQ_PAGE*/', () => safe(pages.map((p) => fs.readFileSync(p, 'utf8')).join('\n')));
fs.writeFileSync(out, html);
console.log('zq-player.html: ' + fs.statSync(out).size + ' bytes');
