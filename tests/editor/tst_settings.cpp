// What the editor keeps for the user between sessions: the user's own default scroller, the
// recent files, the window's size, place, splitters and tab.
#include "editorsession.h"

#include "document.h"
#include "recentfiles.h"
#include "scriptreader.h"
#include "userconfig.h"
#include "windowstate.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>

#include <unistd.h>

using Answer = platform::Dialogs::Answer;

namespace {

QString nameIn(const QString& path) {
    ScrollerDocument doc;
    scriptreader::LoadScroller(path, doc);
    return doc.scroller.sName;
}

// A folder the program may not write, as after a system-wide install. The owner of a folder
// without write permission still may when it is root, so root acts as another user meanwhile.
class ReadOnlyFolder {
public:
    ReadOnlyFolder(const QString& folder, const QString& userFolder) : m_folder(folder) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        if (geteuid() == 0) {
            // The other user needs to reach the session's folders and write the user's own.
            const auto all = QFileDevice::Permissions(0x7777);
            QFile::setPermissions(QFileInfo(folder).path(), all);
            if (!userFolder.isEmpty()) {
                QFile::setPermissions(QFileInfo(userFolder).path(), all);
                QFile::setPermissions(userFolder, all);
            }
            m_wasRoot = seteuid(65534) == 0;
        }
    }
    ~ReadOnlyFolder() {
        if (m_wasRoot && seteuid(0) != 0)
            qFatal("cannot return to root");
        QFile::setPermissions(m_folder, QFileDevice::Permissions(0x7755));
    }
    bool active() const { return !userconfig::canWriteIn(m_folder); }

private:
    QString m_folder;
    bool m_wasRoot = false;
};

QStringList recentEntries(const EditorSession& s) {
    QStringList out;
    for (int i = 1; i <= RecentFiles::kLimit + 1; ++i)
        if (auto* a = s.w->findChild<QAction*>(QStringLiteral("mnuFileRecent%1").arg(i)))
            out << a->text();
    return out;
}

