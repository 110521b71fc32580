// clsItem: the item line it writes and the item lines it reads.
#include "clsitem.h"

#include <QTest>

class TestItem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void toStringPutsTextWidthName() {
        QCOMPARE(clsItem().ToString(), QStringLiteral(".add('', '', '');"));
        clsItem i;
        i.sText = QStringLiteral("Hello <b>world</b>");
        i.sName = QStringLiteral("Item 1");
        i.sWidth = QStringLiteral("150");
        QCOMPARE(i.ToString(), QStringLiteral(".add('Hello <b>world</b>', '150', 'Item 1');"));
    }

    void setItem_data() {
        const struct {
            const char* row;
            QString line;
            QString text;
            QString width;
            QString name;
        } rows[] = {
            // Fields a line lacks keep these starting values.
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
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("name");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.line << r.text << r.width << r.name;
    }
    void setItem() {
        QFETCH(QString, line);
        clsItem i;
        i.sText = QStringLiteral("T");
        i.sWidth = QStringLiteral("W");
        i.sName = QStringLiteral("N");
        i.SetItem(line);
        QTEST(i.sText, "text");
        QTEST(i.sWidth, "width");
        QTEST(i.sName, "name");
    }

    void cloneIsIndependent() {
        clsItem a;
        a.sText = QStringLiteral("one");
        clsItem b = a.Clone();
        b.sText = QStringLiteral("two");
        QCOMPARE(a.sText, QStringLiteral("one"));
        QCOMPARE(b.sText, QStringLiteral("two"));
    }
};

QTEST_APPLESS_MAIN(TestItem)
#include "tst_item.moc"
