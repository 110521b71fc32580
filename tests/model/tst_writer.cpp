// The script writer: the text it builds, the passes, and how it saves and copies files.
#include "scriptwriter.h"
#include "workedexample.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

ScrollerDocument withItems(int count, qint16 dirn) {
    ScrollerDocument d;
    d.scroller.sName = QStringLiteral("s");
    d.scroller.iDirn = dirn;
    for (int i = 0; i < count; ++i) {
        clsItem item;
        item.sName = QStringLiteral("Item %1").arg(i + 1);
        d.items.append(item);
    }
    return d;
}

} // namespace

class TestWriter : public QObject {
    Q_OBJECT

    QTemporaryDir app;

    void makeAppFolder() {
        for (const QString& name : scriptwriter::projectFiles())
            writeFile(app.filePath(name), "project file " + name.toUtf8());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(app.isValid());
        makeAppFolder();
    }

    void workedExampleByteForByte() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("news.js"));
        const scriptwriter::SaveResult r =
            scriptwriter::SaveScroller(file, workedExample(), dir.path(), app.path());
        QVERIFY(r.written);
        QVERIFY(r.copyErrors.isEmpty());
        QCOMPARE(readAll(file), workedExampleBytes());
        for (const QString& name : scriptwriter::projectFiles())
            QCOMPARE(readAll(dir.filePath(name)), "project file " + name.toUtf8());
    }

    void emptyListHasNoItemBlock() {
        ScrollerDocument d;
        d.scroller.sName = QStringLiteral("n");
        QCOMPARE(scriptwriter::BuildScript(d),
                 QStringLiteral("n = new Tickora();\r\nn.name = 'n';\r\nn.type = 0;\r\n"
                                "n.pausemouseover = true;\r\nn.display();\r\n"
                                "onload = function(){n.load();n.start();};\r\n"
                                "onresize = function(){n.load();};"));
    }

    void emptyNameStartsLinesWithTheCall() {
        ScrollerDocument d = withItems(1, 0);
        d.scroller.sName.clear();
        const QString s = scriptwriter::BuildScript(d);
        QVERIFY(s.startsWith(QStringLiteral(" = new Tickora();\r\n")));
        QVERIFY(s.contains(QStringLiteral("\r\n.add('', '', 'Item 1');\r\n")));
        QVERIFY(s.endsWith(QStringLiteral("onresize = function(){.load();};")));
    }

    void passes_data() {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("dirn");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("defWidth");
        QTest::addColumn<QStringList>("itemWidths");
        QTest::addColumn<int>("passes");
        // Vertical: every item counts 15 against the height (100 when it holds no number).
        QTest::newRow("no height, two items") << 2 << 0 << ""
                                              << ""
                                              << "" << QStringList() << 4;
        QTest::newRow("text height") << 2 << 1 << ""
                                     << "abc"
                                     << "" << QStringList() << 4;
        QTest::newRow("height 40, one item") << 1 << 0 << ""
                                             << "40"
                                             << "" << QStringList() << 3;
        QTest::newRow("height 45 is not passed at 45") << 1 << 0 << ""
                                                       << "45"
                                                       << "" << QStringList() << 4;
        QTest::newRow("height rounds half to even") << 1 << 0 << ""
                                                    << "44.5"
                                                    << "" << QStringList() << 3;
        QTest::newRow("negative height still keeps the items") << 2 << 0 << ""
                                                               << "-5"
                                                               << "" << QStringList() << 1;
        QTest::newRow("height 0") << 1 << 0 << ""
                                  << "0"
                                  << "" << QStringList() << 1;
        QTest::newRow("other direction counts as vertical") << 1 << -7 << "1000"
                                                            << "40"
                                                            << "" << QStringList() << 3;
        QTest::newRow("huge height is clamped") << 1000 << 0 << ""
                                                << "1e300"
                                                << "" << QStringList() << 3;
        // Horizontal: own width, else the default width, else 100, against the box width.
        QTest::newRow("own widths") << 2 << 2 << "300"
                                    << ""
                                    << "" << QStringList{"50", "60"} << 3;
        QTest::newRow("default width") << 2 << 3 << "300"
                                       << ""
                                       << "80" << QStringList{"", "abc"} << 2;
        QTest::newRow("fallback 100") << 1 << 2 << "250"
                                      << ""
                                      << "x" << QStringList{""} << 3;
        QTest::newRow("no width: limit 100") << 1 << 2 << ""
                                             << ""
                                             << "" << QStringList{"40"} << 3;
        QTest::newRow("tiny widths count at least 1") << 1 << 2 << "5"
                                                      << ""
                                                      << "" << QStringList{"0.2"} << 6;
        QTest::newRow("negative widths count 1") << 1 << 2 << "3"
                                                 << ""
                                                 << "" << QStringList{"-50"} << 4;
        QTest::newRow("huge box is clamped, still ends") << 1 << 2 << "1e9"
                                                         << ""
                                                         << "" << QStringList{"1000"} << 33;
    }
    void passes() {
        QFETCH(int, items);
        QFETCH(int, dirn);
        QFETCH(QStringList, itemWidths);
        ScrollerDocument d = withItems(items, qint16(dirn));
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, defWidth);
        d.scroller.sWidth = width;
        d.scroller.sHeight = height;
        d.scroller.sDefWidth = defWidth;
        for (int i = 0; i < itemWidths.size(); ++i)
            d.items[i].sWidth = itemWidths[i];
        QFETCH(int, passes);
        QCOMPARE(scriptwriter::passCount(d), qint64(passes));
        const QString s = scriptwriter::BuildScript(d);
        QCOMPARE(s.count(QStringLiteral("/* -- Replicate Items -- */")), passes);
        QCOMPARE(s.count(QStringLiteral(".add(")), passes * items);
        // A pass always writes the whole list, followed by an empty line and the marker.
        if (passes > 0)
            QVERIFY(s.contains(QStringLiteral("');\r\n\r\n/* -- Replicate Items -- */\r\n")));
    }

    void emptyFileNameStillCopiesProjectFiles() {
        QTemporaryDir dir;
        const scriptwriter::SaveResult r =
            scriptwriter::SaveScroller(QString(), workedExample(), dir.path(), app.path());
        QVERIFY(r.written);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    }

    void projectFolderIsTheApplicationFolder() {
        // Same directory reached by another spelling: nothing is copied onto itself.
        const QString file = app.filePath(QStringLiteral("default.js"));
        const QString other = app.path() + QStringLiteral("/./sub/..");
        QDir(app.path()).mkdir(QStringLiteral("sub"));
        const scriptwriter::SaveResult r =
            scriptwriter::SaveScroller(file, workedExample(), other, app.path());
        QVERIFY(r.written);
        QVERIFY(r.copyErrors.isEmpty());
        QCOMPARE(readAll(app.filePath(QStringLiteral("tickora.js"))),
                 QByteArray("project file tickora.js"));
        QVERIFY(QFile::remove(file));
    }

    void emptyProjectFolderCopiesNothing() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("default.js"));
        QVERIFY(scriptwriter::SaveScroller(file, workedExample(), QString(), app.path()).written);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"default.js"});
    }

    void savingTwiceReplacesEverything() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("s.js"));
        writeFile(dir.filePath(QStringLiteral("tickolib.js")), "old runtime");
        writeFile(file, QByteArray(100000, 'x'));
        QVERIFY(scriptwriter::SaveScroller(file, workedExample(), dir.path(), app.path()).written);
        QCOMPARE(readAll(file), workedExampleBytes());
        QCOMPARE(readAll(dir.filePath(QStringLiteral("tickolib.js"))),
                 QByteArray("project file tickolib.js"));
    }

    void scriptNamedLikeAProjectFileIsNotOverwritten() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tickora.js"));
        const scriptwriter::SaveResult r =
            scriptwriter::SaveScroller(file, workedExample(), dir.path(), app.path());
        QVERIFY(r.written);
        QCOMPARE(readAll(file), workedExampleBytes());
        QCOMPARE(r.copyErrors.size(), 1);
        QVERIFY(r.copyErrors[0].startsWith(QStringLiteral("\"tickora.js\" was not copied")));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("tickolib.js"))));
    }

    void missingFolderIsAFailedWrite() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("no/such/folder/s.js"));
        const scriptwriter::SaveResult r =
            scriptwriter::SaveScroller(file, workedExample(), dir.path(), app.path());
        QVERIFY(!r.written);
        QVERIFY(r.writeError.contains(QDir::toNativeSeparators(file)));
        QVERIFY(r.writeError.startsWith(QStringLiteral("Could not write")));
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty()); // nothing copied
    }

    void targetThatIsAFolderFailsAndSurvives() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.js")));
        const scriptwriter::SaveResult r = scriptwriter::SaveScroller(
            dir.filePath(QStringLiteral("taken.js")), workedExample(), dir.path(), app.path());
        QVERIFY(!r.written);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.js"))).isDir());
    }

    void missingProjectFileIsReportedAndOthersCopied() {
        QTemporaryDir emptyApp;
        writeFile(emptyApp.filePath(QStringLiteral("tickolib.js")), "lib");
        QTemporaryDir dir;
        const scriptwriter::SaveResult r = scriptwriter::SaveScroller(
            dir.filePath(QStringLiteral("s.js")), workedExample(), dir.path(), emptyApp.path());
        QVERIFY(r.written);
        QCOMPARE(r.copyErrors.size(), 2);
        QVERIFY(r.copyErrors[0].contains(QStringLiteral("tickora.htm")));
        QVERIFY(r.copyErrors[1].contains(QStringLiteral("tickora.js")));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("tickolib.js"))), QByteArray("lib"));
    }

    void keepsTheEncodingItWasGiven() {
        ScrollerDocument d = workedExample();
        d.items[0].sText = QString::fromUtf8("caf\xC3\xA9");
        d.encoding = TextEncoding::Windows1252;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("s.js"));
        scriptwriter::SaveResult r = scriptwriter::SaveScroller(file, d, QString(), app.path());
        QCOMPARE(r.encoding, TextEncoding::Windows1252);
        QVERIFY(readAll(file).contains("caf\xE9'"));

        d.items[0].sText = QString::fromUtf8("\xE4\xB8\xAD");
        r = scriptwriter::SaveScroller(file, d, QString(), app.path());
        QCOMPARE(r.encoding, TextEncoding::Utf8);
        QVERIFY(readAll(file).contains("'\xE4\xB8\xAD'"));
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
