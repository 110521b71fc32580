// The help viewers: the editor's own over the delivered help file, and the help process that
// runs it apart, where a help program that crashes, hangs or talks nonsense costs a told
// failure and nothing else.
#include "chmhelpviewer.h"
#include "damagedhelp.h"
#include "eventwait.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "files.h"
#include "helpprocess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeWidget>

#include <csignal>

using namespace help;
using platform::Dialogs;
using platform::FakeDialogs;

// Opens the help file the build compiles into the application folder.
class TestHelpViewer : public QObject {
    Q_OBJECT

    QString chm;
    std::unique_ptr<FakeDialogs> dialogs;
    platform::FakeShell shell;
    std::unique_ptr<ChmHelpViewer> viewer;
    QList<HelpFailure> failures;

    quintptr call(const QString& file, int command, const HelpData& data = {},
                  HelpViewer* other = nullptr) {
        return (other ? other : viewer.get())->htmlHelp(0, file, command, data).value_or(0);
    }
    void watch(HelpViewer& v) {
        failures.clear();
        v.setFailureHandler([this](const HelpFailure& f) { failures << f; });
    }
    // The failures told since the last look, as "kind: file", forgotten once looked at.
    QStringList told() {
        static const char* const kinds[] = {"missing", "damaged", "no topic", "viewer failed"};
        QStringList out;
        for (const HelpFailure& f : std::exchange(failures, {}))
            out << kinds[int(f.kind)] + QStringLiteral(": ") + f.file;
        return out;
    }

    static QStringList visibleTexts(QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            if (!list->item(i)->isHidden())
                out << list->item(i)->text();
        }
        return out;
    }

