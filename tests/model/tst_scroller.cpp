// clsScroller and the property-line parser.
#include "clsscroller.h"
#include "modparser.h"

#include <QTest>

class TestScroller : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newObjectRendersFourLines() {
        QCOMPARE(clsScroller().ToString(), QStringLiteral(" = new Tickora();\r\n.name = '';\r\n"
                                                          ".type = 0;\r\n"
                                                          ".pausemouseover = true;\r\n"));
    }

    void fullBlockKeepsItsOrder() {
        clsScroller s;
        s.sName = QStringLiteral("news");
        s.sWidth = QStringLiteral("200");
        s.sHeight = QStringLiteral("40");
        s.sSpeed = QStringLiteral("50");
        s.iDirn = -3;
        s.iMsePause = -1;
        s.sDefWidth = QStringLiteral("120");
        s.sSpacing = QStringLiteral("5");
        s.sPause = QStringLiteral("2000");
        QCOMPARE(s.ToString(), QStringLiteral("news = new Tickora();\r\n"
                                              "news.name = 'news';\r\n"
                                              "news.type = -3;\r\n"
                                              "news.width = 200;\r\n"
                                              "news.height = 40;\r\n"
                                              "news.spacing = 5;\r\n"
                                              "news.itemwidth = 120;\r\n"
                                              "news.scrollspeed = 50;\r\n"
                                              "news.pausedelay = 2000;\r\n"
                                              "news.pausemouseover = false;\r\n"));
    }

    void blankValueIsStillWritten() {
        clsScroller s;
        s.sWidth = QStringLiteral(" ");
        QVERIFY(s.ToString().contains(QStringLiteral("\r\n.width =  ;\r\n")));
    }

    void propName_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "news.width = 200;"
                               << "width";
        QTest::newRow("second dot") << "a.b.c = 1"
                                    << "b.c";
        QTest::newRow("no equals") << "news.display();"
                                   << "";
        QTest::newRow("dot last") << "a=b."
                                  << "";
        QTest::newRow("equals before dot only") << "x = a.b;"
                                                << "";
        QTest::newRow("spaces trimmed, tabs kept") << "a.  \tw  = 1"
                                                   << "\tw";
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
        QFETCH(QString, expected);
        clsScroller s;
        s.iMsePause = 5;
        QVERIFY(s.SetProperty(line));
        QStringList got;
        if (!s.sName.isEmpty())
            got << "n=" + s.sName;
        if (!s.sWidth.isEmpty())
            got << "w=" + s.sWidth;
        if (!s.sHeight.isEmpty())
            got << "h=" + s.sHeight;
        if (!s.sSpeed.isEmpty())
            got << "s=" + s.sSpeed;
        if (s.iDirn != 0)
            got << "t=" + QString::number(s.iDirn);
        if (s.iMsePause != 5)
            got << "p=" + QString::number(s.iMsePause);
        if (!s.sDefWidth.isEmpty())
            got << "d=" + s.sDefWidth;
        if (!s.sSpacing.isEmpty())
            got << "g=" + s.sSpacing;
        if (!s.sPause.isEmpty())
            got << "z=" + s.sPause;
        QCOMPARE(got.join(u','), expected);
    }

    void setPropertyFailures_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("error");
        QTest::newRow("not a number") << "news.type = x;"
                                      << "\"x\" is not a number for type.";
        QTest::newRow("empty") << "news.type = ;"
                               << "\"\" is not a number for type.";
        QTest::newRow("comma fraction") << "news.type = 1,5;"
                                        << "\"1,5\" is not a number for type.";
        QTest::newRow("hex") << "news.type = 0x1;"
                             << "\"0x1\" is not a number for type.";
        QTest::newRow("overflow")
            << "news.type = 32767.5;"
            << "\"32767.5\" is out of range for type (it must lie between -32768 and 32767).";
        QTest::newRow("huge") << "news.type = 1e999;"
                              << "\"1e999\" is out of range for type (it must lie between "
                                 "-32768 and 32767).";
        QTest::newRow("marks out of order")
            << "x;a.width = 3"
            << "The value cannot be read, because a \";\" stands before the \"=\".";
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
};

QTEST_APPLESS_MAIN(TestScroller)
#include "tst_scroller.moc"
