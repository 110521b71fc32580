// The item list and the Item fields together: the list's commands and the item clipboard, what
// the fields hold and which item they belong to, which keys reach the text and which the list,
// the undo history through the window, the markup buttons beside the item text (bold, emphasis
// and pictures), the embed code, and Import from Feed, Refresh from Feed and Forget Feed against a
// feed server on 127.0.0.1.
#include "editorsession.h"
#include "eventwait.h"

#include "chmfile.h"
#include "document.h"
#include "embedcode.h"
#include "feeddialog.h"
#include "feedsamples.h"
#include "feedserver.h"
#include "markuprules.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextCursor>
#include <QTreeWidget>

using Answer = platform::Dialogs::Answer;

namespace {

// A saved document of a sideways scroller (every Item field on) with the given items, by default
// `count` items A, B, C, ... (keys Item0, Item1, ...; widths 10, 11, ...), so the counter for new
// items starts at count + 1; shown on the Items tab with its first item current.
struct ListSession : EditorSession {
    explicit ListSession(const QList<ScriptItem>& items) {
        openOnItems(itemsScript(2, items), QStringLiteral("list.js"));
    }
    explicit ListSession(int count = 3) : ListSession(letteredItems(count, true)) {}
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
    // What the document holds for a field (the first item's for an Item field).
    QString recorded(const QString& field) const {
        const clsScroller& r = w->scroller();
        return QMap<QString, QString>{{"txtScrName", r.sName},
                                      {"txtItmName", doc().item(0).sName},
                                      {"txtScrWidth", r.sWidth},
                                      {"txtScrHeight", r.sHeight},
                                      {"txtScrSpeed", r.sSpeed},
                                      {"txtScrDefWidth", r.sDefWidth},
                                      {"txtScrSpacing", r.sSpacing},
                                      {"txtScrPause", r.sPause},
                                      {"txtItmWidth", doc().item(0).sWidth}}
            .value(field, QStringLiteral("?"));
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

// A two-colour GIF of 3 x 2 pixels (Qt reads GIF but does not write it).
const QByteArray kGif("GIF89a\x03\x00\x02\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x2c\x00\x00"
                      "\x00\x00\x03\x00\x02\x00\x00\x02\x04\x4c\x98\x30\x29\x00\x3b",
                      37);

bool writePng(const QString& path, int w, int h, int dpi = 96) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    // The resolution the file states must not change the size in pixels.
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    QDir().mkpath(QFileInfo(path).absolutePath());
    return image.save(path, "PNG");
}

// A JPEG of w x h stored pixels with an orientation tag (1 upright, 3 upside down, 6 and 8 on
// its side), as cameras write them.
QByteArray jpegWithOrientation(int w, int h, int orientation) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    // APP1 "Exif": a big-endian TIFF header and one entry, orientation (0x0112) as a SHORT.
    QByteArray exif("Exif\0\0MM\0\x2a\0\0\0\x08", 14);
    exif += QByteArray("\0\x01\x01\x12\0\x03\0\0\0\x01\0", 11);
    exif += char(orientation);
    exif += QByteArray(6, '\0'); // padding of the value, then no further directory
    QByteArray segment("\xff\xe1", 2);
    segment += char((exif.size() + 2) >> 8);
    segment += char((exif.size() + 2) & 0xff);
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

QString expectedFor(const QString& src,
                    const QString& style = QStringLiteral("width:200px;height:40px")) {
    return QStringLiteral("<div id=\"news\" class=\"tickora\" style=\"%2\"></div>\n"
                          "<script defer src=\"tickolib.js\"></script>\n"
                          "<script defer src=\"tickora.js\"></script>\n"
                          "<script defer src=\"%1\"></script>")
        .arg(src, style);
}

clsScroller news(const QString& width = QStringLiteral("200"),
                 const QString& height = QStringLiteral("40")) {
    clsScroller s;
    s.sName = QStringLiteral("news");
    s.sWidth = width;
    s.sHeight = height;
    return s;
}

struct MarkupSession : EditorSession {
    MarkupSession() { get<QTabWidget>("tabMain")->setCurrentIndex(1); }
    QPushButton* bold() const { return get<QPushButton>("cmdItmBold"); }
    QPushButton* image() const { return get<QPushButton>("cmdItmImg"); }
    void setText(const QString& t, int start, int length) const {
        text()->setPlainText(t);
        QTextCursor c = text()->textCursor();
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        text()->setTextCursor(c);
    }
    // A saved document in `work`, so the project folder is known.
    void saveIn(const QString& name = QStringLiteral("page.js")) {
        dialogs.fileAnswers << work + QLatin1Char('/') + name;
        action("mnuFileSaveAs")->trigger();
    }
    bool choosePicture(const QString& path) {
        const int before = int(dialogs.fileCalls.size());
        dialogs.fileAnswers << path;
        image()->click();
        return dialogs.fileCalls.size() == before + 1;
    }
};

// A list session reading feeds from the test's feed server.
struct FeedSession : ListSession {
    explicit FeedSession(int count = 3) : ListSession(count) {
        feed::Limits limits;
        limits.timeoutMs = 1000;
        w->setFeedLimits(limits);
    }
    // Import from Feed with the dialog driven as a user would: address, Fetch, then choose.
    void import(const QString& address, const std::function<int(FeedDialog&)>& choose) {
        w->setFeedDialogRunner([&](FeedDialog& d) {
            d.setAddress(address);
            QSignalSpy finished(&d, &FeedDialog::fetchFinished);
            d.fetch();
            if (!waitUntil([&] { return finished.count() > 0; }, 10000))
                return int(QDialog::Rejected);
            return choose(d);
        });
        action("mnuItemImportFeed")->trigger();
    }
};

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

