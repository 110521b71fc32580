// The scroller runtime in a real browser engine: scripts written by tickora-script, loaded in the
// sample page, and checked by reading positions back from the page.

#include "scrollerpage.h"

#include "eventwait.h"

#include <QApplication>
#include <QTest>
#include <QWebEngineView>

#include <cmath>

namespace {

const QJsonObject kBox{{"width", "200"}, {"height", "100"}, {"spacing", "10"}};

// Items of known size: vertical items take their height from the inner block, horizontal
// items their width from the item's own width.
QJsonArray sizedItems(const QList<int>& sizes) {
    QJsonArray items;
    for (int i = 0; i < sizes.size(); ++i)
        items.append(
            item(QStringLiteral("Item %1").arg(i + 1),
                 QStringLiteral("<div style=\"height:%1px\">%2</div>").arg(sizes[i]).arg(i + 1),
                 QString::number(sizes[i])));
    return items;
}

QJsonObject with(QJsonObject o, const QJsonObject& more) {
    for (auto it = more.begin(); it != more.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

struct Frame {
    double t, off, dist, len, lead0, cross0;
    QList<QList<double>> items; // [index in pass, lead, trail]
};

QList<Frame> frames(const QVariantList& list) {
    QList<Frame> out;
    for (const QVariant& v : list) {
        const QVariantMap m = v.toMap();
        Frame f{m["t"].toDouble(),
                m["off"].toDouble(),
                m["dist"].toDouble(),
                m["len"].toDouble(),
                m["lead0"].toDouble(),
                m["cross0"].toDouble(),
                {}};
        for (const QVariant& it : m["items"].toList()) {
            QList<double> e;
            for (const QVariant& x : it.toList())
                e.append(x.toDouble());
            f.items.append(e);
        }
        out.append(f);
    }
    return out;
}

QString pos(const QString& sc) {
    return sc + QStringLiteral(".position()");
}

} // namespace

class TestRuntime : public QObject {
    Q_OBJECT

private:
    // A page showing one scroller "news" written from doc; fails the test when it can't.
    bool open(ScrollerPage& page, const QJsonObject& doc) {
        return page.ok() && page.writeScript(QStringLiteral("tickora_preview.js"), doc) &&
               page.load();
    }
    bool waitMoving(ScrollerPage& page, const QString& sc = QStringLiteral("news")) {
        return waitUntil([&] { return page.eval(pos(sc) + QStringLiteral(".moving")).toBool(); },
                         30000);
    }

private slots:
    void direction_data();
    void direction();
    void speed_data();
    void speed();
    void pauseAtEachItem_data();
    void pauseAtEachItem();
    void seamless_data();
    void seamless();
    void hoverPause_data();
    void hoverPause();
    void focusPause_data();
    void focusPause();
    void buttonWorksFromKeyboard();
    void resizeKeepsPosition_data();
    void resizeKeepsPosition();
    void twoScrollers_data();
    void twoScrollers();
    void reducedMotion();
    void hiddenPageResumesWithoutJump();
};

void TestRuntime::direction_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("dir"); // the direction the scroller must take
    QTest::newRow("0 up") << 0 << 0;
    QTest::newRow("1 down") << 1 << 1;
    QTest::newRow("2 left") << 2 << 2;
    QTest::newRow("3 right") << 3 << 3;
    QTest::newRow("5 moves left") << 5 << 2;
    QTest::newRow("-1 moves up") << -1 << 0;
}

void TestRuntime::direction() {
    QFETCH(int, type);
    QFETCH(int, dir);
    ScrollerPage page;
    QVERIFY(open(page, scrollerDoc("news", type, with(kBox, {{"scrollSpeed", "8"}}),
                                   sizedItems({40, 60, 40, 50}))));
    QVERIFY(waitMoving(page));
    const QList<Frame> fs = frames(page.record("news", dir, 800));
    QVERIFY(fs.size() > 5);

    double moved = 0;
    for (int i = 1; i < fs.size(); ++i) {
        // What the page shows matches the offset the scroller reports.
        QVERIFY2(std::abs(fs[i].lead0 + fs[i].off) < 0.6, qPrintable(QString::number(i)));
        QCOMPARE(qRound(fs[i].cross0), qRound(fs[0].cross0));
        if (fs[i].off >= fs[i - 1].off) { // not across the loop's seam
            QVERIFY(fs[i].lead0 <= fs[i - 1].lead0 + 0.01);
            moved += fs[i - 1].lead0 - fs[i].lead0;
        }
    }
    QVERIFY2(moved > 40, qPrintable(QString::number(moved)));
    // The next item follows on the side the items enter from.
    QVERIFY(page.num(QStringLiteral("T.itemLead(news._box, %1, 1).lead - "
                                    "T.itemLead(news._box, %1, 0).lead")
                         .arg(dir)) > 45);
}

void TestRuntime::speed_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("msPerPixel");
    QTest::newRow("up fast") << 0 << 4;
    QTest::newRow("down slow") << 1 << 25;
    QTest::newRow("left fast") << 2 << 4;
    QTest::newRow("right slow") << 3 << 25;
}

