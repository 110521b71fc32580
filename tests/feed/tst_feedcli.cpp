// tickora-script feed as a black box, against a feed server on 127.0.0.1.
#include "eventwait.h"
#include "feeditems.h"
#include "feedparser.h"
#include "feedsamples.h"
#include "feedserver.h"
#include "feedsource.h"
#include "files.h"
#include "scriptreader.h"
#include "scriptwriter.h"
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList itemNames(const QString& script) {
    ScrollerDocument doc;
    scriptreader::LoadScroller(script, doc);
    QStringList out;
    for (const clsItem& i : doc.items)
        out << i.sName;
    return out;
}

} // namespace

class tst_FeedCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void writesThenRefreshes();
    void badFeedsChangeNothing_data();
    void badFeedsChangeNothing();
    void refreshAsksWhatIsNew();
    void otherScriptsAreNotOverwritten();
    void optionsAndLocalFile();
    void usage_data();
    void usage();

private:
    // Runs the tool while the server keeps answering in this process.
    ToolRun tool(const QStringList& args) {
        return runTool(QStringList{QStringLiteral("feed")} + args, dir.path());
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    FeedServer server;
    QTemporaryDir dir;
};

void tst_FeedCli::initTestCase() {
    QVERIFY(server.start());
    server.addSamples();
}

void tst_FeedCli::writesThenRefreshes() {
    const QString out = path(QStringLiteral("news.js"));
    const QString app = qEnvironmentVariable("TICKORA_APP_DIR");
    ToolRun r = tool({server.url(QStringLiteral("/rss")), out});
    QVERIFY2(r.code == 0, r.err.constData());
    QVERIFY(r.err.isEmpty());

    // The default scroller's settings, the feed's entries as items, the project files beside.
    ScrollerDocument doc;
    QVERIFY(scriptreader::LoadScroller(out, doc).ok);
    ScrollerDocument defaults;
    scriptreader::LoadScroller(QDir(app).filePath(QStringLiteral("default.js")), defaults);
    QCOMPARE(doc.scroller.sName, defaults.scroller.sName);
    const feed::ParseResult parsed =
        feed::parse(feedsamples::kRss, QUrl(server.url(QStringLiteral("/rss"))));
    QCOMPARE(doc.items, feed::makeItems(parsed.feed.entries, feed::ItemOptions{}));
    QVERIFY(QFile::exists(path(QStringLiteral("tickora.js"))));
    const feed::SourceRead remembered = feed::readSource(out);
    QVERIFY(remembered.source);
    QCOMPARE(remembered.source->address, server.url(QStringLiteral("/rss")));
    QCOMPARE(remembered.source->items, doc.items);

    // The author adds an item of their own before the feed's; the feed moves on.
    clsItem own;
    own.sName = QStringLiteral("Own");
    own.sText = QStringLiteral("Our own news");
    doc.items.prepend(own);
    QVERIFY(scriptwriter::SaveScroller(out, doc, QString(), QString()).written);
    server.set("/rss", feedsamples::rssFeed(4, "Fresh"));
    r = tool({server.url(QStringLiteral("/rss")), out, QStringLiteral("--max"), QStringLiteral("2"),
              QStringLiteral("--name-length"), QStringLiteral("10")});
    QVERIFY2(r.code == 0, r.err.constData());
    QCOMPARE(itemNames(out), (QStringList{"Own", "Fresh 0:…", "Fresh 1:…"}));
    // Options given once are remembered for the next refresh.
    server.set("/rss", feedsamples::rssFeed(5, "Later"));
    r = tool({server.url(QStringLiteral("/rss")), out});
    QVERIFY2(r.code == 0, r.err.constData());
    QCOMPARE(itemNames(out), (QStringList{"Own", "Later 0:…", "Later 1:…"}));
    server.set("/rss", feedsamples::kRss);
}

void tst_FeedCli::badFeedsChangeNothing_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("message");
    // One failure of each kind (the answer, the read, an empty feed): the message of every
    // fault is the fetch and parse tests' concern.
    QTest::newRow("web page") << "/html"
                              << "a web page, not a feed";
    QTest::newRow("404") << "/nowhere"
                         << "There is no feed at";
    QTest::newRow("no entries") << "/empty"
                                << "The feed has no entries";
}

void tst_FeedCli::badFeedsChangeNothing() {
    QFETCH(QString, route);
    QFETCH(QString, message);
    const QString out = path(QStringLiteral("keep.js"));
    if (!QFile::exists(out))
        QCOMPARE(tool({server.url(QStringLiteral("/rss")), out}).code, 0);
    const QByteArray script = readAll(out);
    const QByteArray side = readAll(feed::sideFilePath(out));
    const ToolRun r = tool({server.url(route), out});
    QCOMPARE(r.code, 1);
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    QVERIFY2(r.err.contains("was not changed"), r.err.constData());
    QCOMPARE(readAll(out), script);
    QCOMPARE(readAll(feed::sideFilePath(out)), side);
}

