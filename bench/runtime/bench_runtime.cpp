// Scrolls 100 items in an off-screen web view (the editor's preview engine) and prints the page's
// frame intervals and the speed error, then the compressed runtime size. The cost per frame
// against a CSS animation is measured by bench.mjs beside this file, in Chromium.
//   bench_runtime [SECONDS]     (default 10; each direction class runs that long)

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include "clsscroller.h"
#include "eventwait.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

QVariant eval(QWebEngineView& view, const QString& js) {
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    view.page()->runJavaScript(js, [result](const QVariant& v) { *result = {true, v}; });
    if (!waitUntil([&] { return result->first; }, 60000))
        std::fprintf(stderr, "no answer from the page\n");
    return result->second;
}

double percentile(QList<double> v, double p) {
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min<qsizetype>(v.size() - 1, qsizetype(p / 100 * v.size()))];
}

QList<double> doubles(const QVariant& v) {
    QList<double> out;
    for (const QVariant& x : v.toList())
        out.append(x.toDouble());
    return out;
}

bool writeScroller(const QString& appDir, const QString& dir, int type) {
    QJsonArray items;
    for (int i = 1; i <= 100; ++i)
        items.append(QJsonObject{
            {"name", QStringLiteral("Item %1").arg(i)},
            {"text", QStringLiteral("<b>Headline %1</b> with a few words of news").arg(i)},
            {"width", type > 1 ? QStringLiteral("%1").arg(180 + (i % 5) * 20) : QString()}});
    const QJsonObject doc{{"scroller", QJsonObject{{"name", "news"},
                                                   {"direction", type},
                                                   {"width", "400"},
                                                   {"height", "200"},
                                                   {"spacing", "8"},
                                                   {"scrollSpeed", "8"},
                                                   {"pauseOnMouseover", false}}},
                          {"items", items}};
    QFile json(QDir(dir).filePath("bench.json"));
    if (!json.open(QIODevice::WriteOnly) || json.write(QJsonDocument(doc).toJson()) < 0)
        return false;
    json.close();
    QProcess tool;
    tool.start(
        QDir(appDir).filePath("tickora-script"),
        {"write", json.fileName(), QDir(dir).filePath("bench_scroller.js"), "--no-project-files"});
    return tool.waitForFinished(60000) && tool.exitCode() == 0;
}

bool runOne(const QString& appDir, int type, int seconds) {
    QTemporaryDir dir;
    for (const char* f : {"tickolib.js", "tickora.js"})
        QFile::copy(QDir(appDir).filePath(f), dir.filePath(f));
    QFile::copy(QDir(appDir).filePath("bench_runtime.htm"), dir.filePath("bench.htm"));
    if (!writeScroller(appDir, dir.path(), type)) {
        std::fprintf(stderr, "tickora-script could not write the scroller\n");
        return false;
    }

    QWebEngineView view;
    view.resize(800, 600);
    view.load(QUrl::fromLocalFile(dir.filePath("bench.htm")));
    view.show();
    if (!waitUntil([&] { return eval(view, "!!window.news && news.position().moving").toBool(); },
                   60000)) {
        std::fprintf(stderr, "the scroller did not start\n");
        return false;
    }
    eval(view, QStringLiteral("bench.run(news, %1)").arg(seconds * 1000));
    if (!waitUntil([&] { return eval(view, "!!bench.result").toBool(); },
                   seconds * 1000 * 10 + 60000))
        return false;
    const QVariantMap r = eval(view, "bench.result").toMap();
    const QList<double> gaps = doubles(r["intervals"]);
    // Against the page's clock: how far the first item moved on screen (the 100 items are long
    // enough that the loop does not turn within the run).
    const double expected = r["shownSpan"].toDouble() / r["msPerPixel"].toDouble();
    const double error = 100 * (r["shown"].toDouble() - expected) / expected;
    int long50 = 0;
    for (double g : gaps)
        long50 += g > 50;

    std::printf("direction %d (%s), %d items, %d copies, %.1f s, %lld frames\n", type,
                isHorizontal(type) ? "horizontal" : "vertical", r["items"].toInt(),
                r["copies"].toInt(), r["span"].toDouble() / 1000,
                static_cast<long long>(gaps.size()));
    std::printf("  frame interval ms: p50 %.2f  p90 %.2f  p99 %.2f  max %.2f  (>50 ms: %d)\n",
                percentile(gaps, 50), percentile(gaps, 90), percentile(gaps, 99),
                percentile(gaps, 100), long50);
    std::printf("  speed error: %+.3f %% (%.1f px moved on screen, %.1f px expected)\n", error,
                r["shown"].toDouble(), expected);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10;
    const QString appDir = QCoreApplication::applicationDirPath();

    bool ok = runOne(appDir, 0, seconds) && runOne(appDir, 2, seconds);

    QByteArray runtime;
    for (const char* f : {"tickolib.js", "tickora.js"}) {
        QFile file(QDir(appDir).filePath(f));
        ok = ok && file.open(QIODevice::ReadOnly);
        runtime += file.readAll();
    }
    QProcess gzip;
    gzip.start("gzip", {"-9", "-c"});
    gzip.write(runtime);
    gzip.closeWriteChannel();
    if (gzip.waitForFinished(30000) && gzip.exitCode() == 0)
        std::printf("tickolib.js + tickora.js: %lld bytes, %lld bytes gzip -9\n",
                    static_cast<long long>(runtime.size()),
                    static_cast<long long>(gzip.readAllStandardOutput().size()));
    return ok ? 0 : 1;
}