void TestRuntime::speed() {
    QFETCH(int, type);
    QFETCH(int, msPerPixel);
    ScrollerPage page;
    QVERIFY(open(page, scrollerDoc("news", type,
                                   with(kBox, {{"scrollSpeed", QString::number(msPerPixel)}}),
                                   sizedItems({30, 60, 45, 70}))));
    QVERIFY(waitMoving(page));
    const double period = page.num(pos("news") + ".length");
    QVERIFY(period > 100);
    const QList<Frame> fs = frames(page.record("news", type, 2000));
    QVERIFY(fs.size() > 5);
    // What the page shows: the first item's travel, a period added at each turn of the loop.
    double travelled = 0;
    for (int i = 1; i < fs.size(); ++i)
        travelled += fs[i - 1].lead0 - fs[i].lead0 + (fs[i].lead0 > fs[i - 1].lead0 ? period : 0);
    const double span = fs.last().t - fs.first().t;
    QVERIFY(span > 1500);
    const double pxPerMs = travelled / span;
    QVERIFY2(std::abs(pxPerMs * msPerPixel - 1) < 0.05, qPrintable(QString::number(pxPerMs)));
    // The distance the scroller reports agrees.
    QVERIFY(std::abs(fs.last().dist - fs.first().dist - travelled) < 1);
}

void TestRuntime::pauseAtEachItem_data() {
    QTest::addColumn<int>("type");
    for (int t = 0; t < 4; ++t)
        QTest::newRow(qPrintable(QString::number(t))) << t;
}

void TestRuntime::pauseAtEachItem() {
    QFETCH(int, type);
    const double pause = 600;
    ScrollerPage page;
    QVERIFY(
        open(page, scrollerDoc("news", type, with(kBox, {{"scrollSpeed", "4"}, {"pause", "600"}}),
                               sizedItems({30, 50, 40, 70}))));
    QVERIFY(waitMoving(page));
    const QList<Frame> fs = frames(page.record("news", type, 4200));

    // Rests: runs of frames in which nothing moved.
    struct Rest {
        double from, to;
        int item;
    };
    QList<Rest> rests;
    for (int i = 0; i < fs.size();) {
        int j = i;
        while (j + 1 < fs.size() && fs[j + 1].off == fs[i].off)
            ++j;
        if (fs[j].t - fs[i].t > 250) {
            int at = -1; // the item whose leading edge stands at the box's leading edge
            for (const auto& it : fs[i].items)
                if (std::abs(it[1]) < 0.6)
                    at = int(it[0]);
            rests.append({fs[i].t, fs[j].t, at});
        }
        i = j + 1;
    }
    QVERIFY2(rests.size() >= 4, qPrintable(QString::number(rests.size())));
    for (int r = 0; r < rests.size(); ++r) {
        QVERIFY2(rests[r].item >= 0, "rested with no item at the leading edge");
        if (r > 0)
            QCOMPARE(rests[r].item, (rests[r - 1].item + 1) % 4);
        if (r > 0 && r + 1 < rests.size()) { // the first and last may be cut by the recording
            const double d = rests[r].to - rests[r].from;
            QVERIFY2(d > pause - 80 && d < pause + 120, qPrintable(QString::number(d)));
        }
    }
}

void TestRuntime::seamless_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<int>("spacing");
    for (int t = 0; t < 4; ++t)
        QTest::addRow("%d mixed sizes", t) << t << QList<int>{30, 70, 120} << 8;
}

