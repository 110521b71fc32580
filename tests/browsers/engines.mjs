// One small page interface over three engines: Chromium (DevTools protocol) and Firefox
// (WebDriver BiDi) through puppeteer-core, WebKitGTK through its W3C WebDriver server.
// Coordinates are CSS pixels in the viewport; eval takes an expression and returns its JSON value.

import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { setTimeout as delay } from 'node:timers/promises';
import puppeteer from 'puppeteer-core';

export const ENGINES = ['chromium', 'firefox', 'webkit'];

const VIEWPORT = { width: 800, height: 600 };
const asJson = (expr) => `JSON.parse(JSON.stringify((${expr}) ?? null))`;

class Page {
    // Polls a page expression until it is truthy (the page's own state, never a fixed sleep).
    async until(expr, ms = 15000) {
        const end = Date.now() + ms;
        let v;
        while (Date.now() < end) {
            if ((v = await this.eval(expr))) return v;
            await delay(30);
        }
        throw new Error(`timed out waiting for ${expr} (last: ${JSON.stringify(v)})`);
    }
    // Waits until the page's clock has moved on by ms.
    async pageWait(ms) {
        const t = await this.eval('performance.now()');
        await this.until(`performance.now() >= ${t + ms}`, ms * 20 + 15000);
    }
}

class PuppeteerPage extends Page {
    constructor(page) {
        super();
        this.page = page;
        this.mouse = page.mouse;
    }
    eval(expr) { return this.page.evaluate(asJson(expr)); }
    mouseMove(x, y) { return this.mouse.move(x, y, { steps: 2 }); }
    mouseDown() { return this.mouse.down(); }
    mouseUp() { return this.mouse.up(); }
    tap(x, y) { return this.page.touchscreen.tap(x, y); }
    async touchDrag(x0, y0, x1, y1, steps) {
        const t = await this.page.touchscreen.touchStart(x0, y0);
        for (let i = 1; i <= steps; i++)
            await t.move(x0 + ((x1 - x0) * i) / steps, y0 + ((y1 - y0) * i) / steps);
        await t.end();
    }
    key(name) { return this.page.keyboard.press(name === 'Space' ? ' ' : name); }
    async wheel(x, y, dx, dy) {
        await this.mouse.move(x, y);
        await this.mouse.wheel({ deltaX: dx, deltaY: dy });
    }
    resize(width, height) { return this.page.setViewport({ width, height }); }
}

async function launchPuppeteer(engine) {
    const profile = mkdtempSync(join(tmpdir(), `tk-${engine}-`));
    const chromium = engine === 'chromium';
    const browser = await puppeteer.launch({
        browser: chromium ? 'chrome' : 'firefox',
        executablePath: chromium ? '/usr/bin/chromium' : '/usr/lib/firefox-esr/firefox-esr',
        headless: true,
        userDataDir: profile,
        defaultViewport: VIEWPORT,
        args: chromium ? ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
                          '--disable-component-update', '--disable-sync', '--no-first-run',
                          '--disable-dev-shm-usage'] : [],
        // Keep the page's timers and frames running as in a visible tab.
        extraPrefsFirefox: { 'layout.frame_rate': 60 },
        protocolTimeout: 60000,
    });
    return {
        async open(file) {
            const page = await browser.newPage();
            await page.goto(pathToFileURL(file).href, { waitUntil: 'load' });
            return new PuppeteerPage(page);
        },
        closePage: (p) => p.page.close(),
        async close() {
            await browser.close();
            rmSync(profile, { recursive: true, force: true });
        },
    };
}

