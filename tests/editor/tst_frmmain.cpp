// Whole sessions with the main window: start, typing, enabling, the File commands and the
// questions that protect unsaved work.
#include "editorsession.h"

#include "document.h"
#include "feeddialog.h"
#include "livepreview.h"
#include "scriptreader.h"

#include <QAccessible>
#include <QComboBox>
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
        QVERIFY(s.button("mnuFileNew")->isEnabled() && s.button("mnuFileOpen")->isEnabled());
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
        QCOMPARE(s.action("mnuItemDelete")->shortcut(), QKeySequence(QStringLiteral("Shift+Del")));
        QCOMPARE(s.action("mnuItemMoveDown")->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
        for (const char* name : {"mnuEditCut", "mnuEditCopy", "mnuEditPaste"})
            QVERIFY(s.action(name)->shortcut().isEmpty());
        // Redo on both common keys, whatever the platform's own list; the menu shows the first.
        QCOMPARE(s.action("mnuEditRedo")->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));
    }

    void listsMarkChangedAndTheDirectionSwitchesTheWidths() {
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
    }

    void itemsTabEnablesTheItemCommands() {
        EditorSession s;
        auto* tabs = s.get<QTabWidget>("tabMain");
        // File and Help stay on with either tab.
        const auto fileAndHelpOn = [&s] {
            for (const char* name :
                 {"mnuFileNew", "mnuFileOpen", "mnuHelpWhatsThis", "mnuHelpContents"})
                QVERIFY2(s.button(name)->isEnabled(), name);
            for (const char* name : {"mnuHelpIntegrate", "mnuHelpOnlinePage", "mnuHelpAbout"})
                QVERIFY2(s.action(name)->isEnabled(), name);
        };
        tabs->setCurrentIndex(1);
        QVERIFY(s.get<QMenu>("mnuEdit")->isEnabled() && s.get<QMenu>("mnuItem")->isEnabled());
        for (const char* name : {"mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuItemAdd"})
            QVERIFY2(s.button(name)->isEnabled(), name);
        fileAndHelpOn();
        tabs->setCurrentIndex(0);
        QVERIFY(!s.get<QMenu>("mnuItem")->isEnabled());
        for (const char* name : kItemCommands)
            QVERIFY2(!s.button(name)->isEnabled(), name);
        fileAndHelpOn();
    }

    void spinnerStepsTheField() {
        EditorSession s;
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
        QVERIFY(s.w->isDirty());
    }

    // The answers themselves are the document's (tst_document); here New and Quit follow them.
    void newAndQuitFollowTheAnswer() {
        EditorSession s;
        QVERIFY(s.show());
        s.action("mnuFileNew")->trigger();
        QVERIFY(s.dialogs.messages.isEmpty());
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

    void openKeepsTheEncodingOfTheFile() {
        EditorSession s;
        const QString path = s.work + QStringLiteral("/latin.js");
        const QByteArray bytes = "l = new Tickora();\r\nl.name = 'l';\r\nl.type = 0;\r\n"
                                 "l.pausemouseover = true;\r\nl.add('Caf\xe9', '', 'One');\r\n\r\n"
                                 "/* -- Replicate Items -- */\r\nl.display();\r\n";
        QVERIFY(writeFile(path, bytes));
        s.w->openPath(path);
        QCOMPARE(s.get<QPlainTextEdit>("txtItmText")->toPlainText(), QStringLiteral("Caf\u00e9"));
        s.field("txtScrHeight")->setText(QStringLiteral("20"));
        s.action("mnuFileSave")->trigger();
        const QByteArray saved = readAll(path);
        QVERIFY(saved.contains("Caf\xe9'"));
        QVERIFY(!saved.contains("Caf\xc3\xa9"));
    }

    void saveAndSaveAs() {
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
        for (const char* f : {"tickora.htm", "tickolib.js", "tickora.js"})
            QCOMPARE(readAll(s.work + "/" + f), readAll(s.app + "/" + f));

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
    }

    void saveAsRefusesTheNamesOfTheProjectFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");
        for (const char* n : {"tickora.htm", "TICKOLIB.JS", "Tickora.js", "tickora_preview.js"})
            QTest::newRow(n) << QString::fromLatin1(n) << true;
        for (const char* n : {"tickora.js.bak", "tickora.js/news.js", "mytickora.js"})
            QTest::newRow(n) << QString::fromLatin1(n) << false;
    }
    void saveAsRefusesTheNamesOfTheProjectFiles() {
        QFETCH(QString, name);
        QFETCH(bool, refused);
        EditorSession s;
        s.field("txtScrHeight")->setText(QStringLiteral("80"));
        const QString path = s.work + "/" + name;
        QVERIFY(QDir(s.work).mkpath(QFileInfo(path).path()));
        s.dialogs.fileAnswers << path;
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(s.dialogs.messages.size(), int(refused));
        QVERIFY(!refused || s.dialogs.lastText().contains(name));
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files).isEmpty(), refused);
        QCOMPARE(s.w->filePath(), refused ? QString() : path);
        QCOMPARE(s.w->isDirty(), refused);
    }

    void failedWritesAreReportedAndKeepTheChanges() {
        EditorSession s;
        const QString path = s.work + QStringLiteral("/news.js");
        s.field("txtScrHeight")->setText(QStringLiteral("80"));
        s.dialogs.fileAnswers << path;
        s.action("mnuFileSaveAs")->trigger();
        QVERIFY(s.dialogs.messages.isEmpty());

        // The file's place is taken by a folder: no write can succeed, even for root.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        s.field("txtScrHeight")->setText(QStringLiteral("81"));
        s.action("mnuFileSave")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.dialogs.lastText().contains(path));
        QCOMPARE(s.dialogs.messages.last().buttons, Buttons::Ok);
        QVERIFY(s.w->isDirty());
        QVERIFY(s.w->windowTitle().endsWith(QStringLiteral("*]")));

        // Save As into a folder that cannot be written keeps the old name.
        const QString elsewhere = s.work + QStringLiteral("/missing/other.js");
        s.dialogs.fileAnswers << elsewhere;
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 2);
        QVERIFY(s.dialogs.lastText().contains(QDir::toNativeSeparators(elsewhere)));
        QCOMPARE(s.w->filePath(), path);
        QCOMPARE(s.w->projectFolder(), s.work);
        QVERIFY(s.w->isDirty());
    }

    void saveAsDefault() {
        EditorSession s;
        const QString def = s.app + QStringLiteral("/default.js");
        const QByteArray before = readAll(def);
        s.field("txtScrName")->setText(QStringLiteral("mine"));
        s.dialogs.answers << Answer::No;
        s.action("mnuFileSaveAsDefault")->trigger();
        QCOMPARE(s.dialogs.lastText(),
                 QStringLiteral("This will overwrite the default scroller settings. Do you wish "
                                "to continue?"));
        QCOMPARE(s.dialogs.messages.last().buttons, Buttons::YesNo);
        QCOMPARE(readAll(def), before);

        s.dialogs.answers << Answer::Yes;
        s.action("mnuFileSaveAsDefault")->trigger();
        QCOMPARE(readBack(def).scroller.sName, QStringLiteral("mine"));
        // Its own file was not written: still changed, still untitled.
        QVERIFY(s.w->isDirty());
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [New*]"));
        QCOMPARE(s.dialogs.unexpected, 0);

        // A default that cannot be written is reported with its path.
        QVERIFY(QFile::remove(def));
        QVERIFY(QDir().mkpath(def));
        s.dialogs.answers << Answer::Yes;
        s.action("mnuFileSaveAsDefault")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 4);
        QVERIFY(s.dialogs.lastText().contains(QDir::toNativeSeparators(def)));
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
};

TICKORA_EDITOR_TEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
