// The real program, started as a user starts it: with the help window open, Quit ends the
// editor and its help process. Keys reach the windows through the X server (xdotool).
#include "eventwait.h"
#include "files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

QString xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The first mapped window whose title matches the pattern, or empty. A window has its title
// before it is mapped, and focus cannot go to a window that is not.
QString findWindow(const QString& pattern) {
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"), pattern})
        .section(QLatin1Char('\n'), 0, 0);
}

// Waits until the condition has held once. A window search fails now and then while the
// programs create and destroy windows (one goes in mid-search and xdotool stops), so a check
// that held is not asked again.
bool held(const std::function<bool()>& condition, int timeoutMs) {
    bool ok = false;
    waitUntil([&] { return ok = ok || condition(); }, timeoutMs);
    return ok;
}

// Waits up to 30 s for a mapped window whose title matches; empty when none came.
QString waitForWindow(const QString& pattern) {
    QString id;
    held([&] { return !(id = findWindow(pattern)).isEmpty(); }, 30000);
    return id;
}

// Sends keys to a window the way a keyboard does: the window takes the input focus first.
void press(const QString& window, const QString& keys) {
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("key"), keys});
}

// A process that has ended, or ended and waits to be reaped, is gone.
bool running(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && line.mid(close + 2, 1) != "Z";
}

// The processes running the given program file.
QList<qint64> processesOf(const QString& program) {
    QList<qint64> out;
    const QString wanted = QFileInfo(program).canonicalFilePath();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number && running(pid) &&
            QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)) == wanted)
            out << pid;
    }
    return out;
}

} // namespace

class TestQuit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void quitWithHelpOpenEndsTheProgram() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (test.sh runs the tests under xvfb-run)");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(),
                 "xdotool is missing (scripts/ensure-packages.sh installs it)");

        // The X server resets when its last client leaves, and refuses the programs that try to
        // connect meanwhile; between the short xdotool calls this test would otherwise be no
        // client at all. One connection stays open for the whole test.
        QProcess keeper;
        keeper.start(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry"),
                                                 QStringLiteral("sleep"), QStringLiteral("3600")});
        QVERIFY2(keeper.waitForReadyRead(10000), "xdotool could not reach the display");
        const auto stopKeeper = qScopeGuard([&] {
            keeper.kill();
            keeper.waitForFinished(5000);
        });

        // A private application folder, so the processes found are this test's own.
        QTemporaryDir app;
        const QString built = qEnvironmentVariable("TICKORA_APP_DIR");
        for (const char* name : {"tickora-creator", "tickora-help", "default.js", "tickora.htm",
                                 "tickolib.js", "tickora.js", "blank.htm", "tickora.chm"}) {
            const QString to = app.filePath(QLatin1String(name));
            QVERIFY2(QFile::copy(built + QLatin1Char('/') + QLatin1String(name), to), name);
            QFile::setPermissions(to, QFile::permissions(to) | QFile::ExeOwner);
        }

        // The user's own settings stay out of it, and the live pane is off: its browser joining
        // the window can make the window system create the window anew under the keys sent.
        QTemporaryDir config;
        QVERIFY(QDir().mkpath(config.filePath(QStringLiteral("tickora-creator"))));
        QVERIFY(writeFile(config.filePath(QStringLiteral("tickora-creator/settings.conf")),
                          "[live]\nvisible=false\n"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        env.insert(QStringLiteral("XDG_STATE_HOME"), config.path()); // no recovery offer

        QProcess editor;
        editor.setProcessEnvironment(env);
        editor.setProcessChannelMode(QProcess::ForwardedChannels);
        editor.start(app.filePath(QStringLiteral("tickora-creator")), {});
        QVERIFY(editor.waitForStarted(10000));
        const QString main = waitForWindow(QStringLiteral("^Tickora Creator - \\["));
        QVERIFY2(!main.isEmpty(), "the editor's window did not appear in 30 s");

        press(main, QStringLiteral("F1"));
        const QString helpWindow = waitForWindow(QStringLiteral("^Tickora Creator Help$"));
        QVERIFY2(!helpWindow.isEmpty(), "help window not found in 30 s");
        // The help window takes the focus once it is mapped; keys sent before that would go to it.
        const QStringList focused{QStringLiteral("getwindowfocus"), QStringLiteral("-f")};
        QVERIFY2(held([&] { return xdotool(focused) == helpWindow; }, 30000),
                 "the help window did not take the focus");
        const QList<qint64> helpers = processesOf(app.filePath(QStringLiteral("tickora-help")));
        QCOMPARE(helpers.size(), 1);
        const qint64 helpPid = helpers.first();

        press(main, QStringLiteral("ctrl+q"));
        QVERIFY2(editor.waitForFinished(20000), "the editor still runs after Quit");
        QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(editor.exitCode(), 0);
        TRY_VERIFY(!running(helpPid), 10000);
        QVERIFY(findWindow(QStringLiteral("^Tickora Creator Help$")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestQuit)
#include "tst_quit.moc"
