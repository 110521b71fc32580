#include "scrollerpage.h"

#include "eventwait.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

QString appDir() {
    return qEnvironmentVariable("TICKORA_APP_DIR");
}

// In-page helpers. Positions are "leads": the distance of an edge from the box's leading edge,
// measured against the direction of motion, so a moving item's lead always decreases.
const char kProbe[] = R"JS(
window.T = {
  boxes: function () { return document.querySelectorAll('.tickora'); },
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
        var e = T.lead(g.children[k].getBoundingClientRect(), b, d);
        if (e[0] < len && e[1] > 0) out.push([k, e[0], e[1]]);
      }
    });
    return { len: len, items: out };
  },
  // Lead of item k of the first pass and its cross-axis position.
  itemLead: function (box, d, k) {
    var b = box.getBoundingClientRect(), r = T.groups(box)[0].children[k].getBoundingClientRect();
    return { lead: T.lead(r, b, d)[0], cross: d < 2 ? r.left - b.left : r.top - b.top };
  },
  record: function (sc, d, ms) {
    var box = sc._box, frames = [], end = performance.now() + ms;
    T.frames = null;
    function step() {
      var p = sc.position(), s = T.snap(box, d), f = T.itemLead(box, d, 0);
      frames.push({ t: p.time, off: p.offset, dist: p.distance, len: s.len, items: s.items,
                    lead0: f.lead, cross0: f.cross });
      if (performance.now() < end) requestAnimationFrame(step); else T.frames = frames;
    }
    requestAnimationFrame(step);
  }
};
)JS";

} // namespace

QJsonObject scrollerDoc(const QString& name, int direction, const QJsonObject& settings,
                        const QJsonArray& items) {
    QJsonObject s = settings;
    s.insert(QStringLiteral("name"), name);
    s.insert(QStringLiteral("direction"), direction);
    if (!s.contains(QStringLiteral("pauseOnMouseover")))
        s.insert(QStringLiteral("pauseOnMouseover"), false);
    QJsonObject doc;
    doc.insert(QStringLiteral("scroller"), s);
    doc.insert(QStringLiteral("items"), items);
    return doc;
}

QJsonObject item(const QString& name, const QString& text, const QString& width) {
    return QJsonObject{{"name", name}, {"text", text}, {"width", width}};
}

ScrollerPage::ScrollerPage() : m_view(std::make_unique<QWebEngineView>()) {
    m_ok = m_dir.isValid() && !appDir().isEmpty();
    m_view->resize(640, 480);
}

bool ScrollerPage::writeFile(const QString& fileName, const QByteArray& text) {
    QFile f(path(fileName));
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

bool ScrollerPage::writeScript(const QString& fileName, const QJsonObject& original) {
    // Scripts edited by hand may ask for speeds faster than the editor offers, and the runtime
    // honours them; the tool writes only what the editor would, so such a speed goes in after.
    QJsonObject doc = original;
    QJsonObject scroller = doc.value(QStringLiteral("scroller")).toObject();
    const QString speed = scroller.value(QStringLiteral("scrollSpeed")).toString();
    const bool handSpeed = !speed.isEmpty() && speed.toInt() < 5;
    if (handSpeed) {
        scroller.insert(QStringLiteral("scrollSpeed"), QStringLiteral("5"));
        doc.insert(QStringLiteral("scroller"), scroller);
    }
    const QString json = path(fileName + QStringLiteral(".json"));
    if (!writeFile(fileName + QStringLiteral(".json"), QJsonDocument(doc).toJson()))
        return false;
    QProcess tool;
    tool.start(QDir(appDir()).filePath(QStringLiteral("tickora-script")),
               {QStringLiteral("write"), json, path(fileName)});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        qWarning() << "tickora-script failed:" << tool.readAllStandardError();
        return false;
    }
    if (!handSpeed)
        return true;
    QFile script(path(fileName));
    if (!script.open(QIODevice::ReadOnly))
        return false;
    QByteArray text = script.readAll();
    script.close();
    const QByteArray from = ".scrollspeed = 5;", to = ".scrollspeed = " + speed.toLatin1() + ';';
    if (!text.contains(from))
        return false;
    return writeFile(fileName, text.replace(from, to));
}

void ScrollerPage::injectAtStart(const QString& js) {
    QWebEngineScript s;
    s.setName(QStringLiteral("start"));
    s.setInjectionPoint(QWebEngineScript::DocumentCreation);
    s.setWorldId(QWebEngineScript::MainWorld);
    s.setSourceCode(js);
    m_view->page()->scripts().insert(s);
}

bool ScrollerPage::load(const QString& page) {
    QSignalSpy loaded(m_view.get(), &QWebEngineView::loadFinished);
    m_view->load(QUrl::fromLocalFile(path(page)));
    m_view->show();
    if (!QTest::qWaitForWindowExposed(m_view.get()))
        return false;
    if (loaded.isEmpty() && !loaded.wait(60000))
        return false;
    if (!loaded.first().first().toBool())
        return false;
    eval(QString::fromUtf8(kProbe));
    return eval(QStringLiteral("!!window.T && document.readyState")).toString() == "complete";
}

QVariant ScrollerPage::eval(const QString& js, int timeoutMs) {
    // Shared with the callback, which may still come after a timeout.
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    m_view->page()->runJavaScript(js, [result](const QVariant& v) {
        result->first = true;
        result->second = v;
    });
    if (!waitUntil([&] { return result->first; }, timeoutMs))
        qWarning() << "no answer from the page for" << js.left(80);
    return result->second;
}

bool ScrollerPage::waitPageTime(double ms) {
    const double until = num(QStringLiteral("performance.now()")) + ms;
    return waitUntil([&] { return num(QStringLiteral("performance.now()")) >= until; },
                     int(ms) * 20 + 30000);
}

QVariantList ScrollerPage::record(const QString& scroller, int dir, double ms) {
    eval(QStringLiteral("T.record(%1, %2, %3)").arg(scroller).arg(dir).arg(ms));
    if (!waitUntil([&] { return eval(QStringLiteral("!!T.frames")).toBool(); },
                   int(ms) * 20 + 30000))
        return {};
    return eval(QStringLiteral("T.frames")).toList();
}
