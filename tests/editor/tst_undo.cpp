// Undo and Redo in the window, as a user reaches them: Ctrl+Z in a field and in the list, the
// star that follows the saved step, typing that pauses, and a drag in the list.
#include "editorsession.h"
#include "eventwait.h"

#include "itemlistview.h"

#include <QTabWidget>

namespace {

// A saved document of a sideways scroller (every field on) with the items A, B, C, D on the
// Items tab, shown and active.
struct UndoSession : EditorSession {
    UndoSession() { openOnItems(itemsScript(2, letteredItems(4)), QStringLiteral("undo.js")); }
    void ctrlZ(QWidget* target, bool redo = false) const {
        QTest::keyClick(target, Qt::Key_Z,
                        redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    }
    QString undoText() const { return action("mnuEditUndo")->text(); }
    bool starred() const { return w->windowTitle().endsWith(QStringLiteral("*]")); }
    // Drops the current item onto the upper half of a row, as the end of a drag does.
    void dropOnto(int row) const {
        list()->dropCurrentAt(list()->visualItemRect(node(row)).topLeft() + QPoint(4, 1));
    }
    ItemListView* list() const { return get<ItemListView>("tvItm"); }
    // What the document holds for a field (the item's for an Item field).
    QString recorded(const QString& field) const {
        const clsScroller& r = w->scroller();
        return QMap<QString, QString>{{"txtScrWidth", r.sWidth},
                                      {"txtScrHeight", r.sHeight},
                                      {"txtScrSpeed", r.sSpeed},
                                      {"txtScrDefWidth", r.sDefWidth},
                                      {"txtScrSpacing", r.sSpacing},
                                      {"txtScrPause", r.sPause},
                                      {"txtItmWidth", doc().item(0).sWidth}}
            .value(field, QStringLiteral("?"));
    }
};

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void deleteTheLastItemAndTakeItBack() {
        UndoSession s;
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
        QVERIFY(!s.action("mnuFileSave")->isEnabled());
        QTest::keyClick(s.list(), Qt::Key_Y, Qt::ControlModifier); // Redo's other key
        QCOMPARE(s.names(), (QStringList{"A", "B", "C"}));
        QVERIFY(s.starred());
    }

    void dragTheLastItemToTheTopIsOneStep() {
        UndoSession s;
        QVERIFY(s.show());
        s.select(3);
        s.dropOnto(0);
        QCOMPARE(s.names(), (QStringList{"D", "A", "B", "C"}));
        QCOMPARE(s.current(), 0);
        QCOMPARE(s.list()->topLevelItem(0)->text(0), QStringLiteral("D"));
        QCOMPARE(s.field("txtItmName")->text(), QStringLiteral("D"));
        QCOMPARE(s.undoText(), QStringLiteral("&Undo Move Item"));
        s.run("mnuEditUndo");
        QCOMPARE(s.names(), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(s.keys(), (QStringList{"Item0", "Item1", "Item2", "Item3"}));
        QCOMPARE(s.current(), 3);
        QVERIFY(!s.w->isDirty());
        // Dropped below the last row, the item goes to the end.
        s.select(0);
        s.list()->dropCurrentAt(s.list()->visualItemRect(s.node(3)).bottomLeft() + QPoint(4, 20));
        QCOMPARE(s.names(), (QStringList{"B", "C", "D", "A"}));
    }

    void ctrlZInAFieldTakesBackItsTypingFirst() {
        UndoSession s;
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
    }

    void refusedValuesAreNoSteps_data() {
        QTest::addColumn<QString>("field");
        for (const char* f : {"txtScrWidth", "txtScrHeight", "txtScrSpeed", "txtScrDefWidth",
                              "txtScrSpacing", "txtScrPause", "txtItmWidth"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void refusedValuesAreNoSteps() {
        QFETCH(QString, field);
        UndoSession s;
        QVERIFY(s.show());
        auto* tabs = s.get<QTabWidget>("tabMain");
        const int tab = field.startsWith(u"txtItm") ? 1 : 0;
        tabs->setCurrentIndex(tab);
        QLineEdit* refused = s.field(qPrintable(field));
        const QString good = refused->text();
        QCOMPARE(s.recorded(field), good);
        const bool pause = field != u"txtScrPause";
        const QString other =
            pause ? QStringLiteral("txtScrPause") : QStringLiteral("txtScrSpacing");
        const QUndoStack* stack = s.doc().undoStack();
        // The typing pause takes in what the checks accept, and only that.
        s.replace(refused, QStringLiteral("abc"));
        s.field(qPrintable(other))->setText(QStringLiteral("30"));
        QTRY_COMPARE(stack->count(), 1);
        QCOMPARE(stack->undoText(),
                 pause ? QStringLiteral("Edit Pause") : QStringLiteral("Edit Spacing"));
        QCOMPARE(s.recorded(field), good);
        QTest::keyClick(refused, Qt::Key_Tab);
        QCOMPARE(s.dialogs.messages.size(), 1);
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

    void settingsStepIsUndoneOnItsOwnTab() {
        UndoSession s;
        QVERIFY(s.show());
        // A settings change is undone from the Items tab too, and shown where it belongs.
        s.get<QTabWidget>("tabMain")->setCurrentIndex(0);
        s.replace(s.field("txtScrWidth"), QStringLiteral("30"));
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QCOMPARE(s.undoText(), QStringLiteral("&Undo Edit Scroller Width"));
        s.run("mnuEditUndo");
        QCOMPARE(s.get<QTabWidget>("tabMain")->currentIndex(), 0); // where the change is seen
        QCOMPARE(s.w->scroller().sWidth, s.field("txtScrWidth")->text());
        QVERIFY(!s.starred());
        // New starts a history of its own.
        s.run("mnuFileNew");
        QVERIFY(!s.action("mnuEditUndo")->isEnabled() && !s.action("mnuEditRedo")->isEnabled());
    }
};

TICKORA_EDITOR_TEST_MAIN(TestUndo)
#include "tst_undo.moc"
