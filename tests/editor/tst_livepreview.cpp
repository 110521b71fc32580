// The live preview beside the tabs: a change shows a short moment later without taking the
// focus or the page's scroll position, a bad field keeps the last good page with a note, the
// page's look switches, and the pane's settings are remembered.
#include "editorsession.h"

#include "livepreview.h"
#include "pagewait.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

namespace {

// Running: the strip has moved, or it stands still because everything fits.
const QString kRunning = QStringLiteral(
    "(function () { var c = window.__tkLive && __tkLive.cur; if (!c || !c._started) return false;"
    " var p = c.position(); return p.fits || p.distance > 0; })()");

// The window with its live preview running the default scroller.
bool startLive(EditorSession& s) {
    if (!s.show())
        return false;
    LivePreview* live = s.w->livePreview();
    return waitUntil([&] { return live->view() && live->applied() > 0; }, 30000) &&
           pageHolds(live->view(), kRunning, 30000);
}

QString noteOf(EditorSession& s) {
    return s.w->livePreview()->note();
}

} // namespace

class TestLivePreview : public QObject {
    Q_OBJECT
private slots:
    void anEditShowsAShortMomentLaterAndTheFieldKeepsTheFocus() {
        EditorSession s(true);
        QVERIFY(startLive(s));
        LivePreview* live = s.w->livePreview();
        QLineEdit* speed = s.field("txtScrSpeed");
        s.type(speed, QString());
        QTRY_VERIFY(speed->hasFocus());

        // Nothing changed, nothing shown anew: a tab change leaves the scroller running.
        int before = live->applied();
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(0);
        QTest::qWait(frmMain::kLiveDelayMs * 3);
        QCOMPARE(live->applied(), before);
        s.type(speed, QString());
        QTRY_VERIFY(speed->hasFocus());

        // Quick keystrokes make one refresh, after the last of them.
        before = live->applied();
        QTest::keyClicks(speed, QStringLiteral("5"));
        QTest::keyClick(speed, Qt::Key_Backspace);
        QTest::keyClicks(speed, QStringLiteral("0"));
        QCOMPARE(live->applied(), before);
        QVERIFY(pageHolds(live->view(),
                          QStringLiteral("__tkLive.cur.scrollspeed === 400 && ") + kRunning,
                          10000));
        QCOMPARE(live->applied(), before + 1);
        QVERIFY(speed->hasFocus());
        QCOMPARE(speed->text(), QStringLiteral("400"));
        // The records were not touched on the way: that is for the fixed moments.
        QCOMPARE(s.w->scroller().sSpeed, QStringLiteral("40"));

        // The shown item's text, as typed, before any field is left.
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        s.type(s.get<QPlainTextEdit>("txtItmText"), QStringLiteral(" <i>fresh</i>"));
        QVERIFY(pageHolds(live->view(),
                          QStringLiteral("document.querySelector('.tk-item').innerHTML"
                                         ".indexOf('<i>fresh</i>') > 0"),
                          10000));
        QVERIFY(s.get<QPlainTextEdit>("txtItmText")->hasFocus());
        QVERIFY(s.dialogs.messages.isEmpty());
    }

