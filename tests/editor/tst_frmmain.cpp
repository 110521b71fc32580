// Whole sessions with the main window: start, typing, enabling, the File commands, the
// questions that protect unsaved work, and the checks and cleanups when the focus leaves a field.
#include "editorsession.h"

#include "document.h"
#include "feeddialog.h"
#include "livepreview.h"
#include "scriptreader.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEngineView>

using Answer = platform::Dialogs::Answer;
using Buttons = platform::Dialogs::Buttons;

namespace {

const QString kSaveChanges = QStringLiteral("Do you want to save the changes?");
const char* const kItemCommands[] = {"mnuEditCut",     "mnuEditCopy",   "mnuEditPaste",
                                     "mnuItemAdd",     "mnuItemDelete", "mnuItemMoveUp",
                                     "mnuItemMoveDown"};

// Shows a real window for each message, as a message box does, so the focus leaves the main
// window while the question is open.
class FocusTakingDialogs : public platform::FakeDialogs {
public:
    Answer message(QWidget* parent, const Message& m) override {
        QDialog box;
        box.setWindowTitle(m.title);
        box.show();
        if (!QTest::qWaitForWindowActive(&box))
            qWarning("the box did not become active");
        box.close();
        // What the window manager does when a box closes: its parent is active again.
        if (parent) {
            parent->activateWindow();
            if (!QTest::qWaitForWindowActive(parent->window()))
                qWarning("the window did not become active again");
        }
        return FakeDialogs::message(parent, m);
    }
};

ScrollerDocument readBack(const QString& path) {
    ScrollerDocument doc;
    const auto r = scriptreader::LoadScroller(path, doc);
    if (!r.ok)
        qWarning("%s", qPrintable(r.error));
    return doc;
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheDefaultScroller() {
        EditorSession s;
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [New]"));
        QVERIFY(s.dialogs.messages.isEmpty());
        QCOMPARE(s.get<QTabWidget>("tabMain")->currentIndex(), 0);
        QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("news"));
        QCOMPARE(s.field("txtScrWidth")->text(), QStringLiteral("240"));
        QCOMPARE(s.field("txtScrPause")->text(), QStringLiteral("2500"));
        QCOMPARE(s.get<QComboBox>("cboScrDirn")->currentText(), QStringLiteral("Top < Bottom"));
        QCOMPARE(s.get<QTreeWidget>("tvItm")->topLevelItemCount(), 3);
        QCOMPARE(s.field("txtItmName")->text(), QStringLiteral("Welcome"));
        QCOMPARE(s.w->nextItem(), qint16(4));
        QVERIFY(!s.button("mnuFileSave")->isEnabled());
        // The Edit menu holds Undo and Redo on every tab; its item commands need the Items tab.
        QVERIFY(s.get<QMenu>("mnuEdit")->isEnabled());
        QVERIFY(!s.action("mnuEditUndo")->isEnabled() && !s.action("mnuEditRedo")->isEnabled());
        QVERIFY(!s.get<QMenu>("mnuItem")->isEnabled());
        for (const char* name : kItemCommands)
            QVERIFY2(!s.button(name)->isEnabled(), name);
        // Vertical: the width controls and their labels are off.
        for (const char* name : {"txtScrDefWidth", "udScrDefWidth", "lblScrDefWidth", "txtItmWidth",
                                 "udItmWidth", "lblItmWidth"})
            QVERIFY2(!s.get<QWidget>(name)->isEnabled(), name);
        QVERIFY(s.show());
        QCOMPARE(QApplication::focusWidget(), s.field("txtScrName"));
        // File and Help stay on with either tab; the item commands' own enabling is tst_items'.
        for (int tab : {1, 0}) {
            s.get<QTabWidget>("tabMain")->setCurrentIndex(tab);
            QCOMPARE(s.get<QMenu>("mnuItem")->isEnabled(), tab == 1);
            for (const char* name :
                 {"mnuFileNew", "mnuFileOpen", "mnuHelpWhatsThis", "mnuHelpContents",
                  "mnuHelpIntegrate", "mnuHelpOnlinePage", "mnuHelpAbout"})
                QVERIFY2(s.action(name)->isEnabled(), name);
        }
        // Every toolbar button shows its picture.
        for (QAction* a : s.get<QToolBar>("tbMain")->actions())
            QVERIFY2(a->isSeparator() || !a->icon().isNull(), qPrintable(a->objectName()));
    }