        // A save takes it in as it was typed, as one step named for it.
        s.action("mnuFileSave")->trigger();
        QCOMPARE(s.doc().undoStack()->count(), 1);
        QTEST(s.doc().undoStack()->undoText(), "step");
        QCOMPARE(s.recorded(field), kept);
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
            s.dialogs.answers << Answer::No;
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

    void addGivesDefaultsAndNeverReusesANumber() {
        ListSession s(0);
        QVERIFY(s.show());
        s.run("mnuItemAdd");
        QCOMPARE(s.node(0)->text(0), QStringLiteral("Item 1"));
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
        QVERIFY(s.action("mnuItemDelete")->isEnabled());
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

    void twoPastesOfOneCopyAreSeparateItems() {
        ListSession s(3);
        s.select(0);
        s.run("mnuEditCopy");
        s.select(1);
        s.run("mnuEditPaste");
        s.button("mnuEditPaste")->click();
        // Each lands directly after the current item and becomes current, shown in the fields.
        QCOMPARE(s.names(), (QStringList{"A", "B", "A", "A", "C"}));
        QCOMPARE(s.current(), 3);
        QCOMPARE(s.doc().item(3), s.doc().item(0));
        QCOMPARE(s.shown().at(0), QStringLiteral("A"));
    }

    void deleteTheLastItemAndTakeItBack() {
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
        QVERIFY(!s.action("mnuFileSave")->isEnabled());
        QTest::keyClick(s.list(), Qt::Key_Y, Qt::ControlModifier); // Redo's other key
        QCOMPARE(s.names(), (QStringList{"A", "B", "C"}));
        QVERIFY(s.starred());
    }

    void dragTheLastItemToTheTopIsOneStep() {
        ListSession s(4);
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
        QCOMPARE(s.current(), 3);
        QVERIFY(!s.w->isDirty());
        // Dropped below the last row, the item goes to the end.
        s.select(0);
        s.list()->dropCurrentAt(s.list()->visualItemRect(s.node(3)).bottomLeft() + QPoint(4, 20));
        QCOMPARE(s.names(), (QStringList{"B", "C", "D", "A"}));
    }

    void ctrlZInAFieldTakesBackItsTypingFirst() {
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
    }

    void refusedValuesAreNoSteps_data() {
        QTest::addColumn<QString>("field");
        for (const char* f : {"txtScrWidth", "txtScrHeight", "txtScrSpeed", "txtScrDefWidth",
                              "txtScrSpacing", "txtScrPause", "txtItmWidth"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void refusedValuesAreNoSteps() {
        QFETCH(QString, field);
        ListSession s(4);
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
        ListSession s(4);
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

    void wrapsTheSelection_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("expected");
        const struct {
            const char *button, *text;
            int start, length;
            const char* expected;
        } rows[] = {{"cmdItmBold", "abcdef", 3, 0, "abc<b></b>def"},
                    {"cmdItmBold", "abcdef", 2, 2, "ab<b>cd</b>ef"},
                    {"cmdItmItalic", "abcdef", 2, 2, "ab<em>cd</em>ef"},
                    {"cmdItmBold", "", 0, 0, "<b></b>"},
                    {"cmdItmBold", "one\ntwo", 4, 3, "one\n<b>two</b>"}};
        for (const auto& r : rows)
            QTest::addRow("%s, %d+%d", r.button, r.start, r.length)
                << r.button << r.text << r.start << r.length << r.expected;
    }
    void wrapsTheSelection() {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, expected);
        MarkupSession s;
        QVERIFY(s.show());
        s.setText(text, start, length);
        s.text()->setFocus();
        s.action("mnuFileSave")->setEnabled(false);
        QTest::mouseClick(s.get<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(s.text()->toPlainText(), expected);
        QCOMPARE(QApplication::focusWidget(), s.text());
        QVERIFY(s.w->isDirty());
        QVERIFY(s.action("mnuFileSave")->isEnabled());
        // The marked text stays selected, and the whole change is one step to undo.
        const int open = expected.indexOf(u'>') + 1;
        QCOMPARE(s.text()->textCursor().selectionStart(), open);
        QCOMPARE(s.text()->textCursor().selectedText(), text.mid(start, length));
        QCOMPARE(s.action("mnuEditUndo")->text(), button == u"cmdItmBold"
                                                      ? QStringLiteral("&Undo Bold")
                                                      : QStringLiteral("&Undo Emphasis"));
        // Undone, the item holds its text as stored: a typed line break as the script has it.
        QTest::keyClick(s.text(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.text()->toPlainText(), QString(text).replace(u'\n', QStringLiteral("<br>")));
        QVERIFY(s.dialogs.messages.isEmpty());
    }

    void picturesGetTheSizeAndAddressTheBrowserUses_data() {
        QTest::addColumn<QString>("file"); // from the project folder
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("orientation"); // of a JPEG; 0: none stated
        QTest::addColumn<QString>("tag");
        const struct {
            const char *file, *format;
            int orientation;
            const char* src; // "" when the file's name is its address
            int width, height;
        } rows[] = {
            {"banner.gif", "gif", 0, "", 3, 2},
            {"photo.jpg", "jpeg", 0, "", 40, 20},
            {"photo.webp", "webp", 0, "", 40, 20},
            // Browsers turn a photo as its orientation tag says.
            {"down.jpg", "jpeg", 3, "", 40, 20},
            {"right.jpg", "jpeg", 6, "", 20, 40},
            {"left.jpg", "jpeg", 8, "", 20, 40},
            {"images/logo.png", "png300", 0, "", 40, 20}, // the resolution stated changes nothing
            {"my pics/a \"b\" & c#1%.png", "png", 0, "my%20pics/a%20%22b%22%20%26%20c%231%25.png",
             40, 20},
            // On Linux a backslash is part of a name, and browsers would read it as a slash.
            {"a\\b.png", "png", 0, "a%5Cb.png", 40, 20}};
        for (const auto& r : rows)
            QTest::addRow("%s", r.file)
                << r.file << r.format << r.orientation
                << QStringLiteral("src=\"%1\" width=\"%2\" height=\"%3\">")
                       .arg(QString::fromUtf8(*r.src ? r.src : r.file), QString::number(r.width),
                            QString::number(r.height));
    }
    void picturesGetTheSizeAndAddressTheBrowserUses() {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QFETCH(int, orientation);
        QFETCH(QString, tag);
        if (format == u"webp" && !QImageWriter::supportedImageFormats().contains("webp"))
            QSKIP("this system cannot write WebP");
        MarkupSession s;
        s.saveIn();
        const QString picture = QDir::cleanPath(s.work + u'/' + file);
        QVERIFY(QDir().mkpath(QFileInfo(picture).absolutePath()));
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        if (format == u"gif")
            QVERIFY(writeFile(picture, kGif));
        else if (orientation > 0)
            QVERIFY(writeFile(picture, jpegWithOrientation(40, 20, orientation)));
        else if (format == u"png300") // the resolution stated must not change the size
            QVERIFY(writePng(picture, 40, 20, 300));
        else
            QVERIFY(image.save(picture, format.toLatin1().constData()));
        s.setText(QStringLiteral("ab"), 1, 0);
        QVERIFY(s.choosePicture(picture));
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("a<img border=\"0\" ") + tag + u'b');
        QVERIFY(s.dialogs.messages.isEmpty());
        QVERIFY(s.w->isDirty());
        const auto& req = s.dialogs.fileCalls.last();
        QVERIFY(!req.save);
        QCOMPARE(req.request.title, QStringLiteral("Browse"));
        QCOMPARE(req.request.filterIndex, 0);
        QCOMPARE(req.request.filters, markuprules::pictureFilters());
    }

    void dialogStartsInTheProjectOrTheLastPictureFolder() {
        MarkupSession s;
        s.saveIn();
        const QString elsewhere = s.root.filePath(QStringLiteral("photos"));
        QVERIFY(writePng(elsewhere + QStringLiteral("/dot.png"), 4, 2));
        const auto browse = [&](const QString& answer) {
            s.choosePicture(answer);
            return s.dialogs.fileCalls.last().request.initialName;
        };
        QCOMPARE(browse(QString()), s.work); // where the address is counted from
        QCOMPARE(browse(elsewhere + QStringLiteral("/dot.png")), s.work);
        QVERIFY(s.text()->toPlainText().contains(QStringLiteral("src=\"../photos/dot.png\"")));
        QCOMPARE(browse(QString()), elsewhere);
        // Another project starts in its own folder again.
        const QString other = s.root.filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(other));
        s.dialogs.fileAnswers << other + QStringLiteral("/page.js");
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(browse(QString()), other);
    }

    void unreadableOrCancelledChangesNothing() {
        MarkupSession s;
        s.saveIn();
        const QString fake = s.work + QStringLiteral("/not-a-picture.gif");
        QVERIFY(writeFile(fake, "GIF is what this file is not"));
        const QString empty = s.work + QStringLiteral("/empty.png");
        QVERIFY(writeFile(empty, QByteArray()));
        s.setText(QStringLiteral("keep me"), 0, 4);
        s.action("mnuFileSave")->trigger();
        QVERIFY(!s.w->isDirty());
        for (const QString& path : {fake, empty, s.work + QStringLiteral("/missing.png")}) {
            QVERIFY(s.choosePicture(path));
            QCOMPARE(s.text()->toPlainText(), QStringLiteral("keep me"));
        }
        QVERIFY(s.choosePicture(QString())); // cancelled
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("keep me"));
        QVERIFY(s.dialogs.messages.isEmpty());
        QVERIFY(!s.w->isDirty());
    }

    void unsavedDocumentAsksToSaveFirst() {
        MarkupSession s;
        s.setText(QStringLiteral("untouched"), 0, 9);
        const bool wasDirty = s.w->isDirty();
        // Cancelling the save: no picture is asked for.
        s.dialogs.answers << Answer::Ok;
        s.dialogs.fileAnswers << QString();
        s.image()->click();
        QCOMPARE(s.dialogs.texts(), QStringList{kSaveForFolder});
        QCOMPARE(s.dialogs.fileCalls.size(), 1);
        QVERIFY(s.dialogs.fileCalls[0].save);
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("untouched"));
        QCOMPARE(s.w->isDirty(), wasDirty);
        QCOMPARE(s.w->projectFolder(), QString());
        QCOMPARE(s.dialogs.unexpected, 0);
    }

    void theSelectionSurvivesTheCleanup() {
        // Leaving the text by keyboard rewrites its line breaks and quotes first.
        MarkupSession s;
        QVERIFY(s.show());
        s.setText(QStringLiteral("it's\nbold"), 5, 4);
        s.text()->setFocus();
        QTest::keyClick(s.text(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.bold());
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("it\\'s<br>bold"));
        QTest::keyClick(s.bold(), Qt::Key_Space);
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("it\\'s<br><b>bold</b>"));

        // The save an unsaved document needs first does the same, and the picture is placed
        // relative to where the script now lives.
        QVERIFY(writePng(s.work + QStringLiteral("/logo.png"), 8, 8));
        s.setText(QStringLiteral("one\ntwo logo!"), 8, 4);
        s.dialogs.answers << Answer::Ok;
        s.dialogs.fileAnswers << s.work + QStringLiteral("/page.js")
                              << s.work + QStringLiteral("/logo.png");
        s.image()->click();
        QCOMPARE(s.text()->toPlainText(),
                 QStringLiteral("one<br>two <img border=\"0\" src=\"logo.png\" width=\"8\" "
                                "height=\"8\">!"));
    }