QString script(const QString& name) {
    return name + QStringLiteral(" = new Tickora();\r\n") + name + QStringLiteral(".name = '") +
           name + QStringLiteral("';\r\n") + name + QStringLiteral(".add('x', '', 'x');\r\n");
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void saveAsDefaultGoesWhereNewReads_data() {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<bool>("ownBefore");
        QTest::addColumn<QString>("writes"); // own, shipped or none
        QTest::newRow("installed program, no own default") << false << false << "own";
        QTest::newRow("installed program, own default") << false << true << "own";
        QTest::newRow("writable program, no own default") << true << false << "shipped";
        // New reads the user's own, so that is the default to change.
        QTest::newRow("writable program, own default") << true << true << "own";
        // The user's folder may be entered and read only.
        QTest::newRow("nowhere to write") << false << false << "none";
    }
    void saveAsDefaultGoesWhereNewReads() {
        QFETCH(bool, programWritable);
        QFETCH(bool, ownBefore);
        QFETCH(QString, writes);
        EditorSession s;
        const QString shipped = s.app + QStringLiteral("/default.js");
        const QString own = userconfig::userDefaultPath();
        QVERIFY(own.startsWith(s.config + QLatin1Char('/')));
        // The user's folder is made by the program where it is not there yet.
        if (ownBefore || writes == u"none") {
            QVERIFY(QDir().mkpath(userconfig::folder()));
            QFile::setPermissions(userconfig::folder(),
                                  QFileDevice::Permissions(writes == u"none" ? 0x5555 : 0x7777));
        }
        if (ownBefore) {
            QVERIFY(writeFile(own, "earlier = new Tickora();\r\nearlier.name = 'earlier';\r\n"));
            // The user's own file, also when the program runs as another user below.
            QFile::setPermissions(own, QFileDevice::Permissions(0x6666));
            s.restart();
            QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("earlier"));
        }
        const QByteArray shippedBefore = readAll(shipped);
        s.field("txtScrName")->setText(QStringLiteral("mine"));
        {
            std::optional<ReadOnlyFolder> ro;
            if (!programWritable) {
                ro.emplace(s.app, writes == u"none" ? QString() : userconfig::folder());
                QVERIFY(ro->active());
            }
            s.dialogs.answers << Answer::Yes;
            s.action("mnuFileSaveAsDefault")->trigger();
            if (writes == u"none") {
                QCOMPARE(s.dialogs.messages.size(), 2);
                QVERIFY(s.dialogs.lastText().contains(
                    QStringLiteral("The default scroller is unchanged. Please check that you may "
                                   "write to the folder \"%1\".")
                        .arg(QDir::toNativeSeparators(userconfig::folder()))));
                QVERIFY(s.w->isDirty());
                QVERIFY(!QFile::exists(own));
                return;
            }
            QCOMPARE(s.dialogs.messages.size(), 1); // the question only
            // New starts from what was just saved.
            s.dialogs.answers << Answer::No;
            s.action("mnuFileNew")->trigger();
            QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("mine"));
        }
        QCOMPARE(s.dialogs.unexpected, 0);
        QCOMPARE(nameIn(writes == u"own" ? own : shipped), QStringLiteral("mine"));
        if (writes == u"own")
            QCOMPARE(readAll(shipped), shippedBefore);
        else
            QVERIFY(!QFile::exists(own));
        // Finding out whether the folder may be written leaves nothing behind.
        QCOMPARE(QDir(s.app).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("probe")),
                 QStringList());
    }

    void recentFilesKeepTheLastEightNewestFirst() {
        EditorSession s;
        QStringList paths;
        for (int i = 1; i <= 10; ++i) {
            paths << s.work + QStringLiteral("/s%1.js").arg(i);
            QVERIFY(writeFile(paths.last(), script(QStringLiteral("s%1").arg(i)).toUtf8()));
            s.w->openPath(paths.last());
        }
        QStringList expected;
        for (int i = 10; i >= 3; --i)
            expected << RecentFiles::caption(10 - i, paths[i - 1]);
        QCOMPARE(recentEntries(s), expected);

        // Opening one again brings it to the top once; Save As puts the new name first.
        s.action("mnuFileRecent4")->trigger();
        QCOMPARE(s.w->filePath(), paths[6]);
        const QString saved = s.work + QStringLiteral("/saved as.js");
        s.dialogs.fileAnswers << saved;
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(recentEntries(s).mid(0, 3),
                 (QStringList{RecentFiles::caption(0, saved), RecentFiles::caption(1, paths[6]),
                              RecentFiles::caption(2, paths[9])}));
        QCOMPARE(recentEntries(s).size(), RecentFiles::kLimit);
        QCOMPARE(s.action("mnuFileRecent1")->toolTip(), QDir::toNativeSeparators(saved));
        QCOMPARE(s.dialogs.unexpected, 0);

        // An entry whose file is gone is taken off with a word; the open document stays.
        QVERIFY(QFile::remove(paths[9]));
        s.action("mnuFileRecent3")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.dialogs.lastText().contains(QDir::toNativeSeparators(paths[9])));
        QVERIFY(s.dialogs.lastText().contains(QStringLiteral("no longer exists")));
        QCOMPARE(recentEntries(s).size(), RecentFiles::kLimit - 1);
        QCOMPARE(s.action("mnuFileRecent3")->toolTip(), QDir::toNativeSeparators(paths[8]));
        QCOMPARE(s.w->filePath(), saved);
        QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("s7"));

        // A restart keeps the list, and the list only.
        const QStringList before = recentEntries(s);
        s.restart();
        QCOMPARE(recentEntries(s), before);
        QCOMPARE(s.w->filePath(), QString());
        // The entries have their own separator, hidden while there are none.
        QVERIFY(s.action("mnuFileRecentSep")->isVisible());
        for (int left = before.size(); left > 0; --left) {
            QAction* first = s.action("mnuFileRecent1");
            QVERIFY(QFile::remove(first->toolTip()));
            first->trigger();
        }
        QVERIFY(recentEntries(s).isEmpty());
        QVERIFY(!s.action("mnuFileRecentSep")->isVisible());
    }

    // The list's rules (row "list"), the entries' captions ("caption") and the window kept on a
    // screen ("screen"), each a pure function of its row.
    void rulesWithoutAWindow_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("in"); // list and path; index and path
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* kind, const char* tag, const QStringList& in,
                            const QString& expected) {
            QTest::newRow(tag) << kind << in << expected;
        };
        row("list", "first", {"", "/w/a.js"}, "/w/a.js");
        row("list", "again moves up", {"/w/a.js,/w/b.js", "/w/b.js"}, "/w/b.js,/w/a.js");
        row("list", "another spelling of the same file", {"/w/a.js,/w/x/../b.js", "/w/./b.js"},
            "/w/b.js,/w/a.js");
        row("list", "the oldest falls off", {"/1,/2,/3,/4,/5,/6,/7,/8", "/9"},
            "/9,/1,/2,/3,/4,/5,/6,/7");
        row("list", "empty entries of a damaged list go", {",/w/a.js,", "/w/b.js"},
            "/w/b.js,/w/a.js");
        row("caption", "number as access key", {"0", "/w/news.js"}, "&1 /w/news.js");
        row("caption", "an ampersand in the name is shown", {"7", "/w/tom & jerry.js"},
            "&8 /w/tom && jerry.js");
        row("caption", "a long path keeps its start and its name",
            {"2", "/home/ann/" + QString(80, u'd') + "/news.js"},
            "&3 /home/ann/dddddddddd..." + QString(39, u'd') + "/news.js");
        // window; screens; kept at
        const QString one = "0 0 1280 1024", two = "1280 0 1920 1080";
        row("screen", "on the screen", {"100 80 700 500", one}, "100 80 700 500");
        row("screen", "partly off, top edge reachable", {"1000 900 700 500", one},
            "1000 900 700 500");
        row("screen", "on the second screen", {"2000 100 700 500", one, two}, "2000 100 700 500");
        row("screen", "second screen gone", {"2000 100 700 500", one}, "580 100 700 500");
        row("screen", "above the top edge", {"100 -300 700 500", one}, "100 0 700 500");
        row("screen", "far off to the left", {"-5000 100 700 500", one}, "0 100 700 500");
        row("screen", "larger than the screen it lands on", {"-9000 -9000 2000 1500", one}, one);
        row("screen", "saved on a larger screen", {"100 80 1900 1100", one}, one);
        row("screen", "taller than the second screen", {"1300 50 700 1200", one, two},
            "1300 0 700 1080");
        row("screen", "mostly on the second screen", {"1200 -400 700 500", one, two},
            "1280 0 700 500");
    }
    void rulesWithoutAWindow() {
        QFETCH(QString, kind);
        QFETCH(QStringList, in);
        QFETCH(QString, expected);
        const auto rect = [](const QString& r) {
            const QStringList n = r.split(u' ');
            return QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
        };
        if (kind == u"list") {
            QCOMPARE(RecentFiles::pushed(in[0].isEmpty() ? QStringList() : in[0].split(u','), in[1])
                         .join(u','),
                     expected);
        } else if (kind == u"caption") {
            QCOMPARE(RecentFiles::caption(in[0].toInt(), in[1]), expected);
        } else {
            QList<QRect> screens;
            for (const QString& screen : in.mid(1))
                screens << rect(screen);
            QCOMPARE(windowstate::onScreen(rect(in[0]), screens), rect(expected));
        }
    }

    void settingsThatCannotBeWrittenAreReportedOnce() {
        EditorSession s;
        // A folder where the file should be: no user, root included, can write it.
        const QString file = userconfig::settings()->fileName();
        QVERIFY(QFile::remove(file) && QDir().mkpath(file));
        s.action("mnuViewLive")->toggle();
        s.action("mnuViewLive")->toggle();
        s.w->close();
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.dialogs.lastText().contains(
            QStringLiteral("could not save its settings in %1")
                .arg(QDir::toNativeSeparators(userconfig::settings()->fileName()))));
    }

    void theWindowComesBackAsItWasLeft() {
        EditorSession s;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect where(screen.left() + 20, screen.top() + 30, 560, 450);
        s.w->setGeometry(where);
        QVERIFY(s.show());
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        auto* split = s.get<QSplitter>("itemsSplitter");
        split->setSizes({150, 300});
        const QList<int> sizes = split->sizes();
        s.restart();
        QVERIFY(s.show());
        QCOMPARE(s.w->geometry().size(), where.size());
        QCOMPARE(s.w->geometry().topLeft(), where.topLeft());
        QCOMPARE(s.get<QTabWidget>("tabMain")->currentIndex(), 1);
        QCOMPARE(s.get<QSplitter>("itemsSplitter")->sizes(), sizes);

        // A place no screen shows any more is brought back onto one.
        s.restart([&] {
            userconfig::settings()->setValue(QStringLiteral("window/geometry"),
                                             QRect(screen.right() + 3000, 5000, 560, 450));
        });
        QVERIFY(s.show());
        QVERIFY(screen.contains(s.w->geometry()));
        QCOMPARE(s.w->geometry().size(), where.size());
    }
};

TICKORA_EDITOR_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
