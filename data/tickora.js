/* tickora.js: the Tickora scroller, on tickolib.js. Plain JavaScript, no build step.
   It measures itself when anything changes size and starts itself on page load. The motion is
   one looping animation of the strip, run by the compositor; held, the box is a list. */
function Tickora() {
    this.name = '';
    this.type = 0;
    this.pausemouseover = true;
    this._items = [];
    this._groups = [];
    this._stops = null;
    this._period = 0;
    this._pos = 0;
    this._dist = 0;
    this._base = 0;
}

(function (L) {
    'use strict';
    var P = Tickora.prototype;
    var FLOW = ['column', 'column-reverse', 'row', 'row-reverse'];

    P.add = function (text, width, name) {
        this._items.push([String(text), width === undefined ? '' : String(width), String(name || '')]);
    };

    // The box goes into the element named after the scroller, else after the calling script.
    P.display = function () {
        if (this._box) return;
        var self = this, t = Math.round(L.num(this.type, 0));
        var dir = (this._dir = t === 1 || t === 3 ? t : t > 1 ? 2 : 0);
        var vert = (this._vertical = dir < 2);
        this._sign = dir % 2 ? 1 : -1;
        this._config();
        L.addStyle();

        // An empty container of class tickora, which the page sized before any script ran, is the box.
        var host = this.name && document.getElementById(this.name);
        var box = (this._box = host && host.className === 'tickora' && !host.firstChild ? host : L.el('div', 'tickora'));
        L.attrs(box, { role: 'region', 'aria-roledescription': 'scroller', tabindex: '0' });
        box.style.flexDirection = FLOW[dir];
        box.style.width = L.len(this.width) || '300px';
        box.style.height = L.len(this.height) || (vert ? '100px' : '');
        box.style.touchAction = vert ? '' : 'pan-y';

        this._button = L.attrs(L.el('button', 'tk-btn', box), { type: 'button' });
        var strip = (this._strip = L.attrs(L.el('div', 'tk-strip', box), { 'aria-live': 'off' }));
        this._gap = Math.max(0, L.num(this.spacing, 10));
        strip.style.flexDirection = FLOW[dir];
        strip.style.gap = this._gap + 'px';

        // One pass, built in one go; copies as the box needs them.
        var items = this._items.slice(0, passLength(this._items)), iw = L.len(this.itemwidth);
        if (!items.length) return;
        var g = this._group(), html = '';
        for (var i = 0; i < items.length; i++) html += '<div class="tk-item">' + items[i][0] + '</div>';
        g.innerHTML = html;
        // Markup that closes more than it opens stays in its item.
        if (g.childNodes.length !== items.length || g.children.length !== items.length) {
            g.textContent = '';
            for (i = 0; i < items.length; i++) L.el('div', 'tk-item', g).innerHTML = items[i][0];
        }
        for (i = 0; i < items.length; i++) if (!vert) g.children[i].style.width = L.len(items[i][1]) || iw;
        eager(g);
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
        sizes.observe(g);
        for (var c = g.firstChild; c; c = c.nextSibling) sizes.observe(c);
        if (window.MutationObserver)
            new MutationObserver(function (ms) {
                var seen = {};
                for (var k = 0; k < ms.length; k++) {
                    var i = self._itemOf(ms[k].target);
                    if (!seen[i]) self._sync(i);
                    seen[i] = 1;
                }
            }).observe(g, { subtree: true, childList: true, attributes: true, characterData: true });
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

    P.stop = function () {
        this._stopped = true;
        this._kick();
        if (this._stops) this._goto(0);
    };

    P.pause = function () {
        this._held = true;
        this._kick();
    };

    P.resume = function () {
        this._held = false;
        this._kick();
    };

    P.position = function () {
        var w = this._where(), tl = document.timeline;
        return { offset: this._pos, length: this._period, distance: this._dist,
                 time: tl && tl.currentTime !== null ? tl.currentTime : L.now(), item: w ? w.i : 0,
                 moving: this._moving() && !this._anim.pending, waiting: !!this._waiting, fits: !!this._fits,
                 list: !!this._list };
    };

    // All reads before any write; nothing written when nothing changed.
    P.measure = function () {
        var box = this._box, vert = this._vertical, first = this._groups[0];
        if (!box || !box.isConnected) return;
        var size = vert ? box.offsetHeight : box.offsetWidth;
        if (!size) return; // not rendered; measured again when it shows
        var pd = getComputedStyle(box.parentNode).direction, bs = getComputedStyle(box);
        var pad = vert ? [bs.paddingTop, bs.paddingBottom] : [bs.paddingLeft, bs.paddingRight];
        // Layout sizes: no transform of the page's disturbs them.
        var gap = this._gap, stops = [0], sizes = [], kids = first.children;
        for (var c = 0; c < kids.length; c++) {
            var v = parseFloat(getComputedStyle(kids[c])[vert ? 'height' : 'width']) || 0;
            sizes.push(v);
            stops.push(stops[c] + v + gap);
        }
        var period = stops[c], inner = vert ? box.clientHeight : box.clientWidth;
        var br = L.rect(box), scale = (vert ? br.height : br.width) / size || 1;
        var key = [size, inner, pd, pad, stops].join();
        this._scale = scale;
        if (key === this._key) return;
        this._key = key;

        // Written only when it differs: every item's style depends on it.
        if ((box.style.getPropertyValue('--tk-dir') || 'ltr') !== pd) box.style.setProperty('--tk-dir', pd);
        // The strip runs through the padding.
        pad = pad[0] + pad[1] === '0px0px' ? '' : vert ? '-' + pad[0] + ' 0 -' + pad[1] : '0 -' + pad[1] + ' 0 -' + pad[0];
        if (pad !== this._margin) this._strip.style.margin = this._margin = pad;
        var at = this._where(), old = this._sizes || [];
        this._stops = stops;
        this._period = period;
        this._sizes = sizes;
        this._fits = period - gap <= inner + 0.5;
        box.classList.toggle('tk-fit', this._fits);
        // Copies cover the box at every offset; each keeps its original's size.
        var end = this._fits ? 0 : period + inner + 1;
        for (var k = 1; k * period < end; k++) {
            var g = this._groups[k] || this._group(true);
            for (c = 0; c < kids.length && k * period + stops[c] < end; c++) {
                if (!g.children[c]) g.appendChild(this._copy(c));
                else if (sizes[c] !== old[c]) g.replaceChild(this._copy(c), g.children[c]);
            }
            while (g.children.length > c) g.removeChild(g.lastChild);
        }
        while (this._groups.length > k) this._strip.removeChild(this._groups.pop());
        this._list = null; // shown again below in whichever way the state asks for
        this._kick(at ? stops[at.i] + at.f * (stops[at.i + 1] - stops[at.i]) : 0);
    };

    P._config = function () {
        var s = L.num(this.scrollspeed, 30);
        this._speed = s > 0 ? s : 30;
        this._pd = Math.max(0, L.num(this.pausedelay, 0));
    };

    P._place = function () {
        var self = this, box = this._box, name = this.name, s = document.currentScript, body = document.body;
        var host = name && document.getElementById(name);
        this._label(host);
        if (host) {
            if (host !== box) host.appendChild(box);
        } else if (s && body && body.contains(s)) s.parentNode.insertBefore(box, s.nextSibling);
        else
            whenReady(function () {
                var h = document.getElementById(name);
                self._label(h);
                (h || document.body).appendChild(box);
            });
    };

    // The page's label, else a plain one: the name is a script variable.
    P._label = function (host) {
        this._box.setAttribute('aria-label', (host && host.getAttribute('aria-label')) || 'News ticker');
    };

    P._events = function () {
        var self = this, box = this._box, btn = this._button, drag = null;
        var set = function (k, v) {
            self[k] = v;
            self._kick();
        };
        var along = function (e) {
            return (self._vertical ? e.clientY : e.clientX) / (self._scale || 1);
        };
        // Touch "hover" is a tap.
        L.on(box, 'pointerenter', function (e) {
            if (self.pausemouseover && e.pointerType !== 'touch') set('_hover', true);
        });
        L.on(box, 'pointerleave', function (e) {
            if (e.pointerType !== 'touch') set('_hover', false);
        });
        // Only keyboard focus pauses; the button, which must show what it does, never does.
        L.on(box, 'focusin', function (e) {
            var t = e.target, keys = t !== btn && focusVisible(t), i = self._itemOf(t);
            set('_focus', keys);
            if (keys && i >= 0) self._reveal(t, i);
        });
        L.on(box, 'focusout', function () {
            set('_focus', false);
        });
        L.on(btn, 'click', function () {
            self._hover = false;
            set('_held', !self._held);
        });
        L.on(box, 'keydown', function (e) {
            var k = { ArrowDown: 1, ArrowRight: 1, ArrowUp: -1, ArrowLeft: -1 }[e.key];
            if (e.target !== btn && e.key !== 'Tab' && !self._focus) set('_focus', true);
            if (e.target !== box || !k || !self._stops || self._fits) return;
            e.preventDefault();
            var w = self._where(), n = self._stops.length - 1;
            self._goto((w.i + (k < 0 && w.f > 0 ? 0 : k) + n) % n);
        });

        // A drag moves the strip; a press that moves a few pixels stays a click.
        L.on(box, 'pointerdown', function (e) {
            self._dragged = false;
            if (e.button || e.target === btn || !self._stops || self._fits) return;
            if (e.pointerType === 'touch' && (self._vertical || self._list)) return;
            drag = { id: e.pointerId, at: along(e), moved: false };
        });
        L.on(box, 'pointermove', function (e) {
            if (!drag || e.pointerId !== drag.id) return;
            var d = along(e) - drag.at;
            if (!drag.moved) {
                if (Math.abs(d) < 6) return;
                drag.moved = true;
                if (box.setPointerCapture) box.setPointerCapture(e.pointerId);
                box.classList.add('tk-drag');
                set('_drag', true);
            }
            drag.at += d;
            self._nudge(self._sign * d);
        });
        var end = function (e) {
            if (!drag || e.pointerId !== drag.id) return;
            if (drag.moved) {
                self._dragged = true;
                box.classList.remove('tk-drag');
                set('_drag', false);
            }
            drag = null;
        };
        L.on(box, 'pointerup', end);
        L.on(box, 'pointercancel', end);
        L.on(box, 'click', function (e) {
            if (self._dragged) {
                e.preventDefault();
                e.stopPropagation();
            }
            self._dragged = false;
        }, true);
        L.on(box, 'dragstart', function (e) {
            e.preventDefault(); // links and pictures would start the browser's drag and drop
        });
        // The vertical wheel stays the page's; a sideways one moves a horizontal strip.
        L.on(box, 'wheel', function (e) {
            if (self._list || self._fits || !self._stops || self._vertical) return;
            var d = e.deltaX || (e.shiftKey ? e.deltaY : 0);
            if (!d) return;
            e.preventDefault();
            self._nudge(-self._sign * d * (e.deltaMode ? 16 : 1));
        }, { passive: false });

        L.on(box, 'scroll', function () {
            box.scrollTop = box.scrollLeft = 0;
        });
        L.on(document, 'visibilitychange', function () {
            set('_hidden', document.hidden);
        });
    };

    P._moving = function () {
        return !!(this._started && !this._stopped && !this._held && !this._hover && !this._focus &&
                  !this._hidden && !this._off && !this._drag && !this._fits && this._anim);
    };

    // Brings the page in line with the state; pos is where the strip is to stand.
    P._kick = function (pos) {
        var box = this._box, btn = this._button;
        if (!box) return;
        var list = !!this._stops && !this._fits &&
                   !!(this._held || this._stopped || !this._strip.animate);
        if (list !== this._list || pos !== undefined) {
            var now = this._read();
            if (pos === undefined) pos = now;
            if (this._anim) this._anim.cancel();
            this._anim = null;
            this._list = list;
            box.classList.toggle('tk-still', list);
            this._pos = pos;
            if (list) this._scroll(pos);
            if (!list && this._stops && !this._fits) this._animate(pos);
        }
        var a = this._anim;
        if (a) {
            // No engine may catch up on time lost while held.
            var t = a.currentTime, on = this._moving();
            if (on !== (a.playState === 'running')) {
                if (on) a.play();
                else a.pause();
                a.currentTime = t;
                if (on) settle(a, t, 3, L.now(), t);
            }
        }
        var label = this._held ? 'Play' : 'Pause';
        if (btn.getAttribute('aria-label') !== label) {
            L.attrs(btn, { 'aria-label': label, title: label });
            box.classList.toggle('tk-held', !!this._held);
        }
    };

    // One animation per turn. _at holds when each run begins, in whole ms: some engines keep
    // the clock no finer, and a rest between two ticks would read as the end of a run.
    P._animate = function (pos) {
        var s = this._stops, sp = this._speed, pd = this._pd, at = [0], t = 0, keys = [[0, 0]];
        for (var k = 1; k < s.length; k++) {
            keys.push([(t = Math.round(t + (s[k] - s[k - 1]) * sp)), s[k]]);
            if (pd) keys.push([(t += pd), s[k]]);
            at.push(t);
        }
        if (!(t > 0)) return;
        this._at = at;
        this._cycle = t;
        var self = this, frames = keys.map(function (x) {
            return { offset: x[0] / t, transform: self._shift(x[1]) };
        });
        var a = (this._anim = this._strip.animate(frames, { duration: t, iterations: Infinity }));
        a.pause();
        a.currentTime = this._timeOf(pos);
        this._base = this._dist - pos;
        this._read();
    };

    P._shift = function (p) {
        var v = this._sign * p;
        return this._vertical ? 'translate3d(0,' + v + 'px,0)' : 'translate3d(' + v + 'px,0,0)';
    };

    P._read = function () {
        var a = this._anim;
        if (a) {
            var T = a.currentTime || 0, c = this._cycle, t = T % c, at = this._at, s = this._stops;
            for (var k = 0; k < at.length - 2 && t >= at[k + 1]; k++);
            var run = at[k + 1] - this._pd - at[k];
            this._waiting = t - at[k] > run;
            this._pos = run > 0 ? s[k] + ((s[k + 1] - s[k]) * Math.min(t - at[k], run)) / run : s[k + 1];
            this._dist = this._base + Math.floor(T / c) * this._period + this._pos;
        } else if (this._list) {
            this._pos = Math.abs(this._vertical ? this._strip.scrollTop : this._strip.scrollLeft);
            this._waiting = false;
        }
        return this._pos;
    };

    P._timeOf = function (pos) {
        var s = this._stops, k = s.length - 2;
        while (k > 0 && s[k] > pos) k--;
        var at = this._at, span = s[k + 1] - s[k];
        return at[k] + (span > 0 ? (Math.max(0, pos - s[k]) / span) * (at[k + 1] - this._pd - at[k]) : 0);
    };

    P._scroll = function (pos) {
        var v = this._dir % 2 ? -pos : pos;
        if (this._vertical) this._strip.scrollTop = v;
        else this._strip.scrollLeft = v;
    };

    P._nudge = function (px) {
        if (this._list) return this._scroll(this._read() + px);
        if (!this._anim) return;
        var len = this._period, p = (((this._read() + px) % len) + len) % len;
        this._seek(this._timeOf(p), px);
    };

    P._goto = function (i) {
        if (this._list) return this._scroll(this._stops[i]);
        if (!this._anim) return;
        var t = this._at[i] - this._pd;
        this._seek(t < 0 ? t + this._cycle : t, 0);
    };

    // Item i's leading edge, or as much further as e inside it needs to show whole.
    P._reveal = function (e, i) {
        var d = this._dir, r = L.rect(e), g = L.rect(this._groups[0].children[i]), sc = this._scale || 1;
        var end = (d === 0 ? r.bottom - g.top : d === 1 ? g.bottom - r.top : d === 2 ? r.right - g.left : g.right - r.left) / sc;
        var inner = this._vertical ? this._box.clientHeight : this._box.clientWidth;
        var lead = end - (this._vertical ? r.height : r.width) / sc;
        if (end <= inner || !this._stops) return this._goto(i);
        var p = this._stops[i] + Math.min(lead, end - inner);
        if (this._list) return this._scroll(p);
        if (this._anim) this._seek(this._timeOf(p), 0);
    };

    P._seek = function (t, travel) {
        var a = this._anim, c = this._cycle, before = (this._read(), this._dist);
        a.currentTime = Math.floor((a.currentTime || 0) / c) * c + t;
        this._read();
        this._base += before + travel - this._dist;
        this._read();
    };

    P._where = function () {
        var s = this._stops;
        if (!s) return null;
        var pos = this._read(), i = s.length - 2;
        while (i > 0 && s[i] > pos) i--;
        var span = s[i + 1] - s[i];
        return { i: i, f: span > 0 ? Math.min(1, (pos - s[i]) / span) : 0 };
    };

    P._itemOf = function (e) {
        var g = this._groups[0];
        while (e && e.parentNode !== g) e = e.parentNode;
        return e ? Array.prototype.indexOf.call(g.children, e) : -1;
    };

    P._group = function (copy) {
        var g = L.el('div', 'tk-group', this._strip);
        g.style.flexDirection = this._strip.style.flexDirection;
        g.style.gap = this._strip.style.gap;
        if (copy) L.attrs(g, { inert: '', 'aria-hidden': 'true' });
        this._groups.push(g);
        return g;
    };

    // Without the ids and names the page reaches the original by.
    P._copy = function (i) {
        var c = this._groups[0].children[i].cloneNode(true), all = c.querySelectorAll('[id],[name]');
        for (var k = -1; k < all.length; k++) {
            var e = k < 0 ? c : all[k];
            e.removeAttribute('id');
            e.removeAttribute('name');
        }
        eager(c);
        c.style[this._vertical ? 'height' : 'width'] = this._sizes[i] + 'px';
        return c;
    };

    P._sync = function (i) {
        for (var k = 1; i >= 0 && k < this._groups.length; k++) {
            var g = this._groups[k];
            if (g.children[i]) g.replaceChild(this._copy(i), g.children[i]);
        }
    };

    function eager(e) {
        var im = e.querySelectorAll('img[loading]');
        for (var k = 0; k < im.length; k++) im[k].removeAttribute('loading');
    }

    function passLength(items) {
        var n = items.length;
        for (var p = 1; p < n; p++) {
            if (n % p) continue;
            for (var i = p; i < n && items[i].join('\0') === items[i - p].join('\0'); i++);
            if (i === n) return p;
        }
        return n || 1;
    }

    // Some engines resume from a clock that stood still while held, and leap by the time held.
    // In its first frames the strip runs no further than the time since it played on; a slow
    // frame is time that passed, and what was shown is never taken back.
    function settle(a, t, frames, from, shown) {
        requestAnimationFrame(function () {
            if (a.playState !== 'running') return;
            var due = Math.max(t + L.now() - from, shown);
            if (a.currentTime > due + 20) a.currentTime = due;
            if (frames > 1) settle(a, t, frames - 1, from, a.currentTime);
        });
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