private slots:
    void initTestCase() {
        chm = qEnvironmentVariable("TICKORA_APP_DIR") + "/tickora.chm";
        QVERIFY2(QFile::exists(chm), qPrintable(chm));
    }

    void init() {
        dialogs = std::make_unique<FakeDialogs>();
        shell = platform::FakeShell();
        shell.browser = "/usr/bin/web";
        viewer = std::make_unique<ChmHelpViewer>(dialogs.get(), &shell);
        watch(*viewer);
    }

    void cleanup() { viewer.reset(); }

    void everyLinkLeadsToATopicAndAnchor() {
        ChmFile f;
        QVERIFY(f.open(chm));
        // A link from a topic (or from the contents and the index, given from the root) must
        // name a topic in the file and, after '#', an anchor that topic defines.
        const auto check = [&f](const QString& from, const QString& link) {
            const qsizetype hash = link.indexOf(u'#');
            const QString page = hash < 0 ? link : link.left(hash);
            const QString anchor = hash < 0 ? QString() : link.mid(hash + 1);
            const QString topic = page.isEmpty() ? from : QFileInfo(from).path() + u'/' + page;
            const QString found = f.resolve(topic);
            QVERIFY2(!found.isEmpty(), qPrintable(from + QStringLiteral(" -> ") + link));
            if (anchor.isEmpty())
                return;
            const QRegularExpression defined(
                QStringLiteral("(name|id)\\s*=\\s*\"%1\"").arg(QRegularExpression::escape(anchor)));
            QVERIFY2(f.readText(found).contains(defined),
                     qPrintable(from + QStringLiteral(" -> ") + link));
        };
        QList<ChmFile::TocEntry> contents = f.contents();
        for (qsizetype i = 0; i < contents.size(); ++i) {
            const ChmFile::TocEntry e = contents[i];
            check(QStringLiteral("/toc.hhc"), e.local);
            contents += e.children;
        }
        QVERIFY(!f.index().isEmpty());
        for (const ChmFile::IndexEntry& e : f.index())
            for (const QString& local : e.locals)
                check(QStringLiteral("/index.hhk"), local);
        const QRegularExpression href(QStringLiteral("href\\s*=\\s*\"([^\"]*)\""));
        int links = 0;
        for (const QString& file : f.files()) {
            if (!file.endsWith(QStringLiteral(".htm")))
                continue;
            for (const auto& m : href.globalMatch(f.readText(file))) {
                const QString link = m.captured(1);
                if (link.contains(u':'))
                    continue; // a web address, opened in the browser
                check(file, link);
                ++links;
            }
        }
        QVERIFY(links > 20);
    }

    void mainWindowAndItsTopics() {
        const quintptr h = call(chm + ">Main", HelpViewer::DisplayToc);
        HelpWindow* w = viewer->window(h);
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QString("Tickora Creator Help"));
        QCOMPARE(w->size(), QSize(960, 720));
        QCOMPARE(w->navigation()->currentIndex(), 0);
        for (const char* entry :
             {"Welcome to Tickora Creator", "Scroller Integration", "Runtime reference"})
            QVERIFY2(!w->contentsTree()->findItems(entry, Qt::MatchExactly).isEmpty(), entry);
        HelpBrowser* b = w->browser();
        QCOMPARE(b->currentTopic(), QString("/html/welcome.htm"));
        QVERIFY(QTest::qWaitForWindowExposed(w));

        // Click the link to the integration topic where it is drawn.
        QTextCursor at = b->document()->find("Scroller Integration");
        QCOMPARE(at.charFormat().anchorHref(), QString("integration.htm"));
        at.setPosition(at.position() - 1);
        b->setTextCursor(at);
        b->ensureCursorVisible();
        const QPoint where = b->cursorRect(at).center();
        QTest::mouseClick(b->viewport(), Qt::LeftButton, {}, where);
        QTRY_COMPARE(b->currentTopic(), QString("/html/integration.htm"));
        QVERIFY(shell.started.isEmpty());

        // Back and forward walk the topics seen.
        QVERIFY(b->isBackwardAvailable());
        b->backward();
        QCOMPARE(b->currentTopic(), QString("/html/welcome.htm"));
        b->forward();
        QCOMPARE(b->currentTopic(), QString("/html/integration.htm"));

        // An anchor in the same topic, a topic elsewhere in the file.
        w->followLink(QUrl("runtime.htm#methods"));
        QCOMPARE(b->currentTopic(), QString("/html/runtime.htm"));
        QCOMPARE(b->source().fragment(), QString("methods"));
        QVERIFY(dialogs->messages.isEmpty());

        // A web address goes to the user's browser, unchanged; the topic stays.
        w->followLink(QUrl("https://orbwell.example/support/"));
        QCOMPARE(shell.started.size(), 1);
        QCOMPARE(shell.started[0].arguments, QStringList{"https://orbwell.example/support/"});
        QCOMPARE(b->currentTopic(), QString("/html/runtime.htm"));

        // A link to a topic the file lacks says so.
        w->followLink(QUrl("nothere.htm"));
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages[0].text.contains("nothere.htm"));
        QCOMPARE(b->currentTopic(), QString("/html/runtime.htm"));
        w->followLink(QUrl("javascript:alert(1)"));
        QCOMPARE(dialogs->messages.size(), 2);
        QCOMPARE(shell.started.size(), 1);

        // The same definition, also reached as the file's default window, reuses the window.
        QCOMPARE(call(chm + ">Main", HelpViewer::DisplayIndex), h);
        QCOMPARE(w->navigation()->currentIndex(), 1);
        // The context map names topics by their paths inside the file, which any reader resolves.
        QCOMPARE(call(chm, HelpViewer::HelpContext, qint32(1001)), h);
        QCOMPARE(b->currentTopic(), QString("/html/integration.htm"));
        QCOMPARE(b->documentTitle(), QString("Scroller Integration"));
        QVERIFY(b->toPlainText().contains("Several scrollers on one page"));
        // The contents follow the topic shown.
        QVERIFY(w->contentsTree()->currentItem());
        QCOMPARE(w->contentsTree()->currentItem()->text(0), QString("Scroller Integration"));
        // The picture is read from inside the file, relative to the topic.
        const QVariant image =
            b->loadResource(QTextDocument::ImageResource, QUrl("../images/layout.png"));
        QCOMPARE(image.value<QImage>().size(), QSize(1120, 400));
        // The style sheet applies: the heading takes its colour.
        const QTextBlock heading = b->document()->begin();
        QCOMPARE(heading.text(), QString("Scroller Integration"));
        QCOMPARE(heading.charFormat().foreground().color(), QColor("#0b5394"));
        // An unknown context number, topic or file shows nothing.
        QCOMPARE(call(chm + ">Main", HelpViewer::HelpContext, qint32(4242)), quintptr(0));
        QCOMPARE(call(chm + ">Main", HelpViewer::DisplayTopic, QString("html/nothere.htm")),
                 quintptr(0));
        QCOMPARE(call("/nowhere/missing.chm", HelpViewer::DisplayToc), quintptr(0));

        // Clicking a contents entry shows its topic.
        QTreeWidgetItem* keys =
            w->contentsTree()->findItems("Keyboard shortcuts", Qt::MatchExactly).value(0);
        QVERIFY(keys);
        QCOMPARE(keys->icon(0).pixmap(16).toImage(), // a page, not a book
                 w->style()->standardIcon(QStyle::SP_FileIcon).pixmap(16).toImage());
        emit w->contentsTree()->itemActivated(keys, 0);
        QCOMPARE(w->browser()->currentTopic(), QString("/html/keyboard.htm"));

        call(QString(), HelpViewer::CloseAll);
        QTRY_VERIFY(!viewer->window(h));
    }

    // A window definition that leaves the navigation width out gets the viewer's own.
    void navigationWidthWhenNotGiven() {
        const quintptr h = call(TICKORA_FIXTURE_CHM ">Main", HelpViewer::DisplayToc);
        QVERIFY(viewer->window(h));
        QCOMPARE(viewer->window(h)->navigation()->width(), 260);
    }

    void indexKeywordsAndSearch() {
        HelpLinkRecord r;
        r.keywords = "no such keyword;Project Folder";
        const quintptr h = call(chm, HelpViewer::KeywordLookup, r);
        HelpWindow* w = viewer->window(h);
        QVERIFY(w);
        QCOMPARE(w->browser()->currentTopic(), QString("/html/files.htm"));
        QCOMPARE(w->navigation()->currentIndex(), 1);

        // Typing filters the keywords.
        w->indexFilter()->setText("method");
        const QStringList shown = visibleTexts(w->indexList());
        QVERIFY(shown.contains("pause() method"));
        QVERIFY(shown.contains("methods"));
        QVERIFY(!shown.contains("spacing"));
        QCOMPARE(w->indexList()->currentItem()->text(), QString("methods"));
        w->indexFilter()->setText("reduced");
        QTest::keyClick(w->indexFilter(), Qt::Key_Return);
        QCOMPARE(w->browser()->currentTopic(), QString("/html/accessibility.htm"));

        // Nothing found: the fallback topic, else the record's message.
        r.keywords = "nothing at all";
        r.url = "html/keyboard.htm";
        QCOMPARE(call(chm, HelpViewer::KeywordLookup, r), h);
        QCOMPARE(w->browser()->currentTopic(), QString("/html/keyboard.htm"));
        r.url = QString();
        r.msgText = "No topic for that.";
        r.msgTitle = "Look-up";
        QCOMPARE(call(chm, HelpViewer::KeywordLookup, r), quintptr(0));
        QCOMPARE(dialogs->texts(), QStringList{"No topic for that."});
        QCOMPARE(dialogs->messages.first().title, QString("Look-up"));

        // Search, in the same window.
        HelpSearchRecord q;
        q.query = "onresize";
        QCOMPARE(call(chm + ">Main", HelpViewer::DisplaySearch, q), h);
        QCOMPARE(w->navigation()->currentIndex(), 2);
        QCOMPARE(visibleTexts(w->searchResults()), QStringList{"Scroller Integration"});

        // Every word must be present; a word also finds its longer forms.
        w->searchEdit()->setText("reduced motion");
        QTest::keyClick(w->searchEdit(), Qt::Key_Return);
        const QStringList found = visibleTexts(w->searchResults());
        QVERIFY(found.contains("Accessibility"));
        QVERIFY(!found.contains("Keyboard shortcuts"));
        emit w->searchResults()->itemActivated(w->searchResults()->item(0));
        QVERIFY(w->browser()->currentTopic().endsWith(".htm"));

        w->searchEdit()->setText("zebra");
        QTest::keyClick(w->searchEdit(), Qt::Key_Return);
        QCOMPARE(visibleTexts(w->searchResults()), QStringList{"No topics found."});
    }

    void textPopups() {
        HelpPopupRecord r;
        r.stringId = 3003;
        r.pos = QPoint(100, 100);
        r.font = "Arial, 10, ascii, Bold ";
        const quintptr h = call(chm + "::/Popups/frmMain.txt", HelpViewer::DisplayTextPopup, r);
        QVERIFY(h != 0);
        HelpPopup* p = viewer->popup();
        QVERIFY(p && p->isVisible());
        QVERIFY(p->text().startsWith("Item Text\nWhat the scroller shows for this item, in HTML"));
        QVERIFY(p->findChild<QLabel*>()->font().bold());
        QCOMPARE(p->accessibleName(), QString("Help")); // what a screen reader announces
        // The What's This source names the file with the other separator.
        QCOMPARE(viewer->popupText(chm + "::Popups\\frmMain.txt", 1004).section('\n', 0, 0),
                 QString("Scroll Speed (ms)"));
        // One note per field help number.
        for (int id : {1001, 1002, 1003, 1004, 1005, 1006, 2001, 2002, 2003, 3001, 3002, 3003})
            QVERIFY2(!viewer->popupText(chm + "::Popups/frmMain.txt", id).isEmpty(),
                     qPrintable(QString::number(id)));

        // Literal text, with its own colours.
        r = HelpPopupRecord();
        r.text = "Literal <b>text</b>";
        r.textColor = 0x0000ff; // red
        r.backColor = 0xffffff;
        QVERIFY(call(QString(), HelpViewer::DisplayTextPopup, r) != 0);
        QCOMPARE(viewer->popup()->text(), QString("Literal <b>text</b>"));
        QCOMPARE(viewer->popup()->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        // A topic the file does not hold shows nothing.
        r = HelpPopupRecord();
        r.stringId = 77;
        QCOMPARE(call(chm + "::/Popups/frmMain.txt", HelpViewer::DisplayTextPopup, r), quintptr(0));

        call(QString(), HelpViewer::CloseAll);
        QTRY_VERIFY(!viewer->popup());
    }

    void requestsReachTheHelpProgram() {
        HelpProcessViewer v;
        watch(v);
        QCOMPARE(v.processId(), qint64(0)); // started on first use
        QVERIFY(call(chm + ">Main", HelpViewer::DisplayToc, {}, &v) != 0);
        const qint64 pid = v.processId();
        QVERIFY(pid != 0);
        QVERIFY(call(chm + ">Main", HelpViewer::HelpContext, qint32(1001), &v) != 0);
        QVERIFY(told().isEmpty());

        // What's This notes are read there and shown here.
        help::HelpPopupRecord r;
        r.stringId = 1004;
        QVERIFY(call(chm + "::Popups/frmMain.txt", HelpViewer::DisplayTextPopup, r, &v) != 0);
        QVERIFY(v.popup());
        QVERIFY(v.popup()->text().startsWith("Scroll Speed (ms)\n"));

        // A damaged file (the kinds refused are tst_chmcheck's rows) is refused before it is
        // read, and an unknown topic is told, not shown; the same process goes on serving.
        QTemporaryDir dir;
        const QString truncated = dir.filePath("truncated.chm");
        QVERIFY(writeFile(truncated, damagedHelp(readAll(chm), "truncated")));
        QCOMPARE(call(truncated + ">Main", HelpViewer::DisplayToc, {}, &v), quintptr(0));
        QCOMPARE(call(chm + ">Main", HelpViewer::HelpContext, qint32(4242), &v), quintptr(0));
        QVERIFY(failures.value(1).detail.contains("4242"));
        QCOMPARE(told(), QStringList({"damaged: " + truncated, "no topic: " + chm}));
        QCOMPARE(v.processId(), pid);

        // Damage that makes the reading library abort ends only the help process.
        const QString aborting = dir.filePath("aborting.chm");
        QVERIFY(QFile::copy(abortingHelpFile(), aborting));
        QCOMPARE(call(aborting + ">Main", HelpViewer::DisplayToc, {}, &v), quintptr(0));
        QCOMPARE(told(), QStringList{"viewer failed: " + aborting});
        QCOMPARE(v.processId(), qint64(0));
        QVERIFY(call(chm + ">Main", HelpViewer::DisplayToc, {}, &v) != 0);
        const qint64 second = v.processId();
        QVERIFY(second != 0 && second != pid);

        // A crash while a help window is open is told when it happens; the next request
        // starts a new help process.
        ::kill(pid_t(second), SIGSEGV);
        TRY_VERIFY(!failures.isEmpty(), 10000);
        QCOMPARE(told(), QStringList{"viewer failed: " + chm});
        QVERIFY(call(chm + ">Main", HelpViewer::DisplayToc, {}, &v) != 0);
        QVERIFY(v.processId() != second);
        QVERIFY(told().isEmpty());
    }

    void failingHelpProgramsAreContained_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("script");
        const char* const scripts[][2] = {
            {"crashes", "read x; kill -SEGV $$"},
            {"hangs", "sleep 30"},
            {"nonsense", "read x; echo nonsense; sleep 30"},
            {"wrong shape", "read x; echo '{\"handle\":\"x\"}'; sleep 30"},
            {"ends quietly", "read x; exit 0"},
        };
        for (const auto& s : scripts)
            QTest::newRow(s[0]) << "/bin/sh" << s[1];
        QTest::newRow("missing") << "/nonexistent/tickora-help" << QString();
    }
    void failingHelpProgramsAreContained() {
        QFETCH(QString, program);
        QFETCH(QString, script);
        HelpProcessViewer v(program, {"-c", script}, 1500);
        watch(v);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(call(chm + ">Main", HelpViewer::DisplayToc, {}, &v), quintptr(0));
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(told(), QStringList{"viewer failed: " + chm});
        QCOMPARE(v.processId(), qint64(0)); // nothing left running
    }
};

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
