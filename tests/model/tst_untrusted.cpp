// Documents from untrusted sources: what the checks refuse, and that what they accept (or what
// the editor's cleanup makes of anything typed) runs in the page as nothing but three strings.
#include "documentcheck.h"
#include "jsline.h"
#include "modstring.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <QTest>

namespace {

ScrollerDocument oneItem(const QString& text, const QString& width = QString(),
                         const QString& name = QStringLiteral("n")) {
    ScrollerDocument d;
    d.scroller.sName = QStringLiteral("news");
    d.items << clsItem{name, text, width};
    d.items << clsItem{QStringLiteral("next"), QStringLiteral("after"), QStringLiteral("10")};
    return d;
}

QStringList fields(const QList<documentcheck::Problem>& problems) {
    QStringList f;
    for (const documentcheck::Problem& p : problems)
        f << p.field;
    return f;
}

} // namespace

class TestUntrusted : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("itemWidth");
        QTest::addColumn<QStringList>("offending");
        const QString ok = QStringLiteral("fine");
        QTest::newRow("name that runs code") << "a=alert(1),b"
                                             << "" << ok << "" << QStringList{"name"};
        QTest::newRow("width that runs code") << "news"
                                              << "1;alert(1)" << ok << "" << QStringList{"width"};
        QTest::newRow("item width that breaks out")
            << "news"
            << "" << ok << "1');alert(1);//" << QStringList{"items[0].width"};
        QTest::newRow("raw quote in a text") << "news"
                                             << ""
                                             << "it's"
                                             << "" << QStringList{"items[0].text"};
        QTest::newRow("escaped backslash before a quote") << "news"
                                                          << ""
                                                          << "\\\\');alert(1);//"
                                                          << "" << QStringList{"items[0].text"};
        QTest::newRow("line break in a text") << "news"
                                              << ""
                                              << "one\ntwo"
                                              << "" << QStringList{"items[0].text"};
        QTest::newRow("line separator in a text")
            << "news"
            << "" << QString::fromUtf16(u"one\u2029two") << "" << QStringList{"items[0].text"};
        QTest::newRow("folder path in a text") << "news"
                                               << ""
                                               << "C:\\users"
                                               << "" << QStringList{"items[0].text"};
        QTest::newRow("every offending field at once")
            << "1x"
            << "abc"
            << "'"
            << "5" << QStringList{"name", "width", "items[0].text", "items[0].width"};
        QTest::newRow("text no file can carry")
            << "news"
            << "" << QString(QChar(0xD800)) << "" << QStringList{"items[0].text"};
        QTest::newRow("clean") << "news"
                               << "200"
                               << "It\\'s <b>new</b>"
                               << "0100" << QStringList();
    }
    void refused() {
        QFETCH(QString, text);
        QFETCH(QString, itemWidth);
        ScrollerDocument d = oneItem(text, itemWidth);
        QFETCH(QString, name);
        QFETCH(QString, width);
        d.scroller.sName = name;
        d.scroller.sWidth = width;
        const QList<documentcheck::Problem> problems = documentcheck::problems(d);
        QTEST(fields(problems), "offending");
        for (const documentcheck::Problem& p : problems)
            QVERIFY2(!p.message.isEmpty() && p.message.size() < 200, qPrintable(p.message));
    }

    // Whatever a user types, the cleanup makes each of the three strings of an item line a
    // plain string in the page, showing what was typed, and reading it back gives it unchanged.
    void cleanedTextsStayStrings_data() {
        QTest::addColumn<QString>("typed");
        for (const char* t : {"\\\\');alert(1);//", "\\');alert(1);//", "');alert(1);//", "x\\",
                              "x\\\\", "C:\\Pages\\news", "C:\\users", "\\x41\\u0041", "a\\\nb",
                              "\"double\" 'single'", "</script><script>alert(1)", "~||~\\'~||~",
                              "/* -- Replicate Items -- */", "a.b = c;"})
            QTest::newRow(t) << QString::fromLatin1(t);
        QTest::newRow("separators") << QString::fromUtf16(u"a\u2028b\u2029c");
    }
    void cleanedTextsStayStrings() {
        QFETCH(QString, typed);
        const QString safe = modString::ScriptSafe(typed);
        const ScrollerDocument d = oneItem(safe, safe, safe);
        QCOMPARE(fields(documentcheck::ruleProblems(d)).filter(QStringLiteral("text")),
                 QStringList());
        const QStringList lines = scriptwriter::BuildScript(d).split(QStringLiteral("\r\n"));
        const QStringList adds = lines.filter(QStringLiteral(".add("));
        QVERIFY(!adds.isEmpty());
        for (const QString& line : adds) {
            const std::optional<QStringList> args = jsline::addArguments(line, u"news");
            QVERIFY2(args.has_value(), qPrintable(line));
            QCOMPARE(args->size(), 3);
        }
        const QStringList first = *jsline::addArguments(adds[0], u"news");
        QCOMPARE(first, QStringList(3, jsline::shownText(safe)));

        ScrollerDocument back;
        QVERIFY(scriptreader::LoadScrollerBytes(scriptwriter::BuildScript(d).toUtf8(), back).ok);
        QCOMPARE(back.items.value(0), d.items[0]);
        QCOMPARE(back.items.value(1), d.items[1]);
    }
};

QTEST_GUILESS_MAIN(TestUntrusted)
#include "tst_untrusted.moc"
