// The script reader: patterns, line ends, failures and what is kept.
#include "fileio.h"
#include "files.h"
#include "scriptreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

scriptreader::LoadResult read(const QByteArray& bytes, ScrollerDocument& d) {
    return scriptreader::LoadScrollerBytes(bytes, d);
}

} // namespace

class TestReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What a script sets, on a document whose height and mouse-over pause no row mentions.
    void patterns_data() {
        const QString longText = QString(40000, u'a') + QStringLiteral("=b"); // past 16-bit
        const struct {
            const char* row;
            QByteArray script;
            QString width;
            QStringList texts;
        } rows[] = {
            {"only mentioned settings change", "news.width = 300;", "300", {}},
            {"setting without an object name", ".width = 3;", "3", {}},
            {"every kind of line end", "a.add('x');\r.width = 1;\n.add('y');\r\n", "1", {"x", "y"}},
            {"what follows the marker is ignored",
             "a.width = 1;\r\na.add('x');\r\n/* -- Replicate Items -- */\r\na.width = 2;\r\n"
             "a.add('x');",
             "1",
             {"x"}},
            {"any marker-like comment ends reading",
             "/* any -- Replicate Items -- text */\na.width = 2;",
             "",
             {}},
            {"marker needs its slashes", "* -- Replicate Items -- */\na.width = 2;", "2", {}},
            {"tab before a marker is no marker",
             "\t/* -- Replicate Items -- */\na.width = 2;",
             "2",
             {}},
            {"leading spaces are trimmed", "    /* -- Replicate Items -- */\na.width = 2;", "", {}},
            {"item before properties", "a.add('x', '', 'n');\na.width = 5;", "5", {"x"}},
            {"capital Add is no item", "news.Add('a', '1', 'b');", "", {}},
            {"tab-indented lines still match", "\ta.width = 4;\n\ta.add('t');", "4", {"t"}},
            {"item needs its closing", "a.add('x', '', 'n')", "", {}},
            {"item with = is offered to both, harmlessly",
             "a.add('<a href=\"x\">', '', 'n');",
             "",
             {"<a href=\"x\">"}},
            {"long item with =", "x.add('" + longText.toUtf8() + "', '', 'n');", "", {longText}},
            {"comments and blank lines ignored",
             "// c\r\n\r\nnews = new Tickora();\r\na.display();",
             "",
             {}},
            {"empty file", "", "", {}},
        };
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QStringList>("texts");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.script << r.width << r.texts;
    }
    void patterns() {
        QFETCH(QByteArray, script);
        ScrollerDocument d;
        d.scroller.sHeight = QStringLiteral("77");
        d.scroller.iMsePause = 1;
        const scriptreader::LoadResult r = read(script, d);
        QVERIFY(r.ok);
        QTEST(d.scroller.sWidth, "width");
        QStringList texts;
        for (const clsItem& i : d.items)
            texts << i.sText;
        QTEST(texts, "texts");
        QCOMPARE(r.itemsRead, int(d.items.size()));
        QCOMPARE(d.scroller.sHeight, QStringLiteral("77"));
        QCOMPARE(d.scroller.iMsePause, qint16(1));
    }

    // A failure says where and why, quoting a huge value short, and keeps what came before it.
    void failures_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("says"); // empty: read without failure
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("width");
        QTest::addColumn<int>("type");
        QTest::newRow("failure keeps what was read")
            << QByteArray("a.width = 1;\r\na.add('one');\r\na.add('two');\r\n\r\nnews.type = "
                          "abc;\r\na.height = 9;\r\na.add('three');")
            << QStringList{"Line 5: \"abc\" is not a number for type."} << 2 << "1" << 0;
        QTest::newRow("line numbers count every kind of line end")
            << QByteArray("a\r\nb\rc\n\r\nx;a.b = 1") << QStringList{"Line 5: "} << 0 << "" << 0;
        QTest::newRow("huge bad value")
            << QByteArray("a.type = x" + QByteArray(1 << 20, '9') + ";")
            << QStringList{"Line 1: \"x999", "(1048577 characters)"} << 0 << "" << 0;
        QTest::newRow("out-of-list direction is kept")
            << QByteArray("a.type = 7;") << QStringList() << 0 << "" << 7;
    }
    void failures() {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, says);
        ScrollerDocument d;
        const scriptreader::LoadResult r = read(script, d);
        QCOMPARE(r.ok, says.isEmpty());
        QVERIFY2(r.error.size() < 160, qPrintable(r.error.left(200)));
        if (!says.isEmpty())
            QVERIFY2(r.error.startsWith(says[0]), qPrintable(r.error));
        for (const QString& part : says)
            QVERIFY2(r.error.contains(part), qPrintable(r.error));
        QTEST(int(r.itemsRead), "items");
        QTEST(int(d.items.size()), "items");
        QTEST(d.scroller.sWidth, "width");
        QVERIFY(d.scroller.sHeight.isEmpty());
        QTEST(int(d.scroller.iDirn), "type");
    }

    // What the reader refuses before reading a byte, and what it reads no further.
    void readerLimits_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("a folder") << QString("folder") << "cannot be read: it is a folder";
        QTest::newRow("a pipe") << QString("fifo") << "cannot be read: it is not a regular file";
        QTest::newRow("a device") << QString("/dev/zero")
                                  << "cannot be read: it is not a regular file";
        QTest::newRow("above 64 MB")
            << QString("huge") << "cannot be read: it is larger than 64 MB";
        QTest::newRow("UTF-16 LE") << QString("utf16le") << "is in UTF-16";
        QTest::newRow("UTF-16 BE") << QString("utf16be") << "is in UTF-16";
        QTest::newRow("missing") << QString("missing") << "cannot be opened: No such file";
    }
    void readerLimits() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("s.js"));
        if (kind == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("s.js")));
        } else if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else if (kind.startsWith(u'/')) {
            path = kind;
        } else if (kind == u"huge") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(64 * 1024 * 1024 + 1)); // sparse: costs no disk
        } else if (kind.startsWith(u"utf16")) {
            QStringEncoder utf16(kind == u"utf16le" ? QStringConverter::Utf16LE
                                                    : QStringConverter::Utf16BE,
                                 QStringConverter::Flag::WriteBom);
            QVERIFY(writeFile(path, utf16(QStringLiteral("a.width = 300;\r\na.add('x');\r\n"))));
        }
        ScrollerDocument d;
        const scriptreader::LoadResult r = scriptreader::LoadScroller(path, d);
        QVERIFY(!r.ok);
        QFETCH(QString, says);
        QVERIFY2(r.error.contains(says), qPrintable(r.error));
        if (!kind.startsWith(u"utf16"))
            QVERIFY(r.error.startsWith(QStringLiteral("The file \"%1\" cannot be ").arg(path)));
        QVERIFY(d.items.isEmpty());
        QVERIFY(d.scroller.sWidth.isEmpty());
    }

    // A file that holds more than it reports (system files report 0 bytes; a log grows while it
    // is read) is read to its end, within the same limit.
    void fileLargerThanItReports() {
        const QString path = QStringLiteral("/proc/version");
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            QSKIP("this system has no /proc/version");
        const QByteArray bytes = f.readAll();
        QVERIFY(QFileInfo(path).size() == 0 && bytes.size() > 1);
        QCOMPARE(fileio::readRegularFile(path).bytes, bytes);
        QCOMPARE(fileio::readRegularFile(path, bytes.size()).bytes, bytes);
        QVERIFY(!fileio::readRegularFile(path, bytes.size() - 1).ok);
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
