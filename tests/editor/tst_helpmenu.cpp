// The Help menu and its toolbar buttons: what reaches the help viewer, What's This, the online
// links and the About box.
#include "editorsession.h"

#include "chmfile.h"
#include "damagedhelp.h"
#include "fakehelpviewer.h"
#include "fakeshell.h"
#include "feeddialog.h"
#include "helpprocess.h"
#include "registrystore.h"

#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QWhatsThis>

using help::FakeHelpViewer;
using help::HelpViewer;

namespace {

// The editor with a help viewer: a recording one, or the program's own help process.
template <class Viewer> struct HelpSessionWith : EditorSession {
    Viewer viewer;
    platform::FakeShell shell;
    platform::RegistryStore store{root.filePath(QStringLiteral("registry.ini"))};

    explicit HelpSessionWith(bool delivered = true) {
        shell.browser = QStringLiteral("/usr/bin/web");
        if (delivered)
            QFile::copy(deliveredAppDir() + QStringLiteral("/tickora.chm"), chm());
        w->setHelpServices(&viewer, &store, &shell);
    }
    QString chm() const { return app + QStringLiteral("/tickora.chm"); }
    // Sends the What's This question a click in context-help mode sends.
    void whatsThis(QWidget* control) {
        const QPoint local(2, 2);
        QHelpEvent query(QEvent::QueryWhatsThis, local, control->mapToGlobal(local));
        QApplication::sendEvent(control, &query);
        QVERIFY2(query.isAccepted(), qPrintable(control->objectName()));
        QHelpEvent ask(QEvent::WhatsThis, local, control->mapToGlobal(local));
        QApplication::sendEvent(control, &ask);
    }
};
using HelpSession = HelpSessionWith<FakeHelpViewer>;

// Closes the next modal dialog once it shows, after looking at it.
void whenDialogShows(std::function<void(QDialog*)> look) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, look] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            look(d);
        }
    });
    timer->start();
}

} // namespace