void TestRuntime::seamless() {
    QFETCH(int, type);
    QFETCH(QList<int>, sizes);
    QFETCH(int, spacing);
    const double msPerPixel = 2;
    ScrollerPage page;
    QVERIFY(open(
        page, scrollerDoc("news", type,
                          with(kBox, {{"scrollSpeed", "2"}, {"spacing", QString::number(spacing)}}),
                          sizedItems(sizes))));
    QVERIFY(waitMoving(page));
    const QList<Frame> fs = frames(page.record("news", type, 1500));
    QVERIFY(fs.size() > 5);

    bool wrapped = false;
    for (int i = 0; i < fs.size(); ++i) {
        // The box is covered: items one spacing apart from edge to edge.
        QList<QList<double>> its = fs[i].items;
        std::sort(its.begin(), its.end(), [](auto& a, auto& b) { return a[1] < b[1]; });
        QVERIFY(!its.isEmpty());
        QVERIFY2(its.first()[1] <= spacing + 0.6, qPrintable(QString::number(its.first()[1])));
        QVERIFY(its.last()[2] >= fs[i].len - spacing - 0.6);
        for (int k = 1; k < its.size(); ++k)
            QVERIFY2(std::abs(its[k][1] - its[k - 1][2] - spacing) < 0.6,
                     qPrintable(
                         QStringLiteral("frame %1 gap %2").arg(i).arg(its[k][1] - its[k - 1][2])));
        if (i == 0)
            continue;
        // Everything shown moved by the time elapsed, also across the seam: no jump.
        wrapped = wrapped || fs[i].off < fs[i - 1].off;
        const double step = (fs[i].t - fs[i - 1].t) / msPerPixel;
        for (const auto& it : fs[i].items) {
            if (it[1] + step > fs[i].len - 1.5)
                continue; // just came in
            bool found = false;
            for (const auto& was : fs[i - 1].items)
                found = found || (was[0] == it[0] && std::abs(was[1] - step - it[1]) < 1.5);
            QVERIFY2(found, qPrintable(QStringLiteral("frame %1 item %2 at %3 after a step of %4")
                                           .arg(i)
                                           .arg(it[0])
                                           .arg(it[1])
                                           .arg(step)));
        }
    }
    QVERIFY(wrapped);
}

void TestRuntime::hoverPause_data() {
    QTest::addColumn<bool>("pauseOnMouseover");
    QTest::addColumn<QString>("pointer");
    QTest::addColumn<bool>("pauses");
    QTest::newRow("mouse") << true << "mouse" << true;
    QTest::newRow("mouse, pause off") << false << "mouse" << false;
    QTest::newRow("touch") << true << "touch" << false;
}

void TestRuntime::hoverPause() {
    QFETCH(bool, pauseOnMouseover);
    QFETCH(QString, pointer);
    QFETCH(bool, pauses);
    ScrollerPage page;
    QVERIFY(open(page, scrollerDoc("news", 0,
                                   with(kBox, {{"scrollSpeed", "10"},
                                               {"pauseOnMouseover", pauseOnMouseover}}),
                                   sizedItems({80, 80}))));
    QVERIFY(waitMoving(page));
    QWidget* target = page.view().focusProxy();
    QVERIFY(target);
    const QVariantMap r =
        page.eval("(function(){var r = news._box.getBoundingClientRect();"
                  "return {x: r.left + r.width / 2, y: r.top + r.height / 2};})()")
            .toMap();
    const QPoint inside(qRound(r["x"].toDouble()), qRound(r["y"].toDouble()));
    if (pointer == "mouse") {
        QTest::mouseMove(target, QPoint(5, 400));
        QTest::mouseMove(target, inside);
    } else {
        page.eval(
            "news._box.dispatchEvent(new PointerEvent('pointerenter', {pointerType: 'touch'}))");
    }
    if (pauses)
        TRY_VERIFY(!page.eval(pos("news") + ".moving").toBool(), 20000);
    const double before = page.num(pos("news") + ".distance");
    QVERIFY(page.waitPageTime(500));
    const double after = page.num(pos("news") + ".distance");
    if (pauses)
        QCOMPARE(after, before);
    else
        QVERIFY2(after > before + 20, qPrintable(QStringLiteral("%1 %2").arg(before).arg(after)));

    if (pointer == "mouse") { // leaving resumes
        QTest::mouseMove(target, QPoint(5, 400));
        TRY_VERIFY(page.num(pos("news") + ".distance") > after + 10, 20000);
    }
}