    void aBadFieldKeepsTheLastGoodPreviewWithANote_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("fixed");
        QTest::newRow("name") << "txtScrName"
                              << "9news"
                              << "Name: Scroller name must not start with a number."
                              << "fixed";
        // The browser keeps "status" for itself: the name check refuses it, quietly here.
        QTest::newRow("name the page cannot use")
            << "txtScrName"
            << "status"
            << "Name: Scroller name must not be \"status\", a name that JavaScript or the web "
               "page already uses."
            << "news2";
        QTest::newRow("width") << "txtScrWidth"
                               << "abc"
                               << "Width (px): enter a number from 10 to 2000."
                               << "250";
        QTest::newRow("speed") << "txtScrSpeed"
                               << "2"
                               << "Scroll Speed (ms): enter a number from 5 to 1000."
                               << "45";
        QTest::newRow("item width") << "txtItmWidth"
                                    << "5"
                                    << "Item Width (px): enter a number from 10 to 2000."
                                    << "150";
    }
    void aBadFieldKeepsTheLastGoodPreviewWithANote() {
        QFETCH(QString, field);
        QFETCH(QString, bad);
        QFETCH(QString, note);
        QFETCH(QString, fixed);
        EditorSession s(true);
        s.get<QComboBox>("cboScrDirn")->setCurrentIndex(2); // item widths count when horizontal
        QVERIFY(startLive(s));
        LivePreview* live = s.w->livePreview();
        if (field.startsWith(QStringLiteral("txtItm")))
            s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QLineEdit* f = s.field(field.toLatin1().constData());
        const int shown = pageValue(live->view(), QStringLiteral("__tkLive.gen")).toInt();
        s.replace(f, bad);
        QVERIFY(waitUntil([&] { return !noteOf(s).isEmpty(); }, 5000));
        QCOMPARE(noteOf(s), note + QStringLiteral(" The preview shows the last good values."));
        QVERIFY(s.w->livePreview()->findChild<QLabel*>(QStringLiteral("liveNote"))->isVisible());
        // No message box while typing, the last good page stays and runs, the field keeps the
        // focus.
        QVERIFY(s.dialogs.messages.isEmpty());
        QCOMPARE(pageValue(live->view(), QStringLiteral("__tkLive.gen")).toInt(), shown);
        QVERIFY(pageHolds(live->view(), kRunning, 5000));
        QVERIFY(f->hasFocus());

        s.replace(f, fixed);
        QVERIFY(waitUntil([&] { return noteOf(s).isEmpty(); }, 5000));
        QVERIFY(waitUntil(
            [&] { return pageValue(live->view(), QStringLiteral("__tkLive.gen")).toInt() > shown; },
            10000));
    }

    void theRefreshKeepsThePagesScrollPosition() {
        EditorSession s(true);
        s.field("txtScrHeight")->setText(QStringLiteral("1800"));
        QVERIFY(startLive(s));
        QWebEngineView* view = s.w->livePreview()->view();
        pageValue(view, QStringLiteral("window.scrollTo(0, 300); true"));
        QVERIFY(pageHolds(view, QStringLiteral("window.scrollY === 300"), 5000));
        s.replace(s.field("txtScrSpeed"), QStringLiteral("70"));
        QVERIFY(pageHolds(view, QStringLiteral("__tkLive.cur.scrollspeed === 70"), 10000));
        QCOMPARE(pageValue(view, QStringLiteral("window.scrollY")).toInt(), 300);
    }

    void theLookSwitchesAndThePaneIsRemembered() {
        EditorSession s(true);
        QVERIFY(startLive(s));
        LivePreview* live = s.w->livePreview();
        QTest::mouseClick(live->findChild<QToolButton*>(QStringLiteral("cmdLiveDark")),
                          Qt::LeftButton);
        QVERIFY(pageHolds(live->view(),
                          QStringLiteral("document.documentElement.classList.contains('dark') && "
                                         "getComputedStyle(document.body).backgroundColor === "
                                         "'rgb(31, 31, 35)'"),
                          5000));
        s.action("mnuViewLiveRtl")->trigger();
        QVERIFY(live->findChild<QToolButton*>(QStringLiteral("cmdLiveRtl"))->isChecked());
        QVERIFY(pageHolds(live->view(), QStringLiteral("document.dir === 'rtl' && ") + kRunning,
                          10000));

        // The Preview tab shows the scroller itself; the pane steps aside meanwhile.
        QVERIFY(live->isVisible());
        s.dialogs.fileAnswers << s.work + QStringLiteral("/news.js");
        s.get<QTabWidget>("tabMain")->setCurrentIndex(2);
        QVERIFY(!live->isVisible());
        s.get<QTabWidget>("tabMain")->setCurrentIndex(0);
        QVERIFY(live->isVisible());

        s.restart();
        QVERIFY(s.show());
        live = s.w->livePreview();
        QVERIFY(live->dark() && live->rightToLeft());
        QVERIFY(s.action("mnuViewLive")->isChecked());
        QVERIFY(live->isVisible());
        s.action("mnuViewLive")->trigger();
        QVERIFY(!live->isVisible());
        s.restart();
        QVERIFY(s.show());
        QVERIFY(!s.action("mnuViewLive")->isChecked());
        QVERIFY(!s.w->livePreview()->isVisible());
        // A pane that is off makes no browser.
        QTest::qWait(frmMain::kLiveDelayMs * 2);
        QVERIFY(!s.w->livePreview()->view());
    }
};

TICKORA_EDITOR_TEST_MAIN(TestLivePreview)
#include "tst_livepreview.moc"
