// The item list's commands and the item clipboard, in whole sessions with the main window.
#include "editorsession.h"

#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// A window on the Items tab with a document of `count` items named A, B, C, ... (keys Item0,
// Item1, ... as the reader gives them), so the counter for new items starts at count + 1.
struct ItemsSession : EditorSession {
    explicit ItemsSession(int count = 3) {
        openOnItems(itemsScript(2, letteredItems(count, true)), QStringLiteral("items.js"));
    }
    QString shownName() const { return field("txtItmName")->text(); }
};

} // namespace

class TestItems : public QObject {
    Q_OBJECT
private slots:
    void addGivesDefaultsAndNeverReusesANumber() {
        ItemsSession s(0);
        QVERIFY(s.show());
        s.run("mnuItemAdd");
        QCOMPARE(s.keys(), QStringList{"Item1"});
        QCOMPARE(s.node(0)->text(0), QStringLiteral("Item 1"));
        QCOMPARE(s.doc().item(0).sText, QStringLiteral("This is item 1"));
        QCOMPARE(s.doc().item(0).sWidth, QString());
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("This is item 1"));
        QCOMPARE(s.current(), 0);
        QVERIFY(s.w->isDirty());
        // Nothing was selected, so the list takes the focus.
        QCOMPARE(QApplication::focusWidget(), s.list());