void TestRuntime::focusPause_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("takesFocus");
    QTest::addColumn<bool>("pauses");
    QTest::newRow("scroller") << "news._box" << true << true;
    QTest::newRow("link in an item") << "T.groups(news._box)[0].querySelector('a')" << true << true;
    QTest::newRow("pause button") << "news._box.querySelector('button')" << true << false;
    QTest::newRow("link in a repeat")
        << "T.groups(news._box)[1].querySelector('a')" << false << false;
}

void TestRuntime::focusPause() {
    QFETCH(QString, target);
    QFETCH(bool, takesFocus);
    QFETCH(bool, pauses);
    ScrollerPage page;
    QJsonArray items = sizedItems({80, 80});
    items.append(item("Link", "<a href=\"#x\">link</a>"));
    QVERIFY(open(page, scrollerDoc("news", 0, with(kBox, {{"scrollSpeed", "10"}}), items)));
    page.view().activateWindow();
    page.view().setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&page.view()));
    QVERIFY(waitMoving(page));

    page.eval(target + ".focus()");
    QCOMPARE(page.eval("document.activeElement === " + target).toBool(), takesFocus);
    if (pauses)
        TRY_VERIFY(!page.eval(pos("news") + ".moving").toBool(), 20000);
    const double before = page.num(pos("news") + ".distance");
    QVERIFY(page.waitPageTime(500));
    const double after = page.num(pos("news") + ".distance");
    QCOMPARE(after == before, pauses);

    page.eval("document.activeElement.blur()");
    TRY_VERIFY(page.num(pos("news") + ".distance") > after + 10, 20000);
}

void TestRuntime::buttonWorksFromKeyboard() {
    ScrollerPage page;
    QVERIFY(open(
        page, scrollerDoc("news", 2, with(kBox, {{"scrollSpeed", "10"}}), sizedItems({90, 120}))));
    page.view().activateWindow();
    page.view().setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&page.view()));
    QVERIFY(waitMoving(page));
    QWidget* keys = page.view().focusProxy();

    // Tab from the scroller reaches the button; the scroller plays while the button has focus.
    page.eval("news._box.focus()");
    QTest::keyClick(keys, Qt::Key_Tab);
    TRY_COMPARE(page.eval("document.activeElement.className").toString(), QStringLiteral("tk-btn"),
                20000);
    TRY_VERIFY(page.eval(pos("news") + ".moving").toBool(), 20000);

    QTest::keyClick(keys, Qt::Key_Space);
    TRY_VERIFY(!page.eval(pos("news") + ".moving").toBool(), 20000);
    QCOMPARE(page.eval("news._button.getAttribute('aria-label')").toString(), "Play");
    page.eval("document.activeElement.blur()");
    const double held = page.num(pos("news") + ".distance");
    QVERIFY(page.waitPageTime(400));
    QCOMPARE(page.num(pos("news") + ".distance"), held); // stays paused after focus leaves

    page.eval("news._button.focus()");
    QTest::keyClick(keys, Qt::Key_Return);
    TRY_VERIFY(page.num(pos("news") + ".distance") > held + 10, 20000);
    QCOMPARE(page.eval("news._button.getAttribute('aria-label')").toString(), "Pause");
}

void TestRuntime::resizeKeepsPosition_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("sameLength"); // whether the scroller's period stays as it was
    QTest::newRow("window resized") << "RESIZE" << true;
    QTest::newRow("box narrower") << "news._box.style.width = '130px'" << false;
    QTest::newRow("box wider") << "news._box.style.width = '320px'" << false;
    QTest::newRow("larger font") << "news._strip.style.fontSize = '24px'" << false;
    QTest::newRow("late image")
        << "document.getElementById('late').src = 'data:image/svg+xml,"
           "%3Csvg xmlns=%22http://www.w3.org/2000/svg%22 width=%2240%22 height=%2280%22/%3E'"
        << false;
}

