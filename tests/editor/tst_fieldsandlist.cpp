// The Item fields and the item list together: what the fields hold, which item they belong to,
// and which keys reach the text and which the list.
#include "editorsession.h"

#include "document.h"
#include "scriptreader.h"

#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// A saved document with the given items, scrolling sideways so that every Item field is on,
// shown on the Items tab with its first item current.
struct ListSession : EditorSession {
    explicit ListSession(const QList<ScriptItem>& items = letteredItems(3, true)) {
        openOnItems(itemsScript(2, items), QStringLiteral("list.js"));
    }
    QStringList shown() const {
        return {field("txtItmName")->text(), text()->toPlainText(), field("txtItmWidth")->text()};
    }
    bool itemFieldsOn() const {
        return field("txtItmName")->isEnabled() && text()->isEnabled() &&
               get<QPushButton>("cmdItmBold")->isEnabled();
    }
    void clickRow(int i, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers,
                          list()->visualItemRect(node(i)).center());
    }
    QList<QTreeWidgetItem*> highlighted() const { return list()->selectedItems(); }
    int savedItems() {
        dialogs.fileAnswers << work + QStringLiteral("/saved.js");
        action("mnuFileSaveAs")->trigger();
        ScrollerDocument back;
        return scriptreader::LoadScroller(work + QStringLiteral("/saved.js"), back).ok
                   ? int(back.items.size())
                   : -1;
    }
};

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

class TestFieldsAndList : public QObject {
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
            QTest::newRow(field) << field << how << QString::fromUtf8(input) << kept << step;
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
        QVERIFY(s.w->isDirty());
        QVERIFY(s.w->windowTitle().endsWith(QStringLiteral("*]")));
        QVERIFY(s.button("mnuFileSave")->isEnabled());

        // What is saved reads back as it was typed, on its own line, as one step named for it.
        s.dialogs.fileAnswers << s.work + QStringLiteral("/one.js");
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(s.doc().undoStack()->count(), 1);
        QTEST(s.doc().undoStack()->undoText(), "step");
        ScrollerDocument back;
        QVERIFY(scriptreader::LoadScroller(s.work + QStringLiteral("/one.js"), back).ok);
        const clsScroller& b = back.scroller;
        const QMap<QString, QString> read = {{"txtScrName", b.sName},
                                             {"txtScrWidth", b.sWidth},
                                             {"txtScrHeight", b.sHeight},
                                             {"txtScrSpeed", b.sSpeed},
                                             {"txtScrDefWidth", b.sDefWidth},
                                             {"txtScrSpacing", b.sSpacing},
                                             {"txtScrPause", b.sPause},
                                             {"txtItmName", back.items.value(0).sName},
                                             {"txtItmWidth", back.items.value(0).sWidth}};
        QCOMPARE(read.value(field), kept);
    }

    void aPasteInsideTheTextLeavesTheCaretAfterIt() {
        ListSession s;
        QVERIFY(s.show());
        QLineEdit* name = s.field("txtItmName");
        name->setFocus();
        name->setText(QStringLiteral("AB"));
        name->setCursorPosition(1);
        QApplication::clipboard()->setText(QStringLiteral("x\r\ny\n"));
        QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(name->text(), QStringLiteral("Ax y B"));
        QCOMPARE(name->cursorPosition(), 5);
        QTest::keyClicks(name, QStringLiteral("z"));
        QCOMPARE(name->text(), QStringLiteral("Ax y zB"));
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
        QVERIFY(s.itemFieldsOn());
        s.type(s.field("txtItmName"), QStringLiteral(" typed"));
        if (how == u"delete") {
            s.action("mnuItemDelete")->trigger();
        } else if (how == u"key") {
            s.list()->setFocus();
            QTest::keyClick(s.list(), Qt::Key_Delete);
        } else if (how == u"cut") {
            s.button("mnuEditCut")->click();
        } else {
            const QString empty = s.work + QStringLiteral("/empty.js");
            QVERIFY(writeFile(empty, "e = new Tickora();\r\ne.name = 'e';\r\ne.type = 2;\r\n"));
            s.dialogs.answers << platform::Dialogs::Answer::No;
            s.w->openPath(empty);
            s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        }
        QCOMPARE(s.list()->topLevelItemCount(), 0);
        QCOMPARE(s.shown(), (QStringList{"", "", ""}));
        QVERIFY(!s.get<QGroupBox>("fraItmAttr")->isEnabled());
        QVERIFY(!s.itemFieldsOn());
        QVERIFY(!s.get<QGroupBox>("fraItmAttr")->isAncestorOf(QApplication::focusWidget()));
        for (const char* a : {"mnuItemDelete", "mnuItemMoveUp", "mnuItemMoveDown"})
            QVERIFY2(!s.action(a)->isEnabled(), a);
        QVERIFY(s.action("mnuItemAdd")->isEnabled() && s.action("mnuEditPaste")->isEnabled());
        // Typing reaches no field, and the commands that need an item change nothing.
        QTest::keyClicks(s.field("txtItmName"), QStringLiteral("lost"));
        QCOMPARE(s.field("txtItmName")->text(), QString());
        s.action("mnuItemMoveUp")->trigger();
        s.action("mnuEditCopy")->trigger();
        QCOMPARE(s.list()->topLevelItemCount(), 0);
        QCOMPARE(s.doc().hasClip(), how == u"cut");
        QCOMPARE(s.savedItems(), 0);

        // An item brings the fields back.
        s.action(how == u"cut" ? "mnuEditPaste" : "mnuItemAdd")->trigger();
        QVERIFY(s.itemFieldsOn());
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
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(where, keys)))
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
        QVERIFY(!s.w->isDirty());
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
        QVERIFY(!s.w->isDirty());
        QVERIFY(!s.action("mnuFileSave")->isEnabled());
        QVERIFY(!s.w->windowTitle().contains(u'*'));
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
        QVERIFY(current);
        QCOMPARE(s.highlighted(), QList<QTreeWidgetItem*>{current});
        QCOMPARE(s.shown().at(0), current->text(0));
        // Delete takes the item that looks selected, and no other.
        const QString gone = current->text(0);
        s.action("mnuItemDelete")->trigger();
        QVERIFY(!s.names().contains(gone));
        QCOMPARE(s.names().size(), 2);
        QCOMPARE(s.highlighted(), QList<QTreeWidgetItem*>{s.list()->currentItem()});
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
};

TICKORA_EDITOR_TEST_MAIN(TestFieldsAndList)
#include "tst_fieldsandlist.moc"
