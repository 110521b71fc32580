// The tab change and the preview: what is written, what is refused and in which order, and the
// scroller running in the embedded browser; then the live preview beside the tabs.
#include "editorsession.h"
#include "livepreview.h"
#include "pagewait.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

using Answer = platform::Dialogs::Answer;

namespace {

// How far the strip has travelled, or -1 before the scroller runs.
double travelled(QWebEngineView* view) {
    return pageValue(view, QStringLiteral("(typeof news === 'object' && news._started) ? "
                                          "news.position().distance : -1"))
        .toDouble();
}

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

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void refusalsComeInTheirOrder() {
        EditorSession s;
        QVERIFY(s.show());
        auto* tabs = s.get<QTabWidget>("tabMain");
        s.open("e = new Tickora();\r\ne.name = 'e';\r\n", QStringLiteral("empty.js"));
        // A rejected field wins over the empty list: it is checked again, and the user is back
        // on it. As a user gets there: Tab out of the field, OK, a click on the tab.
        s.replace(s.field("txtScrWidth"), QStringLiteral("abc"));
        QTest::keyClick(s.field("txtScrWidth"), Qt::Key_Tab);
        QVERIFY(s.w->hasFieldError());
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
        QCOMPARE(s.dialogs.texts(), (QStringList{kRange10, kRange10}));
        QCOMPARE(tabs->currentIndex(), 0);
        QTRY_COMPARE(QApplication::focusWidget(), s.field("txtScrWidth"));
        QVERIFY(!QFile::exists(s.work + QStringLiteral("/tickora_preview.js")));
        QVERIFY(!s.w->previewView());

        s.replace(s.field("txtScrWidth"), QStringLiteral("100"));
        s.field("txtScrHeight")->setFocus();
        QVERIFY(!s.w->hasFieldError()); // fixed, the field lets the focus go without a word
        QCOMPARE(QApplication::focusWidget(), s.field("txtScrHeight"));
        QCOMPARE(s.dialogs.messages.size(), 2);
        tabs->setCurrentIndex(2);
        QCOMPARE(s.dialogs.lastText(), QStringLiteral("No scroller item created."));
        QVERIFY(!QFile::exists(s.work + QStringLiteral("/tickora_preview.js")));
        QVERIFY(!s.w->previewView());

        // An untitled document is offered a save first; cancelling it writes nothing.
        tabs->setCurrentIndex(0);
        s.dialogs.clear();
        s.dialogs.answers << Answer::No; // discard the width change
        s.action("mnuFileNew")->trigger();
        tabs->setCurrentIndex(2);
        QCOMPARE(s.dialogs.texts(),
                 (QStringList{"Do you want to save the changes?", kSaveForFolder}));
        QCOMPARE(s.dialogs.fileCalls.size(), 1);
        QVERIFY(QDir(s.work).entryList({"tickora_preview.js"}).isEmpty());
        QVERIFY(!s.w->previewView());

        // A preview that cannot be written is told, and the document stays as it was.
        tabs->setCurrentIndex(0);
        s.saveAs(QStringLiteral("news.js"));
        QVERIFY(QDir().mkpath(s.work + QStringLiteral("/tickora_preview.js")));
        tabs->setCurrentIndex(2);
        QCOMPARE(s.dialogs.messages.size(), 3);
        QVERIFY(s.told({QStringLiteral("tickora_preview.js"), QStringLiteral("preview")}));
        QVERIFY(!s.w->previewView());
        QVERIFY(!s.w->isDirty());
    }