void TestRuntime::resizeKeepsPosition() {
    QFETCH(QString, change);
    QFETCH(bool, sameLength);
    ScrollerPage page;
    const QString words = QStringLiteral("Some words that wrap onto several lines in a narrow box");
    QJsonArray items{item("A", "A " + words), item("B", "<img id=\"late\" alt=\"\">B " + words),
                     item("C", "C " + words)};
    QVERIFY(open(page, scrollerDoc("news", 0, with(kBox, {{"scrollSpeed", "5"}}), items)));
    QVERIFY(waitMoving(page));
    QVERIFY(page.waitPageTime(300));
    page.eval("news._hover = true; news._kick()"); // held where it is, not as a list

    // Where the page shows the strip: the item at the leading edge and how far past it.
    const QString where =
        "(function(){var p = news.position(), g = T.groups(news._box)[0], k = p.item,"
        " a = T.itemLead(news._box, 0, k).lead,"
        " b = k + 1 < g.children.length ? T.itemLead(news._box, 0, k + 1).lead"
        "   : T.itemLead(news._box, 0, 0).lead + p.length;"
        " return {item: k, f: -a / (b - a), length: p.length, offset: p.offset};})()";
    const QVariantMap before = page.eval(where).toMap();
    QVERIFY(before["f"].toDouble() >= 0 && before["f"].toDouble() <= 1);

    if (change == "RESIZE") {
        page.view().resize(500, 360);
        TRY_COMPARE(page.num("innerWidth"), 500.0, 20000);
    } else {
        page.eval(change);
        TRY_VERIFY(page.eval(where).toMap()["length"] != before["length"], 20000);
    }
    QVERIFY(page.waitPageTime(200));
    const QVariantMap after = page.eval(where).toMap();
    QCOMPARE(after["item"].toInt(), before["item"].toInt());
    QVERIFY2(
        std::abs(after["f"].toDouble() - before["f"].toDouble()) < 0.02,
        qPrintable(
            QStringLiteral("%1 -> %2").arg(before["f"].toDouble()).arg(after["f"].toDouble())));
    if (sameLength)
        QCOMPARE(after["offset"].toDouble(), before["offset"].toDouble());

    // The items still cover the box with one spacing between them.
    const QVariantMap snap = page.eval("T.snap(news._box, 0)").toMap();
    QList<QPair<double, double>> its;
    for (const QVariant& v : snap["items"].toList())
        its.append({v.toList()[1].toDouble(), v.toList()[2].toDouble()});
    std::sort(its.begin(), its.end());
    QVERIFY(its.last().second >= snap["len"].toDouble() - 10.6);
    for (int k = 1; k < its.size(); ++k)
        QVERIFY(std::abs(its[k].first - its[k - 1].second - 10) < 0.6);

    // Playing on continues from there.
    const double dist = page.num(pos("news") + ".distance");
    page.eval("news._hover = false; news._kick()");
    TRY_VERIFY(page.num(pos("news") + ".distance") > dist + 5, 20000);
    QVERIFY(page.num(pos("news") + ".item") - after["item"].toInt() <= 1);
}

void TestRuntime::twoScrollers_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("inNamedElements");
    QTest::newRow("after their scripts")
        << QByteArray("<p>one</p><script src=\"a.js\"></script><p>two</p>"
                      "<script src=\"b.js\"></script><p>end</p>")
        << false;
    QTest::newRow("into named elements")
        << QByteArray("<div id=\"b\"></div><p>x</p><div id=\"a\"></div>"
                      "<script src=\"a.js\"></script><script src=\"b.js\"></script>")
        << true;
}

