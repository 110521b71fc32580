// Our stand-ins for the system's services: the registry store, kept in a file, and the
// desktop's way of opening web addresses: the default handler from the MIME application lists
// and the command its desktop entry gives.
#include "files.h"
#include "registrystore.h"
#include "shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace de = platform::desktopentry;
using platform::RegistryStore;
using Root = RegistryStore::Root;
using Type = RegistryStore::Type;

// What a store call answered, against what it should.
#define ANSWERS(call, code) QCOMPARE(long(call), long(RegistryStore::code))

class TestPlatform : public QObject {
    Q_OBJECT

    QTemporaryDir tmp;
    QString path() const { return tmp.path() + "/nested/folder/registry.ini"; }

private slots:
    void init() { QFile::remove(path()); }

    void valuesRoundTripThroughTheFile() {
        const struct {
            const char* name;
            Type type;
            const char* text;
            quint32 number;
        } values[] = {
            {"Plain", Type::String, "C:\\Pages\\news.js", 0},
            {"Odd \"name\"", Type::String, "line one\nline \"two\"\\", 0},
            {"Expand", Type::ExpandString, "%HOME%/x", 0},
            {"Count", Type::Number, "", 0xfeedbeef},
            {"", Type::String, "default", 0},
        };
        RegistryStore other(path()); // another instance, its key open before the values come
        RegistryStore::Key key = 0;
        RegistryStore::Key late = 0;
        {
            RegistryStore s(path());
            bool created = false;
            ANSWERS(s.create(Root::CurrentUser, "Software\\Tickora\\Recent", RegistryStore::Write,
                             &key, &created),
                    Success);
            QVERIFY(created && key != 0);
            ANSWERS(other.open(Root::CurrentUser, "Software\\Tickora\\Recent", RegistryStore::Write,
                               &late),
                    Success);
            for (const auto& e : values)
                ANSWERS(e.type == Type::Number ? s.setNumber(key, e.name, e.number)
                                               : s.setString(key, e.name, e.text, e.type),
                        Success);
            ANSWERS(s.close(key), Success);
            ANSWERS(s.close(key), InvalidHandle);
        }
        // Its write keeps what was written since it opened the key.
        ANSWERS(other.setString(late, "Zeta", "later"), Success);
        RegistryStore s(path());
        ANSWERS(s.open(Root::CurrentUser, "software\\TICKORA\\recent", RegistryStore::Read, &key),
                Success);
        int index = 0;
        RegistryStore::Value v;
        for (const auto& e : values) {
            ANSWERS(s.enumValue(key, index++, &v), Success);
            QCOMPARE(v.name, QString(e.name));
            QCOMPARE(v.type, e.type);
            QCOMPARE(v.text, QString(e.text));
            QCOMPARE(v.number, e.number);
        }
        ANSWERS(s.enumValue(key, index++, &v), Success);
        QCOMPARE(v.name + v.text, QString("Zetalater"));
        ANSWERS(s.enumValue(key, index, &v), NoMoreItems);
        ANSWERS(s.queryValue(key, "COUNT", &v), Success);
        QCOMPARE(v.number, 0xfeedbeefu);
        ANSWERS(s.queryValue(key, "missing", &v), FileNotFound);
    }

    void namesAreCaseBlindButKeepTheirCase() {
        RegistryStore s(path());
        RegistryStore::Key key = 0;
        ANSWERS(s.create(Root::LocalMachine, "Software\\A", RegistryStore::AllAccess, &key),
                Success);
        ANSWERS(s.setString(key, "Library.chm", "/one/"), Success);
        ANSWERS(s.setString(key, "LIBRARY.CHM", "/two/"), Success);
        RegistryStore::Value v;
        ANSWERS(s.enumValue(key, 0, &v), Success);
        QCOMPARE(v.name + v.text, QString("Library.chm/two/"));
        ANSWERS(s.enumValue(key, 1, &v), NoMoreItems);

        ANSWERS(s.deleteValue(key, "library.CHM"), Success);
        ANSWERS(s.deleteValue(key, "library.CHM"), FileNotFound);
        ANSWERS(s.enumValue(key, 0, &v), NoMoreItems);
        s.close(key);

        // A key that was created stays, with its parents, even without values; roots are
        // separate, except that the classes root shows the machine's classes.
        const auto opens = [&](Root root, const char* keyPath) {
            const long rc = s.open(root, keyPath, RegistryStore::Read, &key);
            s.close(key);
            return rc;
        };
        ANSWERS(opens(Root::LocalMachine, "SOFTWARE\\a"), Success);
        ANSWERS(opens(Root::LocalMachine, "software"), Success);
        ANSWERS(opens(Root::LocalMachine, "Software\\B"), FileNotFound);
        QCOMPARE(key, RegistryStore::Key(0));
        ANSWERS(opens(Root::CurrentUser, "Software\\A"), FileNotFound);
        ANSWERS(
            s.create(Root::LocalMachine, "Software\\Classes\\CLSID\\X", RegistryStore::Write, &key),
            Success);
        ANSWERS(s.setString(key, "", "/lib/viewer.so"), Success);
        s.close(key);
        ANSWERS(s.open(Root::ClassesRoot, "clsid\\x", RegistryStore::Read, &key), Success);
        ANSWERS(s.queryValue(key, "", &v), Success);
        QCOMPARE(v.text, QString("/lib/viewer.so"));
    }

