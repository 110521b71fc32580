// Recovery copies of unsaved work, and scripts changed by other programs while open.
#include "editorsession.h"
#include "eventwait.h"
#include "processid.h"
#include "recovery.h"

#include <QProcess>

#include <csignal>

using platform::Dialogs;

namespace {

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

class TestRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
        QCOMPARE(s.dialogs.buttonSets.value(0),
                 (QStringList{QStringLiteral("Recover"), QStringLiteral("Discard"),
                              QStringLiteral("Later")}));
        QVERIFY2(s.dialogs.lastText().contains(QDir::toNativeSeparators(script)) &&
                     s.dialogs.lastText().contains(QStringLiteral("3 items")),
                 qPrintable(s.dialogs.lastText()));
        QCOMPARE(describe(s.doc()) == edited, choice == 0);
        QCOMPARE(s.w->isDirty(), choice == 0);
        QCOMPARE(readAll(script), kScript); // never written by the offer
        s.w->recoveryKeeper()->flush();
        // Recover leaves this editor's own copy, Later the old one, Discard none.
        QCOMPARE(copies().size(), choice == 1 ? 0 : 1);
        QCOMPARE(copies().value(0).startsWith(platform::processId()), choice == 0);
        QCOMPARE(s.dialogs.unexpected, 0);
    }

    void copyFollowsTheDirtyState() {
        EditorSession s;
        const QString copy = s.w->recoveryKeeper()->path();
        s.openOnItems(kScript, QStringLiteral("a.js"));
        s.run("mnuItemAdd");
        TRY_VERIFY(QFile::exists(copy), 5000);
        QVERIFY(!copy.startsWith(s.work)); // never beside the script
        s.run("mnuFileSave");
        TRY_VERIFY(!QFile::exists(copy), 5000);
        s.run("mnuItemAdd");
        TRY_VERIFY(QFile::exists(copy), 5000);
        s.dialogs.answers << Dialogs::Answer::No; // changes given up
        s.run("mnuFileNew");
        TRY_VERIFY(!QFile::exists(copy), 5000);
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        s.run("mnuItemAdd");
        TRY_VERIFY(QFile::exists(copy), 5000);
        s.restart(); // Quit answered No, then a clean exit
        QVERIFY(copies().isEmpty());
        QCOMPARE(s.dialogs.unexpected, 0);
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
        QVERIFY2(s.dialogs.lastText().contains(reason), qPrintable(s.dialogs.lastText()));
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
        QVERIFY(writeFile(recovery::folder() + u'/' + id + QStringLiteral(".recovery"),
                          recovery::encode(c)));
        QVERIFY(
            writeFile(recovery::folder() + u'/' + id + QStringLiteral(".open"), script.toUtf8()));
        QVERIFY(
            writeFile(recovery::folder() + QStringLiteral("/%1-1.recovery").arg(other.processId()),
                      recovery::encode(c)));
        EditorSession s;
        s.dialogs.choices << 2 << 1; // Later for the reused number; Open Anyway is refused
        s.w->offerRecovery();
        QCOMPARE(s.dialogs.buttonSets.size(), 1);
        s.w->openPath(script);
        QVERIFY2(s.dialogs.lastText().contains(
                     QStringLiteral("is already open in another window of the editor")),
                 qPrintable(s.dialogs.lastText()));
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

    void unwritableFolderIsReportedOnce() {
        QTemporaryDir root;
        const QString blocker = root.filePath(QStringLiteral("file"));
        QVERIFY(writeFile(blocker, "x"));
        const QByteArray before = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QFile::encodeName(blocker));
        EditorSession s;
        qputenv("XDG_STATE_HOME", before);
        s.openOnItems(kScript, QStringLiteral("a.js"));
        s.run("mnuItemAdd");
        TRY_COMPARE(s.dialogs.messages.size(), 1, 5000);
        s.run("mnuItemAdd");
        s.w->recoveryKeeper()->flush();
        QCoreApplication::processEvents(); // the writer's report arrives queued
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.dialogs.lastText().contains(QStringLiteral("recovery copy")));
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
        const QString path = s.openOnItems(kScript, QStringLiteral("a.js"));
        if (dirty)
            s.run("mnuItemAdd");
        const QByteArray theirs = "s = new Tickora();\r\ns.add('x', '', 'only');\r\n";
        if (how == QLatin1String("rename")) {
            QVERIFY(writeFile(path + QStringLiteral(".tmp"), theirs));
            QVERIFY(::rename(QFile::encodeName(path + QStringLiteral(".tmp")),
                             QFile::encodeName(path)) == 0);
        } else if (how == QLatin1String("in place")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(0) && f.write(theirs) > 0);
        } else {
            QVERIFY(QFile::remove(path));
        }
        // Saved: Yes reloads; unsaved: Keep Mine.
        s.dialogs.answers << Dialogs::Answer::Yes;
        s.dialogs.choices << 1;
        TRY_COMPARE(s.dialogs.messages.size(), 1, 5000);
        const bool gone = how == QLatin1String("delete");
        QVERIFY2(s.dialogs.lastText().contains(gone ? QStringLiteral("deleted or moved")
                                                    : QStringLiteral("changed by another")),
                 qPrintable(s.dialogs.lastText()));
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
        s.dialogs.answers << Dialogs::Answer::No;
        QVERIFY(writeFile(path, theirs + "// again\r\n"));
        TRY_COMPARE(s.dialogs.messages.size(), 1, 5000);
    }

    void comingBackToTheWindowChecksTheFile() {
        DiskWatch::setDelay(60000); // the watch stays silent: only the activation can tell
        EditorSession s;
        const QString path = s.openOnItems(kScript, QStringLiteral("a.js"));
        QVERIFY(writeFile(path, "s = new Tickora();\r\n"));
        s.dialogs.answers << Dialogs::Answer::No;
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(s.w.get(), &activate);
        TRY_COMPARE(s.dialogs.messages.size(), 1, 5000);
        QVERIFY(s.w->isDirty()); // kept: the file and the window differ
    }

    void saveAsksBeforeReplacingAnOutsideChange() {
        EditorSession s;
        const QString path = s.openOnItems(kScript, QStringLiteral("a.js"));
        s.run("mnuItemAdd");
        // Written and saved over before the watcher could tell.
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append) && f.write("s.add('theirs', '', 'x');\r\n") > 0);
        f.close();
        s.dialogs.answers << Dialogs::Answer::Cancel;
        s.run("mnuFileSave");
        QVERIFY(s.dialogs.lastText().contains(QStringLiteral("was changed by another program")));
        QVERIFY(readAll(path).contains("theirs"));
        QVERIFY(s.w->isDirty());
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return childEdit(QString::fromLocal8Bit(argv[2]));
    TestRecovery t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_recovery.moc"