// W3C WebDriver over HTTP; WebKitGTK's MiniBrowser in automation mode on the current display.
// Its touch actions arrive as mouse events, so the touch scenarios skip it and it has no touch.
const KEYS = { Tab: '\uE004', Enter: '\uE007', Space: ' ', ArrowLeft: '\uE012',
               ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015' };

class WebDriverPage extends Page {
    constructor(cmd) {
        super();
        this.cmd = cmd;
    }
    goto(file) { return this.cmd('POST', '/url', { url: pathToFileURL(file).href }); }
    eval(expr) { return this.cmd('POST', '/execute/sync', { script: `return ${asJson(expr)};`, args: [] }); }
    actions(type, id, parameters, actions) {
        return this.cmd('POST', '/actions', { actions: [{ type, id, parameters, actions }] });
    }
    mouse(...steps) { return this.actions('pointer', 'mouse', { pointerType: 'mouse' }, steps); }
    mouseMove(x, y) { return this.mouse({ type: 'pointerMove', duration: 0, x: Math.round(x), y: Math.round(y) }); }
    mouseDown() { return this.mouse({ type: 'pointerDown', button: 0 }); }
    mouseUp() { return this.mouse({ type: 'pointerUp', button: 0 }); }
    key(name) {
        const value = KEYS[name] ?? name;
        return this.actions('key', 'keys', undefined, [{ type: 'keyDown', value }, { type: 'keyUp', value }]);
    }
    wheel(x, y, deltaX, deltaY) {
        return this.actions('wheel', 'wheel', undefined,
                            [{ type: 'scroll', x: Math.round(x), y: Math.round(y), deltaX, deltaY }]);
    }
    async resize(width, height) {
        // The window's outer size, grown by the frame round the viewport. The window system takes
        // its time on a busy machine: each size is read once it has stood for a while.
        const frame = this.frame ?? [0, 0];
        let w = width + frame[0], h = height + frame[1], got;
        for (let i = 0; i < 4; i++) {
            await this.cmd('POST', '/window/rect', { width: w, height: h });
            got = await this.settledViewport(width, height);
            if (got[0] === width && got[1] === height) {
                this.frame = [w - width, h - height];
                return;
            }
            w += width - got[0];
            h += height - got[1];
        }
        throw new Error(`the viewport stays ${got.join('×')}, not ${width}×${height}`);
    }
    // The viewport once it is the size wanted, or has not changed for half a second.
    async settledViewport(width, height) {
        let last = null, since = Date.now();
        for (;;) {
            const got = await this.eval('[innerWidth, innerHeight]');
            if (got[0] === width && got[1] === height) return got;
            if (!last || got[0] !== last[0] || got[1] !== last[1]) [last, since] = [got, Date.now()];
            else if (Date.now() - since > 500) return got;
            await delay(30);
        }
    }
}

async function launchWebKit() {
    const port = 4444 + Math.floor(Math.random() * 2000);
    const server = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
    const base = `http://127.0.0.1:${port}`;
    let session = null;
    const cmd = async (method, path, body) => {
        const url = session ? `${base}/session/${session}${path}` : `${base}${path}`;
        const res = await fetch(url, { method, headers: { 'Content-Type': 'application/json' },
                                       body: body === undefined ? undefined : JSON.stringify(body) });
        const json = await res.json();
        if (json.value && json.value.error)
            throw new Error(`${path}: ${json.value.error}: ${json.value.message}`);
        return json.value;
    };
    for (let i = 0; !(await cmd('GET', '/status').then(() => true, () => false)); i++) {
        if (i > 100) throw new Error('WebKitWebDriver did not start');
        await delay(100);
    }
    const created = await cmd('POST', '/session', { capabilities: { alwaysMatch: {
        'webkitgtk:browserOptions': {
            binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
            args: ['--automation'] } } } });
    session = created.sessionId;
    const page = new WebDriverPage(cmd);
    await page.resize(VIEWPORT.width, VIEWPORT.height);
    return {
        // One window for the whole run; each scenario loads its page into it.
        async open(file) {
            await page.goto(file);
            await page.until('document.readyState === "complete"');
            return page;
        },
        async closePage() {
            await page.goto('about:blank');
            await cmd('POST', '/actions', { actions: [] }).catch(() => {});
            await cmd('DELETE', '/actions').catch(() => {});
        },
        async close() {
            await cmd('DELETE', '').catch(() => {});
            server.kill();
        },
    };
}

export function launch(engine) {
    if (engine === 'webkit') return launchWebKit();
    if (engine === 'chromium' || engine === 'firefox') return launchPuppeteer(engine);
    throw new Error(`unknown engine ${engine}; one of ${ENGINES.join(', ')}`);
}
