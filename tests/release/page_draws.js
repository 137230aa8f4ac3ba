// SPDX-License-Identifier: MIT
// The page of a release archive opens from disk in headless Chromium, starts
// its demo and draws the phone: the canvas holds more than one colour, the
// page asked the network for nothing and reported no error.
//   node page_draws.js PAGE.html RUNNER_DIR     (RUNNER_DIR: tools/zqweb, with puppeteer-core)
'use strict';
const path = require('path');
const [pageFile, runnerDir] = process.argv.slice(2);
const puppeteer = require(path.resolve(runnerDir, 'node_modules', 'puppeteer-core'));

(async () => {
  const browser = await puppeteer.launch({executablePath: process.env.ZQ_CHROMIUM || '/usr/bin/chromium',
    headless: true, args: ['--no-sandbox', '--disable-gpu']});
  const page = await browser.newPage();
  const url = 'file://' + path.resolve(pageFile);
  const problems = [];
  page.on('request', (r) => { if (![url, 'data:', 'blob:'].some((u) => r.url().startsWith(u))) problems.push('asked for ' + r.url()); });
  page.on('pageerror', (e) => problems.push(String(e.message || e)));
  await page.goto(url, {waitUntil: 'load'});
  await page.evaluate(() => window.zqweb.page);
  await new Promise((r) => setTimeout(r, 1000));
  const colours = await page.evaluate(() => {
    const c = document.querySelector('canvas');
    const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    const seen = new Set();
    for (let i = 0; i < data.length && seen.size < 10; i += 4 * 97) seen.add(data[i] << 16 | data[i + 1] << 8 | data[i + 2]);
    return seen.size;
  });
  await browser.close();
  if (colours < 2) problems.push('the phone is not drawn (' + colours + ' colour)');
  console.log(problems.length ? problems.join('\n') : 'the page opens and draws the phone');
  process.exit(problems.length ? 1 : 0);
})().catch((e) => { console.log('cannot run the page: ' + e.message); process.exit(1); });
