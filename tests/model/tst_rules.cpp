// The number rule, the field rules, the text encodings and file names; modString's text rules
// that keep item texts fit for the script, and its path arithmetic; a whole document's checks.
#include "clsitem.h"
#include "documentcheck.h"
#include "fieldrules.h"
#include "fileio.h"
#include "jsline.h"
#include "modstring.h"
#include "numberrule.h"
#include "scriptreader.h"
#include "textencoding.h"

#include <QTest>

using fieldrules::NumericField;

class TestRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What reads as a number and its value, and how the script writes it: without leading
    // zeros and blanks, the same number, and written once more it stays; anything else as typed.
    void numbers_data() {
        const double no = qQNaN();
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // NaN: not a number
        QTest::addColumn<QString>("written");
        const auto row = [](const char* tag, const QString& text, double value,
                            const QString& written) {
            QTest::newRow(tag) << text << value << written;
        };
        row("integer", "200", 200, "200");
        row("blanks around", " \t12.5\t ", 12.5, "12.5");
        row("leading dot", ".5", 0.5, ".5");
        row("trailing dot", "5.", 5, "5.");
        row("plus", "+.5e1", 5, "+.5e1");
        row("exponent", "1E3", 1000, "1E3");
        row("octal-looking", "0100", 100, "100");
        row("zeros before a fraction", "010.5", 10.5, "10.5");
        row("zero before the point stays", "00.5", 0.5, "0.5");
        row("all zeros", "000", 0, "0");
        row("signed", "-007", -7, "-7");
        row("zeros before an exponent", "01e3", 1000, "1e3");
        row("empty", "", no, "");
        row("dot alone", ".", no, ".");
        row("comma", "1,5", no, "1,5");
        row("hex", "0x10", no, "0x10");
        row("inner blank", "1 0", no, "1 0");
        row("exponent without digits", "1e", no, "1e");
        row("infinity word", "inf", no, "inf");
        row("newline is no blank", "1\n", no, "1\n");
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(QString, written);
        const std::optional<double> v = numberrule::parse(text);
        QCOMPARE(v.has_value(), !qIsNaN(value));
        if (v)
            QCOMPARE(*v, value);
        QCOMPARE(numberrule::scriptNumber(text), written);
        QCOMPARE(numberrule::scriptNumber(written), written);
        QCOMPARE(numberrule::parse(written), v);
    }

    void wholeNumbers() {
        QCOMPARE(numberrule::wholeNumberClamped(u"2.5", -10, 10), std::optional<qint64>(2));
        QCOMPARE(numberrule::wholeNumberClamped(u"-2.5", -10, 10), std::optional<qint64>(-2));
        QCOMPARE(numberrule::wholeNumberClamped(u"1e999", -10, 10), std::optional<qint64>(10));
        QCOMPARE(numberrule::wholeNumberClamped(u"-1e999", -10, 10), std::optional<qint64>(-10));
        QCOMPARE(numberrule::wholeNumberClamped(u"x", -10, 10), std::nullopt);
    }

    // Each field's bounds at and past its ends, and what text a field takes at all; the step is
    // what its spinner moves by.
    void ranges_data() {
        QTest::addColumn<NumericField>("field");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("step");
        QTest::newRow("width") << NumericField::ScrWidth << 10 << 2000 << 10;
        QTest::newRow("height") << NumericField::ScrHeight << 10 << 2000 << 10;
        QTest::newRow("speed") << NumericField::ScrSpeed << 5 << 1000 << 10;
        QTest::newRow("item width") << NumericField::ScrDefWidth << 10 << 2000 << 10;
        QTest::newRow("spacing") << NumericField::ScrSpacing << 0 << 50 << 1;
        QTest::newRow("pause") << NumericField::ScrPause << 0 << 50000 << 100;
        QTest::newRow("own item width") << NumericField::ItmWidth << 10 << 2000 << 10;
    }
    void ranges() {
        QFETCH(NumericField, field);
        QFETCH(int, min);
        QFETCH(int, max);
        const fieldrules::Bounds b = fieldrules::bounds(field);
        QTEST(b.step, "step");
        const auto accepts = [&](const QString& text) { return fieldrules::inRange(text, b); };
        QVERIFY(accepts(QString::number(min)) && accepts(QString::number(max)));
        QVERIFY(!accepts(QString::number(min - 1)) && !accepts(QString::number(max + 1)));
        QVERIFY(accepts(QString::number(min + 0.5)) &&
                accepts(QString::number(max / 1000.0) + QStringLiteral("e3")));
        // Empty leaves the setting out; anything else must be a number.
        QVERIFY(accepts(QString()) && !accepts(QStringLiteral(" ")) &&
                !accepts(QStringLiteral("abc")));
    }

    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString blank = QStringLiteral("Scroller name must not be blank.");
        const QString number = QStringLiteral("Scroller name must not start with a number.");
        const QString alnum =
            QStringLiteral("Scroller name must contain only alphanumeric characters.");
        QTest::newRow("empty") << "" << blank;
        QTest::newRow("digit first") << "1abc" << number;
        QTest::newRow("digit first beats bad characters") << "1-a" << number;
        QTest::newRow("hyphen") << "my-scroller" << alnum;
        QTest::newRow("leading blank") << " news" << alnum;
        QTest::newRow("accent") << QString::fromUtf8("caf\xC3\xA9") << alnum;
        // Letter case makes a taken name usable again.
        for (const char* fine : {"_ticker2", "Ticker", "Onload", "newsTicker"})
            QTest::newRow(fine) << fine << QString();
        // Names the page cannot use as its variable: reserved words, what a browser or the
        // runtime gives the page (also read-only and prototype names).
        const QString names = QStringLiteral(
            "new class await __proto__ name location top window status onload oncontextmenu "
            "indexedDB caches isSecureContext parseFloat Intl structuredClone scrollX toString "
            "Tickora TickoLib");
        for (const QString& n : names.split(u' '))
            QTest::newRow(qPrintable(n))
                << n
                << QStringLiteral("Scroller name must not be \"%1\", a name that JavaScript or "
                                  "the web page already uses.")
                       .arg(n);
    }
    void names() {
        QFETCH(QString, name);
        QTEST(fieldrules::CheckVariableName(name), "message");
    }

    void fileNamesKeepTheirBytes() {
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        for (const QByteArray& name : {all, QByteArray("lat\xE9.js"), QByteArray("bad\xFF.js"),
                                       QByteArray("caf\xC3\xA9\xF0\x9F\x98\x80.js"),
                                       QByteArray("\xED\xA0\x80"), QByteArray("\xC3")}) {
            const QString path = fileio::pathFromNative(name);
            QCOMPARE(fileio::pathToNative(path), name);
        }
        QCOMPARE(fileio::pathFromNative("caf\xC3\xA9"), QString::fromUtf8("caf\xC3\xA9"));
    }

    // What bytes read as, and that saving in the encoding they were read in gives them back; a
    // text saved in Windows-1252 that the next read would take for UTF-8 is saved in UTF-8.
    void encodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("text");       // null: only the way back is checked
        QTest::addColumn<TextEncoding>("asked"); // the encoding the text is saved in
        const auto row = [](const char* name, const QByteArray& bytes, TextEncoding e,
                            const QString& text) {
            QTest::newRow(name) << bytes << e << text << e;
        };
        const TextEncoding utf8 = TextEncoding::Utf8, w1252 = TextEncoding::Windows1252;
        row("ascii", "abc", utf8, "abc");
        row("utf-8", "caf\xC3\xA9", utf8, QString::fromUtf8("caf\xC3\xA9"));
        row("bom", "\xEF\xBB\xBFx", TextEncoding::Utf8Bom, "x");
        row("1252 e-acute", "caf\xE9", w1252, QString::fromUtf8("caf\xC3\xA9"));
        row("1252 euro and quotes", "\x80\x93\x94", w1252,
            QString::fromUtf8("\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D"));
        row("1252 undefined bytes", "\x81\x8D\x8F\x90\x9D", w1252,
            QString::fromUtf16(u"\x81\x8D\x8F\x90\x9D"));
        row("overlong is not utf-8", "\xC0\xAF", w1252, QString::fromUtf16(u"\xC0\xAF"));
        row("surrogate is not utf-8", "\xED\xA0\x80", w1252, QString::fromUtf16(u"\xED\xA0\x20AC"));
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        row("every byte", all, w1252, QString());
        row("truncated sequence", "ab\xE2\x82", w1252, QString::fromUtf16(u"ab\xE2\x201A"));
        const char* fallback[][2] = {
            {"not in Windows-1252", "\xE4\xB8\xAD caf\xC3\xA9"},
            // Read from a Windows-1252 file, these letters make bytes that are valid UTF-8.
            {"bytes that read as UTF-8", "caf\xC3\x83\xC2\xA9"},
            {"a byte-order mark's bytes", "\xC3\xAF\xC2\xBB\xC2\xBFnew"}};
        for (const auto& f : fallback)
            QTest::newRow(f[0]) << QByteArray(f[1]) << utf8 << QString::fromUtf8(f[1]) << w1252;
    }
    void encodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(TextEncoding, asked);
        TextEncoding detected;
        const QString decoded = textencoding::decode(bytes, &detected);
        if (!text.isNull())
            QCOMPARE(decoded, text);
        QTEST(detected, "encoding");
        TextEncoding used;
        QCOMPARE(textencoding::encode(decoded, asked, &used), bytes);
        QCOMPARE(used, detected);
    }

    void folder_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        const auto row = [](const char* tag, const QString& path, const QString& folder) {
            QTest::newRow(tag) << path << folder;
        };
        row("drive root", "C:\\index.js", "C:");
        row("trailing separator", "C:\\Web\\site\\", "C:\\Web\\site");
        row("mixed, last wins", "a\\b/c\\d.js", "a\\b/c");
        row("posix", "/home/u/site/news.js", "/home/u/site");
        row("posix, backslash in names", "/home/u/my\\site/a\\b.js", "/home/u/my\\site");
        row("one-letter folder", "a/b.js", "a");
        row("no separator", "index.js", "");
        row("empty", "", "");
    }
    void folder() {
        QFETCH(QString, path);
        QTEST(modString::GetFolder(path), "folder");
    }

    void relativeUrl_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("url");
        const auto row = [](const char* tag, const QString& folder, const QString& file,
                            const QString& url) { QTest::newRow(tag) << folder << file << url; };
        row("sub folder", "C:\\Web\\site", "C:\\Web\\site\\images\\logo.gif", "images/logo.gif");
        row("sibling", "C:\\Web\\site", "C:\\Web\\img\\a.gif", "../img/a.gif");
        row("prefix is no folder", "C:\\Web\\site", "C:\\Web\\site2\\a.gif", "../site2/a.gif");
        row("drive as folder", "C:", "C:\\a.gif", "a.gif");
        row("folder case matters", "C:\\Web\\Site", "C:\\Web\\site\\a.gif", "../site/a.gif");
        row("other drive", "C:\\Web\\site", "D:\\pics\\a.gif", "file:///D:\\pics\\a.gif");
        row("drive letter case", "C:\\Web\\site", "c:\\Web\\site\\a.gif",
            "file:///c:\\Web\\site\\a.gif");
        row("unc", "C:\\Web\\site", "\\\\server\\share\\a.gif", "file:///\\\\server\\share\\a.gif");
        row("drive with slashes", "C:\\Web\\site", "C:/pics/a.gif", "file:///C:/pics/a.gif");
        row("no folder", "", "C:\\a.gif", "file:///C:\\a.gif");
        row("base ending in separator", "C:\\", "C:\\a.gif", "../a.gif");
        row("no escaping", "C:\\w", "C:\\w\\my pics\\#1 100%.gif", "my pics/#1 100%.gif");
        // POSIX paths on this platform.
        row("posix far away", "/home/u/site", "/srv/a.gif", "../../../srv/a.gif");
        row("posix, backslash in a name", "/home/u/site", "/home/u/site/a\\b.gif", "a\\b.gif");
        row("posix, backslash in the folder", "/home/u/my\\site", "/home/u/my\\site/img\\a.gif",
            "img\\a.gif");
        row("posix file, drive folder", "C:\\Web", "/home/u/a.gif", "file:///home/u/a.gif");
        row("relative file", "/home/u", "a.gif", "file:///a.gif");
    }
    void relativeUrl() {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QTEST(modString::GetRelativeUrl(folder, file), "url");
    }

    // Quotes escaped once, as feed items need them; again, nothing changes.
    void escapeQuotes_data() {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("none") << QString("plain") << "plain";
        QTest::newRow("one") << QString("It's") << "It\\'s";
        QTest::newRow("already escaped") << QString("It\\'s") << "It\\'s";
        QTest::newRow("two") << QString("a''b") << "a\\'\\'b";
        QTest::newRow("mixed") << QString("\\''") << "\\'\\'";
        QTest::newRow("lone backslash kept") << QString("a\\b'") << "a\\b\\'";
    }
    void escapeQuotes() {
        QFETCH(QString, in);
        QFETCH(QString, escaped);
        QCOMPARE(modString::EscapeQuotes(in), escaped);
        QCOMPARE(modString::EscapeQuotes(escaped), escaped);
    }

    void scriptSafe_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("safe");
        QTest::addColumn<QString>("shown"); // what the page shows, entities resolved
        const auto row = [](const char* tag, const QString& typed, const QString& safe,
                            const QString& shown) { QTest::newRow(tag) << typed << safe << shown; };
        row("plain", "Hello <b>world</b>", "Hello <b>world</b>", "Hello <b>world</b>");
        row("quote", "O'Neil", "O\\'Neil", "O'Neil");
        row("escaped quote stays", "O\\'Neil", "O\\'Neil", "O'Neil");
        row("line breaks of every kind", "a\nb\r\nc\rd", "a<br>b<br>c<br>d", "a<br>b<br>c<br>d");
        row("line separators", QString::fromUtf16(u"a\u2028b\u2029c"), "a&#8232;b&#8233;c",
            QString::fromUtf16(u"a\u2028b\u2029c"));
        row("backslash before a line break", "a\\\nb", "a&#92;<br>b", "a\\<br>b");
        row("escape look-alikes", "\\x41\\u0041", "&#92;x41&#92;u0041", "\\x41\\u0041");
        row("closing backslash", "path\\", "path&#92;", "path\\");
        row("two closing backslashes", "a\\\\", "a&#92;&#92;", "a\\\\");
        row("breaking out of the string", "\\\\');alert(1);//", "&#92;\\');alert(1);//",
            "\\');alert(1);//");
        row("empty", "", "", "");
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

    // A document from elsewhere as the editor's checks find it, each field named as
    // tickora-script names it, with its first problem; what the rules let through must still
    // read back from the script.
    void documentProblems_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("text"); // of one more item
        QTest::addColumn<QStringList>("report");
        const QString backslash =
            QStringLiteral("A backslash that does not escape a quote (\\') must be written as "
                           "&#92;.");
        QTest::newRow("settings and item strings")
            << QByteArray("a.name = '1st';\na.width = 2001;\na.scrollspeed = 4;\n"
                          "a.spacing = 12.5;\na.pausedelay = x;\n"
                          "a.add('\\\\');alert(1);//', '9\\x', 'C:\\users');\n"
                          "a.add('one\xE2\x80\xA8two', '20', 'n');\n")
            << QStringLiteral("It's")
            << QStringList{"name: Scroller name must not start with a number.",
                           "width: Please Enter A Value Between 10 And 2000",
                           "scrollSpeed: Please Enter A Value Between 5 And 1000",
                           "pause: Please Enter A Value Between 0 And 50000",
                           "items[0].name: " + backslash,
                           "items[0].text: " + backslash,
                           "items[0].width: " + backslash, // not also out of range
                           "items[1].text: A line break must be written as <br>.",
                           "items[2].text: A single quote must be escaped as \\'."};
        QTest::newRow("text no file can carry")
            << QByteArray("a.name = 'n';") << QString(u'a') + QChar(0xD800)
            << QStringList{"items[0].text: The script would not give this value back as it is; "
                           "it holds characters the file cannot carry."};
    }
    void documentProblems() {
        QFETCH(QByteArray, script);
        QFETCH(QString, text);
        ScrollerDocument doc;
        QVERIFY(scriptreader::LoadScrollerBytes(script, doc).ok);
        doc.items.append({QStringLiteral("n"), text, QString()});
        QStringList report;
        for (const documentcheck::Problem& p : documentcheck::problems(doc))
            report << p.field + QStringLiteral(": ") + p.message;
        QTEST(report, "report");
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