    void everyFieldHasItsCaptionForAScreenReader() {
        EditorSession s(true);
        QVERIFY(s.show());
        const QList<QLabel*> labels = s.w->findChildren<QLabel*>();
        QVERIFY(labels.size() >= 12);
        for (QLabel* l : labels) {
            if (!l->objectName().startsWith(QStringLiteral("lbl")))
                continue; // not a caption (the live preview's note)
            QVERIFY2(l->buddy(), qPrintable(l->objectName()));
            QString caption = l->text();
            if (caption.endsWith(u':'))
                caption.chop(1);
            QCOMPARE(l->buddy()->accessibleName(), caption);
        }
        QCOMPARE(s.get<QWidget>("udScrPause")->accessibleName(),
                 QStringLiteral("Pause (ms) up/down"));
        QVERIFY(!s.get<QWidget>("tvItm")->accessibleName().isEmpty());
        QCOMPARE(s.list()->headerItem()->text(0), QStringLiteral("Items")); // hidden, yet read

        // Every control a screen reader shows, and every stop of the Tab chain, has a name.
        FeedDialog feeds(s.dialogs, feed::Source(), s.w.get());
        feeds.show();
        QAccessible::setActive(true);
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* i) {
            const auto* w = qobject_cast<QWidget*>(i->object());
            const QAccessible::Role role = i->role();
            if (w && w->isVisible() &&
                (role == QAccessible::Button || role == QAccessible::Grip ||
                 role == QAccessible::Splitter || role == QAccessible::ProgressBar))
                QVERIFY2(!i->text(QAccessible::Name).isEmpty(),
                         qPrintable(QString::fromLatin1(w->metaObject()->className())));
            for (int c = 0; c < i->childCount(); ++c)
                walk(i->child(c));
        };
        s.get<QWidget>("prgFeed")->show();
        for (QWidget* top : std::initializer_list<QWidget*>{s.w.get(), &feeds})
            walk(QAccessible::queryAccessibleInterface(top));
        QWidget* stop = s.field("txtScrName");
        do {
            if (stop->isVisible() && stop->isEnabled() && (stop->focusPolicy() & Qt::TabFocus))
                QVERIFY2(
                    !QAccessible::queryAccessibleInterface(stop)->text(QAccessible::Name).isEmpty(),
                    qPrintable(QString::fromLatin1(stop->metaObject()->className())));
            stop = stop->nextInFocusChain();
        } while (stop != s.field("txtScrName"));
        // The live pane's note is read out as it reads, and so is its page.
        const QString note = QStringLiteral("Width (px): enter a number from 10 to 2000.");
        s.w->livePreview()->setNote(note);
        QCOMPARE(QAccessible::queryAccessibleInterface(s.get<QWidget>("liveNote"))
                     ->text(QAccessible::Name),
                 note);
        auto* page = s.get<QWebEngineView>("wbLive");
        QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("Live preview page"), 20000);
    }

    void menusAndToolbarCarryTheirCaptions() {
        EditorSession s;
        QCOMPARE(s.action("mnuFileSaveAs")->text(), QStringLiteral("Save &As ..."));
        // Every menu and command has an access key of its own within its menu, and an entry in
        // the help's page of menus.
        QFile page(QStringLiteral(TICKORA_SOURCE_DIR "/data/help/html/menus.htm"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString help =
            QTextDocumentFragment::fromHtml(QString::fromUtf8(page.readAll())).toPlainText();
        std::function<void(const QList<QAction*>&)> keysOf = [&](const QList<QAction*>& entries) {
            QString keys;
            for (QAction* a : entries) {
                if (a->isSeparator())
                    continue;
                const QString text = QString(a->text()).remove(QStringLiteral("&&"));
                const qsizetype at = text.indexOf(u'&');
                QVERIFY2(at >= 0 && at + 1 < text.size() && text.indexOf(u'&', at + 1) < 0,
                         qPrintable(a->text()));
                const QChar key = text[at + 1].toLower();
                QVERIFY2(!keys.contains(key), qPrintable(a->text()));
                keys += key;
                QString caption = QString(a->text()).remove(u'&');
                if (caption.endsWith(QStringLiteral("...")))
                    caption = caption.chopped(3).trimmed();
                QVERIFY2(help.contains(caption), qPrintable(caption));
                if (a->menu())
                    keysOf(a->menu()->actions());
            }
        };
        keysOf(s.w->menuBar()->actions());
        // The fields' own Ctrl+X, Ctrl+C and Ctrl+V are never taken by the item commands.
        for (const char* name : {"mnuEditCut", "mnuEditCopy", "mnuEditPaste"})
            QVERIFY(s.action(name)->shortcut().isEmpty());
        // Redo on both common keys, whatever the platform's own list; the menu shows the first.
        QCOMPARE(s.action("mnuEditRedo")->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));
    }

    void listsAndSpinnersMarkChangedAndTheDirectionSwitchesTheWidths() {
        EditorSession s;
        auto* dirn = s.get<QComboBox>("cboScrDirn");
        s.field("txtScrDefWidth")->setText(QStringLiteral("150"));
        dirn->setCurrentIndex(2);
        QVERIFY(s.w->isDirty());
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [New*]"));
        for (const char* name : {"txtScrDefWidth", "udScrDefWidth", "lblScrDefWidth", "txtItmWidth",
                                 "udItmWidth", "lblItmWidth"})
            QVERIFY2(s.get<QWidget>(name)->isEnabled(), name);
        dirn->setCurrentIndex(1);
        QVERIFY(!s.field("txtScrDefWidth")->isEnabled());
        QCOMPARE(s.field("txtScrDefWidth")->text(), QStringLiteral("150"));

        // A spinner steps its field, within the field's range.
        QLineEdit* width = s.field("txtScrWidth");
        const auto buttons = s.get<QWidget>("udScrWidth")->findChildren<QToolButton*>();
        QCOMPARE(buttons.size(), 2);
        QCOMPARE(buttons[0]->focusPolicy(), Qt::NoFocus);
        buttons[0]->click();
        QCOMPARE(width->text(), QStringLiteral("250"));
        width->setText(QStringLiteral("1995"));
        buttons[0]->click();
        QCOMPARE(width->text(), QStringLiteral("2000"));
        QTest::keyClick(width, Qt::Key_Down);
        QCOMPARE(width->text(), QStringLiteral("1990"));
        // Text that is no number: the step starts from the spinner's last value.
        width->setText(QStringLiteral("wide"));
        QTest::keyClick(width, Qt::Key_Up);
        QCOMPARE(width->text(), QStringLiteral("2000"));
        QLineEdit* spacing = s.field("txtScrSpacing");
        spacing->setText(QStringLiteral("0"));
        QTest::keyClick(spacing, Qt::Key_Down);
        QCOMPARE(spacing->text(), QStringLiteral("0"));
    }

    // The answers themselves are the document's (tst_document); here New and Quit follow them.
    void newAndQuitFollowTheAnswer() {
        EditorSession s;
        QVERIFY(s.show());
        s.field("txtScrName")->setText(QStringLiteral("edited"));
        s.dialogs.answers << Answer::Cancel << Answer::Cancel;
        s.action("mnuFileNew")->trigger();
        s.action("mnuFileQuit")->trigger();
        QVERIFY(s.w->isVisible());
        QCOMPARE(s.dialogs.texts(), (QStringList{kSaveChanges, kSaveChanges}));
        QCOMPARE(s.dialogs.messages.last().title, QStringLiteral("Tickora Creator"));
        QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("edited"));
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [New*]"));
        s.dialogs.answers << Answer::No;
        s.action("mnuFileNew")->trigger();
        QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("news"));
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [New]"));
        s.field("txtScrWidth")->setText(QStringLiteral("300"));
        s.dialogs.answers << Answer::No;
        s.action("mnuFileQuit")->trigger();
        QVERIFY(!s.w->isVisible());
        QVERIFY(!QFile::exists(s.work + QStringLiteral("/news.js")));
        QCOMPARE(s.dialogs.unexpected, 0);
    }

    void openShowsTheFileClean() {
        EditorSession s;
        const QString path = s.work + QStringLiteral("/ticker.js");
        QVERIFY(writeFile(path, "t = new Tickora();\r\nt.name = 't';\r\nt.type = 3;\r\n"
                                "t.width = 500;\r\nt.pausemouseover = false;\r\n"
                                "t.add('It\\'s here', '120', 'First');\r\n"
                                "t.add('Two', '', 'Second');\r\n"));
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        s.dialogs.fileAnswers << QString();
        s.action("mnuFileOpen")->trigger();
        QCOMPARE(s.dialogs.fileCalls.size(), 1);
        QCOMPARE(s.dialogs.fileCalls[0].save, false);
        QCOMPARE(s.dialogs.fileCalls[0].request.title, QStringLiteral("Open"));
        QCOMPARE(s.dialogs.fileCalls[0].request.filters,
                 (QStringList{"JavaScript (*.js)", "All Files (*)"}));
        QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("news"));

        s.dialogs.fileAnswers << path;
        s.action("mnuFileOpen")->trigger();
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [") + path + "]");
        QCOMPARE(s.get<QTabWidget>("tabMain")->currentIndex(), 0);
        QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("t"));
        QCOMPARE(s.field("txtScrHeight")->text(), QString()); // cleared first, not in the file
        QCOMPARE(s.get<QComboBox>("cboScrDirn")->currentIndex(), 3);
        QCOMPARE(s.get<QComboBox>("cboScrMsePause")->currentIndex(), 1);
        QVERIFY(s.field("txtItmWidth")->isEnabled());
        QCOMPARE(s.field("txtItmName")->text(), QStringLiteral("First"));
        QCOMPARE(s.get<QPlainTextEdit>("txtItmText")->toPlainText(), QStringLiteral("It\\'s here"));
        QCOMPARE(s.w->nextItem(), qint16(3));
        QCOMPARE(s.w->projectFolder(), s.work);
        QVERIFY(!s.w->isDirty());
        QVERIFY(s.dialogs.messages.isEmpty());
    }

    void saveSaveAsAndTheirFailures() {
        EditorSession s;
        s.field("txtScrHeight")->setText(QStringLiteral("80"));
        // Untitled: Save is Save As.
        const QString first = s.work + QStringLiteral("/first.js");
        s.dialogs.fileAnswers << first;
        s.action("mnuFileSave")->trigger();
        QCOMPARE(s.dialogs.fileCalls.size(), 1);
        const auto& req = s.dialogs.fileCalls[0].request;
        QVERIFY(s.dialogs.fileCalls[0].save);
        QCOMPARE(req.title, QStringLiteral("Save As"));
        QCOMPARE(req.initialName, QString());
        QVERIFY(req.confirmOverwrite);
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [") + first + "]");
        QCOMPARE(readBack(first).scroller.sHeight, QStringLiteral("80"));

        // Titled: Save writes without a dialog.
        s.field("txtScrHeight")->setText(QStringLiteral("90"));
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [") + first + "*]");
        s.action("mnuFileSave")->trigger();
        QCOMPARE(s.dialogs.fileCalls.size(), 1);
        QCOMPARE(readBack(first).scroller.sHeight, QStringLiteral("90"));
        QVERIFY(!s.action("mnuFileSave")->isEnabled());

        // Save As proposes the current file and moves the document to the new one.
        const QString second = s.work + QStringLiteral("/second.js");
        s.dialogs.fileAnswers << second;
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(s.dialogs.fileCalls[1].request.initialName, first);
        QCOMPARE(s.w->filePath(), second);
        QVERIFY(QFile::exists(second));

        // A cancelled dialog says nothing and changes nothing.
        s.field("txtScrHeight")->setText(QStringLiteral("95"));
        s.dialogs.fileAnswers << QString();
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(s.w->filePath(), second);
        QVERIFY(s.w->isDirty());
        QVERIFY(s.dialogs.messages.isEmpty());

        // Failed writes are reported and keep the changes. The file's place is taken by a folder:
        // no write can succeed, even for root.
        QVERIFY(QFile::remove(second));
        QVERIFY(QDir().mkpath(second));
        s.action("mnuFileSave")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.dialogs.lastText().contains(second));
        QCOMPARE(s.dialogs.messages.last().buttons, Buttons::Ok);
        QVERIFY(s.w->isDirty());
        QVERIFY(s.w->windowTitle().endsWith(QStringLiteral("*]")));

        // Save As into a folder that cannot be written keeps the old name.
        const QString elsewhere = s.work + QStringLiteral("/missing/other.js");
        s.dialogs.fileAnswers << elsewhere;
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 2);
        QVERIFY(s.dialogs.lastText().contains(QDir::toNativeSeparators(elsewhere)));
        QCOMPARE(s.w->filePath(), second);
        QCOMPARE(s.w->projectFolder(), s.work);
        QVERIFY(s.w->isDirty());
    }

    void missingDefaultGivesAnEmptyDocument() {
        EditorSession s;
        QVERIFY(QFile::remove(s.app + QStringLiteral("/default.js")));
        s.action("mnuFileNew")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.dialogs.lastText().contains(QStringLiteral("default.js")));
        QCOMPARE(s.field("txtScrName")->text(), QString());
        QCOMPARE(s.get<QTreeWidget>("tvItm")->topLevelItemCount(), 0);
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [New]"));
    }

    void whatIsSavedReadsBackTheSame() {
        // Typed and saved straight away, without leaving the fields.
        EditorSession s;
        s.get<QComboBox>("cboScrDirn")->setCurrentIndex(3);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QVERIFY(s.show());
        s.type(s.field("txtItmName"), QStringLiteral("Tom's\\"));
        auto* text = s.get<QPlainTextEdit>("txtItmText");
        s.type(text, QStringLiteral("it's a"));
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, QStringLiteral("C:\\"));
        const QString path = s.work + QStringLiteral("/safe.js");
        s.dialogs.fileAnswers << path;
        s.action("mnuFileSave")->trigger();
        const ScrollerDocument back = readBack(path);
        QCOMPARE(back.items.size(), 3);
        const clsItem& first = back.items.at(0);
        QCOMPARE(first.sName, QStringLiteral("WelcomeTom\\'s&#92;"));
        QVERIFY(first.sText.endsWith(QStringLiteral("it\\'s a<br>C:&#92;")));
        QVERIFY(!readAll(path).contains("a\nC") && !readAll(path).contains("a\r\nC"));
        // The window shows what was saved.
        QCOMPARE(s.field("txtItmName")->text(), first.sName);
    }

    // The rules and their messages are tst_rules' table; here each field reaches its rule, and
    // what the window does with the answer.
    void fieldCheck_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const char* const rows[][3] = {
            {"txtScrWidth", "2001", "Please Enter A Value Between 10 And 2000"},
            {"txtScrWidth", "12.5", ""},
            {"txtScrHeight", "2001", "Please Enter A Value Between 10 And 2000"},
            {"txtScrSpeed", "4", "Please Enter A Value Between 5 And 1000"},
            {"txtScrSpacing", "51", "Please Enter A Value Between 0 And 50"},
            {"txtScrPause", "50001", "Please Enter A Value Between 0 And 50000"},
            {"txtScrDefWidth", "5", "Please Enter A Value Between 10 And 2000"},
            {"txtItmWidth", "x", "Please Enter A Value Between 10 And 2000"},
            {"txtItmWidth", "100", ""},
            {"txtScrName", "", "Scroller name must not be blank."},
            {"txtScrName", "_ticker2", ""},
            {"txtScrName", "indexedDB",
             "Scroller name must not be \"indexedDB\", a name that JavaScript or the web page "
             "already uses."}};
        for (const auto& r : rows)
            QTest::addRow("%s %s", r[0], r[1]) << r[0] << r[1] << r[2];
    }
    void fieldCheck() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        EditorSession s;
        s.get<QComboBox>("cboScrDirn")->setCurrentIndex(2); // the width fields are on
        const bool onItems = field == QStringLiteral("txtItmWidth");
        s.get<QTabWidget>("tabMain")->setCurrentIndex(onItems ? 1 : 0);
        QVERIFY(s.show());
        QLineEdit* f = s.w->findChild<QLineEdit*>(field);
        s.replace(f, text);
        QCOMPARE(f->text(), text);
        QLineEdit* next = s.field(onItems                  ? "txtItmName"
                                  : field == u"txtScrName" ? "txtScrHeight"
                                                           : "txtScrName");
        next->setFocus();
        if (message.isEmpty()) {
            QVERIFY(s.dialogs.messages.isEmpty());
            QVERIFY(!s.w->hasFieldError());
            QCOMPARE(QApplication::focusWidget(), next);
        } else {
            QCOMPARE(s.dialogs.texts(), QStringList{message});
            QCOMPARE(s.dialogs.messages[0].title, QStringLiteral("Tickora Creator"));
            QVERIFY(s.w->hasFieldError());
            QCOMPARE(QApplication::focusWidget(), f);
            QCOMPARE(f->selectedText(), text);
        }
        QCOMPARE(f->text(), text); // the check never changes the text
    }

    void aRejectionDoesNotBounceBetweenFields() {
        EditorSession s;
        FocusTakingDialogs dialogs;
        frmMain w(dialogs, s.app);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* width = w.findChild<QLineEdit*>(QStringLiteral("txtScrWidth"));
        auto* height = w.findChild<QLineEdit*>(QStringLiteral("txtScrHeight"));
        width->setText(QStringLiteral("abc"));
        height->setText(QStringLiteral("abc"));
        width->setFocus();
        height->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), width);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::qWait(50); // let any late focus event arrive; a bounce would add messages
        QCOMPARE(dialogs.texts(), QStringList{kRange10});
        QCOMPARE(QApplication::focusWidget(), width);
        QCOMPARE(width->selectedText(), QStringLiteral("abc"));
        w.findChild<QLineEdit*>(QStringLiteral("txtScrName"))
            ->setFocus(); // leaving again checks again
        QCOMPARE(dialogs.messages.size(), 2);
    }

    void commandsTabsAndOtherWindowsDoNotCheck() {
        EditorSession s;
        QVERIFY(s.show());
        QLineEdit* width = s.field("txtScrWidth");
        s.replace(width, QStringLiteral("abc"));
        // A toolbar button does not take the focus; Save checks the field being edited itself.
        QTest::mouseClick(s.button("mnuFileSave"), Qt::LeftButton);
        QCOMPARE(s.dialogs.texts(), QStringList{kRange10});
        QVERIFY(s.dialogs.fileCalls.isEmpty());
        QCOMPARE(QApplication::focusWidget(), width);
        // Another window takes the focus and gives it back.
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.close();
        s.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.w.get()));
        QTRY_COMPARE(QApplication::focusWidget(), width);
        QCOMPARE(s.dialogs.messages.size(), 1);
        // A tab change checks nothing and takes what the checks accept; refused text stays in
        // its field and out of the document.
        s.field("txtScrHeight")->setText(QStringLiteral(" 12.5 "));
        s.field("txtScrName")->setText(QStringLiteral("not checked"));
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QCOMPARE(s.dialogs.messages.size(), 1);
        QCOMPARE(s.w->scroller().sWidth, QStringLiteral("240"));
        QCOMPARE(s.w->scroller().sHeight, QStringLiteral(" 12.5 "));
        QCOMPARE(s.w->scroller().sName, QStringLiteral("news"));
        QCOMPARE(width->text(), QStringLiteral("abc"));
        QVERIFY(s.w->isDirty());
        QVERIFY(!s.w->previewView()); // nothing to empty yet: the browser is not created
    }

    // The item text's cleanup when left is tst_markup's; saving without leaving is above.
    void itemNameIsCleanedWhenLeft() {
        EditorSession s;
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QVERIFY(s.show());
        QLineEdit* name = s.field("txtItmName");
        s.replace(name, QStringLiteral("O'Neil"));
        s.text()->setFocus();
        QCOMPARE(s.node(0)->text(0), QStringLiteral("O\\'Neil"));
        name->setFocus();
        s.text()->setFocus(); // left twice, escaped once
        QCOMPARE(name->text(), QStringLiteral("O\\'Neil"));
        QVERIFY(s.dialogs.messages.isEmpty());
        QVERIFY(!s.w->hasFieldError());
    }
};

TICKORA_EDITOR_TEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
