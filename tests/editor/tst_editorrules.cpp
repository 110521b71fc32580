#include "document.h"
#include "editorrules.h"
#include "nodekeys.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <QTest>

class TestEditorRules : public QObject {
    Q_OBJECT
private slots:
    void caption_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("dirty");
        QTest::addColumn<QString>("expected");
        QTest::newRow("new") << QString() << false << "Tickora Creator - [New]";
        QTest::newRow("new edited") << QString() << true << "Tickora Creator - [New*]";
        QTest::newRow("saved edited")
            << "/pages/news.js" << true << "Tickora Creator - [/pages/news.js*]";
    }
    void caption() {
        QFETCH(QString, path);
        QFETCH(bool, dirty);
        QFETCH(QString, expected);
        QCOMPARE(editorrules::caption(path, dirty), expected);
    }

    void scriptSafe_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Hello <b>world</b>"
                               << "Hello <b>world</b>";
        QTest::newRow("quote") << "O'Neil"
                               << "O\\'Neil";
        QTest::newRow("escaped quote stays") << "O\\'Neil"
                                             << "O\\'Neil";
        QTest::newRow("LF from the field") << "one\ntwo"
                                           << "one<br>two";
        QTest::newRow("CR LF") << "one\r\ntwo"
                               << "one<br>two";
        QTest::newRow("lone CR") << "one\rtwo"
                                 << "one<br>two";
        QTest::newRow("closing backslash") << "path\\"
                                           << "path&#92;";
        QTest::newRow("two closing backslashes") << "a\\\\"
                                                 << "a\\&#92;";
        QTest::newRow("inner backslash stays") << "a\\b"
                                               << "a\\b";
        QTest::newRow("quote at the end") << "it'"
                                          << "it\\'";
        QTest::newRow("empty") << ""
                               << "";
    }
    void scriptSafe() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const QString safe = editorrules::scriptSafe(typed);
        QCOMPARE(safe, expected);
        QCOMPARE(editorrules::scriptSafe(safe), safe);
        // Whatever the user typed, each of the three item values reads back as it was saved.
        ScrollerDocument doc;
        doc.scroller.sName = QStringLiteral("news");
        doc.items << clsItem{safe, safe, safe};
        doc.items << clsItem{QStringLiteral("next"), QStringLiteral("after"), QStringLiteral("10")};
        ScrollerDocument back;
        const auto r =
            scriptreader::LoadScrollerBytes(scriptwriter::BuildScript(doc).toUtf8() + "\r\n", back);
        QVERIFY(r.ok);
        QCOMPARE(back.items.size(), 2);
        QCOMPARE(back.items.at(0), doc.items.at(0));
        QCOMPARE(back.items.at(1), doc.items.at(1));
    }

    void lineBreaks() {
        QCOMPARE(editorrules::toModelLineBreaks(QStringLiteral("a\nb\r\nc")),
                 QStringLiteral("a\r\nb\r\nc"));
        QCOMPARE(editorrules::toFieldLineBreaks(QStringLiteral("a\r\nb")), QStringLiteral("a\nb"));
    }

    void reservedNames_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("refused");
        QTest::newRow("page") << "/w/tickora.htm" << true;
        QTest::newRow("library, upper case") << "/w/TICKOLIB.JS" << true;
        QTest::newRow("runtime") << "/w/Tickora.js" << true;
        QTest::newRow("preview") << "/w/tickora_preview.js" << true;
        QTest::newRow("own name") << "/w/news.js" << false;
        QTest::newRow("similar name") << "/w/tickora.js.bak" << false;
        QTest::newRow("folder named like it") << "/w/tickora.js/news.js" << false;
    }
    void reservedNames() {
        QFETCH(QString, path);
        QFETCH(bool, refused);
        const QString message = editorrules::reservedNameMessage(path);
        QCOMPARE(!message.isEmpty(), refused);
        if (refused)
            QVERIFY(message.contains(QStringLiteral("another name")));
    }

    void nodeKeys() {
        NodeKeys keys;
        QVERIFY(keys.claim(QStringLiteral("Item1")));
        QVERIFY(!keys.claim(QStringLiteral("Item1")));
        QCOMPARE(keys.claimWithSuffix(QStringLiteral("Item1"), QStringLiteral("Dst")),
                 QStringLiteral("Item1Dst"));
        QCOMPARE(keys.claimWithSuffix(QStringLiteral("Item1"), QStringLiteral("Dst")),
                 QStringLiteral("Item1DstDst"));
        keys.release(QStringLiteral("Item1Dst"));
        QCOMPARE(keys.claimWithSuffix(QStringLiteral("Item1"), QStringLiteral("Dst")),
                 QStringLiteral("Item1Dst"));
        QCOMPARE(keys.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestEditorRules)
#include "tst_editorrules.moc"
