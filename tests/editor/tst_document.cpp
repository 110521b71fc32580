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

using platform::Dialogs;

namespace {

// Everything a step may change, as one text to compare as a whole.
QString stateOf(const EditorDocument& d) {
    QStringList out{d.keys().join(u','),           d.scroller().ToString(),
                    QString::number(d.current()),  QString::number(d.isDirty()),
                    QString::number(d.nextItem()), d.feedSource().address};
    for (int i = 0; i < d.count(); ++i)
        out << d.item(i).ToString();
    return out.join(u'|');
}

clsItem item(const QString& name) {
    clsItem i;
    i.sName = name;
    i.sText = QStringLiteral("text ") + name;
    return i;
}

// A document opened from a script with the items A, B, C, ... (keys Item0, Item1, ...).
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

// Runs a row's step: "add", "delete 1", "cut 0", "copy 3", "paste", "move 2 1", "item 2 C2",
// "scroller other", "import N1 N2", "refresh N1" (in place of the first two items); the steps
// whose caller names them get the row's name.
void perform(EditorDocument& d, const QString& command, const QString& name) {
    const QStringList w = command.split(u' ');
    const int n = w.value(1).toInt();
    if (w[0] == u"add") {
        d.addItem();
    } else if (w[0] == u"delete") {
        d.deleteItem(n);
    } else if (w[0] == u"cut") {
        d.cutItem(n);
    } else if (w[0] == u"copy") {
        d.copyItem(n);
    } else if (w[0] == u"paste") {
        d.pasteItem();
    } else if (w[0] == u"move") {
        d.moveItem(n, w[2].toInt(), name);
    } else if (w[0] == u"item") {
        d.setItem(n, item(w[2]), name);
    } else if (w[0] == u"scroller") {
        clsScroller s = d.scroller();
        s.sName = w[1];
        d.setScroller(s, name);
    } else {
        QList<clsItem> items;
        for (const QString& x : w.mid(1))
            items << item(x);
        feed::Source f = d.feedSource();
        f.address = QStringLiteral("http://127.0.0.1/feed");
        const bool import = w[0] == u"import";
        d.replaceFeedItems(import ? QList<int>{} : QList<int>{0, 1}, import ? d.count() : 0, items,
                           f, import, name);
    }
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoRestoreEverything_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("prepare"); // before the state to come back to
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("namesAfter");
        QTest::addColumn<QStringList>("keysAfter");
        QTest::addColumn<int>("currentAfter");
        const auto row = [](const char* tag, int current, const char* step, const char* name,
                            const char* names, const char* keys, int currentAfter,
                            const char* prepare = "", int count = 4) {
            QTest::newRow(tag) << count << current << prepare << step << name
                               << QString(names).split(u',', Qt::SkipEmptyParts)
                               << QString(keys).split(u',', Qt::SkipEmptyParts) << currentAfter;
        };
        const char* keys = "Item0,Item1,Item2,Item3";
        row("add", 1, "add", "Add Item", "A,B,C,D,Item 5", "Item0,Item1,Item2,Item3,Item5", 4);
        row("delete middle", 1, "delete 1", "Delete Item", "A,C,D", "Item0,Item2,Item3", 1);
        row("delete last", 3, "delete 3", "Delete Item", "A,B,C", "Item0,Item1,Item2", 2);
        row("delete the only one", 0, "delete 0", "Delete Item", "", "", -1, "", 1);
        row("move up: the item passed is the copy", 2, "move 2 1", "Move Item Up", "A,C,B,D",
            "Item0,Item2,Item1Dst,Item3", 1);
        row("move down: the moved item is the copy", 1, "move 1 2", "Move Item Down", "A,C,B,D",
            "Item0,Item2,Item1Dst,Item3", 2);
        // A drag gives the keys that as many single moves give.
        row("drag last to top", 3, "move 3 0", "Move Item", "D,A,B,C",
            "Item3,Item0Dst,Item1Dst,Item2Dst", 0);
        row("drag first to bottom", 0, "move 0 3", "Move Item", "B,C,D,A",
            "Item1,Item2,Item3,Item0DstDstDst", 3);
        row("cut", 0, "cut 0", "Cut Item", "B,C,D", "Item1,Item2,Item3", 0);
        row("paste", 1, "paste", "Paste Item", "A,B,D,C,D", "Item0,Item1,Item3Dst,Item2,Item3Src",
            2, "copy 3");
        row("edit item", 2, "item 2 C2", "Edit Item Name", "A,B,C2,D", keys, 2);
        row("edit scroller", 0, "scroller other", "Edit Scroller Name", "A,B,C,D", keys, 0);
        row("feed import", 0, "import N1 N2", "Import from Feed", "A,B,C,D,N1,N2",
            "Item0,Item1,Item2,Item3,Item5,Item6", 4);
        row("feed refresh at the top", 3, "refresh N1", "Refresh from Feed", "N1,C,D",
            "Item5,Item2,Item3", 2);
    }
    void undoAndRedoRestoreEverything() {
        QFETCH(int, count);
        QFETCH(int, current);
        QFETCH(QString, prepare);
        QFETCH(QString, step);
        QFETCH(QString, name);
        DocSession s(count);
        s.doc.setCurrent(current);
        if (!prepare.isEmpty())
            perform(s.doc, prepare, QString());
        QVERIFY(!s.doc.isDirty());
        const QString before = stateOf(s.doc);
        perform(s.doc, step, name);
        QVERIFY(s.doc.isDirty());
        const QString after = stateOf(s.doc);
        QCOMPARE(s.doc.undoStack()->count(), 1);
        QCOMPARE(s.doc.undoStack()->undoText(), name);
        QStringList names;
        for (int i = 0; i < s.doc.count(); ++i)
            names << s.doc.item(i).sName;
        QTEST(names, "namesAfter");
        QTEST(s.doc.keys(), "keysAfter");
        QTEST(s.doc.current(), "currentAfter");
        for (int round = 0; round < 2; ++round) {
            s.doc.undoStack()->undo();
            QCOMPARE(stateOf(s.doc), before);
            s.doc.undoStack()->redo();
            QCOMPARE(stateOf(s.doc), after);
        }
    }

