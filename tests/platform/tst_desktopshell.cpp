// The desktop's way of opening web addresses: the default handler from the MIME application
// lists, the command its desktop entry gives, and a whole run through the real shell.
#include "shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace de = platform::desktopentry;

namespace {

void writeFile(const QString& path, const QByteArray& text, bool executable = false) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner);
}

} // namespace

class TestDesktopShell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitExec_data() {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("plain") << "firefox %u" << QStringList{"firefox", "%u"};
        QTest::newRow("quoted") << "\"/opt/my browser/run\" --new \"a\\\"b\""
                                << QStringList{"/opt/my browser/run", "--new", "a\"b"};
        QTest::newRow("empty quoted argument") << "x \"\" y" << QStringList{"x", "", "y"};
        QTest::newRow("extra blanks") << "  a   b  " << QStringList{"a", "b"};
    }
    void splitExec() {
        QFETCH(QString, exec);
        QTEST(de::splitExec(exec), "args");
    }

    void execFieldCodes_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QStringList>("command");
        const QString a = QStringLiteral("orbwell.example/");
        QTest::newRow("url code") << QByteArray("Exec=web %u\n") << QStringList{"web", a};
        QTest::newRow("list code")
            << QByteArray("Exec=web --new-window %U\n") << QStringList{"web", "--new-window", a};
        QTest::newRow("no code appends") << QByteArray("Exec=web\n") << QStringList{"web", a};
        QTest::newRow("embedded code")
            << QByteArray("Exec=web --url=%u\n") << QStringList{"web", "--url=" + a};
        QTest::newRow("icon and name")
            << QByteArray("Name=Web\nIcon=web-icon\nExec=web %i --class %c %u\n")
            << QStringList{"web", "--icon", "web-icon", "--class", "Web", a};
        QTest::newRow("percent and dropped codes")
            << QByteArray("Exec=web 100%% %d %u\n") << QStringList{"web", "100%", a};
        QTest::newRow("string escapes, then quoting")
            << QByteArray("Exec=\"my\\sweb\" one\\stwo %u\n")
            << QStringList{"my web", "one", "two", a};
        QTest::newRow("other sections ignored")
            << QByteArray("[Desktop Action new]\nExec=wrong\n[Desktop Entry]\nExec=web %u\n")
            << QStringList{"web", a};
        QTest::newRow("no exec") << QByteArray("Name=Web\n") << QStringList();
    }
    void execFieldCodes() {
        QFETCH(QByteArray, entry);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("web.desktop"));
        if (!entry.startsWith('['))
            entry.prepend("[Desktop Entry]\n");
        writeFile(file, entry);
        QTEST(de::execCommand(file, QStringLiteral("orbwell.example/")), "command");
    }

    void defaultHandlerFollowsTheListOrder() {
        QTemporaryDir tmp;
        de::Dirs dirs;
        dirs.config = {tmp.filePath(QStringLiteral("home-config")),
                       tmp.filePath(QStringLiteral("etc-xdg"))};
        dirs.data = {tmp.filePath(QStringLiteral("home-data")),
                     tmp.filePath(QStringLiteral("usr-share"))};
        dirs.desktops = {QStringLiteral("gnome")};
        const QString apps = dirs.data[1] + QStringLiteral("/applications/");
        writeFile(apps + QStringLiteral("web-a.desktop"), "[Desktop Entry]\nExec=a %u\n");
        writeFile(apps + QStringLiteral("vendor/b.desktop"), "[Desktop Entry]\nExec=b %u\n");

        const QString mime = QStringLiteral("x-scheme-handler/http");
        QCOMPARE(de::defaultHandler(mime, dirs), QString());

        // A system-wide list, then the user's, then the desktop's own list of the user's: the
        // most personal one wins, and an uninstalled first choice falls through to the next.
        writeFile(apps + QStringLiteral("defaults.list"),
                  "[Default Applications]\nx-scheme-handler/http=web-a.desktop\n");
        QCOMPARE(de::defaultHandler(mime, dirs), QStringLiteral("web-a.desktop"));
        writeFile(dirs.config[0] + QStringLiteral("/mimeapps.list"),
                  "[Added Associations]\nx-scheme-handler/http=web-a.desktop\n"
                  "[Default Applications]\nx-scheme-handler/http=gone.desktop;vendor-b.desktop;\n");
        QCOMPARE(de::defaultHandler(mime, dirs), QStringLiteral("vendor-b.desktop"));
        QCOMPARE(de::findDesktopFile(QStringLiteral("vendor-b.desktop"), dirs.data),
                 apps + QStringLiteral("vendor/b.desktop"));
        writeFile(dirs.config[0] + QStringLiteral("/gnome-mimeapps.list"),
                  "[Default Applications]\nx-scheme-handler/http=web-a.desktop\n");
        QCOMPARE(de::defaultHandler(mime, dirs), QStringLiteral("web-a.desktop"));
        QCOMPARE(de::defaultHandler(QStringLiteral("text/html"), dirs), QString());
    }

    void desktopShellStartsTheDefaultBrowser() {
        // A whole run through the real shell: a desktop entry whose program records its
        // arguments, chosen as the default handler through the environment.
        QTemporaryDir tmp;
        const QString record = tmp.filePath(QStringLiteral("args.txt"));
        const QString program = tmp.filePath(QStringLiteral("bin/fake-browser"));
        writeFile(program,
                  QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\n").arg(record).toUtf8(),
                  true);
        writeFile(tmp.filePath(QStringLiteral("data/applications/fake.desktop")),
                  QStringLiteral("[Desktop Entry]\nType=Application\nExec=%1 %u\n")
                      .arg(program)
                      .toUtf8());
        writeFile(tmp.filePath(QStringLiteral("config/mimeapps.list")),
                  "[Default Applications]\nx-scheme-handler/http=fake.desktop\n");
        qputenv("XDG_CONFIG_HOME", tmp.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", tmp.filePath(QStringLiteral("none")).toUtf8());
        qputenv("XDG_DATA_HOME", tmp.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_DATA_DIRS", tmp.filePath(QStringLiteral("none")).toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");

        platform::DesktopShell shell;
        const QString address = QStringLiteral("orbwell.example/dhtml/tickora/");
        const QStringList command = shell.browserCommand(address);
        QCOMPARE(command, (QStringList{program, address}));
        QVERIFY(shell.startDetached(command.first(), command.mid(1)));
        const auto recorded = [&] {
            QFile f(record);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QTRY_COMPARE_WITH_TIMEOUT(recorded(), QByteArray("orbwell.example/dhtml/tickora/\n"),
                                  20000);

        // The same desktop entry naming a program that is gone: found, but not started.
        QVERIFY(QFile::remove(program));
        QCOMPARE(shell.browserCommand(address), command);
        QVERIFY(!shell.startDetached(command.first(), command.mid(1)));
    }
};

QTEST_GUILESS_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