// A cron job's refresh costs an unchanged feed a 304 and writes nothing; a feed that moved for
// good is remembered at its new address; other options make a full read.
void tst_FeedCli::refreshAsksWhatIsNew() {
    FeedServer::Route moved;
    moved.status = 301;
    moved.location = server.url(QStringLiteral("/tagged")).toLatin1();
    server.routes.insert("/old", moved);
    const QString out = path(QStringLiteral("cron.js"));
    ToolRun r = tool({server.url(QStringLiteral("/old")), out});
    QVERIFY2(r.code == 0, r.err.constData());
    QCOMPARE(feed::readSource(out).source->address, server.url(QStringLiteral("/tagged")));
    const QByteArray script = readAll(out);
    const QByteArray side = readAll(feed::sideFilePath(out));
    r = tool({server.url(QStringLiteral("/tagged")), out});
    QVERIFY2(r.code == 0 && r.out.contains("nothing new"), r.err.constData());
    QVERIFY(server.lastHead.contains("If-None-Match: \"v1\""));
    QCOMPARE(readAll(out), script);
    QCOMPARE(readAll(feed::sideFilePath(out)), side);
    r = tool(
        {server.url(QStringLiteral("/tagged")), out, QStringLiteral("--max"), QStringLiteral("1")});
    QVERIFY2(r.code == 0, r.err.constData());
    QVERIFY(!server.lastHead.contains("If-None-Match"));
    QCOMPARE(itemNames(out).size(), 1);
}

void tst_FeedCli::otherScriptsAreNotOverwritten() {
    const QString out = path(QStringLiteral("app.js"));
    QFile f(out);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("var x = 1; // news.add('a');\n");
    f.close();
    const ToolRun r = tool({server.url(QStringLiteral("/rss")), out});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("is not a scroller script"), r.err.constData());
    QCOMPARE(readAll(out), QByteArray("var x = 1; // news.add('a');\n"));
    QVERIFY(!QFile::exists(feed::sideFilePath(out)));
}

void tst_FeedCli::optionsAndLocalFile() {
    // A JSON Feed from a file, into a document given as JSON whose item is kept; the options at
    // their documented least.
    const QString feedFile = path(QStringLiteral("feed ü.json"));
    QFile f(feedFile);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(feedsamples::kJson);
    f.close();
    const QString docFile = path(QStringLiteral("doc.json"));
    QFile d(docFile);
    QVERIFY(d.open(QIODevice::WriteOnly));
    d.write(R"({"scroller": {"name": "ticker", "direction": 2, "width": 400},
               "items": [{"name": "Mine", "text": "Mine", "width": ""}]})");
    d.close();
    const QString out = path(QStringLiteral("ticker.js"));
    const ToolRun r =
        tool({feedFile, out, QStringLiteral("--doc"), docFile, QStringLiteral("--summary"),
              QStringLiteral("5"), QStringLiteral("--timeout"), QStringLiteral("1"),
              QStringLiteral("--no-project-files")});
    QVERIFY2(r.code == 0, r.err.constData());
    ScrollerDocument doc;
    QVERIFY(scriptreader::LoadScroller(out, doc).ok);
    QCOMPARE(doc.scroller.sName, QStringLiteral("ticker"));
    QCOMPARE(doc.items.size(), 4);
    QCOMPARE(doc.items[0].sName, QStringLiteral("Mine"));
    QCOMPARE(doc.items[1].sText,
             QStringLiteral("<a href=\"https://json.example/1\">Ünïcode ‘quotes’ &amp; "
                            "&quot;double&quot; \\'single\\'</a> Shor…"));
    QCOMPARE(doc.items[3].sName, QStringLiteral("C:&#92;path&#92;"));
    QCOMPARE(feed::readSource(out).source->address, QFileInfo(feedFile).absoluteFilePath());
}

void tst_FeedCli::usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << QStringList{} << 2 << "feed takes";
    QTest::newRow("one argument") << QStringList{"https://ex.example/"} << 2 << "feed takes";
    QTest::newRow("bad max") << QStringList{"https://ex.example/", "x.js", "--max", "lots"} << 2
                             << "--max needs";
    QTest::newRow("unknown option")
        << QStringList{"https://ex.example/", "x.js", "--fast"} << 2 << "Unknown option --fast";
    QTest::newRow("not an address") << QStringList{"javascript:alert(1)", "x.js"} << 2
                                    << "not an address a feed can be read from";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "";
}

void tst_FeedCli::usage() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    const ToolRun r = tool(args);
    QCOMPARE(r.code, code);
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    QVERIFY(!QFile::exists(path(QStringLiteral("x.js"))));
}

QTEST_GUILESS_MAIN(tst_FeedCli)
#include "tst_feedcli.moc"
