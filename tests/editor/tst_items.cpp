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
        QCOMPARE(s.w->nextItem(), qint16(1));
        QVERIFY(s.show());
        s.run("mnuItemAdd");
        QCOMPARE(s.names(), QStringList{"Item 1"});
        QCOMPARE(s.keys(), QStringList{"Item1"});
        QCOMPARE(s.node(0)->text(0), QStringLiteral("Item 1"));
        QCOMPARE(s.doc().item(0).sText, QStringLiteral("This is item 1"));
        QCOMPARE(s.doc().item(0).sWidth, QString());
        QCOMPARE(s.shownName(), QStringLiteral("Item 1"));
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("This is item 1"));
        QCOMPARE(s.field("txtItmWidth")->text(), QString());
        QCOMPARE(s.current(), 0);
        QCOMPARE(s.w->nextItem(), qint16(2));
        QVERIFY(s.w->isDirty());
        QCOMPARE(s.w->windowTitle().right(2), QStringLiteral("*]"));
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

    void moveDownCarriesThePendingEditsAndKeepsTheItemCurrent() {
        ItemsSession s(3);
        s.select(0);
        s.text()->setPlainText(QStringLiteral("first line\nsecond"));
        s.button("mnuItemMoveDown")->click();
        QCOMPARE(s.names(), (QStringList{"B", "A", "C"}));
        QCOMPARE(s.current(), 1);
        QCOMPARE(s.shownName(), QStringLiteral("A"));
        QCOMPARE(s.doc().item(1).sText, QStringLiteral("first line<br>second"));
        QCOMPARE(s.keys(), (QStringList{"Item1", "Item0Dst", "Item2"}));
        s.run("mnuItemMoveDown");
        QCOMPARE(s.names(), (QStringList{"B", "C", "A"}));
        QCOMPARE(s.current(), 2);
        QCOMPARE(s.keys().last(), QStringLiteral("Item0DstDst"));
        QVERIFY(!s.action("mnuItemMoveDown")->isEnabled());
        // Typed after the moves, stored by the next one, and the item goes back up.
        s.field("txtItmName")->setText(QStringLiteral("A again"));
        s.run("mnuItemMoveUp");
        QCOMPARE(s.names(), (QStringList{"B", "A again", "C"}));
        QCOMPARE(s.current(), 1);
        QCOMPARE(s.keys(), (QStringList{"Item1", "Item0DstDst", "Item2Dst"}));
        s.run("mnuItemMoveUp");
        QCOMPARE(s.names(), (QStringList{"A again", "B", "C"}));
        QCOMPARE(s.current(), 0);
        QVERIFY(!s.action("mnuItemMoveUp")->isEnabled());
    }

    void keyboardSelectionShowsTheItem() {
        ItemsSession s(3);
        QVERIFY(s.show());
        s.list()->setFocus();
        s.select(0);
        s.field("txtItmName")->setText(QStringLiteral("A typed"));
        s.text()->setPlainText(QStringLiteral("line one\nline two"));
        QTest::keyClick(s.list(), Qt::Key_Down);
        QCOMPARE(s.current(), 1);
        QCOMPARE(s.shownName(), QStringLiteral("B"));
        // What the fields showed is stored, as the script holds it, and the list shows it.
        QCOMPARE(s.doc().item(0).sName, QStringLiteral("A typed"));
        QCOMPARE(s.doc().item(0).sText, QStringLiteral("line one<br>line two"));
        QCOMPARE(s.node(0)->text(0), QStringLiteral("A typed"));
        QVERIFY(s.action("mnuItemMoveUp")->isEnabled());
    }

    void twoPastesOfOneCopyAreSeparateItems() {
        ItemsSession s(3);
        s.select(0);
        s.run("mnuEditCopy");
        QCOMPARE(s.doc().key(0), QStringLiteral("Item0Src"));
        QCOMPARE(s.doc().hasClip(), true);
        QCOMPARE(s.doc().clipKey(), QStringLiteral("Item0"));
        s.select(1);
        s.run("mnuEditPaste");
        // Directly after the current item, and current itself.
        QCOMPARE(s.names(), (QStringList{"A", "B", "A", "C"}));
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
        QCOMPARE(s.doc().item(3).sName, QStringLiteral("changed"));
        QCOMPARE(s.doc().item(2).sName, QStringLiteral("A"));
        QCOMPARE(s.doc().clipItem().sName, QStringLiteral("A"));
        s.run("mnuEditPaste");
        QCOMPARE(s.names().at(1), QStringLiteral("A"));
        QCOMPARE(s.doc().key(1), QStringLiteral("Item0DstDstDst"));
    }

    void typedValuesAreNeitherLostNorLeftBehind() {
        ItemsSession s(2);
        // What the fields show is what is copied.
        s.select(0);
        s.field("txtItmName")->setText(QStringLiteral("A typed"));
        s.run("mnuEditCopy");
        QCOMPARE(s.doc().clipItem().sName, QStringLiteral("A typed"));
        // Pasting keeps what was typed into the item shown before.
        s.select(1);
        s.field("txtItmName")->setText(QStringLiteral("B typed"));
        s.run("mnuEditPaste");
        QCOMPARE(s.names(), (QStringList{"A typed", "B typed", "A typed"}));
        // A cut item takes its typed values along.
        s.field("txtItmName")->setText(QStringLiteral("third"));
        s.run("mnuEditCut");
        s.select(0);
        s.run("mnuEditPaste");
        QCOMPARE(s.names(), (QStringList{"A typed", "third", "B typed"}));
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