    void rightsAreChecked() {
        RegistryStore s(path());
        RegistryStore::Key key = 0;
        ANSWERS(s.create(Root::LocalMachine, "K", RegistryStore::Write, &key), Success);
        RegistryStore::Value v;
        // Write rights do not include reading.
        ANSWERS(s.queryValue(key, "x", &v), AccessDenied);
        ANSWERS(s.enumValue(key, 0, &v), AccessDenied);
        ANSWERS(s.setString(key, "x", "1"), Success);
        s.close(key);

        ANSWERS(s.open(Root::LocalMachine, "K", RegistryStore::QueryValue, &key), Success);
        ANSWERS(s.setString(key, "x", "2"), AccessDenied);
        ANSWERS(s.deleteValue(key, "x"), AccessDenied);
        ANSWERS(s.queryValue(key, "x", &v), Success);
        QCOMPARE(v.text, QString("1"));
        s.close(key);
        ANSWERS(s.setString(key, "x", "3"), InvalidHandle);

        // A store that cannot be written grants reading only.
        s.setReadOnly(true);
        ANSWERS(s.open(Root::LocalMachine, "K", RegistryStore::AllAccess, &key), AccessDenied);
        ANSWERS(s.create(Root::LocalMachine, "K\\New", RegistryStore::QueryValue, &key),
                AccessDenied);
        ANSWERS(s.open(Root::LocalMachine, "K", RegistryStore::Read, &key), Success);
        ANSWERS(s.queryValue(key, "X", &v), Success);
    }

    void environmentExpansion() {
        qputenv("TICKORA_REG_A", "alpha");
        const char* const rows[][2] = {
            {"x%TICKORA_REG_A%y", "xalphay"},
            {"%TICKORA_REG_A%%TICKORA_REG_A%", "alphaalpha"},
            {"%TICKORA_NOT_SET%/b", "%TICKORA_NOT_SET%/b"}, // unknown: kept
            {"100%", "100%"},
            {"a%%b", "a%%b"},
        };
        for (const auto& r : rows)
            QCOMPARE(RegistryStore::expandEnvironment(r[0]), QString(r[1]));
    }

    void splitExec_data() {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("args");
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
        QVERIFY(writeFile(file, entry));
        QTEST(de::execCommand(file, QStringLiteral("orbwell.example/")), "command");
    }

    void defaultBrowserFollowsTheListOrder() {
        // The folders as the desktop's environment names them.
        QTemporaryDir tmp;
        for (const char* var :
             {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
            qputenv(var, tmp.filePath(QString::fromLatin1(var)).toUtf8());
        qputenv("XDG_CURRENT_DESKTOP", "GNOME");
        const de::Dirs dirs = de::Dirs::fromEnvironment();
        const QString apps = tmp.filePath(QStringLiteral("XDG_DATA_DIRS/applications/"));
        const QString user = tmp.filePath(QStringLiteral("XDG_CONFIG_HOME/"));
        QVERIFY(QDir().mkpath(apps + QStringLiteral("vendor")) && QDir().mkpath(user));
        QVERIFY(writeFile(apps + QStringLiteral("web-a.desktop"), "[Desktop Entry]\nExec=a %u\n"));
        QVERIFY(
            writeFile(apps + QStringLiteral("vendor/b.desktop"), "[Desktop Entry]\nExec=b %u\n"));

        const QString mime = QStringLiteral("x-scheme-handler/http");
        QCOMPARE(de::defaultHandler(mime, dirs), QString());

        // A system-wide list, then the user's, then the desktop's own list of the user's: the
        // most personal one wins, and an uninstalled first choice falls through to the next.
        QVERIFY(writeFile(apps + QStringLiteral("defaults.list"),
                          "[Default Applications]\nx-scheme-handler/http=web-a.desktop\n"));
        QCOMPARE(de::defaultHandler(mime, dirs), QStringLiteral("web-a.desktop"));
        QVERIFY(writeFile(
            user + QStringLiteral("mimeapps.list"),
            "[Added Associations]\nx-scheme-handler/http=web-a.desktop\n"
            "[Default Applications]\nx-scheme-handler/http=gone.desktop;vendor-b.desktop;\n"));
        QCOMPARE(de::defaultHandler(mime, dirs), QStringLiteral("vendor-b.desktop"));
        QCOMPARE(de::findDesktopFile(QStringLiteral("vendor-b.desktop"), dirs.data),
                 apps + QStringLiteral("vendor/b.desktop"));
        const QString address = QStringLiteral("orbwell.example/dhtml/tickora/");
        QCOMPARE(platform::DesktopShell().browserCommand(address), (QStringList{"b", address}));
        QVERIFY(writeFile(user + QStringLiteral("gnome-mimeapps.list"),
                          "[Default Applications]\nx-scheme-handler/http=web-a.desktop\n"));
        QCOMPARE(de::defaultHandler(mime, dirs), QStringLiteral("web-a.desktop"));
        QCOMPARE(de::defaultHandler(QStringLiteral("text/html"), dirs), QString());
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