void TestRuntime::twoScrollers() {
    QFETCH(QByteArray, body);
    QFETCH(bool, inNamedElements);
    ScrollerPage page;
    QVERIFY(page.ok());
    QVERIFY(page.writeScript(
        "a.js", scrollerDoc("a", 0, with(kBox, {{"scrollSpeed", "10"}}), sizedItems({60, 60}))));
    QVERIFY(page.writeScript("b.js", scrollerDoc("b", 2, with(kBox, {{"scrollSpeed", "10"}}),
                                                 sizedItems({90, 90, 90}))));
    QVERIFY(page.writeFile("two.htm", "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                      "<script src=\"tickolib.js\"></script>"
                                      "<script src=\"tickora.js\"></script></head><body>" +
                                          body + "</body></html>"));
    QVERIFY(page.load("two.htm"));
    QVERIFY(waitMoving(page, "a"));
    QVERIFY(waitMoving(page, "b"));
    for (const char* sc : {"a", "b"}) {
        const QString s = QString::fromLatin1(sc);
        if (inNamedElements)
            QCOMPARE(page.eval(s + "._box.parentNode.id").toString(), s);
        else
            QCOMPARE(page.eval(s + "._box.previousElementSibling.getAttribute('src')").toString(),
                     s + ".js");
        // One exposed copy of the items; every repeat hidden from assistive technology and focus.
        QCOMPARE(page.num("T.groups(" + s + "._box).length") > 1, true);
        QCOMPARE(
            page.num("news = " + s +
                     "; [].filter.call(T.groups(news._box), function(g){"
                     "return !g.hasAttribute('inert') && !g.hasAttribute('aria-hidden');}).length"),
            1.0);
        QCOMPARE(page.num("[].filter.call(T.groups(news._box), function(g){"
                          "return g.inert && g.getAttribute('aria-hidden') === 'true';}).length"),
                 page.num("T.groups(news._box).length") - 1);
        QCOMPARE(page.eval(s + "._box.getAttribute('role')").toString(), "region");
        QCOMPARE(page.eval(s + "._box.getAttribute('aria-label')").toString(), s);
        QCOMPARE(page.eval(s + "._strip.getAttribute('aria-live')").toString(), "off");
    }

    // The surviving handlers (the last script's) run again harmlessly: nothing restarts.
    const double a0 = page.num(pos("a") + ".distance"), b0 = page.num(pos("b") + ".distance");
    page.eval("onload(); onresize(); a.load(); a.start();");
    QVERIFY(page.waitPageTime(400));
    QVERIFY(page.num(pos("a") + ".distance") > a0 + 10);
    QVERIFY(page.num(pos("b") + ".distance") > b0 + 10);
}

void TestRuntime::reducedMotion() {
    ScrollerPage page;
    page.injectAtStart(
        "window.matchMedia = function (q) { return { media: q,"
        " matches: /prefers-reduced-motion: *reduce/.test(q),"
        " addEventListener: function () {}, removeEventListener: function () {} }; };");
    QVERIFY(open(page, scrollerDoc("news", 0, with(kBox, {{"scrollSpeed", "10"}}),
                                   sizedItems({60, 90, 70, 80}))));
    page.view().activateWindow();
    page.view().setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&page.view()));
    QVERIFY(page.waitPageTime(600));
    QCOMPARE(page.num(pos("news") + ".distance"), 0.0);
    QVERIFY(!page.eval(pos("news") + ".moving").toBool());
    QCOMPARE(page.eval("news._button.getAttribute('aria-label')").toString(), "Play");
    QCOMPARE(page.eval("getComputedStyle(news._button).opacity").toString(), "1");

    // The visitor steps through the items with the keyboard.
    page.eval("news._box.focus()");
    QTest::keyClick(page.view().focusProxy(), Qt::Key_Down);
    TRY_COMPARE(page.num(pos("news") + ".item"), 1.0, 20000);
    QVERIFY(std::abs(page.num("T.itemLead(news._box, 0, 1).lead")) < 0.6);
    QTest::keyClick(page.view().focusProxy(), Qt::Key_Up);
    TRY_COMPARE(page.num(pos("news") + ".item"), 0.0, 20000);

    // ... or plays it.
    page.eval("news._box.blur(); news._button.click()");
    TRY_VERIFY(page.num(pos("news") + ".distance") > 10, 20000);
}

void TestRuntime::hiddenPageResumesWithoutJump() {
    ScrollerPage page;
    QVERIFY(open(page, scrollerDoc("news", 2, with(kBox, {{"scrollSpeed", "10"}}),
                                   sizedItems({90, 90, 90}))));
    QVERIFY(waitMoving(page));
    page.view().hide();
    TRY_VERIFY(page.eval("document.hidden").toBool(), 20000);
    TRY_VERIFY(!page.eval(pos("news") + ".moving").toBool(), 20000);
    const double hidden = page.num(pos("news") + ".distance");
    QVERIFY(page.waitPageTime(1000));
    page.view().show();
    TRY_VERIFY(page.num(pos("news") + ".distance") > hidden, 20000);
    // Back where it was, not where a second of catching up would have put it (100 px).
    QVERIFY(page.num(pos("news") + ".distance") < hidden + 40);
}

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
