/* tickora.js: the Tickora scroller. Needs tickolib.js. Plain JavaScript, no build step.

   A scroller script sets the properties, add()s the items (repeated in passes to fill the box),
   then calls display(); load() and start() follow on page load. The scroller measures itself
   whenever its box or its items change size, and starts on its own when the page has loaded, so
   several scrollers work on one page even though only the last script's onload survives. */
function Tickora() {
    this.name = '';
    this.type = 0;
    this.pausemouseover = true;
    this._items = [];
    this._groups = [];
    this._stops = null;
    this._period = 0;
    this._pos = 0;
    this._next = 1;
    this._wait = 0;
    this._dist = 0;
    this._time = 0;
    this._last = 0;
    this._raf = 0;
    this._tick = this._frame.bind(this);
}

(function (L) {
    'use strict';
    var P = Tickora.prototype;
    var FLOW = ['column', 'column-reverse', 'row', 'row-reverse'];

    P.add = function (text, width, name) {
        this._items.push([String(text), width === undefined ? '' : String(width), String(name || '')]);
    };

    // Builds the box where the calling script stands, or inside the element whose id is the name.
    P.display = function () {
        if (this._box) return;
        var self = this, t = Math.round(L.num(this.type, 0));
        var dir = (this._dir = t === 1 || t === 3 ? t : t > 1 ? 2 : 0);
        var vert = (this._vertical = dir < 2);
        this._sign = dir % 2 ? 1 : -1;
        this._config();
        L.addStyle();

        var box = (this._box = L.el('div', 'tickora'));
        L.attrs(box, { role: 'region', 'aria-roledescription': 'scroller', tabindex: '0',
                       'aria-label': this.name || 'Scroller' });
        box.style.flexDirection = vert ? 'column' : 'row';
        box.style.justifyContent = dir % 2 ? 'flex-end' : 'flex-start';
        box.style.width = L.len(this.width) || '300px';
        box.style.height = L.len(this.height) || (vert ? '100px' : '');

        this._button = L.attrs(L.el('button', 'tk-btn', box), { type: 'button' });
        var strip = (this._strip = L.attrs(L.el('div', 'tk-strip', box), { 'aria-live': 'off' }));
        var gap = Math.max(0, L.num(this.spacing, 10)) + 'px';
        strip.style.flexDirection = FLOW[dir];
        strip.style.gap = gap;

        // The script repeats its list to fill the box; only the first pass is shown to assistive
        // technology and the keyboard, the repeats are decoration.
        var items = this._items, n = passLength(items), iw = L.len(this.itemwidth);
        for (var i = 0; i < items.length; i++) {
            if (i % n === 0) {
                var g = L.el('div', 'tk-group', strip);
                g.style.flexDirection = FLOW[dir];
                g.style.gap = gap;
                if (i) L.attrs(g, { inert: '', 'aria-hidden': 'true' });
                this._groups.push(g);
            }
            var it = L.el('div', 'tk-item', g);
            it.innerHTML = items[i][0];
            if (!vert) it.style.width = L.len(items[i][1]) || iw;
        }
        if (!this._groups.length) return;
        this._place();
        this._events();

        var mq = L.reducedMotion();
        this._held = !!(this._held || (mq && mq.matches));
        if (mq && mq.addEventListener)
            mq.addEventListener('change', function () {
                self._held = mq.matches;
                self._kick();
            });
        this._kick();

        var sizes = L.watchSize(function () {
            self.measure();
        });
        sizes.observe(box);
        sizes.observe(this._groups[0]);
        for (var c = this._groups[0].firstChild; c; c = c.nextSibling) sizes.observe(c);
        L.watchVisible(box, function (visible) {
            self._off = !visible;
            self._kick();
        });

        var go = function () {
            self._started = true;
            self._kick();
        };
        if (document.readyState === 'complete') go();
        else L.on(window, 'load', go);
    };

    // Page load and resize: measure again, keeping the item at the leading edge where it was.
    P.load = function () {
        this._config();
        this.measure();
    };

    P.start = function () {
        this._started = true;
        this._stopped = false;
        if (this._box && !this._period) this.measure();
        this._kick();
    };

    // Stops and returns to the first item; start() plays again.
    P.stop = function () {
        this._stopped = true;
        if (this._stops) this._goto(0);
        this._kick();
    };

    P.pause = function () {
        this._held = true;
        this._kick();
    };

    P.resume = function () {
        this._held = false;
        this._kick();
    };

    // Read-only state for page authors and tests.
    P.position = function () {
        var w = this._where();
        return { offset: this._pos, length: this._period, distance: this._dist, time: this._time,
                 item: w ? w.i : 0, moving: this._moving(), waiting: this._wait > 0 };
    };

    P.measure = function () {
        var box = this._box, groups = this._groups, vert = this._vertical;
        if (!box || !box.isConnected) return;
        var size = vert ? box.offsetHeight : box.offsetWidth;
        if (!size) return; // not rendered; measured again when it shows
        var br = L.rect(box), scale = (vert ? br.height : br.width) / size || 1;
        if (groups.length < 2) this._clone();

        var g = L.rect(groups[0]), g1 = L.rect(groups[1]), d = this._dir, stops = [];
        var period = Math.abs(vert ? g1.top - g.top : g1.left - g.left) / scale;
        for (var c = groups[0].firstChild; c; c = c.nextSibling) {
            var r = L.rect(c);
            stops.push((d === 0 ? r.top - g.top : d === 1 ? g.bottom - r.bottom :
                        d === 2 ? r.left - g.left : g.right - r.right) / scale);
        }
        stops.push(period);

        var at = this._where();
        this._stops = stops;
        this._period = period;
        this._pos = at ? stops[at.i] + at.f * (stops[at.i + 1] - stops[at.i]) : 0;
        if (this._next >= stops.length) this._next = 1;

        // Enough copies that the strip covers the box at every offset within one period.
        var inner = vert ? box.clientHeight : box.clientWidth;
        var copies = period >= 1 ? Math.min(1 + Math.ceil(inner / period), 500) : 2;
        while (groups.length < copies) this._clone();
        this._painted = null;
        this._paint();
        this._kick();
    };

    P._config = function () {
        var s = L.num(this.scrollspeed, 30);
        this._speed = s > 0 ? s : 30;
        this._pd = Math.max(0, L.num(this.pausedelay, 0));
    };

    P._place = function () {
        var box = this._box, name = this.name, s = document.currentScript, body = document.body;
        var host = name && document.getElementById(name);
        if (host) host.appendChild(box);
        else if (s && body && body.contains(s)) s.parentNode.insertBefore(box, s.nextSibling);
        else
            // Called from the head or later: the named element may still come, else the body.
            whenReady(function () {
                (document.getElementById(name) || document.body).appendChild(box);
            });
    };

    P._events = function () {
        var self = this, box = this._box, btn = this._button;
        var set = function (k, v) {
            self[k] = v;
            self._kick();
        };
        // Touch "hover" is a tap: it would freeze the scroller until the next tap elsewhere.
        L.on(box, 'pointerenter', function (e) {
            if (self.pausemouseover && e.pointerType !== 'touch') set('_hover', true);
        });
        L.on(box, 'pointerleave', function () {
            set('_hover', false);
        });
        // Focus inside pauses, except on the pause/play button, which must show what it does.
        L.on(box, 'focusin', function (e) {
            var t = e.target;
            if (t === btn) return;
            var i = self._itemOf(t);
            if (i >= 0 && focusVisible(t)) self._goto(i);
            set('_focus', true);
        });
        L.on(box, 'focusout', function (e) {
            var t = e.relatedTarget;
            set('_focus', !!t && t !== btn && box.contains(t));
        });
        L.on(btn, 'click', function () {
            self._hover = false;
            set('_held', !self._held);
        });
        L.on(box, 'keydown', function (e) {
            var k = { ArrowDown: 1, ArrowRight: 1, ArrowUp: -1, ArrowLeft: -1 }[e.key];
            if (e.target !== box || !k || !self._stops) return;
            e.preventDefault();
            var w = self._where(), n = self._stops.length - 1;
            self._goto((w.i + (k < 0 && w.f > 0 ? 0 : k) + n) % n);
        });
        // Focus may scroll the clipped box; the strip's transform is the only offset.
        L.on(box, 'scroll', function () {
            box.scrollTop = box.scrollLeft = 0;
        });
        L.on(document, 'visibilitychange', function () {
            set('_hidden', document.hidden);
        });
    };

    P._moving = function () {
        return !!(this._started && !this._stopped && !this._held && !this._hover && !this._focus &&
                  !this._hidden && !this._off && this._period > 0);
    };

    // Starts or ends the frame loop after any change of state. A fresh start never catches up.
    P._kick = function () {
        var moving = this._moving(), btn = this._button;
        if (!this._box) return;
        if (moving && !this._raf) this._raf = L.frame(this._tick);
        if (!moving) {
            if (this._raf) L.cancelFrame(this._raf);
            this._raf = this._last = 0;
        }
        this._strip.style.willChange = moving ? 'transform' : '';
        var label = this._held ? 'Play' : 'Pause';
        if (btn.getAttribute('aria-label') !== label) {
            L.attrs(btn, { 'aria-label': label, title: label });
            btn.textContent = this._held ? '\u25B6\uFE0E' : '\u275A\u275A';
            this._box.classList.toggle('tk-held', !!this._held);
        }
    };

    // One animation frame: advance by the time since the last frame and write the transform.
    P._frame = function (ts) {
        this._raf = 0;
        if (!this._moving()) return this._kick();
        if (this._last && ts > this._last) this._advance(ts - this._last);
        this._last = this._time = ts;
        this._paint();
        this._raf = L.frame(this._tick);
    };

    // Moves ms worth of time: scrollspeed ms per pixel, resting pausedelay ms at each item.
    P._advance = function (ms) {
        var len = this._period, stops = this._stops, pd = this._pd, sp = this._speed;
        var cycle = len * sp + (pd ? (stops.length - 1) * pd : 0);
        if (ms > cycle) {
            this._dist += Math.floor(ms / cycle) * len;
            ms %= cycle;
        }
        while (ms > 0) {
            if (this._wait > 0) {
                var w = Math.min(ms, this._wait);
                this._wait -= w;
                ms -= w;
                continue;
            }
            var target = pd ? stops[this._next] : len;
            var need = Math.max(0, (target - this._pos) * sp);
            if (ms < need) {
                this._pos += ms / sp;
                this._dist += ms / sp;
                break;
            }
            ms -= need;
            this._dist += target - this._pos;
            this._pos = target;
            if (target >= len) this._pos = this._next = 0;
            if (pd) {
                this._wait = pd;
                this._next++;
            }
        }
    };

    P._paint = function () {
        var v = this._sign * this._pos;
        if (v === this._painted) return;
        this._painted = v;
        this._strip.style.transform =
            this._vertical ? 'translate3d(0,' + v + 'px,0)' : 'translate3d(' + v + 'px,0,0)';
    };

    P._goto = function (i) {
        this._pos = this._stops[i];
        this._next = i + 1;
        this._wait = this._pd;
        this._last = 0;
        this._paint();
    };

    // The item at the leading edge and how far (0..1) the strip has moved past it.
    P._where = function () {
        var s = this._stops;
        if (!s) return null;
        var i = s.length - 2;
        while (i > 0 && s[i] > this._pos) i--;
        var span = s[i + 1] - s[i];
        return { i: i, f: span > 0 ? Math.min(1, (this._pos - s[i]) / span) : 0 };
    };

    P._itemOf = function (e) {
        var g = this._groups[0];
        while (e && e.parentNode !== g) e = e.parentNode;
        return e ? Array.prototype.indexOf.call(g.children, e) : -1;
    };

    P._clone = function () {
        var c = L.attrs(this._groups[0].cloneNode(true), { inert: '', 'aria-hidden': 'true' });
        this._strip.appendChild(c);
        this._groups.push(c);
    };

    // The length of one pass: the shortest run of items that the whole list repeats.
    function passLength(items) {
        var n = items.length;
        for (var p = 1; p < n; p++) {
            if (n % p) continue;
            for (var i = p; i < n && items[i].join('\0') === items[i - p].join('\0'); i++);
            if (i === n) return p;
        }
        return n || 1;
    }

    function focusVisible(e) {
        try {
            return e.matches(':focus-visible');
        } catch (x) {
            return true;
        }
    }

    function whenReady(fn) {
        if (document.readyState === 'loading') L.on(document, 'DOMContentLoaded', fn);
        else fn();
    }
})(TickoLib);
