// The script reader: the lines it takes in (clsScroller's settings, clsItem's items, the
// property-line parser), patterns, line ends, failures and what is kept.
#include "clsitem.h"
#include "clsscroller.h"
#include "fileio.h"
#include "files.h"
#include "modparser.h"
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

    // Blank settings are left out, a blank (not empty) one is written, and the order is fixed.
    void blockKeepsItsOrder() {
        clsScroller s;
        s.sWidth = QStringLiteral(" ");
        QCOMPARE(s.ToString(), QStringLiteral(" = new Tickora();\r\n.name = '';\r\n.type = 0;\r\n"
                                              ".width =  ;\r\n.pausemouseover = true;\r\n"));
        s = {"news", "200", "40", "50", -3, -1, "120", "5", "2000"};
        QCOMPARE(
            s.ToString(),
            QStringLiteral("news = new Tickora();\r\nnews.name = 'news';\r\nnews.type = -3;\r\n"
                           "news.width = 200;\r\nnews.height = 40;\r\nnews.spacing = 5;\r\n"
                           "news.itemwidth = 120;\r\nnews.scrollspeed = 50;\r\n"
                           "news.pausedelay = 2000;\r\nnews.pausemouseover = false;\r\n"));
    }

    void propName_data() {
        const struct {
            const char* row;
            QString line, name;
        } rows[] = {
            {"plain", "news.width = 200;", "width"},
            {"second dot", "a.b.c = 1", "b.c"},
            {"no equals", "news.display();", ""},
            {"dot last", "a=b.", ""},
            {"equals before dot only", "x = a.b;", ""},
            {"spaces trimmed, tabs kept", "a.  \tw  = 1", "\tw"},
        };
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.line << r.name;
    }
    void propName() {
        QFETCH(QString, line);
        QTEST(modParser::GetPropName(line), "name");
    }

    void propValue_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("value");
        QTest::newRow("unquoted") << "news.width = 200;" << true << " 200";
        QTest::newRow("single quotes") << "news.name = 'news';" << true << "news";
        QTest::newRow("double quotes, last one closes") << "a.b = \"x\"y\";" << true << "x\"y";
        QTest::newRow("single before double") << "a.b = 'it\"s';" << true << "it\"s";
        QTest::newRow("no semicolon takes the last character as the mark")
            << "news.height = 40" << true << " 4";
        QTest::newRow("one quote runs to the last character") << "a.b = 'xyz" << true << "xy";
        QTest::newRow("semicolon before equals fails") << "a;b.c = 1" << false << "";
        QTest::newRow("line ending at its opening mark") << "a.b =" << true << "";
        QTest::newRow("no equals: from the start") << "news.display();" << true << "news.display()";
    }
    void propValue() {
        QFETCH(QString, line);
        QFETCH(bool, ok);
        QString value;
        QCOMPARE(modParser::GetPropValue(line, &value), ok);
        if (ok)
            QTEST(value, "value");
    }

    void setProperty_data() {
        const struct {
            const char* row;
            QString line;
            QString expected; // the block after the call, minus the fixed lines
        } rows[] = {
            {"other object", "other.width = 300;", "w=300"},
            {"letter case", "news.Width = 300;", ""},
            {"quoted name trimmed", "news.name = ' big ';", "n=big"},
            {"True is not true", "news.pausemouseover = True;", "p=1"},
            {"true", "news.pausemouseover = true;", "p=0"},
            {"half to even", "news.type = 2.5;", "t=2"},
            {"half to even, odd", "news.type = 3.5;", "t=4"},
            {"exponent", "news.type = 1e1;", "t=10"},
            {"edge of range", "news.type = -32768;", "t=-32768"},
            {"no semicolon", "news.height = 40", "h=4"},
            {"itemwidth", "news.itemwidth = 120;", "d=120"},
            {"scrollspeed", "news.scrollspeed = 50;", "s=50"},
            {"spacing", "news.spacing = 5;", "g=5"},
            {"pausedelay", "news.pausedelay = 2000;", "z=2000"},
            {"no equals", "news.display();", ""},
            {"unknown name", "news.colour = red;", ""},
        };
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.line << r.expected;
    }
    void setProperty() {
        QFETCH(QString, line);
        clsScroller s;
        s.iMsePause = 5;
        QVERIFY(s.SetProperty(line));
        const std::pair<const char*, QString> fields[] = {
            {"n", s.sName},
            {"w", s.sWidth},
            {"h", s.sHeight},
            {"s", s.sSpeed},
            {"t", s.iDirn != 0 ? QString::number(s.iDirn) : QString()},
            {"p", s.iMsePause != 5 ? QString::number(s.iMsePause) : QString()},
            {"d", s.sDefWidth},
            {"g", s.sSpacing},
            {"z", s.sPause}};
        QStringList got;
        for (const auto& [key, value] : fields)
            if (!value.isEmpty())
                got << QLatin1String(key) + u'=' + value;
        QTEST(got.join(u','), "expected");
    }

    void setPropertyFailures_data() {
        const QString range = QStringLiteral(" is out of range for type (it must lie between "
                                             "-32768 and 32767).");
        const struct {
            const char* row;
            QString line, error;
        } rows[] = {
            {"not a number", "news.type = x;", "\"x\" is not a number for type."},
            {"empty", "news.type = ;", "\"\" is not a number for type."},
            {"comma fraction", "news.type = 1,5;", "\"1,5\" is not a number for type."},
            {"hex", "news.type = 0x1;", "\"0x1\" is not a number for type."},
            {"overflow", "news.type = 32767.5;", "\"32767.5\"" + range},
            {"huge", "news.type = 1e999;", "\"1e999\"" + range},
            {"marks out of order", "x;a.width = 3",
             "The value cannot be read, because a \";\" stands before the \"=\"."},
        };
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("error");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.line << r.error;
    }
    void setPropertyFailures() {
        QFETCH(QString, line);
        clsScroller s;
        s.iDirn = 3;
        QString error;
        QVERIFY(!s.SetProperty(line, &error));
        QTEST(error, "error");
        QCOMPARE(s.iDirn, qint16(3));
        QVERIFY(s.sWidth.isEmpty());
    }

    void longLinesAreCut() {
        // Marks far beyond 32767 characters still cut.
        clsScroller s;
        const QString pad(70000, u'x');
        QVERIFY(s.SetProperty(QStringLiteral("a.") + pad + QStringLiteral(" = 1;")));
        QVERIFY(s.SetProperty(QStringLiteral("a.name = '") + pad + QStringLiteral("';")));
        QCOMPARE(s.sName, pad);
    }

    // What an item line gives; fields a line lacks keep the values T, W and N.
    void setItem_data() {
        const struct {
            const char* row;
            QString line, text, width, name;
        } rows[] = {
            {"three arguments", "news.add('It\\'s new', '150', 'Item 2');", "It\\'s new", "150",
             "Item 2"},
            {"one argument", "x.add('a');", "a", "W", "N"},
            {"fourth argument ignored", "x.add('a', '1', 'b', 'c');", "a", "1", "b"},
            {"unclosed text runs to the end", "x.add('abc", "abc", "W", "N"},
            {"placeholder text survives", "x.add('a~||~b', '', 'n');", "a~||~b", "", "n"},
            {"escaped quotes everywhere", "x.add('\\'q\\'', '\\'', 'O\\'Neil');", "\\'q\\'", "\\'",
             "O\\'Neil"},
            {"trailing backslash joins the next argument", "x.add('a\\', '1', 'b');", "a\\', ",
             ", ", ");"},
            {"no quotes", "x.add();", "T", "W", "N"},
        };
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.line << QStringList{r.text, r.width, r.name};
    }
    void setItem() {
        QFETCH(QString, line);
        clsItem i{QStringLiteral("N"), QStringLiteral("T"), QStringLiteral("W")};
        i.SetItem(line);
        QTEST((QStringList{i.sText, i.sWidth, i.sName}), "fields");
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
