// What the editor keeps for the user: the user's own default scroller, the recent files, the
// window's size, place, splitters and tab between sessions; recovery copies of unsaved work; and
// scripts changed by other programs while open.
#include "editorsession.h"
#include "eventwait.h"

#include "document.h"
#include "processid.h"
#include "recentfiles.h"
#include "recovery.h"
#include "scriptreader.h"
#include "userconfig.h"
#include "windowstate.h"

#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>

#include <csignal>
#include <unistd.h>

using platform::Dialogs;
using Answer = Dialogs::Answer;

namespace {

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

// A script in Windows-1252 with two items, and the feed it remembers.
const QByteArray kScript = "s = new Tickora();\r\ns.name = 'news';\r\ns.width = 300;\r\n"
                           "s.add('caf\xe9', '', 'first');\r\ns.add('two', '', 'second');\r\n";

// The whole document as the editor holds it.
QString describe(const EditorDocument& d) {
    QStringList out{d.filePath(),
                    textencoding::name(d.encoding()),
                    d.scroller().ToString(),
                    d.keys().join(u','),
                    QString::number(d.nextItem()),
                    d.feedSource().address,
                    QString::number(d.feedSource().items.size())};
    for (int i = 0; i < d.count(); ++i)
        out << d.item(i).ToString();
    return out.join(u'|').replace(QStringLiteral("\r\n"), QStringLiteral("/"));
}

QStringList copies(const QString& pattern = QStringLiteral("*.recovery")) {
    return QDir(recovery::folder()).entryList({pattern}, QDir::Files);
}

QString writeScript(const QString& folder) {
    const QString path = folder + QStringLiteral("/news.js");
    writeFile(path, kScript);
    feed::Source f;
    f.address = QStringLiteral("https://127.0.0.1/feed.xml");
    f.items << clsItem{QStringLiteral("first"), QStringLiteral("caf\u00e9"), QString()};
    feed::writeSource(path, f);
    return path;
}

// The child editor: edits the script and keeps the window open, unsaved, until it is killed.
int childEdit(const QString& script) {
    recovery::Keeper::setDelay(20);
    EditorSession s;
    s.w->openPath(script);
    s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
    s.run("mnuItemAdd");
    s.select(0);
    s.run("mnuItemMoveDown");
    const QString copy = s.w->recoveryKeeper()->path();
    QFile::remove(copy);
    if (!waitUntil([&] { return QFile::exists(copy); }, 10000))
        return 1;
    QTextStream(stdout) << describe(s.doc()) << Qt::endl;
    QEventLoop().exec(); // until killed
    return 0;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QDir(recovery::folder()).removeRecursively();
        recovery::Keeper::setDelay(20);
        DiskWatch::setDelay(10);
    }

    void killedEditorIsOfferedNextStart_data() {
        QTest::addColumn<int>("choice");
        QTest::newRow("Recover") << 0;
        QTest::newRow("Discard") << 1;
        QTest::newRow("Later") << 2;
    }
    void killedEditorIsOfferedNextStart() {
        QFETCH(int, choice);
        QTemporaryDir work;
        const QString script = writeScript(work.path());
        QProcess child;
        // What the killed child leaves in its temporary folder goes with ours.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), work.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), script});
        QVERIFY(child.waitForStarted());
        TRY_VERIFY(child.canReadLine(), 60000);
        const QString edited = QString::fromUtf8(child.readLine()).trimmed();
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QCOMPARE(copies().size(), 1);

        EditorSession s;
        s.dialogs.choices << choice;
        s.w->offerRecovery();
        QCOMPARE(s.dialogs.buttonSets.value(0), (QStringList{"Recover", "Discard", "Later"}));
        QVERIFY(s.told({QDir::toNativeSeparators(script), QStringLiteral("3 items")}));
        QCOMPARE(describe(s.doc()) == edited, choice == 0);
        QCOMPARE(s.w->isDirty(), choice == 0);
        QCOMPARE(readAll(script), kScript); // never written by the offer
        s.w->recoveryKeeper()->flush();
        // Recover leaves this editor's own copy, Later the old one, Discard none.
        QCOMPARE(copies().size(), choice == 1 ? 0 : 1);
        QCOMPARE(copies().value(0).startsWith(platform::processId()), choice == 0);
        QCOMPARE(s.dialogs.unexpected, 0);
    }

