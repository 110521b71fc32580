#include "editorrules.h"

#include <QTest>

class TestEditorRules : public QObject {
    Q_OBJECT
private slots:
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
};

QTEST_GUILESS_MAIN(TestEditorRules)
#include "tst_editorrules.moc"