    void previewRunsTheScrollerAndLinksStayOutside() {
        EditorSession s;
        QList<QUrl> opened;
        s.w->setLinkOpener([&](const QUrl& url) { opened << url; });
        QVERIFY(s.show());
        auto* tabs = s.get<QTabWidget>("tabMain");
        const QString path = s.work + QStringLiteral("/news.js");
        s.dialogs.fileAnswers << path;
        tabs->setCurrentIndex(2);
        QCOMPARE(s.dialogs.texts(), QStringList{kSaveForFolder});
        QVERIFY(QFile::exists(path));
        const QString preview = s.work + QStringLiteral("/tickora_preview.js");
        QCOMPARE(readAll(preview), readAll(path));
        for (const char* f : {"tickora.htm", "tickolib.js", "tickora.js"})
            QCOMPARE(readAll(s.work + "/" + f), readAll(s.app + "/" + f));

        QWebEngineView* view = s.w->previewView();
        QVERIFY(view);
        QSignalSpy loaded(s.w.get(), &frmMain::previewLoaded);
        QTRY_VERIFY_WITH_TIMEOUT(
            view->url().fileName() == QStringLiteral("tickora.htm") && travelled(view) >= 0, 20000);
        const double d0 = travelled(view);
        QTRY_VERIFY_WITH_TIMEOUT(travelled(view) > d0, 10000); // the strip moves

        // A followed link goes to the opener, in the page or in a new window; the preview stays
        // on the page.
        for (const QString target : {"", "_blank"}) {
            const QString url = QStringLiteral("https://example.com/more") + target;
            pageValue(view, QStringLiteral("var a = document.createElement('a'); a.href = '%1';"
                                           "a.target = '%2'; document.body.appendChild(a);"
                                           "a.click(); true")
                                .arg(url, target));
            QTRY_COMPARE(opened.value(target.isEmpty() ? 0 : 1), QUrl(url));
        }
        QCOMPARE(opened.size(), 2);
        QCOMPARE(view->url().fileName(), QStringLiteral("tickora.htm"));

        // Leaving the tab empties the browser; coming back writes the preview anew.
        tabs->setCurrentIndex(1);
        QTRY_COMPARE(view->url().fileName(), QStringLiteral("blank.htm"));
        s.field("txtScrSpeed")->setText(QStringLiteral("25"));
        tabs->setCurrentIndex(2);
        QVERIFY(readAll(preview).contains("news.scrollspeed = 25;"));
        QTRY_VERIFY_WITH_TIMEOUT(
            view->url().fileName() == QStringLiteral("tickora.htm") && travelled(view) >= 0, 20000);
        QVERIFY(loaded.size() >= 2);
        // The preview changes neither the document's file nor its state.
        QCOMPARE(s.w->filePath(), path);
        QVERIFY(s.w->isDirty());
        QCOMPARE(s.dialogs.messages.size(), 1);

        // The sample page reads its scripts as UTF-8, so the preview of a Windows-1252 script
        // is written that way while the document keeps its own encoding.
        tabs->setCurrentIndex(1);
        s.dialogs.answers << Answer::No;
        const QString cafe = s.open("c = new Tickora();\r\nc.name = 'c';\r\n"
                                    "c.add('Caf\xE9 cr\xE8me', '', 'Item 1');\r\n",
                                    QStringLiteral("cafe.js"));
        QCOMPARE(s.w->encoding(), TextEncoding::Windows1252);
        tabs->setCurrentIndex(2);
        QVERIFY(readAll(preview).contains("Caf\xC3\xA9 cr\xC3\xA8me"));
        QCOMPARE(s.w->previewView(), view);
        QTRY_VERIFY_WITH_TIMEOUT(
            pageValue(view, QStringLiteral("document.body ? document.body.textContent : ''"))
                .toString()
                .contains(QString::fromUtf8("Caf\xC3\xA9 cr\xC3\xA8me")),
            20000);
        // Saved, the script keeps the encoding it was read in.
        s.field("txtScrHeight")->setText(QStringLiteral("20"));
        s.run("mnuFileSave");
        QVERIFY(readAll(cafe).contains("Caf\xE9 cr\xE8me'"));
        QVERIFY(!readAll(cafe).contains("Caf\xC3\xA9"));
    }

    // The live preview beside the tabs: a change shows a short moment later without taking
    // the focus or the page's scroll position, a bad field keeps the last good page with a
    // note, the page's look switches, and the pane's settings are remembered.
    void anEditShowsAShortMomentLaterTheLookSwitchesAndThePaneIsRemembered() {
        EditorSession s(true);
        s.field("txtScrHeight")->setText(QStringLiteral("1800")); // the page can scroll
        QVERIFY(startLive(s));
        LivePreview* live = s.w->livePreview();
        pageValue(live->view(), QStringLiteral("window.scrollTo(0, 300); true"));
        QVERIFY(pageHolds(live->view(), QStringLiteral("window.scrollY === 300"), 5000));
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
        QCOMPARE(pageValue(live->view(), QStringLiteral("window.scrollY")).toInt(), 300);
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
        QVERIFY(!s.doc().item(s.doc().current()).sText.contains(QStringLiteral("fresh")));
        QVERIFY(s.get<QPlainTextEdit>("txtItmText")->hasFocus());
        QVERIFY(s.dialogs.messages.isEmpty());

        // The page's look switches.
        QTest::mouseClick(s.get<QToolButton>("cmdLiveDark"), Qt::LeftButton);
        QVERIFY(pageHolds(live->view(),
                          QStringLiteral("document.documentElement.classList.contains('dark') && "
                                         "getComputedStyle(document.body).backgroundColor === "
                                         "'rgb(31, 31, 35)'"),
                          5000));
        s.action("mnuViewLiveRtl")->trigger();
        QVERIFY(s.get<QToolButton>("cmdLiveRtl")->isChecked());
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

    void aBadFieldKeepsTheLastGoodPreviewWithANote_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("fixed");
        // The browser keeps "status" for itself: the name check refuses it, quietly here.
        const char* const rows[][4] = {
            {"txtScrName", "9news", "Name: Scroller name must not start with a number.", "fixed"},
            {"txtScrName", "status",
             "Name: Scroller name must not be \"status\", a name that JavaScript or the web page "
             "already uses.",
             "news2"},
            {"txtScrWidth", "abc", "Width (px): enter a number from 10 to 2000.", "250"},
            {"txtScrSpeed", "2", "Scroll Speed (ms): enter a number from 5 to 1000.", "45"},
            {"txtItmWidth", "5", "Item Width (px): enter a number from 10 to 2000.", "150"}};
        for (const auto& r : rows)
            QTest::addRow("%s %s", r[0], r[1]) << r[0] << r[1] << r[2] << r[3];
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
        const auto generation = [&] {
            return pageValue(live->view(), QStringLiteral("__tkLive.gen")).toInt();
        };
        const int shown = generation();
        s.replace(f, bad);
        TRY_COMPARE(live->note(), note + QStringLiteral(" The preview shows the last good values."),
                    5000);
        QVERIFY(s.get<QLabel>("liveNote")->isVisible());
        // No message box while typing, the last good page stays and runs, the field keeps the
        // focus.
        QVERIFY(s.dialogs.messages.isEmpty());
        QCOMPARE(generation(), shown);
        QVERIFY(pageHolds(live->view(), kRunning, 5000));
        QVERIFY(f->hasFocus());

        s.replace(f, fixed);
        TRY_VERIFY(live->note().isEmpty(), 5000);
        TRY_VERIFY(generation() > shown, 10000);
    }
};

TICKORA_EDITOR_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