    void copyFollowsTheDirtyStateAndAFailureIsToldOnce() {
        EditorSession s;
        const QString copy = s.w->recoveryKeeper()->path();
        QVERIFY(!copy.startsWith(s.work)); // never beside the script
        s.open(kScript, QStringLiteral("a.js"));
        s.dialogs.answers << Answer::No; // New gives the changes up
        // A copy while there are changes, none once they are saved or given up.
        for (const char* command :
             {"mnuItemAdd", "mnuFileSave", "mnuItemAdd", "mnuFileNew", "mnuItemAdd"}) {
            s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
            s.run(command);
            TRY_COMPARE(QFile::exists(copy), qstrcmp(command, "mnuItemAdd") == 0, 5000);
        }
        s.restart(); // Quit answered No, then a clean exit
        QVERIFY(copies().isEmpty());
        QCOMPARE(s.dialogs.unexpected, 0);

        // A folder that cannot be made is told once.
        const QString blocker = s.root.filePath(QStringLiteral("file"));
        QVERIFY(writeFile(blocker, "x"));
        const QByteArray before = qgetenv("XDG_STATE_HOME");
        s.restart([&] { qputenv("XDG_STATE_HOME", QFile::encodeName(blocker)); });
        qputenv("XDG_STATE_HOME", before);
        s.dialogs.clear();
        s.open(kScript, QStringLiteral("b.js"), 1);
        s.run("mnuItemAdd");
        TRY_COMPARE(s.dialogs.messages.size(), 1, 5000);
        s.run("mnuItemAdd");
        s.w->recoveryKeeper()->flush();
        QCoreApplication::processEvents(); // the writer's report arrives queued
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.told({QStringLiteral("recovery copy")}));
    }

    void unreadableCopiesAreSetAside_data() {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("flip");
        QTest::addColumn<QString>("reason");
        QTest::newRow("truncated") << 40 << -1 << "cut short";
        QTest::newRow("damaged") << 0 << 30 << "damaged";
        QTest::newRow("newer version") << 0 << 7 << "newer version";
        QTest::newRow("not a copy") << 0 << 1 << "not a recovery copy";
    }
    void unreadableCopiesAreSetAside() {
        QFETCH(int, cut);
        QFETCH(int, flip);
        QFETCH(QString, reason);
        recovery::Copy c;
        c.items << clsItem{QStringLiteral("a"), QStringLiteral("b"), QString()};
        c.keys << QStringLiteral("Item1");
        QByteArray bytes = recovery::encode(c);
        bytes.chop(cut);
        if (flip >= 0)
            bytes[flip] = char(bytes[flip] ^ 0x20);
        QVERIFY(QDir().mkpath(recovery::folder()));
        const QString name = recovery::folder() + QStringLiteral("/999999999-1.recovery");
        QVERIFY(writeFile(name, bytes));
        EditorSession s;
        s.w->offerRecovery();
        QVERIFY(s.told({reason}));
        QVERIFY(s.dialogs.buttonSets.isEmpty());
        QVERIFY(!QFile::exists(name));
        QCOMPARE(readAll(name + QStringLiteral(".damaged")), bytes);
    }

    void runningEditorsKeepTheirCopiesApart() {
        QProcess other; // stands for another editor running now
        other.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(other.waitForStarted());
        const QString id = platform::processIdOf(other.processId());
        recovery::Copy c;
        QVERIFY(QDir().mkpath(recovery::folder()));
        QTemporaryDir work;
        const QString script = writeScript(work.path());
        // Its copy and its open file; a copy under its number but of an older start is a gone
        // process's whose number was reused.
        for (const QString& name : {id + ".recovery", id + ".open",
                                    QStringLiteral("%1-1.recovery").arg(other.processId())})
            QVERIFY(writeFile(recovery::folder() + u'/' + name,
                              name.endsWith(u".open") ? script.toUtf8() : recovery::encode(c)));
        EditorSession s;
        s.dialogs.choices << 2 << 1; // Later for the reused number; Open Anyway is refused
        s.w->offerRecovery();
        QCOMPARE(s.dialogs.buttonSets.size(), 1);
        s.w->openPath(script);
        QVERIFY(s.told({QStringLiteral("is already open in another window of the editor")}));
        QVERIFY(s.w->filePath().isEmpty());
        other.kill();
        other.waitForFinished();
        s.dialogs.clear();
        s.dialogs.choices << 2 << 2;
        s.w->offerRecovery();
        QCOMPARE(s.dialogs.buttonSets.size(), 2); // now both are left behind
        s.w->openPath(script);
        QCOMPARE(s.w->filePath(), script);
        QCOMPARE(s.dialogs.unexpected, 0);
    }

    void outsideChanges_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("dirty");
        for (const char* how : {"rename", "in place", "delete"})
            for (bool dirty : {false, true})
                QTest::addRow("%s, %s", how, dirty ? "unsaved" : "saved") << how << dirty;
    }
    void outsideChanges() {
        QFETCH(QString, how);
        QFETCH(bool, dirty);
        EditorSession s;
        const QString path = s.open(kScript, QStringLiteral("a.js"), 1);
        if (dirty)
            s.run("mnuItemAdd");
        const QByteArray theirs = "s = new Tickora();\r\ns.add('x', '', 'only');\r\n";
        if (how == QLatin1String("rename")) {
            QVERIFY(writeFile(path + QStringLiteral(".tmp"), theirs));
            QVERIFY(::rename(QFile::encodeName(path + QStringLiteral(".tmp")),
                             QFile::encodeName(path)) == 0);
        } else if (how == QLatin1String("in place")) {
            QVERIFY(writeFile(path, theirs)); // the same file, cut and written again
        } else {
            QVERIFY(QFile::remove(path));
        }
        // Saved: Yes reloads; unsaved: Keep Mine.
        s.dialogs.answers << Answer::Yes;
        s.dialogs.choices << 1;
        TRY_COMPARE(s.dialogs.messages.size(), 1, 5000);
        const bool gone = how == QLatin1String("delete");
        QVERIFY(s.told(
            {gone ? QStringLiteral("deleted or moved") : QStringLiteral("changed by another")}));
        QCOMPARE(s.dialogs.buttonSets.size(), int(dirty && !gone));
        const bool reloaded = !dirty && !gone;
        QCOMPARE(s.doc().count(), reloaded ? 1 : dirty ? 3 : 2);
        QCOMPARE(s.w->isDirty(), !reloaded);
        QCOMPARE(s.w->filePath(), path);
        // Known now: the next save replaces the file without asking again.
        s.dialogs.clear();
        s.run("mnuFileSave");
        QVERIFY2(s.dialogs.messages.isEmpty(), qPrintable(s.dialogs.lastText()));
        QVERIFY(readAll(path).contains(reloaded ? "'only'" : "'first'"));
        // Still watched after the save replaced the file by rename.
        s.dialogs.answers << Answer::No;
        QVERIFY(writeFile(path, theirs + "// again\r\n"));
        TRY_COMPARE(s.dialogs.messages.size(), 1, 5000);
    }

    void comingBackToTheWindowOrSavingChecksTheFile() {
        // The watch stays silent: only the activation or the save can tell.
        DiskWatch::setDelay(60000);
        EditorSession s;
        const QString path = s.open(kScript, QStringLiteral("a.js"), 1);
        QVERIFY(writeFile(path, "s = new Tickora();\r\n"));
        s.dialogs.answers << Answer::No;
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(s.w.get(), &activate);
        TRY_COMPARE(s.dialogs.messages.size(), 1, 5000);
        QVERIFY(s.w->isDirty()); // kept: the file and the window differ

        // Changed again and saved over before anything could tell: the save asks first.
        QVERIFY(writeFile(path, readAll(path) + "s.add('theirs', '', 'x');\r\n"));
        s.dialogs.answers << Answer::Cancel;
        s.run("mnuFileSave");
        QCOMPARE(s.dialogs.messages.size(), 2);
        QVERIFY(s.told({QStringLiteral("was changed by another program")}));
        QVERIFY(readAll(path).contains("theirs"));
        QVERIFY(s.w->isDirty());
    }

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
                QVERIFY(
                    s.told({QStringLiteral("The default scroller is unchanged. Please check that "
                                           "you may write to the folder \"%1\".")
                                .arg(QDir::toNativeSeparators(userconfig::folder()))}));
                QVERIFY(s.w->isDirty());
                QVERIFY(!QFile::exists(own));
                return;
            }
            // New starts from what was just saved. (Nothing but the question was asked: anything
            // else would be unexpected below.)
            s.dialogs.answers << Answer::No;
            s.action("mnuFileNew")->trigger();
            QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("mine"));
        }
        QCOMPARE(s.dialogs.unexpected, 0);
        ScrollerDocument written;
        QVERIFY(scriptreader::LoadScroller(writes == u"own" ? own : shipped, written).ok);
        QCOMPARE(written.scroller.sName, QStringLiteral("mine"));
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
        for (int i = 1; i <= 10; ++i)
            paths << s.open(kScript, QStringLiteral("s%1.js").arg(i));
        QStringList expected;
        for (int i = 10; i >= 3; --i)
            expected << RecentFiles::caption(10 - i, paths[i - 1]);
        QCOMPARE(recentEntries(s), expected);

        // Opening one again brings it to the top once; Save As puts the new name first.
        s.action("mnuFileRecent4")->trigger();
        QCOMPARE(s.w->filePath(), paths[6]);
        const QString saved = s.saveAs(QStringLiteral("saved as.js"));
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
        QVERIFY(s.told({QDir::toNativeSeparators(paths[9]), QStringLiteral("no longer exists")}));
        QCOMPARE(recentEntries(s).size(), RecentFiles::kLimit - 1);
        QCOMPARE(s.action("mnuFileRecent3")->toolTip(), QDir::toNativeSeparators(paths[8]));
        QCOMPARE(s.w->filePath(), saved);
        QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("news"));

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
        row("list", "another spelling of the same file", {"/w/a.js,/w/x/../b.js", "/w/./b.js"},
            "/w/b.js,/w/a.js");
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

    void theWindowComesBackAsItWasLeftUnlessItsSettingsCannotBeWritten() {
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
        QCOMPARE(s.w->geometry(), where);
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

        // Settings that cannot be written are told once: a folder stands where the file should
        // be, and no user, root included, can write that.
        const QString file = userconfig::settings()->fileName();
        QVERIFY(QFile::remove(file) && QDir().mkpath(file));
        s.action("mnuViewLive")->toggle();
        s.action("mnuViewLive")->toggle();
        s.w->close();
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.told(
            {QStringLiteral("could not save its settings in ") + QDir::toNativeSeparators(file)}));
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return childEdit(QString::fromLocal8Bit(argv[2]));
    TestSettings t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_settings.moc"
