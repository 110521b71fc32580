// tickora-script as a black box: its commands, outputs and exit codes.
#include "files.h"
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

using Run = ToolRun;

// Lines the reader passes over: code after a setting, an item in double quotes.
const QByteArray kUnread =
    "a.name = 'news';\na.width = 100;alert(1);\na.add(\"Hi\", \"\", \"One\");\n";

Run run(const QStringList& args, const QString& workDir = QString()) {
    return runTool(args, workDir);
}

// Runs a shell command with $T the tool and $D the folder, for file names that are not UTF-8
// (which a QStringList cannot carry).
Run shell(const QString& command, const QString& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("T"), scriptTool());
    env.insert(QStringLiteral("D"), dir);
    return runProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}, QString(), env);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QFile::exists(scriptTool()), "TICKORA_APP_DIR must name the build's bin folder");
    }

    void workedExampleWritesAndReadsBack() {
        const QByteArray json = "{\"scroller\": {\"name\": \"news\", \"direction\": 0,\n"
                                "            \"width\": \"200\", \"height\": 40, \"spacing\": "
                                "\"5\", \"itemWidth\": \"120\",\n"
                                "            \"scrollSpeed\": \"50\", \"pause\": \"2000\", "
                                "\"pauseOnMouseover\": true},\n"
                                "            \"items\": [{\"name\": \"Item 1\", \"text\": \"Hello "
                                "<b>world</b>\", \"width\": \"\"},\n"
                                "                      {\"name\": \"Item 2\", \"text\": \"It\\\\'s "
                                "new\", \"width\": \"150\"}]}";
        QVERIFY(writeFile(path("doc.json"), json));
        const Run w = run({QStringLiteral("write"), path("doc.json"), path("news.js"),
                           QStringLiteral("--no-project-files")});
        QCOMPARE(w.code, 0);
        QCOMPARE(readAll(path("news.js")), workedExampleBytes());
        QVERIFY(!QFile::exists(path("tickora.js")));

        const Run r = run({QStringLiteral("read"), path("news.js")});
        QCOMPARE(r.code, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QVERIFY(o.value(QStringLiteral("error")).isNull());
        const QJsonObject s = o.value(QStringLiteral("scroller")).toObject();
        QCOMPARE(s.value(QStringLiteral("name")).toString(), QStringLiteral("news"));
        QCOMPARE(s.value(QStringLiteral("height")).toString(), QStringLiteral("40"));
        QCOMPARE(s.value(QStringLiteral("scrollSpeed")).toString(), QStringLiteral("50"));
        QCOMPARE(s.value(QStringLiteral("itemWidth")).toString(), QStringLiteral("120"));
        QCOMPARE(s.value(QStringLiteral("pause")).toString(), QStringLiteral("2000"));
        QCOMPARE(s.value(QStringLiteral("direction")).toInt(-1), 0);
        QCOMPARE(s.value(QStringLiteral("pauseOnMouseover")).toBool(false), true);
        const QJsonArray items = o.value(QStringLiteral("items")).toArray();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[1].toObject().value(QStringLiteral("text")).toString(),
                 QStringLiteral("It\\'s new"));
    }

    void writeCopiesProjectFilesFromTheToolsFolder() {
        QTemporaryDir out;
        QVERIFY(writeFile(path("min.json"), "{\"scroller\": {\"name\": \"s\"}}"));
        const Run w =
            run({QStringLiteral("write"), path("min.json"), out.filePath(QStringLiteral("s.js"))});
        QCOMPARE(w.code, 0);
        // A missing key takes a new document's value.
        QCOMPARE(readAll(out.filePath(QStringLiteral("s.js"))),
                 QByteArray("s = new Tickora();\r\ns.name = 's';\r\ns.type = 0;\r\n"
                            "s.pausemouseover = true;\r\ns.display();\r\n"
                            "window.addEventListener('load', function(){s.load();s.start();});\r\n"
                            "window.addEventListener('resize', function(){s.load();});\r\n"));
        // Whatever project files the application folder has arrive beside the script; the
        // ones it lacks are reported without failing the write.
        const QDir app(qEnvironmentVariable("TICKORA_APP_DIR"));
        for (const char* name : {"tickora.htm", "tickolib.js", "tickora.js"}) {
            const QString n = QString::fromLatin1(name);
            QCOMPARE(QFile::exists(out.filePath(n)), QFile::exists(app.filePath(n)));
            if (!QFile::exists(app.filePath(n)))
                QVERIFY(w.err.contains(name));
        }
    }

    void writeKeepsTheUsersOwnPage() {
        QTemporaryDir out;
        QVERIFY(writeFile(path("min.json"), "{\"scroller\": {\"name\": \"s\"}}"));
        QVERIFY(writeFile(out.filePath(QStringLiteral("tickora.htm")), "<p>mine</p>"));
        const Run w =
            run({QStringLiteral("write"), path("min.json"), out.filePath(QStringLiteral("s.js"))});
        QCOMPARE(w.code, 0);
        QCOMPARE(readAll(out.filePath(QStringLiteral("tickora.htm"))), QByteArray("<p>mine</p>"));
        QVERIFY(w.err.contains("tickora.htm\" was kept"));
    }

    void writeFailures_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("says");
        QTest::newRow("broken json") << QByteArray("{") << "x.js" << 2 << QByteArray("JSON");
        QTest::newRow("array") << QByteArray("[]") << "x.js" << 2 << QByteArray("object");
        QTest::newRow("unknown key") << QByteArray("{\"scroller\": {\"heigth\": \"1\"}}") << "x.js"
                                     << 2 << QByteArray("heigth");
        QTest::newRow("direction not whole") << QByteArray("{\"scroller\": {\"direction\": 1.5}}")
                                             << "x.js" << 2 << QByteArray("direction");
        QTest::newRow("direction too big") << QByteArray("{\"scroller\": {\"direction\": 40000}}")
                                           << "x.js" << 2 << QByteArray("direction");
        QTest::newRow("pause not bool")
            << QByteArray("{\"scroller\": {\"pauseOnMouseover\": \"yes\"}}") << "x.js" << 2
            << QByteArray("pauseOnMouseover");
        QTest::newRow("item not object")
            << QByteArray("{\"items\": [1]}") << "x.js" << 2 << QByteArray("items[0]");
        QTest::newRow("item field of another type")
            << QByteArray("{\"items\": [{\"text\": true}]}") << "x.js" << 2
            << QByteArray("items[0].text must be a string or a number");
        QTest::newRow("missing folder") << QByteArray("{\"scroller\": {\"name\": \"s\"}}")
                                        << "no/such/x.js" << 1 << QByteArray("does not exist");
    }
    void writeFailures() {
        QFETCH(QByteArray, json);
        QFETCH(QString, target);
        QVERIFY(writeFile(path("bad.json"), json));
        const Run w = run({QStringLiteral("write"), path("bad.json"), dir.filePath(target),
                           QStringLiteral("--no-project-files")});
        QTEST(w.code, "code");
        QFETCH(QByteArray, says);
        QVERIFY2(w.err.contains(says), w.err.constData());
        QVERIFY(!QFile::exists(dir.filePath(target)));
    }

    // write refuses, naming every offending field, what the editor would not save or what
    // would run as code in the page; nothing is written and no project file is copied.
    void writeRefusesUntrustedDocuments_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("name that runs code")
            << QByteArray("{\"scroller\": {\"name\": \"a=alert(1),b\"}}")
            << QByteArray("name: Scroller name must contain only alphanumeric characters.\n");
        QTest::newRow("every offending field")
            << QByteArray("{\"scroller\": {\"name\": \"news\", \"width\": \"1;alert(1)\"},"
                          " \"items\": [{\"text\": \"ok\", \"width\": \"1');alert(1);//\"},"
                          " {\"text\": \"it's\"}, {\"text\": \"one\\ntwo\"},"
                          " {\"text\": \"\\\\\\\\');alert(1);//\"}, {\"name\": \"C:\\\\users\"}]}")
            << QByteArray("width: Please Enter A Value Between 10 And 2000\n"
                          "items[0].width: A single quote must be escaped as \\'.\n"
                          "items[1].text: A single quote must be escaped as \\'.\n"
                          "items[2].text: A line break must be written as <br>.\n"
                          "items[3].text: A backslash that does not escape a quote (\\') must "
                          "be written as &#92;.\n"
                          "items[4].name: A backslash that does not escape a quote (\\') must "
                          "be written as &#92;.\n");
        QTest::newRow("text no file can carry")
            << QByteArray(
                   "{\"scroller\": {\"name\": \"news\"}, \"items\": [{\"text\": \"a\\ud800\"}]}")
            << QByteArray("items[0].text: The script would not give this value back as it is");
    }
    void writeRefusesUntrustedDocuments() {
        QFETCH(QByteArray, json);
        QTemporaryDir out;
        QVERIFY(writeFile(out.filePath(QStringLiteral("doc.json")), json));
        const Run w = run({QStringLiteral("write"), out.filePath(QStringLiteral("doc.json")),
                           out.filePath(QStringLiteral("s.js"))});
        QCOMPARE(w.code, 1);
        QFETCH(QByteArray, report);
        QVERIFY2(w.err.startsWith(report), w.err.constData());
        QVERIFY(w.err.contains("Nothing was written"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"doc.json"});
    }

    // What a document says reaches the page as typed: decimal numbers, shortest JSON numbers,
    // a byte-order mark at the start of a string, and texts that only look like escapes.
    void writeKeepsWhatWasMeant() {
        QVERIFY(writeFile(
            path("meant.json"),
            "{\"scroller\": {\"name\": \"news\", \"width\": \"0100\", \"height\": "
            "\"010.5\", \"spacing\": 0.1, \"pause\": 1e3},\n"
            " \"items\": [{\"text\": \"\xEF\xBB\xBFhi &#92;\", \"name\": \"\xEF\xBB\xBF\","
            " \"width\": \"050\"}]}"));
        const Run w = run({QStringLiteral("write"), QStringLiteral("--no-project-files"),
                           path("meant.json"), path("meant.js")});
        QCOMPARE(w.code, 0);
        const QByteArray script = readAll(path("meant.js"));
        for (const char* line : {"news.width = 100;\r\n", "news.height = 10.5;\r\n",
                                 "news.spacing = 0.1;\r\n", "news.pausedelay = 1000;\r\n",
                                 "news.add('\xEF\xBB\xBFhi &#92;', '050', '\xEF\xBB\xBF');\r\n"})
            QVERIFY2(script.contains(line), script.constData());
        // Reading gives back what was written, and writing that again the same bytes.
        const Run r = run({QStringLiteral("read"), path("meant.js")});
        QCOMPARE(r.code, 0);
        QVERIFY(writeFile(path("again.json"), r.out));
        QCOMPARE(run({QStringLiteral("write"), QStringLiteral("--no-project-files"),
                      path("again.json"), path("again.js")})
                     .code,
                 0);
        QCOMPARE(readAll(path("again.js")), script);
    }

    // read exits 1 only when the reader failed, and lists the lines the document lacks.
    void readReportsFailuresAndUnreadLines_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("items");
        QTest::addColumn<QStringList>("unread"); // "N: text"
        QTest::newRow("failure keeps what was read")
            << QByteArray("a.add('one', '', 'x');\r\na.type = abc;\r\na.add('two');\r\n") << 1
            << "Line 2: \"abc\" is not a number for type." << 1
            << QStringList{"2: a.type = abc;", "3: a.add('two');"};
        QTest::newRow("code and double quotes")
            << kUnread << 0 << QString() << 1
            << QStringList{"2: a.width = 100;alert(1);", "3: a.add(\"Hi\", \"\", \"One\");"};
    }
    void readReportsFailuresAndUnreadLines() {
        QFETCH(QByteArray, script);
        QVERIFY(writeFile(path("read.js"), script));
        const Run r = run({QStringLiteral("read"), path("read.js")});
        QTEST(r.code, "code");
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QTEST(o.value(QStringLiteral("error")).toString(), "error");
        QTEST(int(o.value(QStringLiteral("items")).toArray().size()), "items");
        QStringList unread;
        for (const QJsonValue& l : o.value(QStringLiteral("unread")).toArray())
            unread << QStringLiteral("%1: %2")
                          .arg(l[QStringLiteral("line")].toInt())
                          .arg(l[QStringLiteral("text")].toString());
        QTEST(unread, "unread");
    }

    void check_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("clean") << workedExampleBytes() << 0 << QByteArray();
        QTest::newRow("problems")
            << QByteArray("a.name = 'parseFloat';\na.width = 2001;\na.scrollspeed = 4;\n"
                          "a.spacing = 12.5;\na.pausedelay = x;\n"
                          "a.add('t', '9', 'n');\na.add('t', '', 'n');\n")
            << 1
            << QByteArray("name: Scroller name must not be \"parseFloat\", a name that JavaScript "
                          "or the web page already uses.\n"
                          "width: Please Enter A Value Between 10 And 2000\n"
                          "scrollSpeed: Please Enter A Value Between 5 And 1000\n"
                          "pause: Please Enter A Value Between 0 And 50000\n"
                          "items[0].width: Please Enter A Value Between 10 And 2000\n");
        // After a read failure nothing else: neither the blank name nor the lines after it.
        QTest::newRow("read failure")
            << QByteArray("a.type = q;\na.add('x', '', 'y');\n") << 1
            << QByteArray("error: Line 1: \"q\" is not a number for type.\n");
        QTest::newRow("missing file") << QByteArray() << 1
                                      << QByteArray("error: The file \"DIR/none.js\" cannot be "
                                                    "opened: No such file or directory.\n");
        QTest::newRow("unread lines")
            << kUnread << 1
            << QByteArray("line 2: not understood; saving the scroller would lose it: "
                          "a.width = 100;alert(1);\n"
                          "line 3: not understood; saving the scroller would lose it: "
                          "a.add(\"Hi\", \"\", \"One\");\n");
        QTest::newRow("strings from elsewhere")
            << QByteArray("a.name = 'news';\n"
                          "a.add('\\\\');alert(1);//', '', 'x');\n"
                          "a.add('C:\\Pages\\news', '', 'C:\\users');\n"
                          "a.add('one\xE2\x80\xA8two', '', 'ok');\n"
                          "a.add('It\\'s fine &#92;', '20', 'ok');\n")
            << 1
            << QByteArray("items[0].text: A backslash that does not escape a quote (\\') must "
                          "be written as &#92;.\n"
                          "items[1].name: A backslash that does not escape a quote (\\') must "
                          "be written as &#92;.\n"
                          "items[1].text: A backslash that does not escape a quote (\\') must "
                          "be written as &#92;.\n"
                          "items[2].text: A line break must be written as <br>.\n");
    }
    void check() {
        QFETCH(QByteArray, script);
        QTemporaryDir d;
        const QString file = d.filePath(QStringLiteral("none.js"));
        if (!script.isNull())
            QVERIFY(writeFile(file, script));
        Run c = run({QStringLiteral("check"), file});
        QTEST(c.code, "code");
        QTEST(c.out.replace(d.path().toUtf8(), "DIR"), "out");
    }

    // File names are the bytes the system gave, "--" ends the options, and an empty name is
    // a usage error.
    void fileNames_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("files"); // what the folder then holds, sorted, one a line
        const QString doc = QStringLiteral("printf '{\"scroller\":{\"name\":\"s\"}}' > doc.json; ");
        QTest::newRow("name that is not UTF-8")
            << doc + "$T write --no-project-files doc.json \"$(printf 'bad\\377.js')\" && "
                     "$T read \"$(printf 'bad\\377.js')\" > /dev/null"
            << 0 << QByteArray("bad\xFF.js\ndoc.json\n");
        QTest::newRow("Latin-1 name of an existing file")
            << "printf 's.name = \\047s\\047;\\r\\n' > \"$(printf 'lat\\351.js')\"; "
               "$T check \"$(printf 'lat\\351.js')\""
            << 0 << QByteArray("lat\xE9.js\n");
        QTest::newRow("options after --")
            << doc + "$T write -- doc.json --no-project-files" << 0
            << QByteArray("--no-project-files\ndoc.json\ntickolib.js\ntickora.htm\ntickora.js\n");
        QTest::newRow("empty output name")
            << doc + "$T write doc.json ''" << 2 << QByteArray("doc.json\n");
        QTest::newRow("empty name after --")
            << doc + "$T write -- doc.json ''" << 2 << QByteArray("doc.json\n");
        QTest::newRow("empty name to read") << QStringLiteral("$T read ''") << 2 << QByteArray();
    }
    void fileNames() {
        QFETCH(QString, command);
        QTemporaryDir d;
        const Run r = shell(QStringLiteral("cd \"$D\" && ") + command, d.path());
        QTEST(r.code, "code");
        // Listed by the system, so the names' bytes are compared, not Qt's reading of them.
        const Run ls = shell(QStringLiteral("cd \"$D\" && LC_ALL=C ls -1"), d.path());
        QTEST(ls.out, "files");
        if (r.code == 2)
            QVERIFY(r.err.contains("Usage"));
    }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("nothing") << QStringList() << 2;
        QTest::newRow("unknown command") << QStringList{"frob"} << 2;
        QTest::newRow("read without file") << QStringList{"read"} << 2;
        QTest::newRow("write with one file") << QStringList{"write", "a.json"} << 2;
        QTest::newRow("unknown option") << QStringList{"write", "a", "b", "--nope"} << 2;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("read help") << QStringList{"read", "--help"} << 0;
        QTest::newRow("write help") << QStringList{"write", "--help"} << 0;
        QTest::newRow("check help") << QStringList{"check", "--help"} << 0;
    }
    void usage() {
        QFETCH(QStringList, args);
        const Run r = run(args);
        QTEST(r.code, "code");
        QVERIFY(!(r.out + r.err).isEmpty());
        QVERIFY((r.out + r.err).contains("Usage"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
