// Lighthouse figures (CLS, TBT, LCP) of an article page with a sidebar scroller, pasted as Copy
// Embed Code gives it, with 30 and with 500 items, beside the same page without a scroller; mobile
// and desktop presets. The pages are served from loopback.
//   TICKORA_APP_DIR=build/bin node bench/runtime/lighthouse.mjs   (medians of three runs)
// Needs "npm ci" here (Lighthouse) and in tests/browsers (puppeteer-core).

import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import lighthouse from 'lighthouse';
import desktop from 'lighthouse/core/config/desktop-config.js';

const here = dirname(fileURLToPath(import.meta.url));
const puppeteer = createRequire(join(here, '../../tests/browsers/package.json'))('puppeteer-core');
const appDir = process.env.TICKORA_APP_DIR;
if (!appDir) throw new Error('TICKORA_APP_DIR must name the folder with tickora-script');
const SIZE = { width: 280, height: 200 };
const RUNS = 3;

// The embed code exactly as the editor builds it from data/embedcode.txt for this scroller.
const embed = readFileSync(join(here, '../../data/embedcode.txt'), 'utf8').trim()
    .replace('{name}', 'news').replace('{style}', `width:${SIZE.width}px;height:${SIZE.height}px`)
    .replace('{script}', 'news.js');

const dir = mkdtempSync(join(tmpdir(), 'tk-lighthouse-'));
for (const f of ['tickolib.js', 'tickora.js']) copyFileSync(join(appDir, f), join(dir, f));
const para = '<p>' + 'Words of an article that runs on for a while, as articles do. '.repeat(12) + '</p>';
function page(file, scroller) {
    writeFileSync(join(dir, file), `<!DOCTYPE html><html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1"><title>Article</title>
<style>body{margin:0;font:16px/1.5 sans-serif}main{display:flex;flex-wrap:wrap;gap:24px;padding:16px}
article{flex:1 1 320px}aside{flex:0 0 ${SIZE.width}px}</style></head>
<body><header><h1>The daily article</h1></header><main><aside><h2>News</h2>${scroller}<p>More in the sidebar.</p></aside>
<article><h2>Headline</h2>${para.repeat(6)}</article></main></body></html>`);
}
page('none.htm', '');
for (const n of [30, 500]) {
    const items = Array.from({ length: n }, (_, i) => ({
        name: `Item ${i + 1}`, text: `<b>Headline ${i + 1}</b> with a few words of news and <a href="#">a link</a>`,
        width: '' }));
    const doc = { scroller: { name: 'news', direction: 0, width: String(SIZE.width), height: String(SIZE.height),
                              spacing: '8', scrollSpeed: '40', pause: '2000', pauseOnMouseover: true }, items };
    mkdirSync(join(dir, `news${n}`));
    writeFileSync(join(dir, `news${n}.json`), JSON.stringify(doc));
    execFileSync(join(appDir, 'tickora-script'),
                 ['write', join(dir, `news${n}.json`), join(dir, `news${n}`, 'news.js'), '--no-project-files']);
    for (const f of ['tickolib.js', 'tickora.js']) copyFileSync(join(appDir, f), join(dir, `news${n}`, f));
    page(`news${n}/index.htm`, embed);
}

const server = createServer((req, res) => {
    try {
        const body = readFileSync(join(dir, decodeURIComponent(new URL(req.url, 'http://x').pathname)));
        res.writeHead(200, { 'Content-Type': req.url.endsWith('.js') ? 'text/javascript' : 'text/html' });
        res.end(body);
    } catch {
        res.writeHead(404).end();
    }
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const origin = `http://127.0.0.1:${server.address().port}`;
const profile = mkdtempSync(join(tmpdir(), 'tk-lh-profile-'));
const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run', '--remote-debugging-port=0'],
});
const port = Number(new URL(browser.wsEndpoint()).port);
let worstCls = 0;
try {
    for (const [preset, config] of [['mobile', undefined], ['desktop', desktop]]) {
        console.log(`${preset} preset`);
        for (const [name, path] of [['no scroller', 'none.htm'], ['30 items', 'news30/index.htm'],
                                    ['500 items', 'news500/index.htm']]) {
            // The median of three runs: one run on a busy machine says little.
            const runs = [];
            for (let i = 0; i < RUNS; i++)
                runs.push((await lighthouse(`${origin}/${path}`, { port, output: 'json', logLevel: 'error',
                                                                  onlyCategories: ['performance'] }, config)).lhr.audits);
            const v = (k) => runs.map((a) => a[k].numericValue).sort((x, y) => x - y)[RUNS >> 1];
            if (name !== 'no scroller') worstCls = Math.max(worstCls, v('cumulative-layout-shift'));
            console.log(`  ${name.padEnd(12)} CLS ${v('cumulative-layout-shift').toFixed(3)}  ` +
                        `TBT ${v('total-blocking-time').toFixed(0)} ms  LCP ${v('largest-contentful-paint').toFixed(0)} ms`);
        }
    }
} finally {
    await browser.close();
    server.close();
    rmSync(profile, { recursive: true, force: true });
    rmSync(dir, { recursive: true, force: true });
}
console.log(`worst CLS with a scroller: ${worstCls.toFixed(3)} (target 0)`);
