// The scroller's scenarios in one browser engine:   node run.mjs chromium|firefox|webkit
// Needs TICKORA_APP_DIR (the folder with tickora-script and the runtime); WebKit needs a display.

import { createServer } from 'node:http';
import { after, afterEach, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { launch } from './engines.mjs';
import { embedCode, item, project, runtimeDir, scrollerDoc, sizedItems } from './fixture.mjs';
import { LIST, pageGlobals, readList } from './globals.mjs';

const engine = process.argv[2] || process.env.TICKORA_ENGINE || 'chromium';
// What an engine cannot do here, each with the reason; those scenarios are skipped, not faked.
const CANNOT = {
    webkit: { touch: "WebKitGTK's WebDriver delivers touch pointer actions as mouse events" },
};
const cannot = (what) => CANNOT[engine]?.[what] || false;
// WebKit samples the animated style afresh at each read, at the moment of the read, while the
// animation's clock stands at the frame: its frames are read the way probe.js says. What it draws
// may also run up to a frame from what its animation's clock says (CLOCK_MS).
const LIVE_READS = engine === 'webkit';
const CLOCK_MS = LIVE_READS ? 17 : 0;

const BOX = { width: '200', height: '100', spacing: '10' };
const OUTSIDE = [400, 300]; // a point of the viewport away from the scroller
const LINK = 'T.groups(news._box)[0].querySelector("a")';
let browser, open = [], origin, free = 0;
// Pictures as a slow server sends them: one at a time, each 1.5 s late, never to be cached.
const server = createServer((req, res) => {
    free = Math.max(free, Date.now()) + 1500;
    setTimeout(() => {
        res.writeHead(200, { 'Content-Type': 'image/svg+xml', 'Cache-Control': 'no-store' });
        res.end('<svg xmlns="http://www.w3.org/2000/svg" width="40" height="70"/>');
    }, free - Date.now());
});

before(async () => {
    await new Promise((r) => server.listen(0, '127.0.0.1', r));
    origin = `http://127.0.0.1:${server.address().port}`;
    browser = await launch(engine);
});
after(async () => {
    await browser?.close();
    server.closeAllConnections();
    server.close();
});
afterEach(async () => {
    for (const [p, proj] of open) {
        await browser.closePage(p).catch(() => {});
        proj.remove();
    }
    open = [];
});

// A page with the scroller "news" where its script stands, or with the given body and scripts.
async function show(doc, { body, scripts = { 'news.js': doc }, pre, dir, runtime } = {}) {
    const proj = project();
    for (const [file, d] of Object.entries(scripts)) proj.script(file, d);
    const page = await browser.open(
        proj.page(body ?? '<div id="stage"><script src="news.js"></script></div>', { pre, dir, runtime }));
    open.push([page, proj]);
    return page;
}

// The page of a scroller "news" of the box BOX at speed (ms per pixel), once it moves.
async function news(type, speed, items, { set, wait = true, ...opts } = {}) {
    const page = await show(scrollerDoc('news', type, { ...BOX, scrollSpeed: String(speed), ...set }, items), opts);
    if (wait) await waitMoving(page);
    return page;
}

const pos = (sc = 'news') => `${sc}.position()`;
// The distance run and the page's clock: some engines' animation clock stands still while nothing moves.
const onClock = `[${pos()}.distance, performance.now()]`;
const waitMoving = (page, sc = 'news') => page.until(`${pos(sc)}.moving`);
const centre = (page, expr) => page.eval(`T.centre(${expr})`);
const setHover = (page, on) => page.eval(`news._hover = ${on}, news._kick(), 1`); // held, not as a list

// The pointer comes from outside onto what expr names; the scroller holds under it if it pauses.
async function hoverOn(page, expr = 'news._box', pauses = true) {
    const c = await centre(page, expr);
    await page.mouseMove(...OUTSIDE);
    await page.mouseMove(c.x, c.y);
    if (pauses) await page.until(`!${pos()}.moving`);
    return c;
}

async function record(page, sc, d, ms) {
    await page.eval(`T.record('${sc}', ${d}, ${ms}, ${LIVE_READS})`);
    return page.until('T.frames', ms * 20 + 15000);
}

// The items shown cover the box with one spacing between neighbours.
function assertCovered(frame, spacing, where) {
    const its = [...frame.items].sort((a, b) => a[1] - b[1]), near = 0.6;
    assert.ok(its.length, `${where}: nothing shown`);
    assert.ok(its[0][1] <= spacing + near, `${where}: first item starts at ${its[0][1]}`);
    assert.ok(its.at(-1)[2] >= frame.len - spacing - near, `${where}: ends at ${its.at(-1)[2]}`);
    for (let k = 1; k < its.length; k++) {
        const gap = its[k][1] - its[k - 1][2];
        assert.ok(Math.abs(gap - spacing) < near, `${where}: gap ${gap}`);
    }
}

// The strip moves the way the direction says, what shows agrees with the offset, no frame jumps
// (also across the seam), and the box is covered at all times. Returns whether it wrapped.
async function assertScrolls(page, d, msPerPixel, spacing, ms = 1500) {
    const fs = await record(page, 'news', d, ms);
    assert.ok(fs.length > 10, `only ${fs.length} frames`);
    let wrapped = false;
    for (let i = 0; i < fs.length; i++) {
        assertCovered(fs[i], spacing, `frame ${i}`);
        // Item 0 of the first pass and its copy one period on make the same picture; a read past
        // the frame (lag) finds the strip that much further on.
        const shown = (fs[i].lead0 + fs[i].off + fs[i].lag / msPerPixel) % fs[i].period;
        assert.ok(Math.min(Math.abs(shown), fs[i].period - Math.abs(shown)) < 0.6 + CLOCK_MS / msPerPixel,
                  `frame ${i}: shown ${fs[i].lead0}, offset ${fs[i].off}`);
        assert.ok(Math.abs(fs[i].cross0 - fs[0].cross0) < 0.6, `frame ${i}: moved across`);
        if (!i) continue;
        wrapped ||= fs[i].off < fs[i - 1].off;
        const step = (fs[i].t - fs[i - 1].t) / msPerPixel;
        for (const it of fs[i].items) {
            if (it[1] + step > fs[i].len - 1.5) continue; // just came in
            assert.ok(fs[i - 1].items.some((w) => w[0] === it[0] && Math.abs(w[1] - step - it[1]) < 1.5),
                      `frame ${i}: item ${it[0]} at ${it[1]} after a step of ${step}`);
        }
    }
    return wrapped;
}

// Held as a list: one pass shown, the box scrolls to its end and the last item shows whole.
async function assertReachable(page, d) {
    const r = await page.eval(`(function () { var b = news._strip, v = ${d} < 2;
        var shown = [].filter.call(T.groups(b), function (g) { return g.offsetWidth > 0; }).length;
        var max = v ? b.scrollHeight - b.clientHeight : b.scrollWidth - b.clientWidth;
        if (v) b.scrollTop = ${d} === 1 ? -max : max; else b.scrollLeft = ${d} === 3 ? -max : max;
        var g = T.groups(b)[0], last = g.children[g.children.length - 1].getBoundingClientRect(),
            box = news._box.getBoundingClientRect();
        return { shown: shown, scrolls: max > 0, inside: last.left >= box.left - 0.6 && last.right <= box.right + 0.6 &&
                 last.top >= box.top - 0.6 && last.bottom <= box.bottom + 0.6 }; })()`);
    assert.deepEqual(r, { shown: 1, scrolls: true, inside: true }, 'the whole list cannot be brought into the box');
}

describe(`scroller in ${engine}`, () => {
    test('the scroller name check refuses every global name of the page', async () => {
        const listed = readList();
        const missing = (await pageGlobals(browser, runtimeDir)).filter((n) => !listed.has(n));
        assert.deepEqual(missing, [], `not in ${LIST}; regenerate it with globals.mjs`);
    });

    test('directions: each type moves its way, the next item on the entering side, the loop closes without a gap or a jump, also through padding', async () => {
        const padded = '<style>.tickora{padding:14px 17px;border:5px solid}</style><script src="news.js"></script>';
        for (const [type, d, body] of [[0, 0], [1, 1], [2, 2], [3, 3], [5, 2], [-1, 0], [0, 0, padded], [3, 3, padded]]) {
            const page = await news(type, 5, sizedItems([30, 70, 120]), { set: { spacing: '8' }, body });
            assert.ok(await assertScrolls(page, d, 5, 8, 1800), `type ${type} did not wrap`); // a turn is 244 px
            const next = await page.eval(`T.leadAfter(news._box, ${d}, 1)`);
            assert.ok(Math.abs(next - 38) < 0.6, `type ${type}: next item ${next} behind`);
        }
    });

    test('speed: scrollspeed milliseconds per pixel, as shown on screen', async () => {
        for (const [type, ms] of [[0, 5], [3, 25]]) {
            const page = await news(type, ms, sizedItems([30, 60, 45, 70]));
            await hoverOn(page, 'news._box', false); // the pointer on it pauses only when asked to
            const period = await page.eval(`${pos()}.length`);
            const fs = await record(page, 'news', type, 2000);
            let travelled = 0;
            for (let i = 1; i < fs.length; i++)
                travelled += fs[i - 1].lead0 - fs[i].lead0 + (fs[i].lead0 > fs[i - 1].lead0 ? period : 0);
            const span = fs.at(-1).t - fs[0].t;
            assert.ok(span > 1500, `recorded ${span} ms`);
            const rate = (travelled / span) * ms;
            assert.ok(Math.abs(rate - 1) < 0.05, `type ${type}: ${rate} of the set speed`);
            const dist = (f) => f.dist + f.lag / ms; // as far as the strip had come when it was read
            assert.ok(Math.abs(dist(fs.at(-1)) - dist(fs[0]) - travelled) < 1, 'distance reported');
        }
    });

    test('pauses at each item for pausedelay', async () => {
        for (const type of [0, 3]) {
            const page = await news(type, 5, sizedItems([30, 50, 40, 70]), { set: { pause: '600' } });
            const fs = await record(page, 'news', type, 4800);
            const rests = [];
            for (let i = 0; i < fs.length;) {
                let j = i;
                while (j + 1 < fs.length && fs[j + 1].off === fs[i].off) j++;
                // The rest lies between the still frames' span and that of the moving frames round them.
                if (fs[j].t - fs[i].t > 250)
                    rests.push({ least: fs[j].t - fs[i].t, most: fs[Math.min(j + 1, fs.length - 1)].t - fs[Math.max(i - 1, 0)].t,
                                 item: fs[i].items.find((it) => Math.abs(it[1]) < 0.6)?.[0] ?? -1 });
                i = j + 1;
            }
            assert.ok(rests.length >= 4, `${rests.length} rests`);
            rests.forEach((r, k) => {
                assert.ok(r.item >= 0, 'rested with no item at the leading edge');
                if (k) assert.equal(r.item, (rests[k - 1].item + 1) % 4);
                if (k && k + 1 < rests.length)
                    assert.ok(r.least < 650 && r.most > 550, `rest of ${r.least} to ${r.most} ms`);
            });
        }
    });

    test('Tab: focus holds the scroller and shows every focused link whole, also in an item taller than the box; the button does not hold, but Space on it does until Enter', async () => {
        const tall = item('Tall', '<p style="margin:0;height:40px"><a href="#1">one</a></p><p style="margin:0;height:100px">' +
                                  '<a href="#2">two</a></p><p style="margin:0"><a href="#3">three</a></p>');
        for (const held of [false, true]) {
            const page = await news(0, 10, [...sizedItems([80, 80]), tall]);
            await page.key('Tab');
            await page.until(`document.activeElement === news._box && !${pos()}.moving`);
            await page.key('Tab');
            await page.until(`document.activeElement.className === 'tk-btn' && ${pos()}.moving`);
            if (held) {
                await page.key('Space');
                await page.until(`${pos()}.list`);
            }
            for (const n of [1, 2, 3]) {
                // Some engines stop at a held list's scrolling strip on the way.
                const at = `document.activeElement.getAttribute('href') === '#${n}'`;
                for (let k = 0; k < 2 && !(await page.eval(at)); k++) await page.key('Tab');
                await page.until(at);
                // The step to the item may still be settling when the strip first reads as held.
                if (n === 1 && !held) await page.until(`!${pos()}.moving && ${pos()}.item === 2 && Math.abs(T.itemLead(news._box, 0, 2).lead) < 0.6`);
                const shown = `(function (r, b) { return r.top >= b.top - 0.6 && r.bottom <= b.bottom + 0.6; })(
                    document.activeElement.getBoundingClientRect(), T.inner(news._box))`;
                await page.until(shown, 2000);
                await page.pageWait(300); // and it stays in view
                assert.ok(await page.eval(shown), `link ${n} left the box`);
            }
            if (held) {
                // Held by the button, it stays held when the focus leaves; Enter there plays on.
                await page.eval('document.activeElement.blur(), 1');
                const d = await page.eval(`${pos()}.distance`);
                await page.pageWait(400);
                assert.deepEqual(await page.eval(`[${pos()}.distance, ${pos()}.list, news._button.getAttribute('aria-label')]`), [d, true, 'Play']);
                await page.eval('news._button.focus()');
                await page.key('Enter');
                await page.until(`${pos()}.distance > ${d + 10}`);
                assert.equal(await page.eval("news._button.getAttribute('aria-label')"), 'Pause');
            }
        }
    });

    test('resize and late content keep the item at the leading edge', async () => {
        const words = 'Some words that wrap onto several lines in a narrow box';
        for (const [what, change] of [
            ['window resized', null],
            ['box narrower', "news._box.style.width = '130px'"],
            ['smaller font', "news._strip.style.fontSize = '14px'"],
            ['larger font', "news._strip.style.fontSize = '24px'"],
            ['late image', "document.getElementById('late').src = 'data:image/svg+xml,%3Csvg xmlns=%22http://www.w3.org/2000/svg%22 width=%2240%22 height=%2280%22/%3E'"],
        ]) {
            const page = await news(0, 5, [item('A', `A ${words}`), item('B', `<img id="late" alt="">B ${words}`), item('C', `C ${words}`)]);
            await page.pageWait(300);
            await setHover(page, true);
            const where = `(function(){var p = news.position(), g = T.groups(news._box)[0], k = p.item,
                a = T.itemLead(news._box, 0, k).lead,
                b = k + 1 < g.children.length ? T.itemLead(news._box, 0, k + 1).lead : T.itemLead(news._box, 0, 0).lead + p.length;
                return {item: k, f: -a / (b - a), length: p.length, offset: p.offset};})()`;
            const before = await page.eval(where);
            if (!change) {
                await page.resize(500, 360);
                await page.until('innerWidth === 500');
                await page.resize(800, 600); // the next scenarios expect the full viewport
            } else {
                await page.eval(change);
                await page.until(`news.position().length !== ${before.length}`);
            }
            await page.pageWait(200);
            const after = await page.eval(where);
            assert.equal(after.item, before.item, what);
            assert.ok(Math.abs(after.f - before.f) < 0.02, `${what}: ${before.f} -> ${after.f}`);
            if (!change) assert.ok(Math.abs(after.offset - before.offset) < 0.5, what);
            assertCovered(await page.eval('T.snap(news._box, 0)'), 10, what);
            await setHover(page, false);
            await waitMoving(page);
        }
    });

    test('two scrollers on one page, each in place, each exposing one pass', async () => {
        const page = await show(null, {
            scripts: { 'a.js': scrollerDoc('a', 0, { ...BOX, scrollSpeed: '10' }, sizedItems([60, 60])),
                       'b.js': scrollerDoc('b', 2, { ...BOX, scrollSpeed: '10' }, sizedItems([90, 90, 90])) },
            // The page's own handlers, set before the scripts, survive them.
            body: '<style>.tk-btn{background:rgb(1, 2, 3)}</style><div id="b" aria-label="Latest news"></div>' +
                  '<script>onload = function () { T.own = 1; };</script>' +
                  '<p>x</p><script src="a.js"></script><script src="b.js"></script>',
        });
        await waitMoving(page, 'a');
        await waitMoving(page, 'b');
        assert.equal(await page.eval("a._box.previousElementSibling.getAttribute('src')"), 'a.js');
        assert.equal(await page.eval('b._box.parentNode.id'), 'b');
        for (const s of ['a', 'b']) {
            // One exposed pass, every repeat hidden from assistive technology and focus alike; the
            // author's rule of the same weight wins; the button says nothing its name does not.
            const got = await page.eval(`(function (s) { var g = [].slice.call(T.groups(s._box)), b = s._button;
                return { exposed: g.filter(function (x) { return !x.inert && x.getAttribute('aria-hidden') !== 'true'; }).length,
                         repeatsHidden: g.filter(function (x) { return x.inert && x.getAttribute('aria-hidden') === 'true'; }).length === g.length - 1,
                         role: s._box.getAttribute('role'), label: s._box.getAttribute('aria-label'),
                         background: getComputedStyle(b).backgroundColor, live: s._strip.getAttribute('aria-live'),
                         buttonSaysItsName: b.getAttribute('aria-label').indexOf(b.innerText.trim()) >= 0 }; })(${s})`);
            assert.deepEqual(got, { exposed: 1, repeatsHidden: true, role: 'region', label: s === 'a' ? 'News ticker' : 'Latest news',
                                    background: 'rgb(1, 2, 3)', live: 'off', buttonSaysItsName: true }, s);
        }
        const a0 = await page.eval(`${pos('a')}.distance`), b0 = await page.eval(`${pos('b')}.distance`);
        assert.equal(await page.eval('T.own'), 1, "the page's onload did not run");
        await page.eval("dispatchEvent(new Event('load')), dispatchEvent(new Event('resize')), a.load(), a.start(), 1");
        await page.pageWait(400);
        assert.ok((await page.eval(`${pos('a')}.distance`)) > a0 + 10);
        assert.ok((await page.eval(`${pos('b')}.distance`)) > b0 + 10);
    });

    test('reduced motion: held, every item reachable by scrolling and the keyboard', async () => {
        for (const type of [0, 2, 3]) {
            const page = await news(type, 10, sizedItems([60, 90, 70, 80]), { wait: false,
                pre: `window.matchMedia = function (q) { return { media: q,
                        matches: /prefers-reduced-motion: *reduce/.test(q),
                        addEventListener: function () {}, removeEventListener: function () {} }; };`,
            });
            await page.pageWait(500);
            assert.deepEqual(await page.eval(`[${pos()}.distance, ${pos()}.list && !${pos()}.moving,
                news._button.getAttribute('aria-label'), getComputedStyle(news._button).opacity]`), [0, true, 'Play', '1']);
            await page.eval('news._box.focus()');
            await page.key(type < 2 ? 'ArrowDown' : 'ArrowRight');
            await page.until(`${pos()}.item === 1`);
            assert.ok(Math.abs(await page.eval(`T.itemLead(news._box, ${type}, 1).lead`)) < 0.6);
            await page.key(type < 2 ? 'ArrowUp' : 'ArrowLeft');
            await page.until(`${pos()}.item === 0`);
            await assertReachable(page, type);
            await page.eval('news._box.blur(), news._button.click()');
            await page.until(`${pos()}.distance > 10`);
        }
    });

    test('hidden page: paused while hidden, back without catching up; a short hold or a slow frame keeps to the clock', async () => {
        const page = await news(2, 10, sizedItems([90, 90, 90]), {
            // Headless engines keep their pages visible: the page's visibility is played here.
            pre: `T.hidden = false; Object.defineProperty(document, 'hidden', { get: function () { return T.hidden; } });
                  Object.defineProperty(document, 'visibilityState', { get: function () { return T.hidden ? 'hidden' : 'visible'; } });
                  T.setHidden = function (h) { T.hidden = h; document.dispatchEvent(new Event('visibilitychange')); return true; };`,
        });
        await page.eval('T.setHidden(true)');
        await page.until(`!${pos()}.moving`);
        const hidden = await page.eval(`${pos()}.distance`);
        await page.pageWait(1000);
        assert.equal(await page.eval(`${pos()}.distance`), hidden);
        await page.eval('T.setHidden(false)');
        const back = await page.until(`${pos()}.distance > ${hidden} && ${pos()}.distance`);
        assert.ok(back < hidden + 40, `${hidden} -> ${back}`);
        // Held briefly, the engine's clock may have stood still; a slow frame just after playing on
        // is time that passed. Either way the strip keeps to the page's clock.
        for (const slow of [0, 600]) {
            await page.eval('T.setHidden(true)');
            await page.until(`!${pos()}.moving`);
            await page.pageWait(150);
            // Played on in a task of its own, as an event would; the slow frame is the second, as some
            // engines start a resumed animation only after the first.
            const a = await page.eval(onClock);
            await page.eval(`T.setHidden(false), requestAnimationFrame(function () {
                requestAnimationFrame(function () { for (var end = performance.now() + ${slow}; performance.now() < end;); });
            })`);
            await page.pageWait(slow + 200);
            const b = await page.eval(onClock), due = (b[1] - a[1]) / 10;
            assert.ok(b[0] - a[0] > due - 20 && b[0] - a[0] < due + 2 + CLOCK_MS / 10,
                      `a ${slow} ms frame: ${b[0] - a[0]} px in ${b[1] - a[1]} ms`);
        }
    });

    test('right-to-left pages: every direction covers the box and keeps its meaning', async () => {
        const mixed = (i) => item(`Item ${i}`, `<p style="height:50px"><span class="ar">مرحبا ${i}</span> <span class="la">Hello</span></p>`, '110');
        for (const [where, opts] of [['rtl page', { dir: 'rtl' }],
                                     ['rtl host', { body: '<div dir="rtl"><script src="news.js"></script></div>' }]]) {
            for (const type of [0, 1, 2, 3]) {
                const page = await news(type, 5, [1, 2, 3].map(mixed), { set: { spacing: '8' }, ...opts });
                const wrapped = await assertScrolls(page, type, 5, 8, 2300); // a turn is 354 px
                assert.ok(wrapped || type < 2, `${where} type ${type} did not wrap`);
                // Mixed text reads right to left: the Arabic word stands right of the Latin one.
                const order = await page.eval(`(function () { var it = T.groups(news._box)[0].children[0];
                    return { dir: getComputedStyle(it).direction,
                             ar: it.querySelector('.ar').getBoundingClientRect().left,
                             la: it.querySelector('.la').getBoundingClientRect().left }; })()`);
                assert.equal(order.dir, 'rtl', `${where} type ${type}`);
                assert.ok(order.ar > order.la, `${where} type ${type}: Arabic left of Latin`);
            }
        }
    });

    test('touch tap: the scroller keeps moving; a tap on the button holds it', { skip: cannot('touch') }, async () => {
        const items = [...sizedItems([90, 90]), item('Text', '<p>Words to tap on</p>', '120')];
        const page = await news(2, 10, items, { set: { pauseOnMouseover: true } });
        const c = await centre(page, 'news._box');
        await page.tap(c.x, c.y + 10);
        await page.until('news._box.contains(document.activeElement)');
        const d0 = await page.eval(`${pos()}.distance`);
        await page.pageWait(500);
        assert.ok(await page.eval(`${pos()}.moving`), 'a tap froze the scroller');
        assert.ok((await page.eval(`${pos()}.distance`)) > d0 + 20);
        const b = await centre(page, 'news._button');
        await page.tap(b.x, b.y);
        await page.until(`!${pos()}.moving && news._held`);
        await page.tap(b.x, b.y);
        await waitMoving(page);
    });

    test('mouse drag: the strip follows within a frame, plays on from there, links stay unclicked; a press without a move clicks', async () => {
        const hovering = { set: { pauseOnMouseover: true } };
        for (const type of [2, 1]) {
            const items = [item('Link', '<p style="height:60px"><a href="#clicked">a link</a></p>', '120'),
                           ...sizedItems([90, 90, 90])];
            const page = await news(type, 20, items, hovering);
            await hoverOn(page, LINK);
            const from = await centre(page, LINK);
            await page.eval(`T.follow('news', ${type})`);
            const vert = type < 2, step = (i) => [from.x + (vert ? 0 : 6 * i), from.y + (vert ? 6 * i : 0)];
            await page.mouseMove(...step(0));
            await page.mouseDown();
            for (let i = 1; i <= 10; i++) await page.mouseMove(...step(i));
            await page.pageWait(100);
            const f = await page.eval('T.follows'), period = await page.eval(`${pos()}.length`);
            // Item 0 of the first pass may hand over to its copy one period on: the same picture.
            const moved = (i) => {
                const d = f[i][1] - f[i - 1][1];
                return d - period * Math.round(d / period);
            };
            let follows = 0;
            for (let i = 1; i < f.length; i++) {
                // A press moves nothing for its first pixels, then catches up with the pointer.
                if (!follows && !moved(i)) continue;
                if (!follows++) continue;
                assert.ok(Math.abs(f[i][0] - f[i - 1][0] - moved(i)) < 1, `frame ${i}: ${JSON.stringify(f)}`);
            }
            assert.ok(follows >= 3, JSON.stringify(f));
            await page.mouseUp();
            await page.until('!news._drag'); // the page may take the last moves after the call returns
            // Leaving plays on from where the strip was let go.
            const at = await page.eval(onClock);
            await page.mouseMove(...OUTSIDE);
            await waitMoving(page);
            await page.pageWait(200);
            const later = await page.eval(onClock), ahead = later[0] - at[0];
            assert.ok(ahead > -1 && ahead <= (later[1] - at[1]) / 20 + 2, `type ${type}: ${ahead} px in ${later[1] - at[1]} ms after the drag`);
            assert.equal(await page.eval('location.hash'), '', 'the drag clicked the link');
        }
        const page = await news(2, 20, [item('Link', '<a href="#clicked">a link</a>', '120'), ...sizedItems([90, 90])], hovering);
        await hoverOn(page, LINK);
        const l = await centre(page, LINK);
        await page.mouseMove(l.x, l.y);
        await page.mouseDown();
        await page.mouseUp();
        await page.until("location.hash === '#clicked'");
    });

    test('touch swipe moves a horizontal strip; vertical swipes stay the page\'s', { skip: cannot('touch') }, async () => {
        const page = await news(2, 20, sizedItems([90, 90, 90, 90]), { set: { pauseOnMouseover: true } });
        assert.equal(await page.eval('getComputedStyle(news._box).touchAction'), 'pan-y');
        await page.eval('T.follow("news", 2)');
        const c = await centre(page, 'news._box');
        await page.touchDrag(c.x + 60, c.y, c.x - 60, c.y, 12);
        await page.until('T.follows.length >= 10');
        const f = await page.eval('T.follows');
        assert.ok(f.at(-1)[1] < -80, `strip moved ${f.at(-1)[1]} for a 120 px swipe: ${JSON.stringify(f)}`);
        await waitMoving(page);
        const v = await news(0, 20, sizedItems([90, 90]), { wait: false });
        assert.equal(await v.eval('getComputedStyle(news._box).touchAction'), 'auto');
    });

    test('a sideways wheel moves a horizontal strip; the vertical wheel scrolls the page', async () => {
        for (const [type, dx, dy] of [[2, 60, 0], [0, 0, 60]]) {
            const page = await news(type, 20, sizedItems([90, 90, 90, 90]), { set: { pauseOnMouseover: true },
                body: '<script src="news.js"></script><div style="height:3000px"></div>' });
            const c = await hoverOn(page);
            const before = await page.eval(`${pos()}.offset`);
            await page.wheel(c.x, c.y, dx, dy);
            await page.until(dx ? `${pos()}.offset > ${before + 30}` : 'scrollY > 30');
        }
    });

    test('items the page changes: the copies follow, without ids, and the box stays covered', async () => {
        const items = [item('A', '<p id="a" style="margin:0">A few words</p><details id="d"><summary>More</summary>' +
                                  '<div style="height:40px">More words</div></details>'), ...sizedItems([50, 60])];
        // Every copy equals its original but for the ids, and has its size.
        const follow = `[].every.call(T.groups(news._box), function (g) { return [].every.call(g.children, function (c, i) {
            var o = T.groups(news._box)[0].children[i], strip = function (e) { return e.innerHTML.replace(/ id="[^"]*"/g, ''); };
            return strip(c) === strip(o) && Math.abs(c.offsetHeight - o.offsetHeight) < 1; }); })`;
        for (const change of ["document.getElementById('a').textContent = 'Many more words that wrap onto three lines or four'",
                              "document.getElementById('d').open = true",
                              "document.getElementById('a').classList.add('big')"]) {
            const page = await news(0, 5, items, { body: '<style>.big{font-size:30px}</style><script src="news.js"></script>' });
            const before = await page.eval(`${pos()}.length`);
            await page.eval(`${change}, 1`);
            await page.until(`${pos()}.length !== ${before}`);
            await page.until(follow, 1000);
            assert.equal(await page.eval("news._box.querySelectorAll('[id]').length"), 2, change);
            await assertScrolls(page, 0, 5, 10, 1000);
        }
    });

    test('a lazy picture that comes late: the copies keep its size and the box stays covered', async () => {
        // The copy of B stands a long item away, beyond where any engine loads lazy pictures early.
        const page = await news(0, 20, [item('A', '<div style="height:40px">A</div>'),
                                        item('B', `<img loading="lazy" alt="" src="${origin}/late.svg">B`),
                                        item('C', '<div style="height:2600px">C</div>')], { set: { height: '90' } });
        await page.until(`T.groups(news._box)[0].children[1].offsetHeight > 70`);
        // The copy of B brought into the box: it has the original's size at once.
        await setHover(page, true);
        await page.until(`!${pos()}.moving`);
        await page.eval(`news._nudge(${pos()}.length - 5 - ${pos()}.offset), 1`);
        const copy = 'T.groups(news._box)[1].children[1]';
        await page.until(`${copy}.getBoundingClientRect().top < T.inner(news._box).bottom - 20`);
        assert.equal(await page.eval(`${copy}.offsetHeight`), await page.eval('T.groups(news._box)[0].children[1].offsetHeight'));
        await setHover(page, false);
        await waitMoving(page);
        await assertScrolls(page, 0, 20, 10, 2500);
        await page.until(`[].every.call(news._box.querySelectorAll('img'), function (m) { return m.offsetHeight === 70; })`, 9000);
    });

    test('an entrance animation on the items does not shift their rests', async () => {
        const page = await news(2, 5, sizedItems([90, 90, 90]), { set: { pause: '600' }, wait: false,
            body: '<style>.tk-item{animation:enter 1s}@keyframes enter{from{transform:translateX(30px)}}</style><script src="news.js"></script>' });
        await page.pageWait(1100);
        // Read in the frame that shows the rest: a later read may fall after it ends.
        const [lead] = await page.until(`${pos()}.waiting && [T.itemLead(news._box, 2, ${pos()}.item).lead]`);
        assert.ok(Math.abs(lead) < 0.6, `rests ${lead} px off`);
    });

    test('500 items: one pass built, copies only where the box needs them', async () => {
        const items = sizedItems(Array.from({ length: 500 }, (_, i) => 20 + (i % 3) * 5));
        items[7] = item('Spill', '<b>closes more</b></div> than it opens');
        const page = await news(0, 5, items, { set: { height: '120' } });
        assert.equal(await page.eval('T.groups(news._box)[0].children.length'), 500);
        const copies = await page.eval("news._box.querySelectorAll('.tk-item').length - 500");
        assert.ok(copies > 0 && copies < 12, `${copies} copied items`);
        await page.eval(`news._goto(499), 1`);
        assertCovered(await page.eval('T.snap(news._box, 0)'), 10, 'at the seam');
    });

    test('the embed code holds up nothing and reserves the box: what follows never moves', async () => {
        const page = await news(0, 10, sizedItems([60, 60, 60]), {
            runtime: false,
            body: `<p>Before</p>${embedCode('width:200px;height:100px')}<p id="after">After</p>
                   <script>T.early = [typeof Tickora, document.getElementById('after').getBoundingClientRect().top];</script>` });
        const late = await page.eval("document.getElementById('after').getBoundingClientRect().top");
        assert.deepEqual(await page.eval('T.early'), ['undefined', late]);
        assert.equal(await page.eval('news._box.id'), 'news');
    });

    test('content that fits stands still, with no copies and no button, until it no longer fits', async () => {
        const page = await news(2, 10, sizedItems([80, 80]), { set: { width: '300' }, wait: false });
        await page.until(`${pos()}.length > 0`);
        await page.pageWait(300);
        const still = async () => page.eval(`({ fits: ${pos()}.fits, moving: ${pos()}.moving,
            shown: [].filter.call(T.groups(news._box), function (g) { return g.offsetWidth > 0; }).length,
            button: news._button.offsetWidth, transform: getComputedStyle(news._strip).transform })`);
        assert.deepEqual(await still(), { fits: true, moving: false, shown: 1, button: 0, transform: 'none' });
        await page.eval("news._box.style.width = '120px'");
        await waitMoving(page);
        await page.eval("news._box.style.width = '400px'");
        await page.until(`!${pos()}.moving`);
        assert.deepEqual(await still(), { fits: true, moving: false, shown: 1, button: 0, transform: 'none' });
    });
});
