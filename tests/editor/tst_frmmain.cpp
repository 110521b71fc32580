// Whole sessions with the main window: start, captions and accessible names, menus and toolbar,
// enabling, and the checks and cleanups when the focus leaves a field.
#include "editorsession.h"

#include "feeddialog.h"
#include "livepreview.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QWebEngineView>

#include <algorithm>
#include <tuple>

using Answer = platform::Dialogs::Answer;

namespace {

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

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheDefaultScrollerCaptionedMenusAndWorkingControls() {
        EditorSession s;
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Tickora Creator - [New]"));
        QVERIFY(s.dialogs.messages.isEmpty());
        QCOMPARE(s.get<QTabWidget>("tabMain")->currentIndex(), 0);
        QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("news"));
        QCOMPARE(s.get<QComboBox>("cboScrDirn")->currentText(), QStringLiteral("Top < Bottom"));
        QCOMPARE(s.field("txtItmName")->text(), QStringLiteral("Welcome"));
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
        // Pictures drawn to be symmetric are: a lopsided plus or arrow is a slip of the pen.
        const auto picture = [&](const char* name) {
            return s.button(name)->icon().pixmap(24).toImage().convertToFormat(
                QImage::Format_ARGB32_Premultiplied);
        };
        const auto mirror = [](const QImage& i) { return i.mirrored(true, false); };
        const auto flip = [](const QImage& i) { return i.mirrored(false, true); };
        const auto transpose = [](const QImage& i) {
            return i.transformed(QTransform().rotate(90)).mirrored(true, false);
        };
        for (const auto& [name, turn, other] : {std::tuple{"mnuItemAdd", +transpose, "mnuItemAdd"},
                                                {"mnuItemDelete", +mirror, "mnuItemDelete"},
                                                {"mnuEditCut", +mirror, "mnuEditCut"},
                                                {"mnuItemMoveUp", +mirror, "mnuItemMoveUp"},
                                                {"mnuItemMoveUp", +flip, "mnuItemMoveDown"}}) {
            const QImage a = turn(picture(name)), b = picture(other);
            QCOMPARE(a.size(), b.size());
            int apart = 0;
            for (int y = 0; y < a.height(); ++y)
                for (int x = 0; x < a.width(); ++x) {
                    const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                    apart +=
                        std::max({qAbs(qAlpha(p) - qAlpha(q)), qAbs(qRed(p) - qRed(q)),
                                  qAbs(qGreen(p) - qGreen(q)), qAbs(qBlue(p) - qBlue(q))}) > 48;
                }
            QVERIFY2(apart == 0, qPrintable(QStringLiteral("%1: %2 pixels").arg(name).arg(apart)));
        }
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
                 QKeySequence::listFromString(QStringLiteral("Ctrl+Shift+Z; Ctrl+Y")));

        // Lists and spinners mark the document changed, and the direction switches the widths.
        auto* dirn = s.get<QComboBox>("cboScrDirn");
        s.field("txtScrDefWidth")->setText(QStringLiteral("150"));
        dirn->setCurrentIndex(2);
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

    // The rules and their messages are tst_rules' table, a refusal's course tst_items'; here
    // values that look odd yet pass let the focus go on without a word, and an item name is
    // cleaned when left (the item text's cleanup is tst_markup's).
    void goodValuesLetTheFocusGo() {
        EditorSession s;
        s.get<QComboBox>("cboScrDirn")->setCurrentIndex(2); // the width fields are on
        QVERIFY(s.show());
        const char* const rows[][4] = {{"txtScrWidth", "12.5", "txtScrName", "12.5"},
                                       {"txtScrName", "_ticker2", "txtScrHeight", "_ticker2"},
                                       {"txtItmWidth", "100", "txtItmName", "100"},
                                       {"txtItmName", "O'Neil", "txtItmText", "O\\'Neil"}};
        for (const auto& r : rows) {
            s.get<QTabWidget>("tabMain")->setCurrentIndex(QByteArray(r[0]).startsWith("txtItm"));
            QLineEdit* f = s.field(r[0]);
            auto* next = s.get<QWidget>(r[2]);
            s.replace(f, QString::fromLatin1(r[1]));
            next->setFocus();
            QVERIFY2(s.dialogs.messages.isEmpty() && !s.w->hasFieldError(), r[0]);
            QCOMPARE(QApplication::focusWidget(), next);
            f->setFocus();
            next->setFocus(); // left twice, cleaned once
            QCOMPARE(f->text(), QString::fromLatin1(r[3]));
        }
        QCOMPARE(s.node(0)->text(0), QStringLiteral("O\\'Neil"));
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
        // Leaving again checks again.
        w.findChild<QLineEdit*>(QStringLiteral("txtScrName"))->setFocus();
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
};

TICKORA_EDITOR_TEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
