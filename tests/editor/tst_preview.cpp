// The tab change and the preview: what is written, what is refused and in which order, and the
// scroller running in the embedded browser.
#include "editorsession.h"
#include "pagewait.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

using Answer = platform::Dialogs::Answer;

namespace {

const QString kNoItem = QStringLiteral("No scroller item created.");
const QString kRange10 = QStringLiteral("Please Enter A Value Between 10 And 2000");
const QString kSaveForFolder =
    QStringLiteral("Save the scroller to set project folder. Press OK to continue.");

// How far the strip has travelled, or -1 before the scroller runs.
double travelled(QWebEngineView* view) {
    return pageValue(view, QStringLiteral("(typeof news === 'object' && news._started) ? "
                                          "news.position().distance : -1"))
        .toDouble();
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void refusalsComeInTheirOrder() {
        EditorSession s;
        QVERIFY(s.show());
        auto* tabs = s.get<QTabWidget>("tabMain");
        const QString empty = s.work + QStringLiteral("/empty.js");
        QVERIFY(writeFile(empty, "e = new Tickora();\r\ne.name = 'e';\r\n"));
        s.w->openPath(empty);
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

        tabs->setCurrentIndex(0);
        s.replace(s.field("txtScrWidth"), QStringLiteral("100"));
        s.field("txtScrHeight")->setFocus();
        QVERIFY(!s.w->hasFieldError()); // fixed, the field lets the focus go without a word
        QCOMPARE(QApplication::focusWidget(), s.field("txtScrHeight"));
        QCOMPARE(s.dialogs.messages.size(), 2);
        tabs->setCurrentIndex(2);
        QCOMPARE(s.dialogs.lastText(), kNoItem);
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
        const QByteArray preview = readAll(s.work + QStringLiteral("/tickora_preview.js"));
        QCOMPARE(preview, readAll(path));
        for (const char* f : {"tickora.htm", "tickolib.js", "tickora.js"})
            QCOMPARE(readAll(s.work + "/" + f), readAll(s.app + "/" + f));

        QWebEngineView* view = s.w->previewView();
        QVERIFY(view);
        QSignalSpy loaded(s.w.get(), &frmMain::previewLoaded);
        QTRY_VERIFY_WITH_TIMEOUT(
            view->url().fileName() == QStringLiteral("tickora.htm") && travelled(view) >= 0, 20000);
        const double d0 = travelled(view);
        QTRY_VERIFY_WITH_TIMEOUT(travelled(view) > d0, 10000); // the strip moves

        // A followed link goes to the opener; the preview stays on the page.
        pageValue(view, QStringLiteral("var a = document.createElement('a');"
                                       "a.href = 'https://example.com/more'; a.id = 'probe';"
                                       "document.body.appendChild(a); a.click(); true"));
        QTRY_COMPARE(opened.size(), 1);
        QCOMPARE(opened[0], QUrl(QStringLiteral("https://example.com/more")));
        pageValue(view, QStringLiteral("var b = document.createElement('a');"
                                       "b.href = 'https://example.com/new'; b.target = '_blank';"
                                       "document.body.appendChild(b); b.click(); true"));
        QTRY_COMPARE(opened.size(), 2);
        QCOMPARE(opened[1], QUrl(QStringLiteral("https://example.com/new")));
        QCOMPARE(view->url().fileName(), QStringLiteral("tickora.htm"));

        // Leaving the tab empties the browser; coming back writes the preview anew.
        tabs->setCurrentIndex(1);
        QTRY_COMPARE(view->url().fileName(), QStringLiteral("blank.htm"));
        s.field("txtScrSpeed")->setText(QStringLiteral("25"));
        tabs->setCurrentIndex(2);
        QVERIFY(readAll(s.work + QStringLiteral("/tickora_preview.js"))
                    .contains("news.scrollspeed = 25;"));
        QTRY_VERIFY_WITH_TIMEOUT(
            view->url().fileName() == QStringLiteral("tickora.htm") && travelled(view) >= 0, 20000);
        QVERIFY(loaded.size() >= 2);
        // The preview changes neither the document's file nor its state.
        QCOMPARE(s.w->filePath(), path);
        QVERIFY(s.w->isDirty());
        QCOMPARE(s.dialogs.messages.size(), 1);
    }

    void previewOfAWindows1252ScriptShowsItsLetters() {
        // The sample page reads its scripts as UTF-8, so the preview is written that way while
        // the document itself keeps its own encoding.
        EditorSession s;
        QVERIFY(s.show());
        const QString path = s.work + QStringLiteral("/cafe.js");
        QVERIFY(writeFile(path, "c = new Tickora();\r\nc.name = 'c';\r\n"
                                "c.add('Caf\xE9 cr\xE8me', '', 'Item 1');\r\n"));
        s.w->openPath(path);
        QCOMPARE(s.w->encoding(), TextEncoding::Windows1252);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(2);
        QVERIFY(readAll(s.work + QStringLiteral("/tickora_preview.js"))
                    .contains("Caf\xC3\xA9 cr\xC3\xA8me"));
        QWebEngineView* view = s.w->previewView();
        QVERIFY(view);
        QTRY_VERIFY_WITH_TIMEOUT(
            pageValue(view, QStringLiteral("document.body ? document.body.textContent : ''"))
                .toString()
                .contains(QString::fromUtf8("Caf\xC3\xA9 cr\xC3\xA8me")),
            20000);
        QCOMPARE(s.w->encoding(), TextEncoding::Windows1252);
        QVERIFY(readAll(path).contains("Caf\xE9"));
    }

    void aPreviewThatCannotBeWrittenIsReported() {
        EditorSession s;
        const QString path = s.work + QStringLiteral("/news.js");
        s.dialogs.fileAnswers << path;
        s.action("mnuFileSaveAs")->trigger();
        QVERIFY(QDir().mkpath(s.work + QStringLiteral("/tickora_preview.js")));
        s.get<QTabWidget>("tabMain")->setCurrentIndex(2);
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.dialogs.lastText().contains(QStringLiteral("tickora_preview.js")));
        QVERIFY(s.dialogs.lastText().contains(QStringLiteral("preview")));
        QVERIFY(!s.w->previewView());
        QVERIFY(!s.w->isDirty());
    }
};

TICKORA_EDITOR_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