    void cleanExactlyAtTheSavedStep() {
        DocSession s;
        QUndoStack* stack = s.doc.undoStack();
        s.doc.addItem();
        s.doc.deleteItem(0);
        QVERIFY(s.doc.save());
        QVERIFY(!s.doc.isDirty());
        for (const bool redo : {false, false, true, true}) {
            redo ? stack->redo() : stack->undo();
            QCOMPARE(s.doc.isDirty(), stack->index() != 2);
        }
        // A new step after undoing past the save: the saved state cannot come back by undo.
        stack->undo();
        s.doc.moveItem(0, 1, QStringLiteral("Move Item Down"));
        stack->undo();
        QVERIFY(s.doc.isDirty());
        // New and Open start a history of their own and empty the item clipboard; copying
        // changes no item, and an empty clipboard pastes nothing.
        s.doc.copyItem(0);
        s.doc.open(s.path);
        QVERIFY(!s.doc.isDirty() && !s.doc.hasClip());
        QCOMPARE(stack->count(), 0);
        s.doc.copyItem(0);
        QVERIFY(!s.doc.isDirty() && s.doc.hasClip());
        s.doc.newDocument();
        s.doc.pasteItem();
        QCOMPARE(stack->count(), 0);
        QVERIFY(!s.doc.isDirty() && !s.doc.hasClip());
    }

    void promptSaveChanges_data() {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("titled");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs"); // the Save As dialog's answer, "" for cancel
        QTest::addColumn<int>("result");     // saved or not, the document is marked until saved
        using R = EditorDocument::PromptResult;
        const auto row = [](const char* tag, bool edited, bool titled, Dialogs::Answer answer,
                            const char* saveAs, R result) {
            QTest::newRow(tag) << edited << titled << int(answer) << saveAs << int(result);
        };
        const auto yes = Dialogs::Answer::Yes;
        row("clean: nothing asked", false, true, Dialogs::Answer(-1), "", R::Clean);
        row("no: given up, still marked", true, true, Dialogs::Answer::No, "", R::Discarded);
        row("cancel", true, true, Dialogs::Answer::Cancel, "", R::Cancelled);
        row("yes, titled: saved", true, true, yes, "", R::Saved);
        row("yes, untitled, named: saved", true, false, yes, "named.js", R::Saved);
        row("yes, untitled, dialog cancelled: the work is kept", true, false, yes, "",
            R::Cancelled);
        row("yes, the write fails: the work is kept", true, false, yes, "no/such/folder/x.js",
            R::Cancelled);
    }

    void promptSaveChanges() {
        QFETCH(bool, edited);
        QFETCH(bool, titled);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(int, result);
        const bool written = result == int(EditorDocument::PromptResult::Saved);
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
        QCOMPARE(int(s.doc.PromptSaveChanges()), result);
        QCOMPARE(s.doc.isDirty(), edited && !written);
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
        const auto withSuffix = [&] {
            return keys.claimWithSuffix(QStringLiteral("Item1"), QStringLiteral("Dst"));
        };
        QCOMPARE(withSuffix(), QStringLiteral("Item1Dst"));
        QCOMPARE(withSuffix(), QStringLiteral("Item1DstDst"));
        keys.release(QStringLiteral("Item1Dst"));
        QCOMPARE(withSuffix(), QStringLiteral("Item1Dst"));
        QCOMPARE(keys.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