    // The filters offer what can be read; the address rule beyond the rows above.
    void pictureRules() {
        const QStringList filters = markuprules::pictureFilters();
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters.at(0).startsWith(QStringLiteral("Image Files (*.gif *.jpg *.jpeg *.png")));
        QCOMPARE(filters.at(0).contains(QStringLiteral("*.webp")),
                 QImageReader::supportedImageFormats().contains("webp"));
        QCOMPARE(filters.at(1), QStringLiteral("All Files (*)"));

        // Characters that are no trouble stay readable.
        QCOMPARE(markuprules::pictureAddress(QStringLiteral("/site"),
                                             QStringLiteral("/site/it's (1)+_~.gif")),
                 QStringLiteral("it's%20(1)+_~.gif"));
        QCOMPARE(markuprules::pictureAddress(QStringLiteral("/site/a/b"), QStringLiteral("/x.gif")),
                 QStringLiteral("../../../x.gif"));
        // Without a folder to be relative to, the address is the file's own, still encoded.
        QCOMPARE(markuprules::pictureAddress(QString(), QStringLiteral("/art/x y.gif")),
                 QStringLiteral("file:///art/x%20y.gif"));
    }

    // Copy Embed Code: the exact HTML on the clipboard, from the menu and from the preview, and
    // the same text in the help's integration page.
    // The script's address, and the size the container reserves for the box (a size left to the
    // runtime is left out).
    void codeForAScript_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("src");
        QTest::addColumn<QString>("style");
        const char* const rows[][5] = {
            {"/home/ann/site/news.js", "200", "40", "news.js", "width:200px;height:40px"},
            {"/w/news letter.js", "200", "40", "news%20letter.js", "width:200px;height:40px"},
            {"/w/tom&\"jerry\".js", "200", "40", "tom&amp;%22jerry%22.js",
             "width:200px;height:40px"},
            {"/w/caf\xC3\xA9.js", "200", "40", "caf%C3%A9.js", "width:200px;height:40px"},
            {"/w/a#b?.js", "200", "40", "a%23b%3F.js", "width:200px;height:40px"},
            {"/w/news.js", "240", "", "news.js", "width:240px"},
            {"/w/news.js", "", " ", "news.js", ""},
            {"/w/news.js", "10em", "90", "news.js", "height:90px"}};
        for (const auto& r : rows)
            QTest::addRow("%s, %s by %s", r[3], r[1], r[2])
                << QString::fromUtf8(r[0]) << r[1] << r[2] << QString::fromUtf8(r[3]) << r[4];
    }
    void codeForAScript() {
        QFETCH(QString, path);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, src);
        QFETCH(QString, style);
        QCOMPARE(embedcode::forScript(path, news(width, height)), expectedFor(src, style));
    }

    void menuAndPreviewButtonCopyTheCode() {
        EditorSession s;
        QVERIFY(s.show());
        const QString folder = s.work + QStringLiteral("/my site");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/news.js");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        // The new document is the default scroller, 240 by 120.
        const QString kDefaultSize = QStringLiteral("width:240px;height:120px");

        // A document never saved is saved first; the code names its file.
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QVERIFY(s.get<QMenu>("mnuEdit")->isEnabled());
        s.dialogs.fileAnswers << QString(); // cancelled: nothing is copied
        s.action("mnuEditEmbed")->trigger();
        QCOMPARE(s.dialogs.texts(), QStringList{kSaveForFolder});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        s.dialogs.fileAnswers << path;
        s.action("mnuEditEmbed")->trigger();
        QCOMPARE(s.w->filePath(), path);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 expectedFor(QStringLiteral("news.js"), kDefaultSize));

        // From the Preview tab's button, for a saved document without a question.
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        s.dialogs.clear();
        s.get<QTabWidget>("tabMain")->setCurrentIndex(2);
        auto* button = s.get<QTabWidget>("tabMain")->widget(2)->findChild<QPushButton*>(
            QStringLiteral("cmdEmbed"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 expectedFor(QStringLiteral("news.js"), kDefaultSize));
        QCOMPARE(s.dialogs.messages.size(), 0);
        QCOMPARE(s.dialogs.unexpected, 0);
    }

    void theHelpShowsTheSameCode() {
        help::ChmFile chm;
        QVERIFY(chm.open(deliveredAppDir() + QStringLiteral("/tickora.chm")));
        const QString page = chm.readText(QStringLiteral("/html/integration.htm"));
        QVERIFY(!page.isEmpty());
        QVERIFY(!page.contains(QStringLiteral("embed-code")));
        QVERIFY(page.contains(
            QStringLiteral("<pre>") +
            embedcode::forScript(QStringLiteral("/x/news.js"), news()).toHtmlEscaped() +
            QStringLiteral("</pre>")));
    }

    void initTestCase() {
        QVERIFY(server.start());
        server.addSamples();
    }

    void importAddsTheChosenEntries() {
        const QString route = QStringLiteral("/rss");
        // Entries 0 and 2: entry 1 is unchecked.
        const QStringList names{"Grüße aus Köln – “Zitat” &…", "日本語のニュース"};
        FeedSession s;
        QVERIFY(s.show());
        s.list()->setCurrentItem(s.node(1));
        int shownEntries = 0;
        s.import(server.url(route), [&](FeedDialog& d) {
            shownEntries = d.entryCount();
            d.setChecked(1, false);
            return int(QDialog::Accepted);
        });
        QCOMPARE(shownEntries, 3);
        QCOMPARE(s.names(), (QStringList{"A", "B", "C"} + names));
        // The first new item is current and shown; the list is one step dirtier.
        QCOMPARE(s.list()->currentItem(), s.node(3));
        QCOMPARE(s.field("txtItmName")->text(), names[0]);
        QCOMPARE(s.doc().item(3).sText,
                 QStringLiteral("<a href=\"https://news.example/k%C3%B6ln?a=1&amp;b=2\">Grüße aus "
                                "Köln – “Zitat” &amp; mehr</a>"));
        QVERIFY(s.w->isDirty());
        QCOMPARE(s.dialogs.messages.size(), 0);
        // Remembered: the address, how many entries, and which items came from the feed.
        QCOMPARE(s.w->feedSource().address, server.url(route));
        QCOMPARE(s.w->feedSource().maxEntries, 2);
        QCOMPARE(s.w->feedSource().items, s.items().mid(3));
        QVERIFY(s.action("mnuItemRefreshFeed")->isEnabled());
    }

    void badFeedsChangeNothing_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("message");
        // One failure of each kind that reaches the dialog (the answer, the read, the address): the
        // message of every fault is the fetch and parse tests' concern, a slow read cancel's.
        QTest::newRow("web page") << server.url("/html") << "a web page, not a feed";
        QTest::newRow("404") << server.url("/none") << "There is no feed at";
        QTest::newRow("not an address") << "javascript:alert(1)" << QString("not an address");
    }

    void badFeedsChangeNothing() {
        QFETCH(QString, address);
        QFETCH(QString, message);
        FeedSession s;
        QString status;
        bool addEnabled = true;
        s.import(address, [&](FeedDialog& d) {
            status = d.status();
            addEnabled = d.findChild<QPushButton*>(QStringLiteral("cmdFeedAdd"))->isEnabled();
            // Even a forced accept adds nothing when there is nothing to add.
            return int(QDialog::Accepted);
        });
        QVERIFY2(status.contains(message), qPrintable(status));
        QVERIFY(!addEnabled);
        QCOMPARE(s.names(), (QStringList{"A", "B", "C"}));
        QVERIFY(!s.w->isDirty());
        QVERIFY(!s.w->feedSource().isSet());
        QCOMPARE(s.dialogs.messages.size(), 0);
    }

    void cancelStopsOnlyTheRead() {
        FeedSession s;
        FeedDialog d(s.dialogs, feed::Source());
        d.setAddress(server.url("/slow"));
        QSignalSpy finished(&d, &FeedDialog::fetchFinished);
        d.show();
        d.fetch();
        QVERIFY(d.isFetching());
        QTest::keyClick(&d, Qt::Key_Escape);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!d.isFetching());
        QVERIFY(d.isVisible()); // the first Escape stopped the read, not the dialog
        QVERIFY2(d.status().contains(QStringLiteral("cancelled")), qPrintable(d.status()));
        // Then the dialog reads again, and Escape closes it.
        d.setAddress(server.url("/rss"));
        d.fetch();
        QVERIFY(waitUntil([&] { return finished.count() == 2; }, 10000));
        QCOMPARE(d.entryCount(), 3);
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }

    // Imported between own items and saved, the feed is remembered on opening; a refresh replaces
    // only its items, a save names the new ones, and Forget Feed leaves a plain script again.
    void refreshReplacesOnlyFeedItems() {
        server.set("/moving", feedsamples::kRss);
        FeedSession s(1);
        s.import(server.url("/moving"), [](FeedDialog& d) {
            // One entry less than the feed has: a refresh takes as many as were imported.
            d.setChecked(2, false);
            return int(QDialog::Accepted);
        });
        s.action("mnuItemAdd")->trigger();
        const QString script = s.work + QStringLiteral("/news.js");
        s.dialogs.fileAnswers << script;
        s.action("mnuFileSaveAs")->trigger();
        QVERIFY(!s.w->isDirty());
        QVERIFY(QFile::exists(s.work + QStringLiteral("/news.feed.json")));
        const QByteArray saved = readAll(script);
        QVERIFY(!saved.contains("news.feed.json"));
        QVERIFY(!saved.contains(server.url("/moving").toUtf8()));

        server.set("/moving", feedsamples::rssFeed(5, "Fresh"));
        s.w->openPath(script);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QCOMPARE(s.w->feedSource().maxEntries, 2);
        QVERIFY(s.action("mnuItemRefreshFeed")->isEnabled());
        s.w->setFeedLimits(feed::Limits());
        s.action("mnuItemRefreshFeed")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 0);
        QStringList shortNames;
        for (const QString& n : s.names())
            shortNames << n.section(u':', 0, 0);
        QCOMPARE(shortNames, (QStringList{"A", "Fresh 0", "Fresh 1", "Item 4"}));
        QVERIFY(s.w->isDirty());
        // A current item is shown.
        QVERIFY(s.list()->currentItem());
        QCOMPARE(s.field("txtItmName")->text(), s.doc().item(s.current()).sName);
        s.action("mnuFileSave")->trigger();
        QCOMPARE(feed::readSource(script).source->items, s.w->feedSource().items);

        // Forget Feed and a save remove the side file; the script is what the writer makes.
        s.action("mnuItemForgetFeed")->trigger();
        QVERIFY(s.w->isDirty());
        QVERIFY(!s.action("mnuItemRefreshFeed")->isEnabled());
        s.action("mnuFileSave")->trigger();
        QVERIFY(!QFile::exists(feed::sideFilePath(script)));
        ScrollerDocument doc;
        scriptreader::LoadScroller(script, doc);
        QCOMPARE(readAll(script), scriptwriter::BuildScript(doc).toUtf8() + QByteArray("\r\n"));
        QCOMPARE(s.names().size(), 4);
        QCOMPARE(s.dialogs.unexpected, 0);
        QCOMPARE(s.dialogs.messages.size(), 0);
    }

    // A refresh sends what the last read gave and takes 304 as nothing new; one that fails or is
    // stopped changes nothing; a feed that moved for good is remembered at its new address once the
    // user saves.
    void refreshChangesOnlyWhatIsNew() {
        FeedServer::Route tagged;
        tagged.body = feedsamples::kRss;
        tagged.etag = "\"home1\"";
        server.routes.insert("/home", tagged);
        FeedSession s;
        s.import(server.url("/home"), [](FeedDialog&) { return int(QDialog::Accepted); });
        const QString script = s.work + QStringLiteral("/cond.js");
        s.dialogs.fileAnswers << script;
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(feed::readSource(script).source->etag, QStringLiteral("\"home1\""));
        const QList<clsItem> items = s.items();
        const auto unchanged = [&](const char* said) {
            QVERIFY2(s.dialogs.lastText().contains(QLatin1String(said)),
                     qPrintable(s.dialogs.lastText()));
            QCOMPARE(s.items(), items);
            QVERIFY(!s.w->isDirty());
        };
        s.action("mnuItemRefreshFeed")->trigger();
        QVERIFY(server.lastHead.contains("If-None-Match: \"home1\""));
        QCOMPARE(s.dialogs.messages.size(), 1);
        unchanged("nothing new");

        server.set("/home", "<!DOCTYPE html><html><body>Moved</body></html>", "text/html");
        s.action("mnuItemRefreshFeed")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 2);
        unchanged("a web page");
        unchanged("left as they were");

        // A refresh that hangs is stopped from its progress box, by its button or by Escape: no
        // message, nothing changes.
        server.routes["/home"].mode = FeedServer::Mode::Stall;
        for (const bool escape : {false, true}) {
            bool shown = false;
            QTimer::singleShot(200, [&] {
                auto* progress = s.w->findChild<QProgressDialog*>();
                shown = progress && progress->isVisible();
                if (!shown)
                    return;
                if (escape)
                    QTest::keyClick(progress, Qt::Key_Escape);
                else
                    progress->findChild<QPushButton*>()->click();
            });
            s.action("mnuItemRefreshFeed")->trigger();
            QVERIFY(shown);
        }
        QCOMPARE(s.dialogs.messages.size(), 2);
        unchanged("left as they were");

        FeedServer::Route moved;
        moved.status = 301;
        moved.location = server.url("/rss").toLatin1();
        server.routes.insert("/home", moved);
        s.action("mnuItemRefreshFeed")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 2);
        QCOMPARE(s.w->feedSource().address, server.url("/rss"));
        QCOMPARE(feed::readSource(script).source->address, server.url("/home"));
        s.action("mnuFileSave")->trigger();
        QCOMPARE(feed::readSource(script).source->address, server.url("/rss"));
    }

private:
    FeedServer server;
};

TICKORA_EDITOR_TEST_MAIN(TestItems)
#include "tst_items.moc"
