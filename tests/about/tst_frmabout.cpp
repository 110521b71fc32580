// The About box: its captions, closing it, and finding the system-information tool.
#include "fakedialogs.h"
#include "fakeshell.h"
#include "frmabout.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using platform::RegistryStore;

namespace {

const QString kPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

struct Fixture {
    QTemporaryDir dir;
    RegistryStore store{dir.filePath(QStringLiteral("registry.ini"))};
    platform::FakeDialogs dialogs;
    platform::FakeShell shell;

    void set(const QString& key, const QString& name, const QString& text,
             RegistryStore::Type type = RegistryStore::Type::String) {
        RegistryStore::Key k = 0;
        QCOMPARE(store.create(RegistryStore::Root::LocalMachine, key, RegistryStore::AllAccess, &k),
                 long(RegistryStore::Success));
        // A number is given in hexadecimal.
        QCOMPARE(type == RegistryStore::Type::Number
                     ? store.setNumber(k, name, text.toUInt(nullptr, 16))
                     : store.setString(k, name, text, type),
                 long(RegistryStore::Success));
        store.close(k);
    }
};

} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captionsAndEnter() {
        Fixture f;
        frmAbout about(f.dialogs, f.store, f.shell);
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Tickora Creator"));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 4.0.0"));
        QVERIFY(about.lblDescription->text().contains(QStringLiteral("Copyright")));
        QVERIFY(!about.lblDisclaimer->text().isEmpty());
        QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(!about.picIcon->pixmap().isNull());
        QVERIFY(about.cmdOK->isDefault());

        // Enter takes the default button (Escape is the editor's test of the box).
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QSignalSpy finished(&about, &QDialog::finished);
        QTest::keyClick(&about, Qt::Key_Return);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!about.isVisible());
        QVERIFY(f.shell.started.isEmpty());
    }

    // System Info starts the registry's PATH value as it stands, else the program in the
    // registry's folder, else the desktop's own tool; otherwise, or when the start fails, the
    // user is told. A store that refuses the rights asked for reads as no value.
    void systemInfo_data() {
        QTest::addColumn<QString>("path");    // the PATH value; empty: none
        QTest::addColumn<QString>("folder");  // the folder value: "with program", "empty", none
        QTest::addColumn<bool>("tools");      // the desktop's tools are installed
        QTest::addColumn<QString>("fault");   // "start fails", "read-only store" or none
        QTest::addColumn<QString>("started"); // EXE: the folder's program; empty: the user is told
        const char* path = "/opt/tools/sysinfo --all";
        const char* tool = "/usr/bin/kinfocenter";
        const struct {
            const char *name, *path, *folder;
            bool tools;
            const char *fault, *started;
        } rows[] = {
            {"path value, unchecked", path, "", true, "", path},
            {"folder value", "", "with program", true, "", "EXE"},
            {"folder without the program", "", "empty", true, "", ""},
            {"desktop's tool", "", "", true, "", tool},
            {"nothing", "", "", false, "", ""},
            {"start fails", path, "", true, "start fails", ""},
            {"read-only store refuses the rights", path, "", true, "read-only store", tool},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString(r.path) << QString(r.folder) << r.tools
                                  << QString(r.fault) << QString(r.started);
    }
    void systemInfo() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(bool, tools);
        QFETCH(QString, fault);
        QFETCH(QString, started);
        Fixture f;
        if (!path.isEmpty())
            f.set(kPathKey, QStringLiteral("PATH"), path);
        const QString exe = f.dir.filePath(QStringLiteral("MSINFO32.EXE"));
        if (!folder.isEmpty())
            f.set(kFolderKey, QStringLiteral("MSINFO"), f.dir.path() + QLatin1Char('/'));
        if (folder == u"with program")
            QVERIFY(QFile(exe).open(QIODevice::WriteOnly));
        if (tools)
            f.shell.programs = {QStringLiteral("/usr/bin/gnome-system-monitor"),
                                QStringLiteral("/usr/bin/kinfocenter")};
        f.shell.startFails = fault == u"start fails";
        f.store.setReadOnly(fault == u"read-only store");
        frmAbout about(f.dialogs, f.store, f.shell);
        QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
        if (started == u"EXE")
            started = exe;
        QCOMPARE(f.shell.started.size(), started.isEmpty() ? 0 : 1);
        if (!started.isEmpty()) {
            QCOMPARE(f.shell.started[0].program, started);
            QVERIFY(f.dialogs.messages.isEmpty());
            return;
        }
        QCOMPARE(f.dialogs.texts(),
                 QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Tickora Creator"));
        QCOMPARE(f.dialogs.messages[0].icon, platform::Dialogs::Icon::None);
    }

    void keyValues() {
        Fixture f;
        f.set(QStringLiteral("K"), QStringLiteral("plain"), QStringLiteral("abc"));
        f.set(QStringLiteral("K"), QStringLiteral("nul"), QStringLiteral("abc") + QChar(u'\0'));
        qputenv("TICKORA_TEST_DIR", "/opt/x");
        f.set(QStringLiteral("K"), QStringLiteral("expand"),
              QStringLiteral("%TICKORA_TEST_DIR%/info"), RegistryStore::Type::ExpandString);
        f.set(QStringLiteral("K"), QStringLiteral("number"), QStringLiteral("102"),
              RegistryStore::Type::Number);

        // What each read found, "-" when it failed; a failed read clears what was there.
        frmAbout about(f.dialogs, f.store, f.shell);
        const auto read = [&](const char* key, const char* name) {
            QString v = QStringLiteral("stale");
            return about.GetKeyValue(RegistryStore::Root::LocalMachine, QLatin1String(key),
                                     QLatin1String(name), v)
                       ? v
                       : u'-' + v;
        };
        QCOMPARE((QStringList{read("K", "plain"), read("K", "nul"), read("K", "expand"),
                              read("K", "number"), read("K", "missing"), read("Nope", "x")}),
                 (QStringList{"abc", "abc", "/opt/x/info", "&h102", "-", "-"}));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
