// Writes and reads back scripts of 1,000, 10,000 and 100,000 items (200-character texts) and
// prints the throughput and how the time grows with the size. The best of several runs counts.
#include "scriptreader.h"
#include "scriptwriter.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <malloc.h>

namespace {

ScrollerDocument makeDocument(int items) {
    ScrollerDocument d;
    d.scroller.sName = QStringLiteral("news");
    d.scroller.sHeight = QStringLiteral("40");
    d.scroller.sWidth = QStringLiteral("300");
    const QString base =
        QStringLiteral("<b>Headline</b> It\\'s a sample text with = and ; and \"quotes\", ");
    for (int i = 0; i < items; ++i) {
        clsItem item;
        item.sName = QStringLiteral("Item %1").arg(i + 1);
        QString t = base;
        while (t.size() < 200)
            t += QString::number(i) + u' ';
        item.sText = t.left(200);
        d.items.append(item);
    }
    return d;
}

template <typename F> double bestSeconds(int runs, F f) {
    double best = 1e9;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    // By default freed memory is kept, as in a long-running editor, so every size runs on warm
    // memory and the ratios show the algorithm's growth; "--cold" lets the C library hand
    // large blocks back to the system after each run, so each large run pays for fresh pages.
    const bool cold = argc > 1 && QByteArray(argv[1]) == "--cold";
    if (!cold) {
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
    std::printf("memory: %s\n", cold ? "cold (returned to the system after each run)" : "warm");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.js"));
    double lastWrite = 0, lastRead = 0;
    std::printf("%8s %10s %12s %12s %10s %10s\n", "items", "MB", "write MB/s", "read MB/s",
                "write x", "read x");
    for (int items : {1000, 10000, 100000}) {
        const ScrollerDocument doc = makeDocument(items);
        const int runs = items >= 100000 ? 5 : 20;
        const double w = bestSeconds(runs, [&] {
            if (!scriptwriter::SaveScroller(file, doc, {}, {}).written)
                std::abort();
        });
        const double mb = QFileInfo(file).size() / 1e6;
        const double r = bestSeconds(runs, [&] {
            ScrollerDocument back;
            const scriptreader::LoadResult res = scriptreader::LoadScroller(file, back);
            if (!res.ok || back.items.size() != items)
                std::abort();
        });
        std::printf("%8d %10.2f %12.0f %12.0f", items, mb, mb / w, mb / r);
        if (lastWrite > 0)
            std::printf(" %10.1f %10.1f\n", w / lastWrite, r / lastRead);
        else
            std::printf(" %10s %10s\n", "-", "-");
        lastWrite = w;
        lastRead = r;
    }
    std::printf("targets: read >= 100 MB/s, write >= 200 MB/s, each tenfold growth <= 11x time\n");

    // A 30 KB document asking for the most repeats: the widest box and items of width 1.
    ScrollerDocument wide = makeDocument(100);
    wide.scroller.iDirn = 2;
    wide.scroller.sWidth = QStringLiteral("32767");
    for (clsItem& item : wide.items) {
        item.sText = item.sText.left(300);
        item.sWidth = QStringLiteral("1");
    }
    qsizetype chars = 0;
    const double b = bestSeconds(5, [&] { chars = scriptwriter::BuildScript(wide).size(); });
    std::printf("widest box, 100 items of width 1: %lld passes, %.2f MB script, built in %.1f ms\n",
                static_cast<long long>(scriptwriter::passCount(wide)), chars / 1e6, b * 1e3);
    std::printf("target: such a script stays below 3 MB (it once was 1 GB)\n");
    return 0;
}
