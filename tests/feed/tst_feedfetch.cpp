// Reading feeds from a server on 127.0.0.1 and from files: every way a read can go wrong ends in
// one clear message, and the read is capped in size and time.
#include "eventwait.h"
#include "feedfetch.h"
#include "feedparser.h"
#include "feedsamples.h"
#include "feedserver.h"
#include "feedsource.h"
#include "files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace feed;

namespace {

QList<clsItem> list(const QString& names) {
    QList<clsItem> out;
    for (const QString& n : names.split(u' ', Qt::SkipEmptyParts))
        out << clsItem{n, QStringLiteral("text of ") + n, {}};
    return out;
}

QString names(const QList<clsItem>& items) {
    QStringList out;
    for (const clsItem& i : items)
        out << i.sName;
    return out.join(u' ');
}

} // namespace

class tst_FeedFetch : public QObject {
    Q_OBJECT
    FeedServer server;
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QVERIFY(server.start());
        QVERIFY(dir.isValid());
        server.addSamples();
    }

    void answers_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<QString>("error");      // of the read; empty when it succeeds
        QTest::addColumn<QString>("firstTitle"); // after parsing
        const qint64 defaultMax = Limits().maxBytes;
        const QString first = QStringLiteral("Grüße aus Köln – “Zitat” & mehr");
        QTest::newRow("rss") << "/rss" << 5000 << defaultMax << "" << first;
        QTest::newRow("redirect") << "/moved" << 5000 << defaultMax << "" << first;
        QTest::newRow("moved for good") << "/gone-for-good" << 5000 << defaultMax << "" << first;
        QTest::newRow("moved for good, then for now")
            << "/gone" << 5000 << defaultMax << "" << first;
        QTest::newRow("deflated") << "/deflated" << 5000 << defaultMax << "" << first;
        QTest::newRow("charset from http")
            << "/latin" << 5000 << defaultMax << QString() << "“Café”";
        QTest::newRow("404") << "/nothing" << 5000 << defaultMax << "There is no feed at"
                             << QString();
        QTest::newRow("500") << "/broken" << 5000 << defaultMax << "with 500" << QString();
        QTest::newRow("redirect loop")
            << "/loop" << 5000 << defaultMax << "redirects more than 5 times" << QString();
        QTest::newRow("time-out") << "/slow" << 300 << defaultMax
                                  << "did not arrive within 1 seconds" << QString();
        QTest::newRow("200 MB declared")
            << "/huge" << 5000 << defaultMax << "is larger than 8 MB" << QString();
        QTest::newRow("endless answer")
            << "/endless" << 5000 << qint64(300 * 1024) << "is larger than 300 kB" << QString();
    }

    void answers() {
        QFETCH(QString, path);
        QFETCH(int, timeoutMs);
        QFETCH(qint64, maxBytes);
        QFETCH(QString, error);
        QFETCH(QString, firstTitle);
        Limits limits;
        limits.timeoutMs = timeoutMs;
        limits.maxBytes = maxBytes;
        QElapsedTimer t;
        t.start();
        const FetchResult r = fetch(QUrl(server.url(path)), limits);
        QVERIFY(t.elapsed() < timeoutMs + 3000);
        if (!error.isEmpty()) {
            QVERIFY(!r.ok);
            QVERIFY(!r.cancelled);
            QVERIFY2(r.error.contains(error), qPrintable(r.error));
            QVERIFY2(r.error.contains(server.url(path)), qPrintable(r.error));
            QVERIFY(r.bytes.isEmpty());
            return;
        }
        QVERIFY2(r.ok, qPrintable(r.error));
        // The feed moved as far as permanent redirects lead, not further.
        const QString moved = path == u"/gone-for-good" ? QStringLiteral("/rss")
                              : path == u"/gone"        ? QStringLiteral("/moved")
                                                        : QString();
        QCOMPARE(r.movedTo.toString(), moved.isEmpty() ? moved : server.url(moved));
        const ParseResult p = parse(r.bytes, r.finalUrl, r.contentType);
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.feed.entries.value(0).title, firstTitle);
        // Relative links resolve against the address the feed came from, after redirects.
        if (path == u"/moved")
            QCOMPARE(p.feed.entries.value(1).link, server.url("/stories/2"));
    }

    void refusedConnection() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();
        const FetchResult r = fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/feed").arg(port)));
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(QStringLiteral("refused the connection")), qPrintable(r.error));
    }

    void files_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: no such file
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("atom file") << "feed.atom" << feedsamples::kAtom << Limits().maxBytes << "";
        QTest::newRow("file name with spaces, ü and #")
            << "my fëed #1.xml" << feedsamples::kRss << Limits().maxBytes << "";
        QTest::newRow("missing file")
            << "missing.xml" << QByteArray() << Limits().maxBytes << "cannot be read";
        QTest::newRow("too big") << "big.xml" << feedsamples::rssFeed(200) << qint64(10000)
                                 << "is larger than";
        QTest::newRow("folder") << "" << QByteArray() << Limits().maxBytes << "is a folder";
    }

    void files() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, maxBytes);
        QFETCH(QString, error);
        const QString path = name.isEmpty() ? dir.path() : dir.filePath(name);
        if (!bytes.isNull())
            QVERIFY(writeFile(path, bytes));
        QString why;
        const std::optional<QUrl> url = addressToUrl(path, &why);
        QVERIFY2(url, qPrintable(why));
        Limits limits;
        limits.maxBytes = maxBytes;
        const FetchResult r = fetch(*url, limits);
        if (!error.isEmpty()) {
            QVERIFY(!r.ok);
            QVERIFY2(r.error.contains(error), qPrintable(r.error));
            return;
        }
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.bytes, bytes);
        QVERIFY(r.contentType.isEmpty() && r.etag.isEmpty()); // a file has no HTTP charset
    }

    // A second read with what the first gave is answered 304, and taken as nothing new.
    void conditional() {
        const QUrl url(server.url("/tagged"));
        const FetchResult first = fetch(url);
        QVERIFY2(first.ok && !first.notModified, qPrintable(first.error));
        QVERIFY(!server.lastHead.contains("If-None-Match"));
        QCOMPARE(first.etag, QStringLiteral("\"v1\""));
        const Validators validators{first.etag, first.lastModified};
        const FetchResult second = fetch(url, Limits(), validators);
        QVERIFY2(second.ok && second.notModified && second.bytes.isEmpty(),
                 qPrintable(second.error));
        QVERIFY(
            server.lastHead.contains("\r\nIf-Modified-Since: " + first.lastModified.toLatin1()));
        const FetchResult changed = fetch(url, Limits(), Validators{QStringLiteral("\"v0\""), {}});
        QVERIFY(changed.ok && !changed.notModified && changed.bytes == feedsamples::kRss);
        // A 304 to a request that asked nothing is no feed.
        server.routes["/stale"].status = 304;
        const FetchResult unasked = fetch(QUrl(server.url("/stale")));
        QVERIFY2(!unasked.ok && unasked.error.contains(QStringLiteral("304")),
                 qPrintable(unasked.error));
    }

    void cancel() {
        Fetcher f;
        QList<FetchResult> results;
        connect(&f, &Fetcher::finished, this, [&](const FetchResult& r) { results << r; });
        f.start(QUrl(server.url("/slow")));
        QVERIFY(f.isRunning());
        QTest::qWait(50);
        f.cancel();
        QVERIFY(!f.isRunning());
        QCOMPARE(results.size(), 1);
        QVERIFY(results[0].cancelled);
        QVERIFY(!results[0].ok);
        // A new read after a cancel works, and the cancelled one reports nothing more.
        f.start(QUrl(server.url("/rss")));
        TRY_VERIFY(results.size() == 2, 5000);
        QVERIFY(results[1].ok);
        QTest::qWait(50);
        QCOMPARE(results.size(), 2);
    }

    void addresses_data() {
        const struct {
            const char* row;
            QString text;
            QString url; // empty: refused
        } rows[] = {
            {"https", " https://ex.example/feed ", "https://ex.example/feed"},
            {"pasted over two lines", "https://ex.example/fe\r\ned\n", "https://ex.example/feed"},
            {"feed scheme", "feed://ex.example/rss", "http://ex.example/rss"},
            {"bare host", "ex.example/rss.xml", "http://ex.example/rss.xml"},
            {"absolute path", "/tmp/x feed.xml", "file:///tmp/x feed.xml"},
            {"file url", "file:///tmp/a.xml", "file:///tmp/a.xml"},
            {"javascript", "javascript:alert(1)", ""},
            {"ftp", "ftp://ex.example/feed", ""},
            {"empty", "   ", ""},
            {"words", "my feed", ""},
            // No dot in the first part: a missing file, not a host.
            {"host without a dot", "localhost/feed.xml", ""},
            {"missing relative file", "news/feed.xml", ""},
        };
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.text << r.url;
    }

    void addresses() {
        QFETCH(QString, text);
        QFETCH(QString, url);
        QString why;
        const std::optional<QUrl> u = addressToUrl(text, &why);
        if (url.isEmpty()) {
            QVERIFY(!u);
            QVERIFY(why.contains(QStringLiteral("http://")));
            return;
        }
        QVERIFY2(u, qPrintable(why));
        QCOMPARE(u->toString(), url);
    }

    void sideFile() {
        const QString script = dir.filePath("news.js");
        QCOMPARE(sideFilePath(script), dir.filePath("news.feed.json"));
        QVERIFY(!readSource(script).source);
        QVERIFY(readSource(script).error.isEmpty());

        Source s;
        s.address = QStringLiteral("https://ex.example/feed?a=1&b='2'");
        s.maxEntries = 7;
        s.options.nameLength = 12;
        s.options.summaryLength = 40;
        s.options.titleMarkup = true;
        const clsItem item{"It\\'s ü", "<a href=\"x\">It\\'s ü</a>", ""};
        s.items << item << item;
        QCOMPARE(writeSource(script, s), QString());
        const SourceRead r = readSource(script);
        QVERIFY2(r.source, qPrintable(r.error));
        QCOMPARE(r.source->address, s.address);
        QCOMPARE(r.source->maxEntries, 7);
        QVERIFY(r.source->options == s.options);
        QCOMPARE(r.source->items, s.items);

        // A damaged side file is reported, not trusted.
        QVERIFY(writeFile(sideFilePath(script), "{\"tickoraFeed\": 1, \"address\": "));
        const SourceRead damaged = readSource(script);
        QVERIFY(!damaged.source);
        QVERIFY2(damaged.error.contains(QStringLiteral("cannot be read")),
                 qPrintable(damaged.error));

        QCOMPARE(removeSource(script), QString());
        QVERIFY(!QFile::exists(sideFilePath(script)));
        QCOMPARE(removeSource(script), QString()); // nothing to remove is no failure
        QVERIFY(!writeSource(dir.filePath("no/such/folder/x.js"), s).isEmpty());
    }

    void refreshPlan_data() {
        const struct {
            const char* row;
            QString current;
            QString remembered;
            QString fresh;
            QString result;
        } rows[] = {
            {"feed items between own items", "a f1 f2 b", "f1 f2", "n1 n2 n3", "a n1 n2 n3 b"},
            {"moved and partly edited", "f2 a f1 b", "f1 f2 f3", "n1", "n1 a b"},
            {"none left: at the end", "a b", "f1", "n1 n2", "a b n1 n2"},
            {"duplicates match once each", "f1 f1 f1", "f1 f1", "n1", "n1 f1"},
            {"own item equal to a feed item stays when counted out", "f1 a f1", "f1", "n1",
             "n1 a f1"},
            {"empty list", "", "f1", "n1", "n1"},
        };
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("result");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.current << r.remembered << r.fresh << r.result;
    }

    void refreshPlan() {
        QFETCH(QString, current);
        QFETCH(QString, remembered);
        QFETCH(QString, fresh);
        QFETCH(QString, result);
        QCOMPARE(names(applyRefresh(list(current), list(remembered), list(fresh))), result);
    }
};

QTEST_GUILESS_MAIN(tst_FeedFetch)
#include "tst_feedfetch.moc"
