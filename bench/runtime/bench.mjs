// Cost per frame of the scroller against a plain CSS @keyframes animation of the same strip, side
// by side in one Chromium run, and the compressed size of the runtime.
//   TICKORA_APP_DIR=build/bin node bench/runtime/bench.mjs [SECONDS]   (default 6 per round, 3 rounds)
// Uses the puppeteer-core that tests/browsers installs (npm ci there first).

import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync, copyFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(join(here, '../../tests/browsers/package.json'));
const puppeteer = require('puppeteer-core');
const appDir = process.env.TICKORA_APP_DIR;
if (!appDir) throw new Error('TICKORA_APP_DIR must name the folder with tickora-script');
const seconds = Math.max(1, Number(process.argv[2]) || 6);
const ROUNDS = 3;

// Counts frames and their intervals; the same in both pages, so its cost is in both figures.
const COUNTER = `window.frames_ = []; (function f(t) { frames_.push(t); requestAnimationFrame(f); })();`;

function scroller(dir, type) {
    const items = [];
    for (let i = 1; i <= 100; i++)
        items.push({ name: `Item ${i}`, text: `<b>Headline ${i}</b> with a few words of news`,
                     width: type > 1 ? String(180 + (i % 5) * 20) : '' });
    const doc = { scroller: { name: 'news', direction: type, width: '400', height: '200',
                              spacing: '8', scrollSpeed: '8', pauseOnMouseover: false }, items };
    writeFileSync(join(dir, 'news.json'), JSON.stringify(doc));
    execFileSync(join(appDir, 'tickora-script'),
                 ['write', join(dir, 'news.json'), join(dir, 'news.js'), '--no-project-files']);
    for (const f of ['tickolib.js', 'tickora.js']) copyFileSync(join(appDir, f), join(dir, f));
    writeFileSync(join(dir, 'ours.htm'), `<!DOCTYPE html><html><head><meta charset="utf-8">
<script src="tickolib.js"></script><script src="tickora.js"></script></head>
<body><script src="news.js"></script></body></html>`);
}

// The same strip as the runtime built it, moved by a CSS animation over one period.
function baseline(dir, markup, css, period, msPerPixel, vertical) {
    const to = vertical ? `translate3d(0,-${period}px,0)` : `translate3d(-${period}px,0,0)`;
    writeFileSync(join(dir, 'baseline.htm'), `<!DOCTYPE html><html><head><meta charset="utf-8">
<style>${css}
@keyframes slide { from { transform: translate3d(0,0,0); } to { transform: ${to}; } }
.tk-strip { animation: slide ${period * msPerPixel}ms linear infinite; }</style></head>
<body>${markup}</body></html>`);
}

async function measure(page, client, url) {
    await page.goto(url, { waitUntil: 'load' });
    await page.evaluate(COUNTER);
    await page.evaluate(() => new Promise((r) => setTimeout(r, 500))); // past the first layout
    const before = await client.send('Performance.getMetrics');
    const n0 = await page.evaluate(() => frames_.length);
    await page.evaluate((ms) => new Promise((r) => setTimeout(r, ms)), seconds * 1000);
    const after = await client.send('Performance.getMetrics');
    const stamps = await page.evaluate((n) => frames_.slice(n), n0);
    const metric = (m, name) => m.metrics.find((x) => x.name === name).value * 1000;
    const per = (name) => (metric(after, name) - metric(before, name)) / stamps.length;
    const gaps = stamps.slice(1).map((t, i) => t - stamps[i]).sort((a, b) => a - b);
    // CPU time rather than wall time: other programs on the machine then shift the figures less.
    return { frames: stamps.length, cpu: per('ThreadTime'), process: per('ProcessTime'),
             task: per('TaskDuration'), script: per('ScriptDuration'), style: per('RecalcStyleDuration'),
             p50: gaps[Math.floor(gaps.length / 2)], p99: gaps[Math.floor(gaps.length * 0.99)] };
}

// Two measurements as one: frame-weighted means, the worse interval percentiles.
function add(a, b) {
    const n = a.frames + b.frames, mean = (k) => (a[k] * a.frames + b[k] * b.frames) / n;
    return { frames: n, cpu: mean('cpu'), process: mean('process'), task: mean('task'),
             script: mean('script'), style: mean('style'), p50: Math.max(a.p50, b.p50),
             p99: Math.max(a.p99, b.p99) };
}

const profile = mkdtempSync(join(tmpdir(), 'tk-bench-'));
const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
    defaultViewport: { width: 800, height: 600 },
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
});
const row = (name, r) => console.log(`  ${name.padEnd(10)} ${r.frames} frames, interval p50 ${r.p50.toFixed(2)} p99 ${r.p99.toFixed(2)} ms; ` +
    `per frame ms: main thread CPU ${r.cpu.toFixed(3)}, renderer CPU ${r.process.toFixed(3)}, ` +
    `main thread busy ${r.task.toFixed(3)}, script ${r.script.toFixed(3)}, style ${r.style.toFixed(3)}`);
let worst = 0;
try {
    for (const type of [0, 2]) {
        const dir = mkdtempSync(join(tmpdir(), 'tk-bench-page-'));
        scroller(dir, type);
        const page = await browser.newPage();
        const client = await page.createCDPSession();
        await client.send('Performance.enable');
        const oursUrl = pathToFileURL(join(dir, 'ours.htm')).href;
        const baseUrl = pathToFileURL(join(dir, 'baseline.htm')).href;
        // A first load, not counted, gives the same strip for the CSS page and warms the engine up.
        await page.goto(oursUrl, { waitUntil: 'load' });
        await page.waitForFunction(() => news.position().moving);
        const s = await page.evaluate(() => {
            const p = news.position();
            return { markup: news._box.outerHTML, css: document.querySelector('style').textContent,
                     period: p.length, speed: news._speed, moved: p.distance, time: p.time };
        });
        const t0 = s.time, d0 = s.moved;
        await page.evaluate(() => new Promise((r) => setTimeout(r, 1000)));
        const p1 = await page.evaluate(() => news.position());
        const error = (100 * ((p1.distance - d0) / ((p1.time - t0) / s.speed) - 1));
        baseline(dir, s.markup, s.css, s.period, s.speed, type < 2);
        // Rounds taken in turn, so that a slow moment of the machine falls on both pages.
        let ours = await measure(page, client, oursUrl), base = await measure(page, client, baseUrl);
        for (let i = 1; i < ROUNDS; i++) {
            ours = add(ours, await measure(page, client, oursUrl));
            base = add(base, await measure(page, client, baseUrl));
        }
        await page.close();
        rmSync(dir, { recursive: true, force: true });
        console.log(`direction ${type} (${type < 2 ? 'vertical' : 'horizontal'}), 100 items, ${ROUNDS} x ${seconds} s each page`);
        row('ours', ours);
        row('@keyframes', base);
        const ratio = ours.cpu / base.cpu, whole = ours.process / base.process;
        worst = Math.max(worst, ratio, whole);
        console.log(`  ratio ours / @keyframes: main thread CPU ${ratio.toFixed(2)}, renderer CPU ${whole.toFixed(2)}, ` +
                    `script ${(ours.script / base.script).toFixed(2)}; speed error ${error.toFixed(2)} %`);
    }
} finally {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
}
const runtime = Buffer.concat(['tickolib.js', 'tickora.js'].map((f) => readFileSync(join(appDir, f))));
console.log(`tickolib.js + tickora.js: ${runtime.length} bytes, ${gzipSync(runtime, { level: 9 }).length} bytes gzip -9`);
console.log(`worst cost ratio: ${worst.toFixed(2)} (target at most 1.30)`);
