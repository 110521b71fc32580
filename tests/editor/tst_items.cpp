// The item list and the Item fields: the list's commands and the item clipboard, what the fields
// hold and which item they belong to, which keys reach the text and which the list, and the undo
// history through the window.
#include "eventwait.h"
#include "listsession.h"

#include <QClipboard>
#include <QGroupBox>
#include <QMimeData>
#include <QTabWidget>
#include <QTreeWidget>

using Answer = platform::Dialogs::Answer;

namespace {

void drop(QWidget* target, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPoint at(target->width() - 2, target->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}

} // namespace

class TestItems : public QObject {
    Q_OBJECT
private slots:
    void oneLineFieldsNeverHoldALineBreak_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("step"); // the undo step the edit becomes
        const auto row = [](const char* field, const char* how, const char* input, const char* kept,
                            const char* step) {
            QTest::newRow(field) << field << how << input << kept << step;
        };
        row("txtScrWidth", "paste", "150\r\n", "150", "Edit Scroller Width");
        row("txtScrName", "paste", "\nnews\n", "news", "Edit Scroller Name");
        row("txtScrHeight", "drop", "90\n", "90", "Edit Scroller Height");
        row("txtScrSpeed", "set", "40\u2028", "40", "Edit Scroll Speed");
        row("txtScrDefWidth", "paste", "200\r", "200", "Edit Default Width");
        row("txtScrSpacing", "paste", "\r\n12\r\n", "12", "Edit Spacing");
        row("txtScrPause", "drop", "2500\n", "2500", "Edit Pause");
        // Words on separate lines stay apart.
        row("txtItmName", "paste", "Spring\nsale\n", "Spring sale", "Edit Item Name");
        row("txtItmWidth", "drop", "\r\n120", "120", "Edit Item Width");
    }
    void oneLineFieldsNeverHoldALineBreak() {
        QFETCH(QString, field);
        QFETCH(QString, how);
        QFETCH(QString, input);
        QFETCH(QString, kept);
        ListSession s;
        s.get<QTabWidget>("tabMain")->setCurrentIndex(field.startsWith(u"txtItm") ? 1 : 0);
        QVERIFY(s.show());
        QLineEdit* f = s.w->findChild<QLineEdit*>(field);
        f->setFocus();
        f->clear();
        if (how == u"paste") {
            QApplication::clipboard()->setText(input);
            QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        } else if (how == u"drop") {
            drop(f, input);
        } else {
            f->setText(input);
        }
        QCOMPARE(f->text(), kept);
        QVERIFY(s.starred());
        QVERIFY(s.button("mnuFileSave")->isEnabled());

        // A save takes it in as it was typed, as one step named for it.
        s.run("mnuFileSave");
        QCOMPARE(s.doc().undoStack()->count(), 1);
        QTEST(s.doc().undoStack()->undoText(), "step");
        QCOMPARE(s.recorded(field), kept);
        if (how != u"paste")
            return;
        // Pasted inside the text, line breaks between words become spaces and the caret
        // follows the paste.
        f->setText(QStringLiteral("AB"));
        f->setCursorPosition(1);
        QApplication::clipboard()->setText(QStringLiteral("x\r\ny\n"));
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->text(), QStringLiteral("Ax y B"));
        QTest::keyClicks(f, QStringLiteral("z"));
        QCOMPARE(f->text(), QStringLiteral("Ax y zB"));
    }

    void withoutACurrentItemTheItemFieldsAreEmptyAndOff_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Delete") << "delete";
        QTest::newRow("Del in the list") << "key";
        QTest::newRow("Cut") << "cut";
        QTest::newRow("Open a script without items") << "open";
    }
    void withoutACurrentItemTheItemFieldsAreEmptyAndOff() {
        QFETCH(QString, how);
        ListSession s({{"Only", "the only one", "50"}});
        QVERIFY(s.show());
        s.type(s.field("txtItmName"), QStringLiteral(" typed"));
        if (how == u"delete") {
            s.action("mnuItemDelete")->trigger();
        } else if (how == u"key") {
            s.list()->setFocus();
            QTest::keyClick(s.list(), Qt::Key_Delete);
        } else if (how == u"cut") {
            s.button("mnuEditCut")->click();
        } else {
            s.dialogs.answers << Answer::No;
            s.open("e = new Tickora();\r\ne.name = 'e';\r\ne.type = 2;\r\n",
                   QStringLiteral("empty.js"), 1);
        }
        QCOMPARE(s.list()->topLevelItemCount(), 0);
        QCOMPARE(s.shown(), (QStringList{"", "", ""}));
        QVERIFY(!s.get<QGroupBox>("fraItmAttr")->isEnabled());
        QVERIFY(!s.get<QGroupBox>("fraItmAttr")->isAncestorOf(QApplication::focusWidget()));
        for (const char* a : {"mnuItemDelete", "mnuItemMoveUp", "mnuItemMoveDown"})
            QVERIFY2(!s.action(a)->isEnabled(), a);
        QVERIFY(s.action("mnuItemAdd")->isEnabled() && s.action("mnuEditPaste")->isEnabled());
        // The commands that need an item change nothing.
        s.action("mnuItemMoveUp")->trigger();
        s.action("mnuEditCopy")->trigger();
        QCOMPARE(s.doc().hasClip(), how == u"cut");
        ScrollerDocument saved;
        QVERIFY(scriptreader::LoadScroller(s.saveAs(QStringLiteral("saved.js")), saved).ok);
        QCOMPARE(saved.items.size(), 0);

        // An item brings the fields back.
        s.action(how == u"cut" ? "mnuEditPaste" : "mnuItemAdd")->trigger();
        QVERIFY(s.get<QGroupBox>("fraItmAttr")->isEnabled());
        QVERIFY(s.action("mnuItemDelete")->isEnabled());
        if (how == u"cut") // the whole item comes back, with what was typed into it
            QCOMPARE(s.shown(), (QStringList{"Only typed", "the only one", "50"}));
        else
            QCOMPARE(s.shown().at(0), QStringLiteral("Item %1").arg(s.w->nextItem() - 1));
        s.type(s.field("txtItmName"), QStringLiteral("!"));
        s.list()->setFocus();
        QCOMPARE(s.node(0)->text(0), s.field("txtItmName")->text());
        QVERIFY(s.node(0)->text(0).endsWith(u'!'));
    }

    void editingKeysActOnTheTextInAFieldAndOnItemsInTheList_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QStringList>("names");     // the list afterwards
        QTest::addColumn<QString>("fieldText");     // the field's text afterwards
        QTest::addColumn<QString>("clipboardText"); // the system clipboard afterwards
        QTest::addColumn<int>("clipItems");         // items on the item clipboard
        const auto row = [](const char* where, const char* keys, const char* names,
                            const char* fieldText, const char* clipboard, int clipItems = 0) {
            QTest::addRow("%s, %s", where, keys)
                << where << QKeySequence(keys) << QString::fromUtf8(names).split(u',') << fieldText
                << clipboard << clipItems;
        };
        row("txtItmName", "Shift+Del", "A,B,C", "", "B");
        row("txtItmName", "Ctrl+X", "A,B,C", "", "B");
        row("txtItmName", "Ctrl+C", "A,B,C", "B", "B");
        row("txtItmName", "Ctrl+V", "A,B,C", "pasted", "pasted");
        row("txtItmName", "Del", "A,B,C", "", "pasted");
        row("txtItmText", "Shift+Del", "A,B,C", "", "text B");
        row("txtItmWidth", "Shift+Del", "A,B,C", "", "11");
        // The other item commands keep their keys in the fields too.
        row("txtItmText", "Ctrl+D", "A,C,B", "text B", "pasted");
        row("txtItmText", "Ctrl+U", "B,A,C", "text B", "pasted");
        row("txtItmName", "Ctrl+I", "A,B,C,Item 4", "Item 4", "pasted");
        row("tvItm", "Shift+Del", "A,C", "", "pasted");
        row("tvItm", "Del", "A,C", "", "pasted");
        row("tvItm", "Ctrl+X", "A,C", "", "pasted", 1);
        row("tvItm", "Ctrl+C, Ctrl+V", "A,B,B,C", "", "pasted", 1);
    }
    void editingKeysActOnTheTextInAFieldAndOnItemsInTheList() {
        QFETCH(QString, where);
        QFETCH(QKeySequence, keys);
        ListSession s;
        QVERIFY(s.show());
        s.clickRow(1);
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QWidget* target = s.w->findChild<QWidget*>(where);
        target->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(target))
            line->selectAll();
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(target))
            edit->selectAll();
        QTest::keySequence(target, keys);
        QTEST(s.names(), "names");
        if (where != u"tvItm") {
            const QString now = where == u"txtItmText" ? s.text()->toPlainText()
                                                       : qobject_cast<QLineEdit*>(target)->text();
            QTEST(now, "fieldText");
        }
        QTEST(QApplication::clipboard()->text(), "clipboardText");
        QTEST(int(s.doc().hasClip()), "clipItems");
    }

    void lookingAtItemsLeavesTheDocumentUnchanged() {
        ListSession s({{"A", "text A", "10"},
                       {"O\\'Neil", "it\\'s<br>two lines", ""},
                       {"C", "text C", "12"}});
        QVERIFY(s.show());
        s.clickRow(1);
        QCOMPARE(s.shown().at(0), QStringLiteral("O\\'Neil"));
        s.clickRow(1); // the item already shown
        s.list()->setFocus();
        QTest::keyClick(s.list(), Qt::Key_Down);
        QTest::keyClick(s.list(), Qt::Key_Home);
        s.clickRow(2);
        // Leaving the fields without typing changes nothing either.
        s.field("txtItmName")->setFocus();
        s.text()->setFocus();
        s.list()->setFocus();
        QCOMPARE(s.shown().at(0), QStringLiteral("C"));
        QVERIFY(!s.starred());
        QVERIFY(!s.action("mnuFileSave")->isEnabled());
        // Typing still marks it.
        s.type(s.field("txtItmName"), QStringLiteral("x"));
        QVERIFY(s.w->isDirty());
    }

    void theHighlightedRowIsTheCurrentItem_data() {
        QTest::addColumn<QString>("gesture");
        QTest::newRow("click into empty space") << "empty";
        QTest::newRow("Ctrl+click on the current row") << "ctrl-click";
        QTest::newRow("Ctrl+Space") << "ctrl-space";
        QTest::newRow("Ctrl+Down") << "ctrl-down";
    }
    void theHighlightedRowIsTheCurrentItem() {
        QFETCH(QString, gesture);
        ListSession s;
        QVERIFY(s.show());
        s.clickRow(1);
        if (gesture == u"empty") {
            const QRect last = s.list()->visualItemRect(s.node(2));
            QVERIFY(last.bottom() + 10 < s.list()->viewport()->height());
            QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, Qt::NoModifier,
                              QPoint(last.center().x(), last.bottom() + 8));
        } else if (gesture == u"ctrl-click") {
            s.clickRow(1, Qt::ControlModifier);
        } else if (gesture == u"ctrl-space") {
            s.list()->setFocus();
            QTest::keyClick(s.list(), Qt::Key_Space, Qt::ControlModifier);
        } else {
            s.list()->setFocus();
            QTest::keyClick(s.list(), Qt::Key_Down, Qt::ControlModifier);
        }
        QTreeWidgetItem* current = s.list()->currentItem();
        QCOMPARE(s.list()->selectedItems(), QList<QTreeWidgetItem*>{current});
        QCOMPARE(s.shown().at(0), current->text(0));
        // Delete takes the item that looks selected, and no other.
        const QString gone = current->text(0);
        s.action("mnuItemDelete")->trigger();
        QVERIFY(!s.names().contains(gone));
        QCOMPARE(s.names().size(), 2);
        QCOMPARE(s.list()->selectedItems(), QList<QTreeWidgetItem*>{s.list()->currentItem()});
    }

    void eachItemStartsWithAnEmptyUndoHistory_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("name") << "txtItmName";
        QTest::newRow("text") << "txtItmText";
        QTest::newRow("width") << "txtItmWidth";
    }
    void eachItemStartsWithAnEmptyUndoHistory() {
        QFETCH(QString, field);
        // Two items alike, so showing the second writes nothing into the fields.
        ListSession s({{"Same", "same", "20"}, {"Same", "same", "20"}});
        QVERIFY(s.show());
        QWidget* f = s.w->findChild<QWidget*>(field);
        s.type(f, QStringLiteral("9"));
        QTest::keyClick(f, Qt::Key_Backspace);
        s.clickRow(1);
        f->setFocus();
        QTest::keyClick(f, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.shown(), (QStringList{"Same", "same", "20"}));
        // After Add the new item's fields have no typing to take back: the key takes back the
        // document's last step, the Add, and the typing stays with the item it went into.
        s.type(f, QStringLiteral("9"));
        s.action("mnuItemAdd")->trigger();
        f->setFocus();
        QTest::keyClick(f, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.names().size(), 2);
        QCOMPARE(s.current(), 1);
        QCOMPARE(s.shown().at(0),
                 field == u"txtItmName" ? QStringLiteral("Same9") : QStringLiteral("Same"));
    }

    void addGivesDefaultsAndNeverReusesANumber() {
        ListSession s(0);
        QVERIFY(s.show());
        s.run("mnuItemAdd");
        QCOMPARE(s.shown(), (QStringList{"Item 1", "This is item 1", ""}));
        QCOMPARE(s.current(), 0);
        // Nothing was selected, so the list takes the focus.
        QCOMPARE(QApplication::focusWidget(), s.list());

        s.run("mnuItemDelete");
        s.run("mnuItemAdd");
        QCOMPARE(s.names(), QStringList{"Item 2"});
        s.button("mnuItemAdd")->click(); // the toolbar button runs the same command
        QCOMPARE(s.names(), (QStringList{"Item 2", "Item 3"}));

        // Two pastes of one copy are separate items, each directly after the current item; the
        // last is current and shown.
        s.select(0);
        s.run("mnuEditCopy");
        s.run("mnuEditPaste");
        s.button("mnuEditPaste")->click();
        QCOMPARE(s.names(), (QStringList{"Item 2", "Item 2", "Item 2", "Item 3"}));
        QCOMPARE(s.current(), 2);
        QCOMPARE(s.doc().item(2), s.doc().item(0));
        const QStringList keys = s.doc().keys();
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), 4); // each its own key
        QCOMPARE(s.shown().at(1), s.doc().item(0).sText);
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
        ListSession s(count);
        s.select(selected);
        QCOMPARE(s.action("mnuItemMoveUp")->isEnabled(), canMoveUp);
        QCOMPARE(s.action("mnuItemMoveDown")->isEnabled(), canMoveDown);
        // Moved, the item stays current and shown, and the rules hold for its new place.
        if (canMoveUp || canMoveDown) {
            const int to = canMoveDown ? selected + 1 : selected - 1;
            s.run(canMoveDown ? "mnuItemMoveDown" : "mnuItemMoveUp");
            QCOMPARE(s.current(), to);
            QCOMPARE(s.shown().at(0), QString(QChar(u'A' + selected)));
            QCOMPARE(s.action("mnuItemMoveUp")->isEnabled(), to > 0);
            QCOMPARE(s.action("mnuItemMoveDown")->isEnabled(), to < count - 1);
        }
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
        ListSession s(3);
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

    void deleteOrDragTheLastItemAndTakeItBack() {
        ListSession s(4);
        QVERIFY(s.show());
        s.select(3);
        s.list()->setFocus();
        QTest::keyClick(s.list(), Qt::Key_Delete);
        QCOMPARE(s.names(), (QStringList{"A", "B", "C"}));
        QVERIFY(s.starred());
        QCOMPARE(s.undoText(), QStringLiteral("&Undo Delete Item"));
        s.ctrlZ(s.list());
        QCOMPARE(s.names(), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(s.current(), 3);
        QCOMPARE(s.field("txtItmName")->text(), QStringLiteral("D"));
        QVERIFY(!s.starred() && !s.w->isDirty());
        QTest::keyClick(s.list(), Qt::Key_Y, Qt::ControlModifier); // Redo's other key
        QCOMPARE(s.names(), (QStringList{"A", "B", "C"}));
        QVERIFY(s.starred());

        // Dragged to the top, the last item moves in one step.
        s.ctrlZ(s.list());
        s.select(3);
        // Dropped onto the upper half of the first row, as the end of a drag does.
        s.list()->dropCurrentAt(s.list()->visualItemRect(s.node(0)).topLeft() + QPoint(4, 1));
        QCOMPARE(s.names(), (QStringList{"D", "A", "B", "C"}));
        QCOMPARE(s.current(), 0);
        QCOMPARE(s.list()->topLevelItem(0)->text(0), QStringLiteral("D"));
        QCOMPARE(s.field("txtItmName")->text(), QStringLiteral("D"));
        QCOMPARE(s.undoText(), QStringLiteral("&Undo Move Item"));
        s.run("mnuEditUndo");
        QCOMPARE(s.names(), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(s.current(), 3);
        QVERIFY(!s.w->isDirty());
        // Dropped below the last row, the item goes to the end.
        s.select(0);
        s.list()->dropCurrentAt(s.list()->visualItemRect(s.node(3)).bottomLeft() + QPoint(4, 20));
        QCOMPARE(s.names(), (QStringList{"B", "C", "D", "A"}));
    }

    void ctrlZTakesBackTheFieldsTypingFirstAndSettingsOnTheirTab() {
        ListSession s(4);
        QVERIFY(s.show());
        QLineEdit* name = s.field("txtItmName");
        s.type(name, QStringLiteral("x"));
        QVERIFY(s.starred());
        s.ctrlZ(name);
        // The field's own undo: the document never saw the typing.
        QCOMPARE(name->text(), QStringLiteral("A"));
        QCOMPARE(s.doc().undoStack()->count(), 0);
        // Typed again and paused, the typing becomes a step; Ctrl+Z then takes back the step.
        s.type(name, QStringLiteral("yz"));
        TRY_COMPARE(s.undoText(), QStringLiteral("&Undo Edit Item Name"), 5000);
        QCOMPARE(s.doc().item(0).sName, QStringLiteral("Ayz"));
        QCOMPARE(QApplication::focusWidget(), name);
        QCOMPARE(name->cursorPosition(), 3); // the pause moved nothing
        s.ctrlZ(name);
        QCOMPARE(name->text(), QStringLiteral("A"));
        QCOMPARE(s.doc().item(0).sName, QStringLiteral("A"));
        QVERIFY(!s.starred());
        s.ctrlZ(name, true);
        QCOMPARE(name->text(), QStringLiteral("Ayz"));
        // In the field, Ctrl+Y redoes its own typing first.
        s.type(name, QStringLiteral("q"));
        s.ctrlZ(name);
        QTest::keyClick(name, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(name->text(), QStringLiteral("Ayzq"));

        // A settings change is undone from the Items tab too, and shown where it belongs.
        s.get<QTabWidget>("tabMain")->setCurrentIndex(0);
        s.replace(s.field("txtScrWidth"), QStringLiteral("30"));
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QCOMPARE(s.undoText(), QStringLiteral("&Undo Edit Scroller Width"));
        s.run("mnuEditUndo");
        QCOMPARE(s.get<QTabWidget>("tabMain")->currentIndex(), 0); // where the change is seen
        QCOMPARE(s.w->scroller().sWidth, s.field("txtScrWidth")->text());
        QCOMPARE(s.doc().item(0).sName, QStringLiteral("Ayzq"));
        // New starts a history of its own.
        s.dialogs.answers << Answer::No;
        s.run("mnuFileNew");
        QVERIFY(!s.action("mnuEditUndo")->isEnabled() && !s.action("mnuEditRedo")->isEnabled());
    }

    // Each field reaches its own rule (the rules themselves are tst_rules'), and a refused value
    // is told when the field is left, and never becomes a step.
    void refusedValuesAreNoSteps_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QStringList>("messages");
        const char* const rows[][3] = {
            {"txtScrWidth", "2001", "Please Enter A Value Between 10 And 2000"},
            {"txtScrHeight", "abc", "Please Enter A Value Between 10 And 2000"},
            {"txtScrSpeed", "4", "Please Enter A Value Between 5 And 1000"},
            {"txtScrDefWidth", "5", "Please Enter A Value Between 10 And 2000"},
            {"txtScrSpacing", "51", "Please Enter A Value Between 0 And 50"},
            {"txtScrPause", "50001", "Please Enter A Value Between 0 And 50000"},
            {"txtItmWidth", "x", "Please Enter A Value Between 10 And 2000"},
            {"txtScrName", "", "Scroller name must not be blank."},
            {"txtScrName", "indexedDB",
             "Scroller name must not be \"indexedDB\", a name that JavaScript or the web page "
             "already uses."}};
        for (const auto& r : rows)
            QTest::addRow("%s %s", r[0], r[1]) << r[0] << r[1] << QStringList{r[2]};
    }
    void refusedValuesAreNoSteps() {
        QFETCH(QString, field);
        QFETCH(QString, bad);
        ListSession s(4);
        QVERIFY(s.show());
        auto* tabs = s.get<QTabWidget>("tabMain");
        const int tab = field.startsWith(u"txtItm") ? 1 : 0;
        tabs->setCurrentIndex(tab);
        QLineEdit* refused = s.field(qPrintable(field));
        const QString good = refused->text();
        const bool pause = field != u"txtScrPause";
        const char* other = pause ? "txtScrPause" : "txtScrSpacing";
        const QUndoStack* stack = s.doc().undoStack();
        // The typing pause takes in what the checks accept, and only that.
        s.replace(refused, bad);
        s.field(other)->setText(QStringLiteral("30"));
        QTRY_COMPARE(stack->count(), 1);
        QCOMPARE(stack->undoText(),
                 pause ? QStringLiteral("Edit Pause") : QStringLiteral("Edit Spacing"));
        QCOMPARE(s.recorded(field), good);
        QTest::keyClick(refused, Qt::Key_Tab);
        QTEST(s.dialogs.texts(), "messages");
        QCOMPARE(s.dialogs.messages[0].title, QStringLiteral("Tickora Creator"));
        QVERIFY(s.w->hasFieldError());
        QCOMPARE(QApplication::focusWidget(), refused);
        QCOMPARE(refused->selectedText(), bad);
        tabs->setCurrentIndex(1 - tab);
        QCOMPARE(stack->count(), 1);
        QVERIFY(s.starred());
        // Undo takes back the refused typing first, then the step; Redo brings back the step
        // alone.
        QCOMPARE(s.undoText(), QStringLiteral("&Undo Typing"));
        s.run("mnuEditUndo");
        QCOMPARE(refused->text(), good);
        QCOMPARE(stack->index(), 1);
        s.run("mnuEditUndo");
        QVERIFY(!s.starred());
        s.run("mnuEditRedo");
        QCOMPARE(s.recorded(other), QStringLiteral("30"));
        QCOMPARE(refused->text(), good);
        QCOMPARE(s.recorded(field), good);
    }
};

TICKORA_EDITOR_TEST_MAIN(TestItems)
#include "tst_items.moc"