        s.run("mnuItemDelete");
        s.run("mnuItemAdd");
        QCOMPARE(s.names(), QStringList{"Item 2"});
        s.button("mnuItemAdd")->click(); // the toolbar button runs the same command
        QCOMPARE(s.names(), (QStringList{"Item 2", "Item 3"}));
        QCOMPARE(s.keys(), (QStringList{"Item2", "Item3"}));
    }

    void enablingFollowsThePlaceOfTheCurrentItem_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("canMoveUp");
        QTest::addColumn<bool>("canMoveDown");
        QTest::newRow("first") << 3 << 0 << false << true;
        QTest::newRow("middle") << 3 << 1 << true << true;
        QTest::newRow("last") << 3 << 2 << true << false;
        QTest::newRow("only") << 1 << 0 << false << false;
    }
    void enablingFollowsThePlaceOfTheCurrentItem() {
        QFETCH(int, count);
        QFETCH(int, selected);
        QFETCH(bool, canMoveUp);
        QFETCH(bool, canMoveDown);
        ItemsSession s(count);
        s.select(selected);
        QVERIFY(s.action("mnuItemDelete")->isEnabled() && s.button("mnuItemDelete")->isEnabled());
        QCOMPARE(s.action("mnuItemMoveUp")->isEnabled(), canMoveUp);
        QCOMPARE(s.button("mnuItemMoveUp")->isEnabled(), canMoveUp);
        QCOMPARE(s.action("mnuItemMoveDown")->isEnabled(), canMoveDown);
        QCOMPARE(s.button("mnuItemMoveDown")->isEnabled(), canMoveDown);
        // After a move the rules hold for the item's new place.
        if (canMoveUp) {
            s.run("mnuItemMoveUp");
            QCOMPARE(s.action("mnuItemMoveDown")->isEnabled(), true);
            QCOMPARE(s.action("mnuItemMoveUp")->isEnabled(), selected - 1 > 0);
        }
    }

    void moveDownAndUpKeepTheItemCurrent() {
        ItemsSession s(3);
        s.select(0);
        s.button("mnuItemMoveDown")->click();
        QCOMPARE(s.names(), (QStringList{"B", "A", "C"}));
        QCOMPARE(s.current(), 1);
        QCOMPARE(s.shownName(), QStringLiteral("A"));
        QCOMPARE(s.keys(), (QStringList{"Item1", "Item0Dst", "Item2"}));
        s.run("mnuItemMoveDown");
        QCOMPARE(s.names(), (QStringList{"B", "C", "A"}));
        QCOMPARE(s.current(), 2);
        QVERIFY(!s.action("mnuItemMoveDown")->isEnabled());
        s.run("mnuItemMoveUp");
        s.run("mnuItemMoveUp");
        QCOMPARE(s.names(), (QStringList{"A", "B", "C"}));
        QCOMPARE(s.current(), 0);
        QCOMPARE(s.keys(), (QStringList{"Item0DstDst", "Item1Dst", "Item2Dst"}));
        QVERIFY(!s.action("mnuItemMoveUp")->isEnabled());
    }

    // What was typed into the item shown goes with that item, whatever command comes next.
    void typingGoesWithItsItem_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("holder"); // the item that holds the typing; -1 the clipboard
        const auto row = [](const char* command, const char* names, int holder) {
            QTest::newRow(command) << command << QString::fromUtf8(names).split(u',') << holder;
        };
        row("Down", "A,typed,C", 1);
        row("mnuItemMoveDown", "A,C,typed", 2);
        row("mnuItemMoveUp", "typed,A,C", 0);
        row("mnuItemAdd", "A,typed,C,Item 4", 1);
        row("mnuEditCopy", "A,typed,C", -1);
        row("mnuEditPaste", "A,typed,A,C", 1); // A was copied before the typing
        row("mnuEditCut", "A,C", -1);
    }
    void typingGoesWithItsItem() {
        QFETCH(QString, command);
        QFETCH(int, holder);
        ItemsSession s(3);
        QVERIFY(s.show());
        s.select(0);
        s.run("mnuEditCopy");
        s.select(1);
        s.field("txtItmName")->setText(QStringLiteral("typed"));
        s.text()->setPlainText(QStringLiteral("line one\nline two"));
        if (command == u"Down") {
            s.list()->setFocus();
            QTest::keyClick(s.list(), Qt::Key_Down);
        } else {
            s.run(qPrintable(command));
        }
        QTEST(s.names(), "names");
        // As the script holds it, and the list shows it.
        const clsItem typed = holder < 0 ? s.doc().clipItem() : s.doc().item(holder);
        QCOMPARE(typed.sName, QStringLiteral("typed"));
        QCOMPARE(typed.sText, QStringLiteral("line one<br>line two"));
        if (holder >= 0)
            QCOMPARE(s.node(holder)->text(0), QStringLiteral("typed"));
    }

    void twoPastesOfOneCopyAreSeparateItems() {
        ItemsSession s(3);
        s.select(0);
        s.run("mnuEditCopy");
        QCOMPARE(s.doc().key(0), QStringLiteral("Item0Src"));
        QCOMPARE(s.doc().clipKey(), QStringLiteral("Item0"));
        s.select(1);
        s.run("mnuEditPaste");
        // Directly after the current item, and current itself.
        QCOMPARE(s.current(), 2);
        QCOMPARE(s.shownName(), QStringLiteral("A"));
        s.button("mnuEditPaste")->click();
        QCOMPARE(s.names(), (QStringList{"A", "B", "A", "A", "C"}));
        QCOMPARE(s.doc().key(2), QStringLiteral("Item0Dst"));
        QCOMPARE(s.doc().key(3), QStringLiteral("Item0DstDst"));
        QCOMPARE(s.current(), 3);
        QCOMPARE(s.doc().item(3), s.doc().item(0));

        // Each copy has its own record: editing one touches neither the other nor the clip.
        s.field("txtItmName")->setText(QStringLiteral("changed"));
        s.select(0);
        QCOMPARE(s.doc().item(2).sName, QStringLiteral("A"));
        QCOMPARE(s.doc().clipItem().sName, QStringLiteral("A"));
        s.run("mnuEditPaste");
        QCOMPARE(s.names().at(1), QStringLiteral("A"));
        QCOMPARE(s.doc().key(1), QStringLiteral("Item0DstDstDst"));
    }

    void newAndOpenEmptyTheClipboard() {
        ItemsSession s(2);
        s.run("mnuEditCopy");
        QCOMPARE(s.doc().hasClip(), true);
        QVERIFY(!s.w->isDirty()); // copying changes no item
        s.run("mnuFileNew");
        QCOMPARE(s.doc().hasClip(), false);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        const int count = s.list()->topLevelItemCount();
        s.run("mnuEditPaste");
        QCOMPARE(s.list()->topLevelItemCount(), count);
        QVERIFY(!s.w->isDirty()); // pasting an empty clipboard changes nothing

        s.run("mnuEditCopy");
        QCOMPARE(s.doc().hasClip(), true);
        s.dialogs.fileAnswers << s.work + QStringLiteral("/items.js");
        s.run("mnuFileOpen");
        QCOMPARE(s.doc().hasClip(), false);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        s.run("mnuEditPaste");
        QCOMPARE(s.names(), (QStringList{"A", "B"}));
        QVERIFY(s.dialogs.messages.isEmpty());
    }

    void editCommandsAreOnlyOnTheItemsTab() {
        ItemsSession s(2);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(0);
        for (const char* a : {"mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuItemAdd"})
            QVERIFY2(!s.action(a)->isEnabled(), a);
        s.run("mnuItemAdd"); // a disabled entry runs nothing
        QCOMPARE(s.names().size(), 2);
    }
};

TICKORA_EDITOR_TEST_MAIN(TestItems)
#include "tst_items.moc"
