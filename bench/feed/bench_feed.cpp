// Times Import from Feed of a large feed served from 127.0.0.1 into a shown window: reading and
// listing the entries, adding them as items, and the whole command; then Refresh from Feed,
// which replaces all of them. Target: the whole import under 1 s for 1,000 entries.
// Usage: bench_feed [APP_DIR] [ENTRIES] [ROUNDS]   (defaults: the program's folder, 1000, 5)
#include "fakedialogs.h"
#include "feeddialog.h"
#include "feedsamples.h"
#include "feedserver.h"
#include "frmmain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

namespace {

struct Series {
    QList<double> ms;
    void add(qint64 ns) { ms << double(ns) / 1e6; }
    double median() const {
        QList<double> s = ms;
        std::sort(s.begin(), s.end());
        return s.at(s.size() / 2);
    }
    double max() const { return *std::max_element(ms.begin(), ms.end()); }
};

void print(const char* what, const Series& s) {
    std::printf("  %-38s median %8.1f ms   max %8.1f ms\n", what, s.median(), s.max());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString delivered = args.size() > 1 ? args[1] : QCoreApplication::applicationDirPath();
    const int entries = args.size() > 2 ? args[2].toInt() : 1000;
    const int rounds = args.size() > 3 ? args[3].toInt() : 5;

    QTemporaryDir root;
    for (const char* name : {"default.js", "tickora.htm", "tickolib.js", "tickora.js", "blank.htm"})
        QFile::copy(QDir(delivered).filePath(QLatin1String(name)),
                    root.filePath(QLatin1String(name)));
    FeedServer server;
    if (!server.start())
        qFatal("cannot listen on 127.0.0.1");
    const QByteArray feedBytes = feedsamples::rssFeed(entries);
    server.set("/big", feedBytes);

    platform::FakeDialogs dialogs;
    frmMain w(dialogs, root.path());
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        qFatal("window not shown");
    auto* tree = w.findChild<QTreeWidget*>(QStringLiteral("tvItm"));
    QAction* import = w.findChild<QAction*>(QStringLiteral("mnuItemImportFeed"));
    QAction* refresh = w.findChild<QAction*>(QStringLiteral("mnuItemRefreshFeed"));
    QAction* newDoc = w.findChild<QAction*>(QStringLiteral("mnuFileNew"));

    std::printf("Import from Feed: %d entries (%.0f KB of RSS) from %s, %d rounds\n", entries,
                feedBytes.size() / 1024.0, qPrintable(server.url(QStringLiteral("/big"))), rounds);
    Series read, add, whole, refreshed;
    for (int round = 0; round < rounds; ++round) {
        dialogs.answers << platform::Dialogs::Answer::No; // New: discard the last round
        newDoc->trigger();
        w.findChild<QTabWidget*>(QStringLiteral("tabMain"))->setCurrentIndex(1);
        QCoreApplication::processEvents();
        const int before = tree->topLevelItemCount();

        QElapsedTimer total, part;
        w.setFeedDialogRunner([&](FeedDialog& d) {
            d.setAddress(server.url(QStringLiteral("/big")));
            QEventLoop loop;
            QObject::connect(&d, &FeedDialog::fetchFinished, &loop, &QEventLoop::quit);
            part.start();
            d.fetch();
            if (d.isFetching())
                loop.exec();
            QCoreApplication::processEvents(); // the list of entries is laid out and painted
            read.add(part.nsecsElapsed());
            if (d.entryCount() != entries)
                qFatal("%d entries listed: %s", d.entryCount(), qPrintable(d.status()));
            part.start();
            return int(QDialog::Accepted);
        });
        total.start();
        import->trigger();
        QCoreApplication::processEvents(); // the list shows the new items
        add.add(part.nsecsElapsed());
        whole.add(total.nsecsElapsed());
        if (tree->topLevelItemCount() != before + entries)
            qFatal("%d items after the import", tree->topLevelItemCount());

        total.start();
        refresh->trigger();
        QCoreApplication::processEvents();
        refreshed.add(total.nsecsElapsed());
        if (tree->topLevelItemCount() != before + entries)
            qFatal("%d items after the refresh", tree->topLevelItemCount());
    }
    print("read, parse and list the entries", read);
    print("add the chosen entries as items", add);
    print("whole import (target < 1000 ms)", whole);
    print("Refresh from Feed (replace all)", refreshed);
    const bool met = whole.max() < 1000;
    std::printf("Target %s: slowest import %.1f ms.\n", met ? "met" : "NOT met", whole.max());
    dialogs.answers << platform::Dialogs::Answer::No;
    return met ? 0 : 1;
}
