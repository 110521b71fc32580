// The records: clsScroller's block, clsItem's line and the property-line parser that reads them.
#include "clsitem.h"
#include "clsscroller.h"
#include "modparser.h"

#include <QTest>

class TestScroller : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

QTEST_APPLESS_MAIN(TestScroller)
#include "tst_scroller.moc"
