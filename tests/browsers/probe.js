// In-page helpers of the scenarios. Positions are "leads": the distance of an edge from the box's
// leading edge, measured against the direction of motion, so a moving item's lead decreases.
window.T = {
  groups: function (box) { return box.querySelectorAll('.tk-group'); },
  // The box's padding box: where it clips its strip.
  inner: function (box) {
    var r = box.getBoundingClientRect(), l = r.left + box.clientLeft, t = r.top + box.clientTop;
    return { left: l, top: t, right: l + box.clientWidth, bottom: t + box.clientHeight,
             width: box.clientWidth, height: box.clientHeight };
  },
  lead: function (r, b, d) {
    return d === 0 ? [r.top - b.top, r.bottom - b.top] :
           d === 1 ? [b.bottom - r.bottom, b.bottom - r.top] :
           d === 2 ? [r.left - b.left, r.right - b.left] : [b.right - r.right, b.right - r.left];
  },
  // Every item that shows in the box: [index within its pass, lead, trail].
  snap: function (box, d) {
    var b = T.inner(box), len = d < 2 ? b.height : b.width, out = [];
    box.querySelectorAll('.tk-group').forEach(function (g) {
      for (var k = 0; k < g.children.length; k++) {
        var r = g.children[k].getBoundingClientRect();
        if (!r.width && !r.height) continue;
        var e = T.lead(r, b, d);
        if (e[0] < len && e[1] > 0) out.push([k, e[0], e[1]]);
      }
    });
    return { len: len, items: out };
  },
  itemLead: function (box, d, k) {
    var b = T.inner(box), r = T.groups(box)[0].children[k].getBoundingClientRect();
    return { lead: T.lead(r, b, d)[0], cross: d < 2 ? r.left - b.left : r.top - b.top };
  },
  // How far item k's lead is past item 0's. Where reads sample the motion afresh (live), item 0 is
  // read on both sides of item k until the two agree, so both come from one moment.
  leadAfter: function (box, d, k) {
    for (var n = 0; n < 20; n++) {
      var a = T.itemLead(box, d, 0).lead, b = T.itemLead(box, d, k).lead;
      if (Math.abs(T.itemLead(box, d, 0).lead - a) < 0.05) return b - a;
    }
    return NaN;
  },
  centre: function (e) {
    var r = e.getBoundingClientRect();
    return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
  },
  // One probe per animation frame for ms of page time; T.frames holds them when done. Where the
  // engine samples the animated style afresh at each read (live), reads within one frame are
  // taken at different moments: the strip is then read once, at a known moment, and its items
  // placed by their layout within it; t is that moment and lag how far it is past the frame.
  record: function (sc, d, ms, live) {
    var s = window[sc], box = s._box, frames = [], end = performance.now() + ms;
    var rigid = live && T.rigid(s, d);
    T.frames = null;
    function step() {
      var p = s.position(), n = rigid ? rigid.snap() : T.snap(box, d);
      var f = rigid ? n.lead0 : T.itemLead(box, d, 0), t = rigid ? n.at : p.time;
      frames.push({ t: t, lag: t - p.time, off: p.offset, period: p.length, dist: p.distance, len: n.len,
                    items: n.items, lead0: f.lead, cross0: f.cross });
      if (performance.now() < end) requestAnimationFrame(step); else T.frames = frames;
    }
    requestAnimationFrame(step);
    return true;
  },
  // The items' places within the strip, read until two readings agree (a read may fall between
  // two samples of the motion); then snap() needs one read of the strip.
  rigid: function (s, d) {
    var strip = s._strip, b = T.inner(s._box), len = d < 2 ? b.height : b.width;
    function within() {
      var o = [];
      T.groups(s._box).forEach(function (g) {
        for (var k = 0; k < g.children.length; k++) {
          var sr = strip.getBoundingClientRect(), r = g.children[k].getBoundingClientRect();
          o.push([k, r.left - sr.left, r.top - sr.top, r.width, r.height]);
        }
      });
      return o;
    }
    function apart(a, z) {
      return a.some(function (it, i) {
        return it.some(function (v, j) { return Math.abs(v - z[i][j]) > 0.05; });
      });
    }
    for (var a = within(), z = within(), n = 0; n < 20 && apart(a, z); n++) a = z, z = within();
    function place(sr, it) {
      var l = sr.left + it[1], t = sr.top + it[2];
      return T.lead({ left: l, right: l + it[3], top: t, bottom: t + it[4] }, b, d);
    }
    return {
      snap: function () {
        for (var before, sr, after, n = 0; n < 20; n++) {
          before = performance.now();
          sr = strip.getBoundingClientRect();
          after = performance.now();
          if (after - before < 1) break;
        }
        var out = [];
        z.forEach(function (it) {
          if (!it[3] && !it[4]) return;
          var e = place(sr, it);
          if (e[0] < len && e[1] > 0) out.push([it[0], e[0], e[1]]);
        });
        var c = d < 2 ? sr.left + z[0][1] - b.left : sr.top + z[0][2] - b.top;
        return { len: len, items: out, at: (before + after) / 2, lead0: { lead: place(sr, z[0])[0], cross: c } };
      }
    };
  }
};
// Per frame while a pointer moves: [pointer moved, item 0 moved] since the first move. Both are
// taken from that move, not from the first frame: a whole swipe may arrive before a frame.
T.follow = function (sc, d) {
  var box = window[sc]._box, from = null, at = null, lead = null;
  T.follows = [];
  document.addEventListener('pointermove', function (e) {
    at = d < 2 ? e.clientY : e.clientX;
    if (from === null) {
      from = at;
      lead = T.itemLead(box, d, 0).lead;
    }
  }, true);
  (function frame() {
    if (from !== null) {
      var l = T.itemLead(box, d, 0).lead;
      T.follows.push([at - from, d % 2 ? lead - l : l - lead]);
    }
    if (T.follows.length < 600) requestAnimationFrame(frame);
  })();
  return true;
};
