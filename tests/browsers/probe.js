// In-page helpers of the scenarios. Positions are "leads": the distance of an edge from the box's
// leading edge, measured against the direction of motion, so a moving item's lead decreases.
window.T = {
  box: function (sc) { return window[sc]._box; },
  groups: function (box) { return box.querySelectorAll('.tk-group'); },
  lead: function (r, b, d) {
    return d === 0 ? [r.top - b.top, r.bottom - b.top] :
           d === 1 ? [b.bottom - r.bottom, b.bottom - r.top] :
           d === 2 ? [r.left - b.left, r.right - b.left] : [b.right - r.right, b.right - r.left];
  },
  // Every item that shows in the box: [index within its pass, lead, trail].
  snap: function (box, d) {
    var b = box.getBoundingClientRect(), len = d < 2 ? b.height : b.width, out = [];
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
    var b = box.getBoundingClientRect(), r = T.groups(box)[0].children[k].getBoundingClientRect();
    return { lead: T.lead(r, b, d)[0], cross: d < 2 ? r.left - b.left : r.top - b.top };
  },
  centre: function (e) {
    var r = e.getBoundingClientRect();
    return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
  },
  // One probe per animation frame for ms of page time; T.frames holds them when done.
  record: function (sc, d, ms) {
    var s = window[sc], box = s._box, frames = [], end = performance.now() + ms;
    T.frames = null;
    function step() {
      var p = s.position(), n = T.snap(box, d), f = T.itemLead(box, d, 0);
      frames.push({ t: p.time, off: p.offset, period: p.length, dist: p.distance, len: n.len, items: n.items,
                    lead0: f.lead, cross0: f.cross });
      if (performance.now() < end) requestAnimationFrame(step); else T.frames = frames;
    }
    requestAnimationFrame(step);
    return true;
  },
  events: []
};
// Per frame while a pointer moves: [pointer moved, item 0 moved] since the first move.
T.follow = function (sc, d) {
  var box = window[sc]._box, from = null, at = null, lead = T.itemLead(box, d, 0).lead;
  T.follows = [];
  document.addEventListener('pointermove', function (e) {
    at = d < 2 ? e.clientY : e.clientX;
    if (from === null) from = at;
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
