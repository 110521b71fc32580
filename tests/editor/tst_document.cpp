// The document without a window: each command and its undo and redo, the clean state that follows
// the saved step, and the question about unsaved changes.
#include "editordocument.h"
#include "fakedialogs.h"
#include "files.h"
#include "nodekeys.h"
#include "scriptreader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using platform::Dialogs;

namespace {

// Everything a step may change, compared as a whole.
struct State {
    QList<clsItem> items;
    QStringList keys;
    clsScroller scroller;
    int current = -1;
    bool dirty = false;
    qint16 nextItem = 0;
    QString feed;
    bool operator==(const State& o) const {
        return items == o.items && keys == o.keys && scroller == o.scroller &&
               current == o.current && dirty == o.dirty && nextItem == o.nextItem && feed == o.feed;
    }
};

State stateOf(const EditorDocument& d) {
    State s;
    for (int i = 0; i < d.count(); ++i)
        s.items << d.item(i);
    s.keys = d.keys();
    s.scroller = d.scroller();
    s.current = d.current();
    s.dirty = d.isDirty();
    s.nextItem = d.nextItem();
    s.feed = d.feedSource().address;
    return s;
}

QString describe(const State& s) {
    QStringList names;
    for (const clsItem& i : s.items)
        names << i.sName + QLatin1Char('/') + i.sText;
    return QStringLiteral("items %1 keys %2 current %3 dirty %4 next %5 name %6 feed %7")
        .arg(names.join(u','), s.keys.join(u','))
        .arg(s.current)
        .arg(s.dirty)
        .arg(s.nextItem)
        .arg(s.scroller.sName, s.feed);
}

clsItem item(const QString& name, const QString& text = QString()) {
    clsItem i;
    i.sName = name;
    i.sText = text.isEmpty() ? QStringLiteral("text ") + name : text;
    return i;
}

// A document opened from a script with the items A, B, C, D (keys Item0 .. Item3).
struct DocSession {
    QTemporaryDir dir;
    platform::FakeDialogs dialogs;
    EditorDocument doc{dialogs, dir.path()};
    QString path = dir.filePath(QStringLiteral("items.js"));

    explicit DocSession(int count = 4) {
        if (!writeFile(path, itemsScript(0, letteredItems(count))))
            qFatal("cannot write the script");
        doc.open(path);
    }
};

using Step = std::function<void(EditorDocument&)>;

} // namespace

