/* tickolib.js: the small helpers the Tickora scroller is built on. Plain JavaScript, no build step. */
var TickoLib = (function () {
    'use strict';
    var doc = document, win = window, styled = false;

    // First in the head, so author rules of the same weight win. The box lays out left to right;
    // the items' text takes the page's direction.
    var CSS =
        '.tickora{position:relative;overflow:hidden;display:flex;box-sizing:border-box;' +
        'direction:ltr}' +
        '.tk-strip,.tk-group{display:flex;flex:none}' +
        '.tk-item{flex:none;box-sizing:border-box;overflow:hidden;direction:var(--tk-dir,ltr)}' +
        '.tk-still .tk-strip{overflow:auto;flex:1 1 auto;min-width:0;min-height:0}' +
        '.tk-still .tk-group+.tk-group,.tk-fit .tk-group+.tk-group,.tk-fit .tk-btn{display:none}' +
        '.tk-drag{cursor:grabbing;user-select:none;-webkit-user-select:none}' +
        '.tk-btn{position:absolute;top:2px;right:2px;z-index:1;width:1.8em;height:1.8em;padding:0;' +
        'border:0;border-radius:.3em;background:rgba(0,0,0,.65);color:#fff;font:14px/1 sans-serif;' +
        'cursor:pointer;opacity:0;transition:opacity .2s}' +
        '.tk-btn:before{content:"";display:inline-block;box-sizing:border-box;width:.6em;height:.7em;' +
        'border:solid;border-width:0 .2em}' +
        '.tk-held .tk-btn:before{width:0;border-width:.35em 0 .35em .6em;border-color:transparent;' +
        'border-left-color:initial}' +
        '.tk-btn:focus,.tk-held .tk-btn{opacity:1}' +
        '@media (hover:hover){.tickora:hover .tk-btn{opacity:1}}' +
        '@media (hover:none){.tk-btn{opacity:.7}}';

    return {
        el: function (tag, cls, parent) {
            var e = doc.createElement(tag);
            if (cls) e.className = cls;
            if (parent) parent.appendChild(e);
            return e;
        },

        attrs: function (e, map) {
            for (var k in map) e.setAttribute(k, map[k]);
            return e;
        },

        on: function (target, type, fn, opts) {
            target.addEventListener(type, fn, opts || false);
        },

        addStyle: function () {
            if (styled) return;
            styled = true;
            var s = doc.createElement('style');
            s.textContent = CSS;
            var h = doc.head || doc.documentElement;
            h.insertBefore(s, h.firstChild);
        },

        num: function (v, fallback) {
            var n = parseFloat(v);
            return isFinite(n) ? n : fallback;
        },

        // Bare numbers are pixels.
        len: function (v) {
            if (v === undefined || v === null || v === '') return '';
            return /^\s*-?[\d.]+\s*$/.test(String(v)) ? parseFloat(v) + 'px' : String(v);
        },

        now: function () {
            return win.performance ? performance.now() : Date.now();
        },

        reducedMotion: function () {
            return win.matchMedia ? win.matchMedia('(prefers-reduced-motion: reduce)') : null;
        },

        watchSize: function (fn) {
            if (win.ResizeObserver) return new ResizeObserver(fn);
            this.on(win, 'resize', fn);
            this.on(win, 'load', fn);
            return { observe: function () {} };
        },

        watchVisible: function (e, fn) {
            if (!win.IntersectionObserver) return;
            new IntersectionObserver(function (entries) {
                fn(entries[entries.length - 1].isIntersecting);
            }).observe(e);
        },

        rect: function (e) {
            return e.getBoundingClientRect();
        }
    };
})();
