// tickora-script as a black box: its commands, outputs and exit codes; feed against a feed server
// on 127.0.0.1.
#include "feeditems.h"
#include "feedparser.h"
#include "feedsamples.h"
#include "feedserver.h"
#include "feedsource.h"
#include "files.h"
#include "scriptreader.h"
#include "scriptwriter.h"
#include "toolrun.h"
#include "workedexample.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Lines the reader passes over: code after a setting, an item in double quotes.
const QByteArray kUnread =
    "a.name = 'news';\na.width = 100;alert(1);\na.add(\"Hi\", \"\", \"One\");\n";

// Runs a shell command with $T the tool and $D the folder, for file names that are not UTF-8
// (which a QStringList cannot carry).
ToolRun shell(const QString& command, const QString& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("T"), scriptTool());
    env.insert(QStringLiteral("D"), dir);
    return runProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}, QString(), env);
}

QStringList itemNames(const QString& script) {
    ScrollerDocument doc;
    scriptreader::LoadScroller(script, doc);
    QStringList out;
    for (const clsItem& i : doc.items)
        out << i.sName;
    return out;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FeedServer server;
    QString path(const QString& name) const { return dir.filePath(name); }
    // What read gives of a script, written again.
    QByteArray readAndWriteAgain(const QString& script) {
        const ToolRun r = runTool({"read", script});
        if (r.code != 0 || !writeFile(script + ".json", r.out) ||
            runTool({"write", "--no-project-files", script + ".json", script + ".again"}).code != 0)
            return "read and write failed: " + r.err;
        return readAll(script + ".again");
    }
    // Runs feed while the server keeps answering in this process.
    ToolRun tool(const QStringList& args) {
        return runTool(QStringList{QStringLiteral("feed")} + args, dir.path());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QFile::exists(scriptTool()), "TICKORA_APP_DIR must name the build's bin folder");
        QVERIFY(server.start());
        server.addSamples();
    }

    void workedExampleWritesAndReadsBack() {
        const QByteArray json = R"({"scroller": {"name": "news", "direction": 0, "width": "200",
            "height": 40, "spacing": "5", "itemWidth": "120", "scrollSpeed": "50",
            "pause": "2000", "pauseOnMouseover": true},
            "items": [{"name": "Item 1", "text": "Hello <b>world</b>", "width": ""},
                      {"name": "Item 2", "text": "It\\\u0027s new", "width": "150"}]})";
        QVERIFY(writeFile(path("doc.json"), json));
        QCOMPARE(runTool({"write", path("doc.json"), path("news.js"), "--no-project-files"}).code,
                 0);
        QCOMPARE(readAll(path("news.js")), workedExampleBytes());
        QVERIFY(!QFile::exists(path("tickora.js")));

        QCOMPARE(readAndWriteAgain(path("news.js")), workedExampleBytes());
    }

    // A missing key takes a new document's value, JSON numbers arrive in their shortest form, a
    // byte-order mark at the start of a string and a text that only looks like an escape stay.
    // Whatever project files the application folder has arrive beside the script, but not over
    // the user's own page; the ones it lacks are reported without failing the write.
    void writeKeepsWhatWasMeantAndCopiesProjectFiles() {
        QTemporaryDir out;
        QVERIFY(writeFile(path("min.json"),
                          "{\"scroller\": {\"name\": \"s\", \"height\": 10, \"spacing\": 0.1, "
                          "\"pause\": 1e3}, \"items\": [{\"text\": \"\xEF\xBB\xBFhi &#92;\", "
                          "\"name\": \"\xEF\xBB\xBF\", \"width\": 50}]}"));
        QVERIFY(writeFile(out.filePath("tickora.htm"), "<p>mine</p>"));
        const ToolRun w = runTool({"write", path("min.json"), out.filePath("s.js")});
        QCOMPARE(w.code, 0);
        const QByteArray script = readAll(out.filePath("s.js"));
        QCOMPARE(
            script,
            QByteArray("s = new Tickora();\r\ns.name = 's';\r\ns.type = 0;\r\ns.height = 10;\r\n"
                       "s.spacing = 0.1;\r\ns.pausedelay = 1000;\r\ns.pausemouseover = true;\r\n"
                       "s.add('\xEF\xBB\xBFhi &#92;', '50', '\xEF\xBB\xBF');\r\n\r\n"
                       "/* -- Replicate Items -- */\r\ns.display();\r\n"
                       "window.addEventListener('load', function(){s.load();s.start();});\r\n"
                       "window.addEventListener('resize', function(){s.load();});\r\n"));
        QCOMPARE(readAndWriteAgain(out.filePath("s.js")), script);
        QCOMPARE(readAll(out.filePath("tickora.htm")), QByteArray("<p>mine</p>"));
        QVERIFY(w.err.contains("tickora.htm\" was kept"));
        const QDir app(qEnvironmentVariable("TICKORA_APP_DIR"));
        for (const char* name : {"tickolib.js", "tickora.js"}) {
            QCOMPARE(QFile::exists(out.filePath(name)), QFile::exists(app.filePath(name)));
            if (!QFile::exists(app.filePath(name)))
                QVERIFY(w.err.contains(name));
        }
    }

    // read exits 1 only when the reader failed, and lists the lines the document lacks; check
    // prints the problems (the checks are tst_rules'), then those lines, or after a read failure
    // only the failure.
    void readAndCheck_data() {
        QTest::addColumn<QByteArray>("script"); // null: no file
        QTest::addColumn<QString>("error");     // read's; null: none
        QTest::addColumn<int>("items");
        QTest::addColumn<QStringList>("unread"); // "N: text"
        QTest::addColumn<QByteArray>("report");  // check's
        const QString missing =
            QStringLiteral("The file \"DIR/none.js\" cannot be opened: No such file or directory.");
        QTest::newRow("clean") << workedExampleBytes() << QString() << 2 << QStringList()
                               << QByteArray();
        QTest::newRow("failure keeps what was read")
            << QByteArray("a.add('one', '', 'x');\r\na.type = abc;\r\na.add('two');\r\n")
            << "Line 2: \"abc\" is not a number for type." << 1
            << QStringList{"2: a.type = abc;", "3: a.add('two');"}
            << QByteArray("error: Line 2: \"abc\" is not a number for type.\n");
        QTest::newRow("problems and code")
            << kUnread + "a.width = 2001;\n"
            << QString() << 1
            << QStringList{"2: a.width = 100;alert(1);", "3: a.add(\"Hi\", \"\", \"One\");"}
            << QByteArray("width: Please Enter A Value Between 10 And 2000\n"
                          "line 2: not understood; saving the scroller would lose it: "
                          "a.width = 100;alert(1);\n"
                          "line 3: not understood; saving the scroller would lose it: "
                          "a.add(\"Hi\", \"\", \"One\");\n");
        QTest::newRow("missing file")
            << QByteArray() << missing << 0 << QStringList() << "error: " + missing.toUtf8() + "\n";
    }
    void readAndCheck() {
        QFETCH(QByteArray, script);
        QFETCH(QString, error);
        QTemporaryDir d;
        const QString file = d.filePath("none.js");
        if (!script.isNull())
            QVERIFY(writeFile(file, script));
        const ToolRun r = runTool({"read", file});
        QCOMPARE(r.code, error.isNull() ? 0 : 1);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("error")).toString().replace(d.path(), "DIR"), error);
        QTEST(int(o.value(QStringLiteral("items")).toArray().size()), "items");
        QStringList unread;
        for (const QJsonValue& l : o.value(QStringLiteral("unread")).toArray())
            unread << QStringLiteral("%1: %2")
                          .arg(l[QStringLiteral("line")].toInt())
                          .arg(l[QStringLiteral("text")].toString());
        QTEST(unread, "unread");
        ToolRun c = runTool({"check", file});
        QFETCH(QByteArray, report);
        QCOMPARE(c.code, report.isEmpty() ? 0 : 1);
        QCOMPARE(c.out.replace(d.path().toUtf8(), "DIR"), report);
    }

    // feed: a new script, then refreshes.
    void writesThenRefreshes() {
        const QString out = path("feed.js");
        const QString app = qEnvironmentVariable("TICKORA_APP_DIR");
        ToolRun r = tool({server.url("/rss"), out});
        QVERIFY2(r.code == 0, r.err.constData());
        QVERIFY(r.err.isEmpty());

        // The default scroller's settings, the feed's entries as items, the project files beside.
        ScrollerDocument doc;
        QVERIFY(scriptreader::LoadScroller(out, doc).ok);
        ScrollerDocument defaults;
        scriptreader::LoadScroller(QDir(app).filePath("default.js"), defaults);
        QCOMPARE(doc.scroller.sName, defaults.scroller.sName);
        const feed::ParseResult parsed = feed::parse(feedsamples::kRss, QUrl(server.url("/rss")));
        QCOMPARE(doc.items, feed::makeItems(parsed.feed.entries, feed::ItemOptions{}));
        QVERIFY(QFile::exists(path("tickora.js")));
        const feed::SourceRead remembered = feed::readSource(out);
        QVERIFY(remembered.source);
        QCOMPARE(remembered.source->address, server.url("/rss"));
        QCOMPARE(remembered.source->items, doc.items);

        // The author adds an item of their own before the feed's; the feed moves on.
        doc.items.prepend({"Own", "Our own news", ""});
        QVERIFY(scriptwriter::SaveScroller(out, doc, QString(), QString()).written);
        server.set("/rss", feedsamples::rssFeed(4, "Fresh"));
        r = tool({server.url("/rss"), out, "--max", "2", "--name-length", "10"});
        QVERIFY2(r.code == 0, r.err.constData());
        QCOMPARE(itemNames(out), (QStringList{"Own", "Fresh 0:…", "Fresh 1:…"}));
        // Options given once are remembered for the next refresh.
        server.set("/rss", feedsamples::rssFeed(5, "Later"));
        r = tool({server.url("/rss"), out});
        QVERIFY2(r.code == 0, r.err.constData());
        QCOMPARE(itemNames(out), (QStringList{"Own", "Later 0:…", "Later 1:…"}));
        server.set("/rss", feedsamples::kRss);
    }

    // One failure of each kind (the answer, the read, an empty feed; a script that is no
    // scroller): the message of every fault is the fetch and parse tests' concern.
    void badFeedsChangeNothing_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("before"); // the script; null: one made from the feed
        const char* rows[][4] = {
            {"web page", "/html", "a web page, not a feed", nullptr},
            {"404", "/nowhere", "There is no feed at", nullptr},
            {"no entries", "/empty", "The feed has no entries", nullptr},
            {"another script", "/rss", "is not a scroller script", "var x; // news.add('a');"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]) << QByteArray(r[3]);
    }

    void badFeedsChangeNothing() {
        QFETCH(QString, route);
        QFETCH(QString, message);
        QFETCH(QByteArray, before);
        const QString out = path(before.isNull() ? "keep.js" : "other.js");
        if (!before.isNull())
            QVERIFY(writeFile(out, before));
        else if (!QFile::exists(out))
            QCOMPARE(tool({server.url("/rss"), out}).code, 0);
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
    void refreshAsksWhatIsNew() {
        const QString out = path("cron.js");
        ToolRun r = tool({server.url("/gone-for-good"), out});
        QVERIFY2(r.code == 0, r.err.constData());
        QCOMPARE(feed::readSource(out).source->address, server.url("/tagged"));
        const QByteArray script = readAll(out);
        const QByteArray side = readAll(feed::sideFilePath(out));
        r = tool({server.url("/tagged"), out});
        QVERIFY2(r.code == 0 && r.out.contains("nothing new"), r.err.constData());
        QVERIFY(server.lastHead.contains("If-None-Match: \"v1\""));
        QCOMPARE(readAll(out), script);
        QCOMPARE(readAll(feed::sideFilePath(out)), side);
        r = tool({server.url("/tagged"), out, "--max", "1"});
        QVERIFY2(r.code == 0, r.err.constData());
        QVERIFY(!server.lastHead.contains("If-None-Match"));
        QCOMPARE(itemNames(out).size(), 1);
    }

    void optionsAndLocalFile() {
        // A JSON Feed from a file, into a document given as JSON whose item is kept; the options at
        // their documented least.
        const QString feedFile = path("feed ü.json");
        QVERIFY(writeFile(feedFile, feedsamples::kJson));
        const QString docFile = path("ticker.json");
        QVERIFY(writeFile(docFile, R"({"scroller": {"name": "ticker", "direction": 2, "width": 400},
               "items": [{"name": "Mine", "text": "Mine", "width": ""}]})"));
        const QString out = path("ticker.js");
        const ToolRun r = tool({feedFile, out, "--doc", docFile, "--summary", "5", "--timeout", "1",
                                "--no-project-files"});
        QVERIFY2(r.code == 0, r.err.constData());
        ScrollerDocument doc;
        QVERIFY(scriptreader::LoadScroller(out, doc).ok);
        QCOMPARE(doc.scroller.sName, QStringLiteral("ticker"));
        QCOMPARE(doc.items.size(), 4);
        QCOMPARE(doc.items[0].sName, QStringLiteral("Mine"));
        QVERIFY2(doc.items[1].sText.endsWith(QStringLiteral("</a> Shor…")),
                 qPrintable(doc.items[1].sText));
        QCOMPARE(feed::readSource(out).source->address, QFileInfo(feedFile).absoluteFilePath());
    }

    // File names are the bytes the system gave, and "--" ends the options.
    void fileNames_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("files"); // what the folder then holds, sorted, one a line
        const QString doc = QStringLiteral("printf '{\"scroller\":{\"name\":\"s\"}}' > doc.json; ");
        QTest::newRow("name that is not UTF-8")
            << doc + "$T write --no-project-files doc.json \"$(printf 'bad\\377.js')\" && "
                     "$T read \"$(printf 'bad\\377.js')\" > /dev/null"
            << QByteArray("bad\xFF.js\ndoc.json\n");
        QTest::newRow("options after --")
            << doc + "$T write -- doc.json --no-project-files"
            << QByteArray("--no-project-files\ndoc.json\ntickolib.js\ntickora.htm\ntickora.js\n");
        QTest::newRow("a lone dash is a file name")
            << doc + "$T write --no-project-files doc.json -" << QByteArray("-\ndoc.json\n");
    }
    void fileNames() {
        QFETCH(QString, command);
        QTemporaryDir d;
        const ToolRun r = shell(QStringLiteral("cd \"$D\" && ") + command, d.path());
        QCOMPARE(r.code, 0);
        // Listed by the system, so the names' bytes are compared, not Qt's reading of them.
        const ToolRun ls = shell(QStringLiteral("cd \"$D\" && LC_ALL=C ls -1"), d.path());
        QTEST(ls.out, "files");
    }

    // Wrong arguments (an empty file name too), documents that are no scroller and one the editor
    // would not save (each problem on its own line; the checks are tst_rules'): nothing is
    // written, no project file either.
    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("json"); // written to bad.json first, unless null
        const auto row = [](const char* name, const QStringList& args, int code,
                            const char* message, const QByteArray& json = QByteArray()) {
            QTest::newRow(name) << args << code << QString::fromUtf8(message) << json;
        };
        const QStringList feed{"feed", "https://ex.example/", "x.js"};
        const QStringList write{"write", "bad.json", "x.js", "--no-project-files"};
        row("nothing", {}, 2, "Usage");
        row("unknown command", {"frob"}, 2, "Usage");
        row("read without file", {"read"}, 2, "Usage");
        row("write with one file", {"write", "a.json"}, 2, "Usage");
        row("unknown option", {"write", "a", "b", "--nope"}, 2, "Usage");
        row("feed with one argument", feed.mid(0, 2), 2, "feed takes");
        row("feed, bad max", feed + QStringList{"--max", "lots"}, 2, "--max needs");
        row("feed, max without a value", feed + QStringList{"--max"}, 2, "--max needs");
        row("feed, doc without a value", feed + QStringList{"--doc"}, 2, "--doc needs a value");
        row("feed without a default scroller", feed + QStringList{"--app-dir", "."}, 1,
            "Give the scroller's settings with --doc");
        row("feed, unknown option", feed + QStringList{"--fast"}, 2, "Unknown option --fast");
        row("feed, not an address", {"feed", "javascript:alert(1)", "x.js"}, 2,
            "not an address a feed can be read from");
        for (const char* command : {"", "read", "write", "check", "feed"})
            row(qPrintable(QStringLiteral("%1 help").arg(command)),
                QStringList{command, "--help"}.mid(*command ? 0 : 1), 0, "Usage");
        row("broken json", write, 2, "JSON", "{");
        row("array", write, 2, "object", "[]");
        row("unknown key", write, 2, "heigth", "{\"scroller\": {\"heigth\": \"1\"}}");
        row("direction not whole", write, 2, "direction", "{\"scroller\": {\"direction\": 1.5}}");
        row("direction too big", write, 2, "direction", "{\"scroller\": {\"direction\": 40000}}");
        row("pause not bool", write, 2, "pauseOnMouseover",
            "{\"scroller\": {\"pauseOnMouseover\": \"yes\"}}");
        row("item not object", write, 2, "items[0]", "{\"items\": [1]}");
        row("item field of another type", write, 2, "items[0].text must be a string or a number",
            "{\"items\": [{\"text\": true}]}");
        row("empty output name", {"write", "bad.json", ""}, 2, "must not be empty");
        row("empty name after --", {"write", "--", "bad.json", ""}, 2, "must not be empty");
        row("empty name to read", {"read", ""}, 2, "must not be empty");
        row("a document the editor would not save", {"write", "bad.json", "x.js"}, 1,
            "name: Scroller name must not start with a number.\nwidth: Please Enter A Value "
            "Between 10 And 2000\nNothing was written: the editor would not save these values.\n",
            "{\"scroller\": {\"name\": \"1st\", \"width\": \"x\"}}");
        row("missing folder", {"write", "bad.json", "no/such/x.js", "--no-project-files"}, 1,
            "does not exist", "{\"scroller\": {\"name\": \"s\"}}");
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QFETCH(QByteArray, json);
        QTemporaryDir d;
        if (!json.isNull())
            QVERIFY(writeFile(d.filePath("bad.json"), json));
        const ToolRun r = runTool(args, d.path());
        QTEST(r.code, "code");
        QVERIFY2(QString::fromUtf8(r.code == 0 ? r.out + r.err : r.err).contains(message),
                 r.err.constData());
        QCOMPARE(QDir(d.path()).entryList(QDir::Files),
                 json.isNull() ? QStringList() : QStringList{"bad.json"});
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