Q_DECLARE_METATYPE(Step)

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoRestoreEverything_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<Step>("prepare"); // before the state to come back to
        QTest::addColumn<Step>("step");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("namesAfter");
        QTest::addColumn<QStringList>("keysAfter");
        QTest::addColumn<int>("currentAfter");

        const Step none = [](EditorDocument&) {};
        const QStringList abcd{"A", "B", "C", "D"};
        const QStringList keys{"Item0", "Item1", "Item2", "Item3"};
        QTest::newRow("add") << 1 << none << Step([](EditorDocument& d) { d.addItem(); })
                             << "Add Item" << QStringList{"A", "B", "C", "D", "Item 5"}
                             << QStringList{"Item0", "Item1", "Item2", "Item3", "Item5"} << 4;
        QTest::newRow("delete middle")
            << 1 << none << Step([](EditorDocument& d) { d.deleteItem(1); }) << "Delete Item"
            << QStringList{"A", "C", "D"} << QStringList{"Item0", "Item2", "Item3"} << 1;
        QTest::newRow("delete last")
            << 3 << none << Step([](EditorDocument& d) { d.deleteItem(3); }) << "Delete Item"
            << QStringList{"A", "B", "C"} << QStringList{"Item0", "Item1", "Item2"} << 2;
        QTest::newRow("move up: the item passed is the copy")
            << 2 << none
            << Step([](EditorDocument& d) { d.moveItem(2, 1, QStringLiteral("Move Item Up")); })
            << "Move Item Up" << QStringList{"A", "C", "B", "D"}
            << QStringList{"Item0", "Item2", "Item1Dst", "Item3"} << 1;
        QTest::newRow("move down: the moved item is the copy")
            << 1 << none
            << Step([](EditorDocument& d) { d.moveItem(1, 2, QStringLiteral("Move Item Down")); })
            << "Move Item Down" << QStringList{"A", "C", "B", "D"}
            << QStringList{"Item0", "Item2", "Item1Dst", "Item3"} << 2;
        // A drag gives the keys that as many single moves give.
        QTest::newRow("drag last to top")
            << 3 << none
            << Step([](EditorDocument& d) { d.moveItem(3, 0, QStringLiteral("Move Item")); })
            << "Move Item" << QStringList{"D", "A", "B", "C"}
            << QStringList{"Item3", "Item0Dst", "Item1Dst", "Item2Dst"} << 0;
        QTest::newRow("drag first to bottom")
            << 0 << none
            << Step([](EditorDocument& d) { d.moveItem(0, 3, QStringLiteral("Move Item")); })
            << "Move Item" << QStringList{"B", "C", "D", "A"}
            << QStringList{"Item1", "Item2", "Item3", "Item0DstDstDst"} << 3;
        QTest::newRow("cut") << 0 << none << Step([](EditorDocument& d) { d.cutItem(0); })
                             << "Cut Item" << QStringList{"B", "C", "D"}
                             << QStringList{"Item1", "Item2", "Item3"} << 0;
        QTest::newRow("paste") << 1 << Step([](EditorDocument& d) { d.copyItem(3); })
                               << Step([](EditorDocument& d) { d.pasteItem(); }) << "Paste Item"
                               << QStringList{"A", "B", "D", "C", "D"}
                               << QStringList{"Item0", "Item1", "Item3Dst", "Item2", "Item3Src"}
                               << 2;
        QTest::newRow("edit item") << 2 << none << Step([](EditorDocument& d) {
            d.setItem(2, item(QStringLiteral("C2")), QStringLiteral("Edit Item Name"));
        }) << "Edit Item Name" << QStringList{"A", "B", "C2", "D"}
                                   << keys << 2;
        QTest::newRow("edit scroller") << 0 << none << Step([](EditorDocument& d) {
            clsScroller s = d.scroller();
            s.sName = QStringLiteral("other");
            d.setScroller(s, QStringLiteral("Edit Scroller Name"));
        }) << "Edit Scroller Name" << abcd
                                       << keys << 0;
        QTest::newRow("feed import")
            << 0 << none << Step([](EditorDocument& d) {
                   feed::Source f;
                   f.address = QStringLiteral("http://127.0.0.1/feed");
                   d.replaceFeedItems({}, d.count(),
                                      {item(QStringLiteral("N1")), item(QStringLiteral("N2"))}, f,
                                      true, QStringLiteral("Import from Feed"));
               })
            << "Import from Feed" << QStringList{"A", "B", "C", "D", "N1", "N2"}
            << QStringList{"Item0", "Item1", "Item2", "Item3", "Item5", "Item6"} << 4;
        QTest::newRow("feed refresh at the top") << 3 << none << Step([](EditorDocument& d) {
            d.replaceFeedItems({0, 1}, 0, {item(QStringLiteral("N1"))}, d.feedSource(), false,
                               QStringLiteral("Refresh from Feed"));
        }) << "Refresh from Feed" << QStringList{"N1", "C", "D"}
                                                 << QStringList{"Item5", "Item2", "Item3"} << 2;
    }
    void undoAndRedoRestoreEverything() {
        QFETCH(int, current);
        QFETCH(Step, prepare);
        QFETCH(Step, step);
        DocSession s;
        s.doc.setCurrent(current);
        prepare(s.doc);
        const State before = stateOf(s.doc);
        QVERIFY(!before.dirty);
        step(s.doc);
        const State after = stateOf(s.doc);
        QVERIFY(after.dirty);
        QCOMPARE(s.doc.undoStack()->count(), 1);
        QTEST(s.doc.undoStack()->undoText(), "name");
        QStringList names;
        for (const clsItem& i : after.items)
            names << i.sName;
        QTEST(names, "namesAfter");
        QTEST(after.keys, "keysAfter");
        QTEST(after.current, "currentAfter");
        for (int round = 0; round < 2; ++round) {
            s.doc.undoStack()->undo();
            QVERIFY2(stateOf(s.doc) == before, qPrintable(describe(stateOf(s.doc))));
            s.doc.undoStack()->redo();
            QVERIFY2(stateOf(s.doc) == after, qPrintable(describe(stateOf(s.doc))));
        }
    }

    void deletingTheOnlyItemAndUndoing() {
        DocSession s(1);
        s.doc.deleteItem(0);
        QCOMPARE(s.doc.count(), 0);
        QCOMPARE(s.doc.current(), -1);
        s.doc.undoStack()->undo();
        QCOMPARE(s.doc.count(), 1);
        QCOMPARE(s.doc.current(), 0);
        QCOMPARE(s.doc.key(0), QStringLiteral("Item0"));
        QVERIFY(!s.doc.isDirty());
    }

    void cleanExactlyAtTheSavedStep() {
        DocSession s;
        s.doc.addItem();
        s.doc.deleteItem(0);
        QVERIFY(s.doc.save());
        QVERIFY(!s.doc.isDirty());
        s.doc.undoStack()->undo();
        QVERIFY(s.doc.isDirty());
        s.doc.undoStack()->undo();
        QVERIFY(s.doc.isDirty());
        s.doc.undoStack()->redo();
        s.doc.undoStack()->redo();
        QVERIFY(!s.doc.isDirty());
        // A new step after undoing past the save: the saved state cannot come back by undo.
        s.doc.undoStack()->undo();
        s.doc.moveItem(0, 1, QStringLiteral("Move Item Down"));
        s.doc.undoStack()->undo();
        QVERIFY(s.doc.isDirty());
        // New and Open start a history of their own.
        s.doc.open(s.path);
        QVERIFY(!s.doc.isDirty());
        QCOMPARE(s.doc.undoStack()->count(), 0);
        s.doc.newDocument();
        QCOMPARE(s.doc.undoStack()->count(), 0);
        QVERIFY(!s.doc.isDirty());
    }

    void promptSaveChanges_data() {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("titled");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs"); // the Save As dialog's answer, "" for cancel
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("dirtyAfter");
        QTest::addColumn<bool>("written");
        using R = EditorDocument::PromptResult;
        const int yes = int(Dialogs::Answer::Yes);
        const int no = int(Dialogs::Answer::No);
        const int cancel = int(Dialogs::Answer::Cancel);
        QTest::newRow("clean: nothing asked")
            << false << true << -1 << "" << int(R::Clean) << false << false;
        QTest::newRow("no: given up, still marked")
            << true << true << no << "" << int(R::Discarded) << true << false;
        QTest::newRow("cancel") << true << true << cancel << "" << int(R::Cancelled) << true
                                << false;
        QTest::newRow("yes, titled: saved")
            << true << true << yes << "" << int(R::Saved) << false << true;
        QTest::newRow("yes, untitled, named: saved")
            << true << false << yes << "named.js" << int(R::Saved) << false << true;
        QTest::newRow("yes, untitled, dialog cancelled: the work is kept")
            << true << false << yes << "" << int(R::Cancelled) << true << false;
        QTest::newRow("yes, the write fails: the work is kept")
            << true << false << yes << "no/such/folder/x.js" << int(R::Cancelled) << true << false;
    }
    void promptSaveChanges() {
        QFETCH(bool, edited);
        QFETCH(bool, titled);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, written);
        DocSession s;
        if (!titled) {
            QVERIFY(QFile::copy(QFINDTESTDATA("../../data/default.js"),
                                s.dir.filePath(QStringLiteral("default.js"))));
            s.doc.newDocument();
        }
        if (edited)
            s.doc.addItem();
        if (answer >= 0)
            s.dialogs.answers << Dialogs::Answer(answer);
        if (!saveAs.isEmpty())
            s.dialogs.fileAnswers << s.dir.filePath(saveAs);
        if (saveAs.startsWith(u"no/"))
            s.dialogs.answers << Dialogs::Answer::Ok; // the failure is told
        else if (!titled && answer == int(Dialogs::Answer::Yes))
            s.dialogs.fileAnswers << QString();
        const QDateTime stamp = QFileInfo(s.path).lastModified();
        QTEST(int(s.doc.PromptSaveChanges()), "result");
        QTEST(s.doc.isDirty(), "dirtyAfter");
        QCOMPARE(s.dialogs.messages.isEmpty(), answer < 0);
        if (answer >= 0) {
            const Dialogs::Message& asked = s.dialogs.messages.first();
            QCOMPARE(asked.text, QStringLiteral("Do you want to save the changes?"));
            QCOMPARE(asked.buttons, Dialogs::Buttons::YesNoCancel);
            QCOMPARE(asked.defaultButton, Dialogs::Answer::Yes);
        }
        const QString target = titled ? s.path : s.dir.filePath(saveAs);
        if (written) {
            ScrollerDocument back;
            QVERIFY(scriptreader::LoadScroller(target, back).ok);
            QCOMPARE(back.items.size(), qsizetype(s.doc.count()));
            QCOMPARE(s.doc.filePath(), target);
        } else if (titled) {
            QCOMPARE(QFileInfo(s.path).lastModified(), stamp);
        }
        QCOMPARE(s.dialogs.unexpected, 0);
    }

    // The keys the document gives its items: each taken once, a suffix added until free.
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

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
