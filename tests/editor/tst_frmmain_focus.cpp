// The checks and cleanups that run when the focus leaves a field, and when they must not run.
#include "editorsession.h"

#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

namespace {

const QString kRange10 = QStringLiteral("Please Enter A Value Between 10 And 2000");

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

class TestFrmMainFocus : public QObject {
    Q_OBJECT
private slots:
    void rangeCheck_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("width top") << "txtScrWidth"
                                   << "2000"
                                   << "";
        QTest::newRow("width bottom") << "txtScrWidth"
                                      << "10"
                                      << "";
        QTest::newRow("width above") << "txtScrWidth"
                                     << "2001" << kRange10;
        QTest::newRow("width below") << "txtScrWidth"
                                     << "9" << kRange10;
        QTest::newRow("width no number") << "txtScrWidth"
                                         << "abc" << kRange10;
        QTest::newRow("width fraction") << "txtScrWidth"
                                        << "12.5"
                                        << "";
        QTest::newRow("width blanks") << "txtScrWidth"
                                      << " 300 "
                                      << "";
        QTest::newRow("width empty") << "txtScrWidth"
                                     << ""
                                     << "";
        QTest::newRow("height above") << "txtScrHeight"
                                      << "2001" << kRange10;
        QTest::newRow("speed 5") << "txtScrSpeed"
                                 << "5"
                                 << "";
        QTest::newRow("speed 4") << "txtScrSpeed"
                                 << "4"
                                 << "Please Enter A Value Between 5 And 1000";
        QTest::newRow("spacing 0") << "txtScrSpacing"
                                   << "0"
                                   << "";
        QTest::newRow("spacing 51") << "txtScrSpacing"
                                    << "51"
                                    << "Please Enter A Value Between 0 And 50";
        QTest::newRow("pause 50000") << "txtScrPause"
                                     << "50000"
                                     << "";
        QTest::newRow("pause 50001") << "txtScrPause"
                                     << "50001"
                                     << "Please Enter A Value Between 0 And 50000";
        QTest::newRow("default width") << "txtScrDefWidth"
                                       << "5" << kRange10;
        QTest::newRow("item width") << "txtItmWidth"
                                    << "x" << kRange10;
        QTest::newRow("item width ok") << "txtItmWidth"
                                       << "100"
                                       << "";
    }
    void rangeCheck() {
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
        QLineEdit* next = s.field(onItems ? "txtItmName" : "txtScrName");
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

    void nameCheck_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank") << ""
                               << "Scroller name must not be blank.";
        // The rules themselves are tst_rules' table; here what the window does with them.
        QTest::newRow("underscore first") << "_ticker2"
                                          << "";
        QTest::newRow("browser global") << "indexedDB"
                                        << "Scroller name must not be \"indexedDB\", a name that "
                                           "JavaScript or the web page already uses.";
    }
    void nameCheck() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        EditorSession s;
        QVERIFY(s.show());
        s.replace(s.field("txtScrName"), name);
        s.field("txtScrHeight")->setFocus();
        QCOMPARE(s.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(s.w->hasFieldError(), !message.isEmpty());
        QCOMPARE(QApplication::focusWidget(),
                 message.isEmpty() ? s.field("txtScrHeight") : s.field("txtScrName"));
        QCOMPARE(s.w->CheckVariableName(name), !message.isEmpty());
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

    void itemNameAndTextAreCleanedWhenLeft() {
        EditorSession s;
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QVERIFY(s.show());
        auto* list = s.get<QTreeWidget>("tvItm");
        QLineEdit* name = s.field("txtItmName");
        auto* text = s.get<QPlainTextEdit>("txtItmText");
        s.replace(name, QStringLiteral("O'Neil"));
        text->setFocus();
        QCOMPARE(name->text(), QStringLiteral("O\\'Neil"));
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("O\\'Neil"));
        name->setFocus();
        text->setFocus();
        QCOMPARE(name->text(), QStringLiteral("O\\'Neil"));

        text->clear();
        QTest::keyClicks(text, QStringLiteral("first"));
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, QStringLiteral("second it's C:\\"));
        name->setFocus();
        QCOMPARE(text->toPlainText(), QStringLiteral("first<br>second it\\'s C:&#92;"));
        QVERIFY(s.dialogs.messages.isEmpty());
        QVERIFY(!s.w->hasFieldError());
    }
};

TICKORA_EDITOR_TEST_MAIN(TestFrmMainFocus)
#include "tst_frmmain_focus.moc"
