// Import from Feed, Refresh from Feed and Forget Feed against a feed server on 127.0.0.1.
#include "eventwait.h"
#include "listsession.h"

#include "document.h"
#include "feeddialog.h"
#include "feedsamples.h"
#include "feedserver.h"
#include "scriptwriter.h"

#include <QDialog>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTabWidget>

using Answer = platform::Dialogs::Answer;

namespace {

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

class TestFeedImport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(server.start());
        server.addSamples();
    }

    void importAddsTheChosenEntries() {
        // Entries 0 and 2: entry 1 is unchecked.
        const QStringList names{"Grüße aus Köln – “Zitat” &…", "日本語のニュース"};
        FeedSession s;
        QVERIFY(s.show());
        s.list()->setCurrentItem(s.node(1));
        s.import(server.url("/rss"), [&](FeedDialog& d) {
            d.setChecked(1, false);
            return int(QDialog::Accepted);
        });
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
        QCOMPARE(s.w->feedSource().address, server.url("/rss"));
        QCOMPARE(s.w->feedSource().maxEntries, 2);
        QCOMPARE(s.w->feedSource().items, s.items().mid(3));
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
        const QString script = s.saveAs(QStringLiteral("news.js"));
        QVERIFY(!s.w->isDirty());
        QVERIFY(QFile::exists(s.work + QStringLiteral("/news.feed.json")));
        const QByteArray saved = readAll(script);
        QVERIFY(!saved.contains("news.feed.json"));
        QVERIFY(!saved.contains(server.url("/moving").toUtf8()));

        server.set("/moving", feedsamples::rssFeed(5, "Fresh"));
        s.w->openPath(script);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QCOMPARE(s.w->feedSource().maxEntries, 2);
        s.w->setFeedLimits(feed::Limits());
        s.action("mnuItemRefreshFeed")->trigger();
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
        QCOMPARE(s.dialogs.unexpected, 0); // no message either: none had an answer
    }

    // A refresh sends what the last read gave and takes 304 as nothing new; one that fails or is
    // stopped changes nothing; a feed that moved for good is remembered at its new address once the
    // user saves.
    void refreshChangesOnlyWhatIsNew() {
        server.set("/home", feedsamples::kRss);
        server.routes["/home"].etag = "\"home1\"";
        FeedSession s;
        s.import(server.url("/home"), [](FeedDialog&) { return int(QDialog::Accepted); });
        const QString script = s.saveAs(QStringLiteral("cond.js"));
        QCOMPARE(feed::readSource(script).source->etag, QStringLiteral("\"home1\""));
        const QList<clsItem> items = s.items();
        const auto unchanged = [&](std::initializer_list<QString> said) {
            QVERIFY(s.told(said));
            QCOMPARE(s.items(), items);
            QVERIFY(!s.w->isDirty());
        };
        s.action("mnuItemRefreshFeed")->trigger();
        QVERIFY(server.lastHead.contains("If-None-Match: \"home1\""));
        QCOMPARE(s.dialogs.messages.size(), 1);
        unchanged({"nothing new"});

        server.set("/home", "<!DOCTYPE html><html><body>Moved</body></html>", "text/html");
        s.action("mnuItemRefreshFeed")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 2);
        unchanged({"a web page", "left as they were"});

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
        unchanged({"left as they were"});

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

TICKORA_EDITOR_TEST_MAIN(TestFeedImport)
#include "tst_feedimport.moc"
