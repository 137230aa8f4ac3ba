// SPDX-License-Identifier: MIT
// Runs one job of zqweb's in the page, in headless Chromium (the system's,
// through puppeteer-core): opens the page from disk, hands it the job's files
// and arguments through window.zqweb.run, and writes back what it answers:
// standard output and errors as the page's, the files it wrote, and its exit
// status as this process's.
//   node run_page.js JOB.json
// JOB.json: {"page": FILE, "chromium": FILE, "args": [...],
//            "files": [{"path": PAGE_PATH, "from": HOST_FILE}],
//            "keep": [PAGE_PATH...], "outputs": [{"from": PAGE_PATH, "to": HOST_PATH}],
//            "tool": "" or "zqlrc", "renames": [[PAGE_PATH, HOST_PATH]...]}
// "tool" "zqlrc" runs the page's zqlrc instead of the stand-in; each rename
// turns a page path in the output and notes back into the host's.
// An output whose "from" ends in "/" is a folder: each file in it goes into
// the host folder "to". A request the page makes for anything but itself is
// an error: the page needs no network.
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');

const fail = (text) => {
  process.stderr.write('zqweb: ' + text + '\n');
  process.exit(1);
};

async function main() {
  const job = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
  const files = job.files.map((f) => ({path: f.path, data: f.from ? fs.readFileSync(f.from).toString('base64') : ''}));
  const browser = await puppeteer.launch({
    executablePath: job.chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--allow-file-access-from-files'],
  });
  try {
    const page = await browser.newPage();
    const pageUrl = 'file://' + path.resolve(job.page);
    const stray = [];
    page.on('request', (r) => {
      if (r.url() !== pageUrl && !r.url().startsWith('data:') && !r.url().startsWith('blob:')) stray.push(r.url());
    });
    const problems = [];
    page.on('pageerror', (e) => problems.push(String(e.message || e)));
    await page.evaluateOnNewDocument(() => { window.zqwebHeadless = true; });
    await page.goto(pageUrl, {waitUntil: 'load'});
    await page.waitForFunction(() => window.zqweb !== undefined, {timeout: 60000});
    await page.evaluate(() => window.zqweb.ready);
    const answer = await page.evaluate((j) => window.zqweb.run(j), {args: job.args, files, keep: job.keep || [], tool: job.tool || ''});
    const renamed = (text) => (job.renames || []).reduce((t, [from, to]) => t.split(from).join(to), text);
    process.stdout.write(renamed(answer.stdout));
    // The page's notes name an image or script given by path as the host has it.
    let notes = answer.stderr;
    for (const f of job.files) {
      if (f.from && (f.path === '/job/image.wasm' || f.path === '/job/script')) notes = notes.split(f.path).join(f.from);
    }
    process.stderr.write(renamed(notes));
    for (const o of job.outputs || []) {
      for (const f of answer.files) {
        let to = null;
        if (o.from.endsWith('/') && f.path.startsWith(o.from)) to = path.join(o.to, f.path.slice(o.from.length));
        else if (f.path === o.from) to = o.to;
        if (to === null) continue;
        try {
          fs.writeFileSync(to, Buffer.from(f.data, 'base64'));
        } catch (e) {
          fail('cannot write ' + to);
        }
      }
    }
    if (problems.length > 0) fail('the page reported: ' + problems[0]);
    if (stray.length > 0) fail('the page asked the network for ' + stray[0]);
    process.exitCode = answer.status;
  } finally {
    await browser.close();
  }
}

main().catch((e) => fail('cannot run the page in Chromium: ' + (e && e.message ? e.message.split('\n')[0] : e)));
