// modString: the text rules that keep item texts fit for the script, and the path arithmetic
// (the folder of a path, the address of a picture from a page's folder).
#include "clsitem.h"
#include "modstring.h"

#include "jsline.h"

#include <QTest>

class TestModString : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folder_data() {
        const struct {
            const char* row;
            QString path, folder;
        } rows[] = {
            {"drive path", "C:\\Web\\site\\index.js", "C:\\Web\\site"},
            {"drive root", "C:\\index.js", "C:"},
            {"trailing separator", "C:\\Web\\site\\", "C:\\Web\\site"},
            {"forward slashes", "web/pages/index.js", "web/pages"},
            {"mixed, last wins", "a\\b/c\\d.js", "a\\b/c"},
            {"posix", "/home/u/site/news.js", "/home/u/site"},
            {"posix, backslash in names", "/home/u/my\\site/a\\b.js", "/home/u/my\\site"},
            {"one-letter folder", "a/b.js", "a"},
            {"no separator", "index.js", ""},
            {"empty", "", ""},
        };
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.path << r.folder;
    }
    void folder() {
        QFETCH(QString, path);
        QTEST(modString::GetFolder(path), "folder");
    }

    void relativeUrl_data() {
        const struct {
            const char* row;
            QString folder;
            QString file;
            QString url;
        } rows[] = {
            {"same folder", "C:\\Web\\site", "C:\\Web\\site\\logo.gif", "logo.gif"},
            {"sub folder", "C:\\Web\\site", "C:\\Web\\site\\images\\logo.gif", "images/logo.gif"},
            {"sibling", "C:\\Web\\site", "C:\\Web\\img\\a.gif", "../img/a.gif"},
            {"prefix is no folder", "C:\\Web\\site", "C:\\Web\\site2\\a.gif", "../site2/a.gif"},
            {"two up", "C:\\Web\\site", "C:\\logo.gif", "../../logo.gif"},
            {"drive as folder", "C:", "C:\\a.gif", "a.gif"},
            {"folder case matters", "C:\\Web\\Site", "C:\\Web\\site\\a.gif", "../site/a.gif"},
            {"other drive", "C:\\Web\\site", "D:\\pics\\a.gif", "file:///D:\\pics\\a.gif"},
            {"drive letter case", "C:\\Web\\site", "c:\\Web\\site\\a.gif",
             "file:///c:\\Web\\site\\a.gif"},
            {"unc", "C:\\Web\\site", "\\\\server\\share\\a.gif",
             "file:///\\\\server\\share\\a.gif"},
            {"drive with slashes", "C:\\Web\\site", "C:/pics/a.gif", "file:///C:/pics/a.gif"},
            {"no folder", "", "C:\\a.gif", "file:///C:\\a.gif"},
            {"base ending in separator", "C:\\", "C:\\a.gif", "../a.gif"},
            {"no escaping", "C:\\w", "C:\\w\\my pics\\#1 100%.gif", "my pics/#1 100%.gif"},
            // POSIX paths on this platform.
            {"posix sub folder", "/home/u/site", "/home/u/site/images/logo.gif", "images/logo.gif"},
            {"posix sibling", "/home/u/site", "/home/u/pics/a.gif", "../pics/a.gif"},
            {"posix prefix is no folder", "/home/u/site", "/home/u/site2/a.gif", "../site2/a.gif"},
            {"posix far away", "/home/u/site", "/srv/a.gif", "../../../srv/a.gif"},
            {"posix, backslash in a name", "/home/u/site", "/home/u/site/a\\b.gif", "a\\b.gif"},
            {"posix, backslash in the folder", "/home/u/my\\site", "/home/u/my\\site/img\\a.gif",
             "img\\a.gif"},
            {"posix file, no folder", "", "/home/u/a.gif", "file:///home/u/a.gif"},
            {"posix file, drive folder", "C:\\Web", "/home/u/a.gif", "file:///home/u/a.gif"},
            {"relative file", "/home/u", "a.gif", "file:///a.gif"},
        };
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("url");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.folder << r.file << r.url;
    }
    void relativeUrl() {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QTEST(modString::GetRelativeUrl(folder, file), "url");
    }

    // Quotes escaped once (and again changes nothing); only CR LF pairs become <br>.
    void quotesAndBreaks_data() {
        const struct {
            const char* row;
            QString in, escaped, broken;
        } rows[] = {
            {"none", "plain", "plain", "plain"},
            {"one", "It's", "It\\'s", "It's"},
            {"already escaped", "It\\'s", "It\\'s", "It\\'s"},
            {"two", "a''b", "a\\'\\'b", "a''b"},
            {"mixed", "\\''", "\\'\\'", "\\''"},
            {"lone backslash kept", "a\\b'", "a\\b\\'", "a\\b'"},
            {"quote at start", "'x", "\\'x", "'x"},
            {"crlf", "a\r\nb\r\nc", "a\r\nb\r\nc", "a<br>b<br>c"},
            {"lone cr and lf stay", "a\rb\nc", "a\rb\nc", "a\rb\nc"},
            {"lf cr is no pair", "a\n\rb", "a\n\rb", "a\n\rb"},
        };
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("escaped");
        QTest::addColumn<QString>("broken");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.in << r.escaped << r.broken;
    }
    void quotesAndBreaks() {
        QFETCH(QString, in);
        QFETCH(QString, escaped);
        QCOMPARE(modString::EscapeQuotes(in), escaped);
        QCOMPARE(modString::EscapeQuotes(escaped), escaped);
        QTEST(modString::LineBreaksToBr(in), "broken");
    }

    void scriptSafe_data() {
        const struct {
            const char* row;
            QString typed;
            QString safe;
            QString shown; // what the page shows, entities resolved
        } rows[] = {
            {"plain", "Hello <b>world</b>", "Hello <b>world</b>", "Hello <b>world</b>"},
            {"quote", "O'Neil", "O\\'Neil", "O'Neil"},
            {"escaped quote stays", "O\\'Neil", "O\\'Neil", "O'Neil"},
            {"line breaks of every kind", "a\nb\r\nc\rd", "a<br>b<br>c<br>d", "a<br>b<br>c<br>d"},
            {"line separators", QString::fromUtf16(u"a\u2028b\u2029c"), "a&#8232;b&#8233;c",
             QString::fromUtf16(u"a\u2028b\u2029c")},
            {"backslash before a line break", "a\\\nb", "a&#92;<br>b", "a\\<br>b"},
            {"escape look-alikes", "\\x41\\u0041", "&#92;x41&#92;u0041", "\\x41\\u0041"},
            {"folder path", "C:\\Pages\\news", "C:&#92;Pages&#92;news", "C:\\Pages\\news"},
            {"unicode escape look-alike", "C:\\users", "C:&#92;users", "C:\\users"},
            {"closing backslash", "path\\", "path&#92;", "path\\"},
            {"two closing backslashes", "a\\\\", "a&#92;&#92;", "a\\\\"},
            {"breaking out of the string", "\\\\');alert(1);//", "&#92;\\');alert(1);//",
             "\\');alert(1);//"},
            {"quote at the end", "it'", "it\\'", "it'"},
            {"empty", "", "", ""},
        };
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("safe");
        QTest::addColumn<QString>("shown");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.typed << r.safe << r.shown;
    }
    void scriptSafe() {
        QFETCH(QString, typed);
        QFETCH(QString, safe);
        QCOMPARE(modString::ScriptSafe(typed), safe);
        QCOMPARE(modString::ScriptSafe(safe), safe);
        QVERIFY(!modString::scriptStringProblem(typed).isEmpty() || typed == safe);
        QCOMPARE(modString::scriptStringProblem(safe), QString());
        // The page turns the entities back into the characters typed.
        QString page = jsline::shownText(safe);
        page.replace(QStringLiteral("&#92;"), QStringLiteral("\\"));
        page.replace(QStringLiteral("&#8232;"), QString(QChar(0x2028)));
        page.replace(QStringLiteral("&#8233;"), QString(QChar(0x2029)));
        QTEST(page, "shown");
        // In an item line the page reads it as one string and nothing else.
        const clsItem item{safe, safe, safe};
        QCOMPARE(jsline::addArguments(QStringLiteral("n") + item.ToString(), u"n"),
                 QStringList(3, jsline::shownText(safe)));
    }
};

QTEST_APPLESS_MAIN(TestModString)
#include "tst_modstring.moc"