class TestHelpMenu : public QObject {
    Q_OBJECT
private slots:
    // Contents (from the menu or by F1), the integration page and the online links reach the
    // viewer or the browser; the About box is modal and gives the focus back where it was.
    void commandsReachTheViewerAndTheFocusComesBack_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("focus");
        QTest::newRow("menu, item text") << "mnuHelpContents" << 1 << "txtItmText";
        QTest::newRow("F1, scroller height") << "F1" << 0 << "txtScrHeight";
    }
    void commandsReachTheViewerAndTheFocusComesBack() {
        QFETCH(QString, how);
        QFETCH(int, tab);
        QFETCH(QString, focus);
        HelpSession s;
        QVERIFY(s.show());
        s.get<QTabWidget>("tabMain")->setCurrentIndex(tab);
        auto* was = s.w->findChild<QWidget*>(focus);
        was->setFocus();
        if (how == u"F1")
            QTest::keyClick(s.w.get(), Qt::Key_F1);
        else
            s.action("mnuHelpContents")->trigger();
        QCOMPARE(s.viewer.calls.size(), 1);
        QCOMPARE(s.viewer.last().file, s.chm() + QStringLiteral(">Main"));
        QCOMPARE(s.viewer.last().command, int(HelpViewer::DisplayToc));
        QCOMPARE(s.viewer.last().owner, quintptr(0));

        s.action("mnuHelpIntegrate")->trigger();
        QCOMPARE(s.viewer.calls.size(), 2);
        QCOMPARE(s.viewer.last().file, s.chm() + QStringLiteral(">Main"));
        QCOMPARE(s.viewer.last().command, int(HelpViewer::HelpContext));
        QCOMPARE(std::get<qint32>(s.viewer.last().data), qint32(1001));

        // The online links reach the browser unchanged.
        QStringList addresses;
        for (const char* link :
             {"mnuHelpOnlinePage", "mnuHelpOnlineSupport", "mnuHelpOnlineOrbwell"}) {
            s.action(link)->trigger();
            QCOMPARE(s.shell.started.last().program, QStringLiteral("/usr/bin/web"));
            addresses << s.shell.started.last().arguments.value(0);
        }
        QCOMPARE(addresses, (QStringList{"orbwell.example/dhtml/tickora/",
                                         "orbwell.example/support/", "orbwell.example"}));

        QString caption; // of the About box, found as the modal dialog while it runs
        whenDialogShows([&](QDialog* d) {
            caption = d->windowTitle();
            QTest::keyClick(d, Qt::Key_Escape);
        });
        s.action("mnuHelpAbout")->trigger();
        QCOMPARE(caption, QStringLiteral("About Tickora Creator"));
        // Back where the user was working, so typing goes on there.
        QTRY_COMPARE(s.w->focusWidget(), was);
        QVERIFY(s.dialogs.messages.isEmpty());
    }

    void damagedHelpFileIsToldOnce_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("told");
        // Each way of asking, and each kind of failure the editor words; the details of a
        // damaged file are the help's own (tests/help).
        const char* const rows[][3] = {
            {"missing", "mnuHelpContents", "is missing"},
            {"missing", "mnuHelpIntegrate", "is missing"},
            {"missing", "whatsthis", "is missing"},
            {"empty", "mnuHelpContents", "is damaged (it is empty)"},
            {"aborting", "mnuHelpIntegrate", "help program stopped while reading it"},
            {"other program's", "mnuHelpIntegrate",
             "lacks what was asked for (context number 1001)"},
            {"other program's", "whatsthis", "lacks what was asked for (Popups"}};
        for (const auto& r : rows)
            QTest::addRow("%s, %s", r[0], r[1]) << r[0] << r[1] << r[2];
    }
    void damagedHelpFileIsToldOnce() {
        QFETCH(QString, how);
        QFETCH(QString, command);
        QFETCH(QString, told);
        HelpSessionWith<help::HelpProcessViewer> s(false);
        if (how == u"other program's") {
            QVERIFY(QFile::copy(QStringLiteral(TICKORA_FIXTURE_CHM), s.chm()));
        } else if (how == u"aborting") {
            QVERIFY(QFile::copy(abortingHelpFile(), s.chm()));
        } else if (how != u"missing") {
            const QByteArray good = readAll(deliveredAppDir() + QStringLiteral("/tickora.chm"));
            QVERIFY(writeFile(s.chm(), damagedHelp(good, how)));
        }
        QVERIFY(s.show());
        s.type(s.field("txtScrName"), QStringLiteral("x")); // unsaved work
        if (command == u"whatsthis") {
            QTest::keyClick(s.w.get(), Qt::Key_F1, Qt::ShiftModifier);
            QTest::mouseClick(s.get<QLabel>("lblScrSpeed"), Qt::LeftButton);
        } else {
            s.action(command.toLatin1().constData())->trigger();
        }

        QCOMPARE(s.dialogs.messages.value(0).title, QStringLiteral("Tickora Creator"));
        QVERIFY(s.told({QStringLiteral("Help could not be shown: the "), told,
                        QDir::toNativeSeparators(s.chm()), QStringLiteral("Reinstall")}));
        QVERIFY(!s.viewer.popup());

        // The editor goes on with the user's work.
        QVERIFY(s.w->isVisible());
        QVERIFY(s.w->isDirty());
        QCOMPARE(s.field("txtScrName")->text().right(1), QStringLiteral("x"));
        s.action("mnuHelpOnlinePage")->trigger();
        QCOMPARE(s.shell.started.size(), 1);
        QCOMPARE(s.dialogs.messages.size(), 1);
    }

    void whatsThisShowsEachControlsTopic_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("number");
        // A field, its label and its spinner share a topic; one row for each kind of control.
        QTest::newRow("name field") << "txtScrName" << 0 << 1001;
        QTest::newRow("width spinner") << "udScrWidth" << 0 << 1002;
        QTest::newRow("direction list") << "cboScrDirn" << 0 << 1005;
        QTest::newRow("pause label") << "lblScrMsePause" << 0 << 1006;
        QTest::newRow("item text label") << "lblItmText" << 1 << 3003;
    }
    void whatsThisShowsEachControlsTopic() {
        QFETCH(QString, control);
        QFETCH(int, tab);
        HelpSession s;
        QVERIFY(s.show());
        s.get<QTabWidget>("tabMain")->setCurrentIndex(tab);
        s.button("mnuHelpWhatsThis")->click();
        QCOMPARE(s.viewer.contextHelpWindows, QList<quintptr>{quintptr(s.w->winId())});

        auto* w = s.get<QWidget>(qPrintable(control));
        s.whatsThis(w);
        QCOMPARE(s.viewer.calls.size(), 1);
        QCOMPARE(s.viewer.last().command, int(HelpViewer::DisplayTextPopup));
        QCOMPARE(s.viewer.last().file,
                 QDir::toNativeSeparators(s.chm() + QStringLiteral("::Popups/frmMain.txt")));
        const auto& record = std::get<help::HelpPopupRecord>(s.viewer.last().data);
        QTEST(record.stringId, "number");
        QCOMPARE(record.pos, w->mapToGlobal(QPoint(2, 2)));
    }

    void theFeedDialogHasHelpForEachControl() {
        // The dialog holds the keyboard while it is open: F1 and What's This work inside it, and
        // each control's note is in the delivered help file.
        HelpSession s;
        QVERIFY(s.show());
        const QStringList controls = {"txtFeedAddress", "tvFeedEntries", "udFeedNameLength",
                                      "udFeedSummary",  "chkFeedMarkup", "chkFeedRemember"};
        s.w->setFeedDialogRunner([&](FeedDialog& dialog) {
            dialog.setModal(true); // as exec() shows it
            dialog.show();
            dialog.activateWindow();
            if (!QTest::qWaitForWindowActive(&dialog))
                return int(QDialog::Rejected);
            QTest::keyClick(&dialog, Qt::Key_F1);
            QTest::keyClick(&dialog, Qt::Key_F1, Qt::ShiftModifier);
            for (const QString& name : controls)
                s.whatsThis(dialog.findChild<QWidget*>(name));
            return int(QDialog::Rejected);
        });
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        s.action("mnuItemImportFeed")->trigger();
        QCOMPARE(s.viewer.calls.size(), 1 + controls.size());
        QCOMPARE(std::get<qint32>(s.viewer.calls[0].data), qint32(1110));
        QCOMPARE(s.viewer.contextHelpWindows.size(), 1);
        help::ChmFile chm;
        QVERIFY(chm.open(s.chm()));
        QSet<int> numbers;
        for (int i = 1; i <= controls.size(); ++i) {
            const int n = std::get<help::HelpPopupRecord>(s.viewer.calls[i].data).stringId;
            numbers.insert(n);
            QVERIFY2(!chm.popupText(QStringLiteral("Popups/frmMain.txt"), n).isEmpty(),
                     qPrintable(controls[i - 1]));
        }
        QCOMPARE(numbers.size(), controls.size());
        QVERIFY(s.dialogs.messages.isEmpty());
    }

    void whatsThisClickChangesNothing() {
        // A bad value is waiting in one field; a What's This click on another shows that
        // field's note, and neither moves the focus nor runs the first field's check.
        HelpSession s;
        QVERIFY(s.show());
        QLineEdit* width = s.field("txtScrWidth");
        s.replace(width, QStringLiteral("99999"));
        QTest::keyClick(s.w.get(), Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(s.viewer.contextHelpWindows.size(), 1);
        QWhatsThis::enterWhatsThisMode(); // what the program's viewer does there
        QTest::mouseClick(s.field("txtScrSpeed"), Qt::LeftButton);

        QCOMPARE(s.viewer.calls.size(), 1);
        QCOMPARE(std::get<help::HelpPopupRecord>(s.viewer.last().data).stringId, 1004);
        QVERIFY(!QWhatsThis::inWhatsThisMode()); // one question per What's This click
        QVERIFY(s.dialogs.messages.isEmpty());
        QCOMPARE(QApplication::focusWidget(), width);
        QCOMPARE(width->text(), QStringLiteral("99999"));
        QVERIFY(!s.w->hasFieldError());

        // Leaving the field for real still checks it.
        QTest::mouseClick(s.field("txtScrSpeed"), Qt::LeftButton);
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.told({QStringLiteral("2000")}));

        // The What's This and Help buttons, two question marks side by side: a user tells them
        // apart at a glance when most of their drawn pixels differ.
        const QImage whatsThis = s.button("mnuHelpWhatsThis")->icon().pixmap(24).toImage();
        const QImage help = s.button("mnuHelpContents")->icon().pixmap(24).toImage();
        QCOMPARE(whatsThis.size(), help.size());
        int drawn = 0, differ = 0;
        for (int y = 0; y < help.height(); ++y)
            for (int x = 0; x < help.width(); ++x) {
                const QColor a = whatsThis.pixelColor(x, y), b = help.pixelColor(x, y);
                if (a.alpha() < 40 && b.alpha() < 40)
                    continue;
                ++drawn;
                if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                        std::abs(a.blue() - b.blue()) + std::abs(a.alpha() - b.alpha()) >
                    120)
                    ++differ;
            }
        QVERIFY(drawn > 100);
        QVERIFY2(differ * 2 > drawn, qPrintable(QStringLiteral("%1 of %2").arg(differ).arg(drawn)));
    }
};

TICKORA_EDITOR_TEST_MAIN(TestHelpMenu)
#include "tst_helpmenu.moc"
